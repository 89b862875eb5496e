// "分析棋局": asks which engine analyses (the game's engine unless changed: 大师, 标准 or an added
// one) and the time it may take for each position of the game (one second unless changed). The
// dialog only asks; the menu command starts the analysis with the answer.
#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <vector>

#include "host/engineclient.h"
#include "ui/dialogs/enginechoices.h"

class QComboBox;
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
    QComboBox* Engine() const;
    // The engine's process to run; none for the 大师 engine inside the program.
    std::optional<host::EngineSetup> ChosenEngine() const;

  private:
    std::unique_ptr<Ui::TAnalyseGameDlg> ui_;
    std::vector<EngineChoice> choices_;
};

}  // namespace xq
