// The 大师 engine: a search and evaluation of its own over the rules' Position, with its state in
// objects (a position, search workers with their own stacks and tables, a shared transposition
// table), so that the game, the hint, the analysis and lanchuan-engine can each own one and several
// workers can search at once. It never touches the game's globals: it reads the position and its
// history through SetPosition and reaches the caller (the window's pump, a protocol's stop) only
// through the callbacks of Limits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "rules/board.h"
#include "rules/types.h"

namespace xq::master {

// Scores are for the side to move, in hundredths of a Pawn. A mate in n plies from the root scores
// kMate - n (mated: -(kMate - n)); anything beyond ±kMateBound is a mate score, and every one of
// them is a checkmate or a side left without a move on the board at the end of the line. A game
// decided n plies from the root by a repetition (perpetual check) scores
// ±(kRepetitionWin - n): decisive, but never reported as a mate.
inline constexpr int32_t kMate = 30000;
inline constexpr int32_t kMateBound = kMate - 1000;
inline constexpr int32_t kRepetitionWin = kMateBound - 500;

// What one search may use. Zero means no limit of that kind. The search also ends when `poll`
// returns true; it is called on the searching thread often enough (every few thousand nodes and
// after every iteration) for the window's pump to keep the window alive and to honour "停止".
struct Limits {
    int depth = 0;
    uint64_t nodes = 0;
    // Soft budget: no new iteration starts once it is used up (an iteration in progress ends at
    // the hard budget or when poll says so).
    double softSeconds = 0;
    double hardSeconds = 0;
    int multiPV = 1;
    // The root moves the search may choose from: when `searchMoves` is not empty only those, and
    // never one of `bannedMoves` (matched by their squares). With none left there is no move.
    std::vector<MoveRecord> searchMoves;
    std::vector<MoveRecord> bannedMoves;
    // A root move to judge (the analysis's move played): when it is not one of the lines, every
    // iteration also searches it alone to an exact score, so that it compares with the best line
    // at the same depth (SearchResult::judged...).
    MoveRecord judgedMove = NullMove;
    // A player keeps away from its own perpetual check: the side to move at the root counts a
    // cycle of its checks lost as soon as it returns to a position of the game. The analysis,
    // which judges moves as the rules do, counts it the third time, as every other repetition.
    bool avoidOwnPerpetual = true;
    std::function<bool()> poll;
};

// One completed (or, for the last report, stopped) iteration of one principal variation.
struct SearchReport {
    int depth = 0;
    int selDepth = 0;
    int multiPV = 1;     // 1 for the best line
    int32_t score = 0;   // for the side to move at the root
    uint64_t nodes = 0;  // over all workers
    double seconds = 0;
    std::vector<MoveRecord> pv;
};

struct SearchResult {
    MoveRecord best = NullMove;    // NullMove when the side to move has no legal move
    MoveRecord ponder = NullMove;  // the expected reply, NullMove when unknown
    int32_t score = 0;
    int depth = 0;
    uint64_t nodes = 0;
    std::vector<MoveRecord> pv;
    // With Limits::judgedMove among the root moves: its score and the best line's, both from the
    // last completed iteration (the result's own score may come from a later, unfinished one).
    bool judged = false;
    int32_t judgedScore = 0;
    int32_t judgedBestScore = 0;
};

class Engine {
  public:
    explicit Engine(size_t hashMegabytes = 16, int threads = 1);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    void SetHashSize(size_t megabytes);
    void SetThreads(int threads);  // Lazy SMP: 1 searches on the caller's thread alone
    void SetSeed(uint64_t seed);   // varies move order among equals; 0 is deterministic
    // A new game: clears the transposition table, history and killers.
    void NewGame();

    // The one entry point for the position: `current` is the position to search (its sideToMove
    // moves next); `history` the moves that led to it, oldest first, each playable by taking the
    // later ones back from `current`. Repetitions and the sixty-move rule are judged on it.
    void SetPosition(const Position& current, std::span<const MoveRecord> history);

    // Searches the position of SetPosition on the caller's thread (helpers, if any, on their
    // own), calling `onReport` after each completed iteration. Blocking; safe to call again.
    SearchResult Search(const Limits& limits,
                        const std::function<void(const SearchReport&)>& onReport = {});
    // Ends a running search as soon as possible; callable from another thread or from poll.
    // A Stop that comes before Search has begun is not remembered (Search starts afresh): a
    // caller whose stop may come first, such as a protocol thread, answers it through poll.
    // The first iteration always completes, so that the result is a searched move.
    void Stop();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace xq::master
