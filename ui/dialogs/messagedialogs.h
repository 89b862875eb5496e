// The two message boxes built in code each time they are needed: the end-of-game question and the
// error dialog. They share one frame (ChessMessageDlg): a fixed window centred on the screen, a
// lowered grey panel holding the text and a line above the buttons. Each lives only while shown:
// created, shown modally, destroyed.
#pragma once

#include <QDialog>
#include <QString>
#include <string_view>

class QFrame;
class QLabel;
class QPushButton;

namespace xq {

class ChessMessageDlg : public QDialog {
  public:
    QFrame* Panel() const { return panel_; }

  protected:
    explicit ChessMessageDlg(const QString& caption);
    // A 75 x 25 button on the button row at `left`.
    QPushButton* AddButton(const QString& text, int left);
    // A label in the message font on the panel.
    QLabel* AddPanelLabel(const QString& text);

  private:
    QFrame* panel_;
};

// "中国象棋": the result of the game above "还玩吗？". "Yes" clears gameOver and posts
// NewGameRequest to the main window, "No" posts ExitRequest; either closes the dialog, and the
// main window acts on the message once the dialog is gone. The close box posts nothing.
class TEndChessGameDlg : public ChessMessageDlg {
  public:
    explicit TEndChessGameDlg(const QString& result);

    QLabel* Message() const { return message_; }
    QLabel* PlayAgain() const { return playAgain_; }
    QPushButton* YesButton() const { return yes_; }
    QPushButton* NoButton() const { return no_; }

  private:
    void YesClick();
    void NoClick();

    QLabel* message_;
    QLabel* playAgain_;
    QPushButton* yes_;
    QPushButton* no_;
};

// "中国象棋错误": the error text on the panel and one "OK" button that closes the dialog.
class TChessErrorDlg : public ChessMessageDlg {
  public:
    explicit TChessErrorDlg(const QString& text);

    QLabel* Message() const { return message_; }
    QPushButton* OkButton() const { return ok_; }

  private:
    QLabel* message_;
    QPushButton* ok_;
};

// Shows the end-of-game dialog for `result` (gameResultText, UTF-8) modally and destroys it.
void ShowEndOfGameDialog(std::string_view result);
// Shows the error dialog for `text` (UTF-8) modally and destroys it: what the main window does on
// its ShowError message with the shared error text.
void ShowErrorDialog(std::string_view text);

}  // namespace xq
