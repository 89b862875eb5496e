#include "engine/externalanalysis.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <utility>

#include "platform/threadpriority.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"

namespace xq {

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// How long one wait for the engine's output lasts: new positions and stops are taken between.
constexpr milliseconds kPollSlice{40};
// The moves of a line kept; the panel shows as many as fit.
constexpr size_t kLineMoves = 8;
// How long past its time an engine may take to answer a search of the game analysis.
constexpr milliseconds kLateMargin{3000};
// A search to a depth has no time; this is the most it may take.
constexpr milliseconds kLongestDepthSearch{600000};

}  // namespace

int32_t ScoreOfInfo(const host::SearchInfo& info) {
    if (!info.mate)
        return std::clamp(info.score, -(master::kMateBound - 1), master::kMateBound - 1);
    const int moves = std::abs(info.score);
    if (info.score > 0) return master::kMate - (2 * moves - 1);
    return -(master::kMate - 2 * moves);
}

void PositionForEngine(const Position& position, std::span<const MoveRecord> history,
                       std::string* startFen, std::vector<std::string>* moves) {
    Position start = position;
    for (auto move = history.rbegin(); move != history.rend(); ++move) {
        SwapSides(start);
        MakeMove(start, *move, true);
    }
    *startFen = WriteFen(start);
    moves->clear();
    for (const MoveRecord& move : history)
        moves->push_back(FormatIccs(move));
}

std::vector<MoveRecord> LegalLineOf(const Position& position, const std::vector<std::string>& line,
                                    size_t limit) {
    Position at = position;
    std::vector<MoveRecord> legal;
    for (const std::string& text : line) {
        if (legal.size() >= limit) break;
        Square from = 0, to = 0;
        if (!ParseIccs(text, &from, &to)) break;
        const MoveRecord move = FindLegalMove(at, from, to);
        if (move.piece == Empty) break;
        legal.push_back(move);
        MakeMove(at, move, false);
        SwapSides(at);
    }
    return legal;
}

EngineJudge::~EngineJudge() {
    if (engine_) engine_->Quit();
}

// Step by step: the engine (started afresh after a failure), the position, the search, then its
// output until the best move, a failure, a stop or the time and its margin are up.
bool EngineJudge::Search(const Position& position, std::span<const MoveRecord> history,
                         int64_t milliseconds, int depth, const std::atomic<bool>& stop,
                         EngineVerdict* verdict) {
    failure_.clear();
    // 1. The engine.
    if (!engine_ || engine_->Failed()) {
        engine_ = host::EngineClient::Start(setup_, &failure_);
        if (!engine_) return false;
    }
    auto failed = [this] {
        failure_ = engine_->Failure();
        engine_.reset();
        return false;
    };
    // 2. The position and the search.
    std::string fen;
    std::vector<std::string> moves;
    PositionForEngine(position, history, &fen, &moves);
    host::GoLimits limits;
    if (depth > 0) {
        limits.depth = depth;
    } else {
        limits.moveTime = milliseconds;
    }
    if (!engine_->SetPosition(fen, moves) || !engine_->Go(limits, 1)) return failed();
    // 3. Its lines until its move.
    const auto due =
        Clock::now() +
        (depth > 0 ? kLongestDepthSearch : std::chrono::milliseconds(milliseconds) + kLateMargin);
    bool scored = false;
    int32_t score = 0;
    host::SearchInfo info;
    host::BestMove best;
    for (;;) {
        if (stop.load() || Clock::now() > due) {
            engine_->Stop();
            if (!host::WaitForBestMove(*engine_, &best)) return failed();
            if (stop.load()) return false;
            break;
        }
        const host::Event event = engine_->Poll(kPollSlice, &info, &best);
        if (event == host::Event::Failed) return failed();
        if (event == host::Event::BestMove) break;
        if (event == host::Event::Info && info.hasScore && info.multiPv <= 1) {
            score = ScoreOfInfo(info);
            scored = true;
        }
    }
    // 4. No move: the side to move is mated or stalemated, a loss either way.
    const std::vector<MoveRecord> line = LegalLineOf(position, {best.move}, 1);
    verdict->best = line.empty() ? NullMove : line[0];
    verdict->score = line.empty() ? -master::kMate : scored ? score : 0;
    return true;
}

ExternalAnalysis::ExternalAnalysis(host::EngineSetup setup, int lines, Listener listener,
                                   FailureListener failed)
    : setup_(std::move(setup)),
      lines_(lines),
      listener_(std::move(listener)),
      failed_(std::move(failed)),
      thread_(&ExternalAnalysis::Loop, this) {}

ExternalAnalysis::~ExternalAnalysis() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        shownRun_ = 0;
    }
    wake_.notify_all();
    thread_.join();
}

uint64_t ExternalAnalysis::Start(const Position& position, std::vector<MoveRecord> history) {
    std::lock_guard lock(mutex_);
    ++run_;
    pending_ = Job{run_, position, std::move(history)};
    restPending_ = false;
    shownRun_ = run_;
    searching_ = true;
    wake_.notify_all();
    return run_;
}

void ExternalAnalysis::Stop() {
    std::lock_guard lock(mutex_);
    pending_.reset();
    restPending_ = true;
    shownRun_ = 0;
    searching_ = false;
    wake_.notify_all();
}

bool ExternalAnalysis::Searching() const {
    std::lock_guard lock(mutex_);
    return searching_;
}

// The thread: the latest position asked for, a rest, or the engine's next line, in that order.
void ExternalAnalysis::Loop() {
    LowerThisThreadsPriority();
    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (pending_) {
            const Job job = std::move(*pending_);
            pending_.reset();
            lock.unlock();
            const bool begun = Begin(job);
            lock.lock();
            // Nothing searches when the engine could not begin (unless a newer position waits).
            if (!begun && !pending_) searching_ = false;
        } else if (restPending_) {
            restPending_ = false;
            lock.unlock();
            Rest();
            lock.lock();
        } else if (current_) {
            lock.unlock();
            PollEngine();
            lock.lock();
        } else {
            wake_.wait(lock, [this] { return quit_ || pending_ || restPending_; });
        }
    }
    lock.unlock();
    if (engine_) engine_->Quit();
}

bool ExternalAnalysis::StartEngine() {
    std::string error;
    engine_ = host::EngineClient::Start(setup_, &error);
    if (engine_) return true;
    Fail(error);
    return false;
}

// The search of the position before, if any, has ended before the new one is set.
bool ExternalAnalysis::Begin(const Job& job) {
    current_.reset();
    if (broken_ || (!engine_ && !StartEngine())) return false;
    host::BestMove ended;
    if (engine_->Searching() && (!engine_->Stop() || !host::WaitForBestMove(*engine_, &ended))) {
        Fail(engine_->Failure());
        return false;
    }
    std::string fen;
    std::vector<std::string> moves;
    PositionForEngine(job.position, job.history, &fen, &moves);
    host::GoLimits limits;
    limits.infinite = true;
    const int lines = std::clamp(lines_, 1, engine_->Identity().maxMultiPv);
    if (!engine_->SetPosition(fen, moves) || !engine_->Go(limits, lines)) {
        Fail(engine_->Failure());
        return false;
    }
    current_ = job;
    return true;
}

void ExternalAnalysis::Rest() {
    current_.reset();
    if (!engine_ || !engine_->Searching()) return;
    host::BestMove ended;
    if (!engine_->Stop() || !host::WaitForBestMove(*engine_, &ended)) Fail(engine_->Failure());
}

// A line is told only while its run is the one shown: the caller's Stop or Start has not come.
void ExternalAnalysis::PollEngine() {
    host::SearchInfo info;
    host::BestMove best;
    switch (engine_->Poll(kPollSlice, &info, &best)) {
        case host::Event::Failed:
            Fail(engine_->Failure());
            return;
        case host::Event::BestMove: {
            // The engine ended the search itself (a mate found, its deepest iteration).
            current_.reset();
            std::lock_guard lock(mutex_);
            searching_ = false;
            return;
        }
        case host::Event::Info:
            break;
        case host::Event::None:
            return;
    }
    if (!info.hasScore || info.pv.empty()) return;
    master::SearchReport report;
    report.depth = info.depth;
    report.selDepth = info.selDepth;
    report.multiPV = std::max(1, info.multiPv);
    report.score = ScoreOfInfo(info);
    report.nodes = info.nodes;
    report.seconds = info.time >= 0 ? static_cast<double>(info.time) / 1000 : 0;
    report.pv = LegalLineOf(current_->position, info.pv, kLineMoves);
    if (report.pv.empty()) return;
    std::lock_guard lock(mutex_);
    if (shownRun_ == current_->run && listener_) listener_(current_->run, report);
}

// The engine is gone; it is not asked again.
void ExternalAnalysis::Fail(std::string failure) {
    broken_ = true;
    current_.reset();
    engine_.reset();
    std::lock_guard lock(mutex_);
    searching_ = false;
    if (failed_) failed_(run_, failure);
}

}  // namespace xq
