// "分析模式" (选项 menu): while it is on, an engine analyses the position on the board without
// end and the information panel shows its three best lines, each with its value, while the user
// moves for both sides (the flow treats the mode as two-player mode: the game's engine does not
// reply). The engine is the chosen added engine (ExternalAnalysis: its process on a thread of its
// own, with as many lines as it offers), else the 大师 engine (LiveAnalysis), which also stands
// in for 标准, whose search belongs to the window's thread. Either searches a copy of the position;
// its reports come back to the window's thread as queued signals. An added engine that fails
// ends the mode, and the message line says why. Everything else happens on the
// window's thread: a timer compares the board with the position under analysis and starts
// afresh when they differ, so every way of changing the board (a move, 悔棋, 重下, 新建, a
// restored, imported or pasted game, the editor) is followed without each of them telling it.
// While the game's own engine searches (对弈, 提示, the demonstration) or the editor is open, the
// analysis rests.
#pragma once

#include <QFontMetrics>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/externalanalysis.h"
#include "engine/flow.h"
#include "engine/liveanalysis.h"
#include "engine/master/engine.h"
#include "rules/board.h"
#include "rules/types.h"
#include "ui/boardarrows.h"

Q_DECLARE_METATYPE(xq::master::SearchReport)

namespace xq {

class TInfoForm;

// How many lines the analysis shows.
inline constexpr int kAnalysisLines = 3;

// One line as the panel shows it: the value from Red's view (hundredths of a Pawn, a mate as
// ±(master::kMate - plies)) and the legal start of the engine's line from the analysed position.
struct AnalysisLine {
    int depth = 0;
    int32_t redValue = 0;
    std::vector<MoveRecord> moves;
};

// The value as the panel writes it: "+1.25" in Pawns from Red's view, or "红3步杀" / "黑2步杀"
// for a mate in that many of the mating side's moves.
QString AnalysisValueText(int32_t redValue);
// `value` and as many whole moves of `moves` (Chinese notation, the first played by `mover`) as
// fit into `width` pixels of `metrics`, at least the first move.
QString AnalysisLineText(const QString& value, const std::vector<MoveRecord>& moves, Side mover,
                         const QFontMetrics& metrics, int width);

class AnalysisMode : public QObject {
    Q_OBJECT

  public:
    AnalysisMode(TInfoForm& panel, QObject* parent);
    ~AnalysisMode() override;

    // The menu item: on (the analysis starts on the board's position) or off (it stops).
    void Toggle();
    bool On() const { return analysisMode != 0; }
    // The analysis thread is searching.
    bool Searching() const { return external_ ? external_->Searching() : live_.Searching(); }
    // The name of the added engine analysing; empty while the 大师 engine does.
    QString EngineName() const;
    // The lines shown, best first; empty until the first iteration of the position has reported.
    const std::vector<AnalysisLine>& Lines() const { return lines_; }
    // The position under analysis; nullptr while the analysis rests.
    const Position* AnalysedPosition() const { return analysed_ ? &analysed_->position : nullptr; }

    // Told the first move of each line shown, best first (empty when none is shown).
    std::function<void(std::vector<BoardArrow>)> showArrows;

  signals:
    // Emitted on the analysis thread; received on the window's thread.
    void Reported(quint64 run, xq::master::SearchReport report);
    // The added engine failed (on the analysis thread too).
    void EngineFailed(quint64 run, QString failure);

  private:
    struct Analysed {
        Position position;
        std::vector<MoveRecord> history;
    };

    void Follow();
    bool GameEngineBusy() const;
    bool BoardChanged() const;
    void Restart();
    void Rest();
    void Receive(quint64 run, const master::SearchReport& report);
    void ReceiveFailure(quint64 run, const QString& failure);
    bool EngineChanged() const;
    void ShowLines();
    void ShowArrows();

    TInfoForm& panel_;
    LiveAnalysis live_;
    std::unique_ptr<ExternalAnalysis> external_;  // while an added engine analyses
    QTimer follow_;
    std::optional<Analysed> analysed_;  // the position the running search was given
    uint64_t shownRun_ = 0;             // reports of other runs are dropped
    std::vector<AnalysisLine> lines_;
    QString shownText_;  // what ShowLines last wrote into the best-line field
};

}  // namespace xq
