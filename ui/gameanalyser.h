// "分析棋局" while the game goes on: the game's moves as they stand are handed to a GameAnalysis
// (engine/analysis.h) on a thread of its own, with its own 大师 engine, so the window, the game and
// the game's engine (which searches on this thread through the pump) go on meanwhile. Each ply's
// result comes back to this thread as a queued call and goes into moveValues, where the move
// list shows its mark; a non-modal progress dialog counts the plies and offers "停止". A new game
// or a position set up in its place stops it as "停止" does.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QProgressDialog>
#include <QRect>
#include <QSize>
#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/analysis.h"
#include "host/engineclient.h"

class QEvent;
class QWidget;

namespace xq {

// Where the progress window's frame of size `frame` opens, off the board: beside the main window's
// frame `window`, on its right or else its left, where the screen's `available` area has room;
// otherwise at the bottom of `panel`, the window's right half, on the screen.
QPoint ProgressPlace(const QSize& frame, const QRect& window, const QRect& panel,
                     const QRect& available);

class GameAnalyser : public QObject {
    Q_OBJECT

  public:
    // Starts analysing the game on the board at `secondsPerMove`, as a child of `window`; the
    // analyser of an earlier run is replaced. Null, with the reason in `error`, when the game
    // has no moves. Must run outside a search (the game's position is read from its record).
    // `engine`: the process of the engine that analyses; none for a 大师 engine of its own.
    static GameAnalyser* Start(QWidget* window, double secondsPerMove, std::string* error,
                               std::optional<host::EngineSetup> engine = std::nullopt);
    // The analyser started last, while its window lives.
    static GameAnalyser* Current();

    ~GameAnalyser() override;

    void Stop();
    // The game under analysis has gone (a new game, a restored, imported or pasted one, the
    // editor's): the analysis stops, and what it still reports is not this game's.
    void GameGone();
    bool Running() const { return running_; }
    int PliesDone() const { return done_; }
    int PlyCount() const { return analysis_.PlyCount(); }
    QProgressDialog* Progress() const { return progress_; }

  private:
    GameAnalyser(QWidget* window, const Position& start, std::vector<MoveRecord> moves,
                 int32_t firstPly, double secondsPerMove, std::optional<host::EngineSetup> engine);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void Retranslate();
    void PlaceProgress(QWidget* window);
    void Take(const PlyAnalysis& ply);  // on the window's thread
    void Finish(bool complete);
    bool GameStillHolds(int32_t plyIndex, const MoveRecord& move) const;

    GameAnalysis analysis_;
    std::vector<MoveRecord> moves_;
    int32_t firstPly_;  // the plies the game had played before moves_[0]
    std::thread worker_;
    bool running_ = true;
    bool gameGone_ = false;
    int done_ = 0;
    QPointer<QProgressDialog> progress_;
};

}  // namespace xq
