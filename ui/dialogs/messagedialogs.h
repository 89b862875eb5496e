// The two message boxes built in code each time they are needed: the end-of-game question and the
// error dialog. They share one frame (ChessMessageDlg): a fixed window centred on the screen, a
// lowered grey panel holding the text and a line above the buttons. Each lives only while shown:
// created, shown modally, destroyed.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
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
    // The panel grows by `width` x `height` for a text that does not fit it: the window grows
    // with it, the line and the buttons move down, the buttons stay centred under the panel.
    void GrowPanel(int width, int height);

  private:
    QFrame* panel_;
    QFrame* line_;
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

// "中国象棋错误": the error text on the panel and one "OK" button that closes the dialog. A text
// longer than the panel holds (a path, a move text) is never cut: the dialog grows, wider first
// and then taller, as far as the screen allows, and scrolls the text beyond that.
class TChessErrorDlg : public ChessMessageDlg {
  public:
    explicit TChessErrorDlg(const QString& text);

    QLabel* Message() const { return message_; }
    QPushButton* OkButton() const { return ok_; }

  private:
    void FitText(const QString& text);

    QLabel* message_;
    QPushButton* ok_;
};

// `text` in lines no wider than `width` pixels in `font`: broken at its line feeds, at blanks and
// between Chinese characters, and anywhere inside a word too long for a line (a path). Blanks at
// the ends of the lines are dropped.
QStringList BreakLines(const QString& text, const QFont& font, int width);

// Shows the end-of-game dialog for `result` (gameResultText, UTF-8) modally and destroys it.
void ShowEndOfGameDialog(std::string_view result);
// Shows the error dialog for `text` (UTF-8) modally and destroys it: what the main window does on
// its ShowError message with the shared error text.
void ShowErrorDialog(std::string_view text);

}  // namespace xq
