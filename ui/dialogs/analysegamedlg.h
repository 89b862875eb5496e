// "分析棋局": asks the time the engine may take for each position of the game (one second unless
// changed). The dialog only asks; the menu command starts the analysis with the answer.
#pragma once

#include <QDialog>
#include <memory>

class QDoubleSpinBox;

namespace Ui {
class TAnalyseGameDlg;
}

namespace xq {

class TAnalyseGameDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TAnalyseGameDlg(QWidget* parent = nullptr);
    ~TAnalyseGameDlg() override;

    double SecondsPerMove() const;
    QDoubleSpinBox* Seconds() const;

  private:
    std::unique_ptr<Ui::TAnalyseGameDlg> ui_;
};

}  // namespace xq
