// The 大师 engine analysing one position without end on a thread of its own, for the window's
// analysis mode. The caller hands it a copy of the position and the moves that led to it, so the
// thread never reads the game's globals and the game may change under it; the caller compares
// and starts afresh. Reports reach the caller on the analysis thread, tagged with the number of
// the Start they belong to, so that a report still on its way from an older position can be
// told apart and dropped.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "engine/master/engine.h"
#include "rules/board.h"
#include "rules/types.h"

namespace xq {

class LiveAnalysis {
  public:
    // Called on the analysis thread after every completed iteration, once per line (best first).
    using Listener = std::function<void(uint64_t run, const master::SearchReport& report)>;

    // `lines` best lines a search (MultiPV); the engine's hash table is `hashMegabytes` large.
    LiveAnalysis(Listener listener, int lines, size_t hashMegabytes);
    // Stops and joins a running search.
    ~LiveAnalysis();
    LiveAnalysis(const LiveAnalysis&) = delete;
    LiveAnalysis& operator=(const LiveAnalysis&) = delete;

    // Stops the running search, if any, then analyses `position`; `history` holds the moves that
    // led to it, oldest first (repetitions are judged on them). Returns the new run's number.
    uint64_t Start(const Position& position, std::vector<MoveRecord> history);
    // Ends the running search and waits for its thread; no report comes after it returns.
    void Stop();
    // A search runs: started and neither stopped nor at its end (the deepest iteration, a single
    // legal move seen deep enough, no legal move at all).
    bool Searching() const { return searching_.load(); }
    uint64_t Run() const { return run_; }

  private:
    void Search(uint64_t run, Position position, std::vector<MoveRecord> history);

    Listener listener_;
    int lines_;
    master::Engine engine_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> searching_{false};
    uint64_t run_ = 0;
};

}  // namespace xq
