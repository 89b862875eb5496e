// Analysis of a whole game: every position from the start to the last move searched by a 大师
// engine of its own at a fixed time, so that each move gets the value it left, the engine's move
// in its place and a mark when it gave away more than a threshold. It works on Position values
// and a move list, never on the game's globals, so it may run on a thread of its own while the
// game goes on.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/movevalues.h"
#include "host/engineclient.h"
#include "rules/board.h"
#include "rules/types.h"

namespace xq {

// Value lost by a move, from its mover's view, in hundredths of a Pawn, at which it gets a mark.
// Measured against an independent referee engine on 40 master games (see docs/benchmarks.md):
// ? at 1 Pawn marks the moves that it finds to lose 3 of its Pawns as well as any lower threshold
// does, and the moves we rated 2 to 2.6 Pawns lost were mostly good ones by its count, so ?? waits
// for 3.
struct MarkThresholds {
    int32_t inaccuracy = 50;  // ?!
    int32_t mistake = 100;    // ?
    int32_t blunder = 300;    // ??
};

// Scores beyond this many hundredths of a Pawn (mates included) count as this much when the loss
// of a move is measured: a move that keeps a won game won loses nothing.
inline constexpr int32_t kLossScoreCap = 2000;

MoveMark MarkForLoss(int32_t loss, const MarkThresholds& thresholds = {});
// "?!", "?", "??" or "".
const char* MarkText(MoveMark mark);
// A value from Red's view in Pawns, as analysed games show it: "+1.25", "-0.40", "0.00", and a
// mate as the moves to it: "+M3" (Red mates), "-M2".
std::string FormatPawns(int32_t redValue);

// The value a move gave away: `best` is the score of the engine's own choice in the position it
// was played in and `played` the move's own score there, both for its mover.
int32_t LossOfMove(int32_t best, int32_t played);

// What the analysis found for one ply: the MoveValue entry of the move (value after it from Red's
// view, the engine's best move before it, the mark) and the value it lost.
struct PlyAnalysis {
    int ply = 0;  // 1 for the first move of the list
    MoveRecord played = NullMove;
    MoveValue value;
    int32_t loss = 0;
};

class GameAnalysis {
  public:
    // `start` is the position before moves[0]; the moves must be legal one after the other.
    GameAnalysis(const Position& start, std::vector<MoveRecord> moves);

    void SetSecondsPerMove(double seconds) { seconds_ = seconds; }
    // A fixed depth instead of the time, for results that do not depend on the machine.
    void SetDepth(int depth) { depth_ = depth; }
    void SetThresholds(const MarkThresholds& thresholds) { thresholds_ = thresholds; }
    void SetHashSize(size_t megabytes) { hashMegabytes_ = megabytes; }
    // Another program's engine instead of a 大师 engine of its own: each position is searched by
    // it, and a move's loss is the engine's score before it against its score after it.
    void UseEngine(host::EngineSetup setup) { engine_ = std::move(setup); }
    // Why Run ended early when the engine failed (in words that name it); empty otherwise.
    const std::string& Failure() const { return failure_; }

    // Searches every position in order, calling `onPly` once each move's position after it has
    // been searched (on the calling thread). Returns false when stopped before the end.
    bool Run(const std::function<void(const PlyAnalysis&)>& onPly);
    // Ends Run as soon as the running search can stop; callable from any thread, also before
    // Run has begun.
    void Stop() { stop_.store(true); }
    bool Stopped() const { return stop_.load(); }

    int PlyCount() const { return static_cast<int>(moves_.size()); }

  private:
    // One position searched: the score for the side to move, the engine's move and the loss of
    // the move played from it when the search could judge it; false when stopped or failed.
    struct Searched {
        int32_t score = 0;
        MoveRecord best = NullMove;
        bool judged = false;
        int32_t loss = 0;
    };
    using Searcher = std::function<bool(const Position& position, int ply, Searched* searched)>;
    bool RunSearches(const Searcher& search, const std::function<void(const PlyAnalysis&)>& onPly);
    bool RunWithEngine(const std::function<void(const PlyAnalysis&)>& onPly);

    Position start_;
    std::vector<MoveRecord> moves_;
    double seconds_ = 1.0;
    int depth_ = 0;
    size_t hashMegabytes_ = 32;
    MarkThresholds thresholds_;
    std::atomic<bool> stop_{false};
    std::optional<host::EngineSetup> engine_;
    std::string failure_;
};

}  // namespace xq
