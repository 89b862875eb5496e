// One search thread of the 大师 engine: its own copy of the position with the keys of the game's
// history and of the search path (for repetitions and the sixty-move rule), its own stacks,
// killers and history, and a share of the engine's transposition table. Lazy SMP runs several
// workers on the same position; they meet only in the table and the stop flag.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "engine/master/engine.h"
#include "engine/master/tt.h"
#include "rules/board.h"
#include "rules/movegen.h"

namespace xq::master {

inline constexpr int kMaxPly = 96;
inline constexpr int kMaxHistory = 400;  // plies of the game kept for repetitions
inline constexpr int kMaxMultiPV = kMoveListCapacity;
// Inside the search a mate and a repetition lost by force of checks share one band of
// scores, two steps a ply, told apart by parity. Being mated at ply p scores -(kMate - 2p); the
// side whose move completes such a repetition loses one step below that, at the node after its
// move: -(kMate - 2p + 1) with p that node's ply. So the rule's loss ranks with a mate, no better
// than being mated there and worse than any mate coming later, and a lost side delays the end
// instead of escaping into a perpetual check that loses at once; yet the parity keeps it apart
// from a real mate when the score leaves the engine (ReportedScore). Mate-distance pruning and
// the table's distances count in the same steps.
constexpr int32_t MatedScore(int ply) {
    return -(kMate - 2 * ply);
}
// For the side to move at `ply`, whose opponent's move into it completed a repetition that the
// opponent loses.
constexpr int32_t RepetitionWonScore(int ply) {
    return kMate - 2 * ply + 1;
}
// The search's score in the engine's public units: a mate in n plies as kMate - n, a repetition
// decided n plies away as kRepetitionWin - n, anything else unchanged.
int32_t ReportedScore(int32_t score);
// ReportedScore for a line from `root`, a mate only when `pv` plays it out: a mate score whose line
// is cut short (a table entry) or does not end with the loser left without a move goes out as a
// decisive value that is not a mate, so that no user or referee is told of a mate that is not
// there.
int32_t ShownScore(const Position& root, int32_t score, std::span<const MoveRecord> pv);
inline constexpr int kSixtyMovePlies = 120;

// What all workers of one search share.
struct SharedSearch {
    TranspositionTable* table = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> nodes{0};  // summed by the workers every few thousand nodes
    const Limits* limits = nullptr;
    std::chrono::steady_clock::time_point started;
};

struct RootMove {
    MoveRecord move = NullMove;
    int32_t score = -kMate;
    int32_t previousScore = -kMate;
    int selDepth = 0;
    MoveRecord pv[kMaxPly + 1];
    int pvLength = 0;
};

class Worker {
  public:
    Worker() = default;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Copies the position and the keys of its history (see Engine::SetPosition).
    void SetPosition(const Position& current, const MoveRecord* history, int count);
    void Clear();  // killers and history tables
    void SetSeed(uint64_t seed) { seed_ = seed; }

    // Iterative deepening until the limits or the stop flag end it. The main worker (id 0)
    // watches time and the poll callback, reports iterations and owns the result.
    void IterativeDeepening(SharedSearch& shared, int id,
                            const std::function<void(const SearchReport&)>& onReport);

    int RootMoveCount() const { return rootCount_; }
    const RootMove& Root(int i) const { return roots_[i]; }
    int CompletedDepth() const { return completedDepth_; }
    // The judged move's score and the best line's at the last completed depth (shown scores),
    // when the limits named a judged move and it is a root move.
    bool Judged(int32_t* score, int32_t* bestScore) const;
    uint64_t Nodes() const { return nodes_; }
    const Position& GetPosition() const { return position_; }

  private:
    struct Frame {
        MoveRecord move;  // the move that led here
        MoveRecord killers[2];
        int32_t staticEval;
        bool inCheck;
        bool nullMove;  // reached by a null move
        bool noNull;    // a null move is not to be tried here (its verification is running)
    };

    int32_t Search(int32_t alpha, int32_t beta, int depth, int ply, bool pvNode, bool cutNode);
    int32_t Quiescence(int32_t alpha, int32_t beta, int ply);
    // Both search roots_[pvIndex] up to (not including) roots_[end].
    int32_t SearchRoot(int32_t alpha, int32_t beta, int depth, int pvIndex, int end);
    void AspirationSearch(int depth, int pvIndex, int end, int32_t previous);
    void JudgeMove(int depth, const MoveRecord& judged);
    void ReportLines(int depth, const std::function<void(const SearchReport&)>& onReport);
    void PrepareRootMoves(const Limits& limits);

    // The judgement of the rules on the node at ply, or false when the game goes on.
    bool RuleScore(int ply, int32_t* score);
    bool OccurredBefore(uint64_t key, int index, int oldest) const;
    bool HasLegalMove();

    void Play(const MoveRecord& move, int ply);
    void Undo(const MoveRecord& move);
    void PlayNull(int ply);
    void UndoNull();
    bool LeftKingAttacked() const;  // after Play: the mover's King is attacked
    // Play, unless the move leaves the mover's King attacked (then nothing is played and it
    // returns false); notes whether the move gives check for the child and the rules.
    bool PlayIfLegal(const MoveRecord& move, int ply);
    bool CheckStop();
    // The first iteration always completes, so that even a search stopped at once has a move
    // that is not merely the first one generated.
    bool Stopped() const { return rootDepth_ > 1 && shared_->stop.load(std::memory_order_relaxed); }
    void UpdateQuietStats(const MoveRecord& best, int ply, int depth, const MoveRecord* tried,
                          int triedCount);
    void ScoreMoves(const MoveList& list, int32_t* scores, PackedMove ttMove, int ply);
    void UpdatePv(int ply, const MoveRecord& move);
    bool HasMajorPieces(Side side, int atLeast) const;
    bool MoveFromTable(PackedMove packed, MoveRecord* move) const;

    Position position_{};
    // Keys, check flags and quiet counts of the positions from the oldest kept game position
    // (index 0) to the node being searched (index base_ + ply).
    uint64_t keys_[kMaxHistory + kMaxPly + 8] = {};
    bool checked_[kMaxHistory + kMaxPly + 8] = {};
    int quiet_[kMaxHistory + kMaxPly + 8] = {};       // quiet plies in a row up to this position
    int reversible_[kMaxHistory + kMaxPly + 8] = {};  // quiet plies without a null move
    int base_ = 0;

    Frame stack_[kMaxPly + 8] = {};
    MoveRecord pv_[kMaxPly + 2][kMaxPly + 2] = {};
    int pvLength_[kMaxPly + 2] = {};
    int32_t history_[2][8][kBoardCells] = {};

    RootMove roots_[kMoveListCapacity];
    int rootCount_ = 0;
    int completedDepth_ = 0;
    int selDepth_ = 0;
    int rootDepth_ = 0;
    int multiPV_ = 1;
    bool judged_ = false;
    int32_t judgedScore_ = 0;
    int32_t judgedBestScore_ = 0;
    uint64_t nodes_ = 0;
    uint64_t nodesFlushed_ = 0;
    uint64_t seed_ = 0;
    int id_ = 0;
    SharedSearch* shared_ = nullptr;
};

}  // namespace xq::master
