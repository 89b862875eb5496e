// Another program's engine analysing for the window, on a thread of its own: the analysis mode's
// endless search of the position on the board with its several lines, and the game analysis's
// search of one position at a fixed time. The engine is started on that thread (a slow handshake
// never holds up the window) and kept from one position to the next. What it reports is turned
// into the 大师 engine's terms (scores for the side to move in hundredths of a Pawn with mates as
// ±(kMate - plies), lines as legal moves of the position), so that the window shows either
// engine's lines alike. An engine that fails is told once, in words that name it, and rests.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "engine/master/engine.h"
#include "host/engineclient.h"
#include "rules/board.h"
#include "rules/types.h"

namespace xq {

// An engine's score as the 大师 engine's: centipawns kept below its mate bound, a mate in n of the
// side to move's moves as kMate - (2n - 1), being mated in n as -(kMate - 2n).
int32_t ScoreOfInfo(const host::SearchInfo& info);

// The game that led to `position` as an engine is given it: the FEN of the position before
// `history` (the moves taken back from `position`) and the moves in ICCS.
void PositionForEngine(const Position& position, std::span<const MoveRecord> history,
                       std::string* startFen, std::vector<std::string>* moves);

// An engine's line of ICCS moves as the legal moves it starts with from `position`, each as the
// generator makes it (at most `limit`).
std::vector<MoveRecord> LegalLineOf(const Position& position, const std::vector<std::string>& line,
                                    size_t limit);

// One search of a position by an engine, waited for: what the game analysis asks of it.
struct EngineVerdict {
    int32_t score = 0;  // for the side to move, as ScoreOfInfo
    MoveRecord best = NullMove;
};

// The engine for one game analysis: started on first use on the calling thread.
class EngineJudge {
  public:
    explicit EngineJudge(host::EngineSetup setup) : setup_(std::move(setup)) {}
    ~EngineJudge();

    // Searches `position` (reached through `history`) for `milliseconds` or `depth` plies (when
    // above 0); false with the reason in Failure() when the engine failed or had no move, or when
    // `stop` became true first (Failure() empty then).
    bool Search(const Position& position, std::span<const MoveRecord> history, int64_t milliseconds,
                int depth, const std::atomic<bool>& stop, EngineVerdict* verdict);
    const std::string& Failure() const { return failure_; }

  private:
    host::EngineSetup setup_;
    std::unique_ptr<host::EngineClient> engine_;
    std::string failure_;
};

class ExternalAnalysis {
  public:
    using Listener = std::function<void(uint64_t run, const master::SearchReport& report)>;
    using FailureListener = std::function<void(uint64_t run, const std::string& failure)>;

    // Runs the thread; the engine `setup` is started when the first position comes. `lines`: the
    // lines asked for where the engine offers several. The listeners are called on that thread.
    ExternalAnalysis(host::EngineSetup setup, int lines, Listener listener, FailureListener failed);
    // Ends the engine (quit, then stopped) and the thread.
    ~ExternalAnalysis();
    ExternalAnalysis(const ExternalAnalysis&) = delete;
    ExternalAnalysis& operator=(const ExternalAnalysis&) = delete;

    // Analyses `position` from now on, its lines tagged with the run returned. Returns at once.
    uint64_t Start(const Position& position, std::vector<MoveRecord> history);
    // The engine stops searching; no report of an earlier run is told after this returns.
    // Returns at once.
    void Stop();
    // A search is asked for or runs.
    bool Searching() const;
    const host::EngineSetup& Setup() const { return setup_; }

  private:
    struct Job {
        uint64_t run;
        Position position;
        std::vector<MoveRecord> history;
    };
    void Loop();
    bool Begin(const Job& job);
    void Rest();
    void PollEngine();
    void Fail(std::string failure);  // by value: it may be the engine's own text
    bool StartEngine();

    host::EngineSetup setup_;
    int lines_;
    Listener listener_;
    FailureListener failed_;
    // Shared with the thread, under mutex_.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> pending_;
    bool restPending_ = false;
    bool quit_ = false;
    uint64_t run_ = 0;       // the latest run asked for
    uint64_t shownRun_ = 0;  // reports of this run only are told; 0: none
    bool searching_ = false;
    // The thread's own.
    std::unique_ptr<host::EngineClient> engine_;
    std::optional<Job> current_;
    bool broken_ = false;
    std::thread thread_;  // last: it starts once everything above is made
};

}  // namespace xq
