// The three level input dialogs: seconds per move, minutes per game and search depth in plies.
// Each holds one edit box, Edit1, and answers OK or Cancel; they check nothing themselves. The
// level commands (levelcommands.h) fill the edit, show the dialog and act on the answer. Created
// once and reused.
#pragma once

#include <QDialog>
#include <memory>

class QLineEdit;

namespace Ui {
class TInputSecPerMoveDlg;
class TInputMinPerGameDlg;
class TInputPlyDlg;
}  // namespace Ui

namespace xq {

class TInputSecPerMoveDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TInputSecPerMoveDlg(QWidget* parent = nullptr);
    ~TInputSecPerMoveDlg() override;
    QLineEdit* Edit1() const;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    std::unique_ptr<Ui::TInputSecPerMoveDlg> ui_;
};

class TInputMinPerGameDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TInputMinPerGameDlg(QWidget* parent = nullptr);
    ~TInputMinPerGameDlg() override;
    QLineEdit* Edit1() const;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    std::unique_ptr<Ui::TInputMinPerGameDlg> ui_;
};

class TInputPlyDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TInputPlyDlg(QWidget* parent = nullptr);
    ~TInputPlyDlg() override;
    QLineEdit* Edit1() const;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    std::unique_ptr<Ui::TInputPlyDlg> ui_;
};

}  // namespace xq
