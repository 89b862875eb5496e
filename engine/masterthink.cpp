#include "engine/masterthink.h"

#include <algorithm>
#include <cstdlib>
#include <span>

#include "engine/pump.h"
#include "engine/search.h"
#include "engine/think.h"
#include "platform/display.h"
#include "rules/board.h"
#include "rules/game.h"
#include "rules/legality.h"
#include "rules/record.h"

namespace xq {

namespace {

// The classic engine's Pawn, and its highest score that is no mate: a 大师 score far beyond any
// material balance, yet no mate, stays below the classic mate scores.
constexpr int32_t kClassicPawn = 256;
constexpr int32_t kHighestClassicScore = kMateScore - kMatePly * (kMaxPly + 1) - 1;
// The hard limit as a multiple of the time limit (the classic search stops at the root past one
// and a half times its limit).
constexpr double kHardLimitFactor = 1.5;
// A mate found this close ends the search, as the classic driver's bound does (27 plies).
constexpr int kMateFoundPlies = 27;

// What one search carries between the engine's callbacks.
struct MasterRun {
    int reports = 0;        // completed iterations
    bool softStop = false;  // no further iteration: the time limit, a mate, a single move
    bool singleMove = false;
};

// The time rules of the levels, read afresh on every call: pondering may turn into the engine's
// timed search when the user plays the predicted reply.
bool PastHardLimit() {
    return timedThinking && !noTimeLimit && SearchSeconds() >= kHardLimitFactor * timeLimit;
}

// Called by the search every few thousand nodes: the window gets its messages, and "停止", a
// click while pondering or a menu command set stopSearch. The first iteration of a timed search
// always completes, as with the classic engine, so that there is a move to play.
bool Poll(MasterRun& run) {
    PumpMessagesFromPoll();
    if (run.softStop) return true;
    const bool stop = stopSearch || PastHardLimit();
    return stop && (run.reports > 0 || !timedThinking);
}

void PublishLine(std::span<const MoveRecord> pv, int32_t score) {
    const std::vector<MoveRecord> line = LegalStart(pv, kLineLength - 1);
    if (line.empty()) return;
    std::copy(line.begin(), line.end(), bestLine);
    bestLine[line.size()] = NullMove;
    searchScore = ClassicScore(score);
}

void Report(MasterRun& run, const master::SearchReport& report) {
    if (report.multiPV != 1) return;
    ++run.reports;
    iterationDepth = report.depth;
    nodeCount = report.nodes;
    PublishLine(report.pv, report.score);
    if (timedThinking && bestLine[0].piece != Empty) {
        ShowPanelValue("Depth", RootMoveText(iterationDepth, bestLine[0], sideToMove));
        ShowSearchLine(bestLine, searchScore, sideToMove);
    }
    if (iterationHook) iterationHook();
    const bool mateFound = std::abs(report.score) >= master::kMate - kMateFoundPlies;
    if (run.singleMove || mateFound || TimeIsUp()) run.softStop = true;
}

}  // namespace

int32_t ClassicScore(int32_t masterScore) {
    if (std::abs(masterScore) > master::kMateBound) {
        const int plies = master::kMate - std::abs(masterScore);
        const int32_t mate = kMateScore - plies * kMatePly;
        return masterScore > 0 ? mate : -mate;
    }
    return std::clamp(masterScore * kClassicPawn / 100, -kHighestClassicScore,
                      kHighestClassicScore);
}

int32_t MasterScore(int32_t classicScore) {
    if (std::abs(classicScore) > kHighestClassicScore) {
        const int32_t plies = (kMateScore - std::abs(classicScore)) / kMatePly;
        return classicScore > 0 ? master::kMate - plies : -(master::kMate - plies);
    }
    return std::clamp(classicScore * 100 / kClassicPawn, -master::kMateBound, master::kMateBound);
}

void StartSearchOfTheGame() {
    searchRoot = gamePosition;
    Reset(searchClock);
    Start(searchClock);
    nodeCount = 0;
    stopSearch = 0;
    iterationDepth = 0;
    bestLine[0] = NullMove;
    searchScore = 0;
    rootMoveCount = static_cast<int32_t>(LegalMoves().size());
}

std::vector<MoveRecord> GameHistory() {
    int newest = recordTop - 1;
    if (recordTop < 0) newest = recordTop;
    int oldest = newest + 1;
    while (oldest - 1 > kRecordBottom && GameRecord[oldest - 1].piece != Empty)
        --oldest;
    return std::vector<MoveRecord>(GameRecord + oldest, GameRecord + newest + 1);
}

namespace {

// The search of MasterThinkAndChoose; `seconds` above 0 bounds it besides the level's rules.
void ThinkWithin(master::Engine& engine, int depthLimit, double seconds) {
    // 1. The game as it stands for the window, a fresh clock and count, no stop, no line.
    StartSearchOfTheGame();
    // 2. The engine's own copy of the position and the moves that led to it.
    engine.SetPosition(gamePosition, GameHistory());
    // 3. The limits: depth here, time and the window through the poll.
    MasterRun run;
    run.singleMove = rootMoveCount <= 1;
    master::Limits limits;
    limits.depth = depthLimit;
    limits.softSeconds = seconds;
    limits.hardSeconds = seconds * kHardLimitFactor;
    limits.poll = [&run] { return Poll(run); };
    thinking = 1;
    const master::SearchResult result =
        engine.Search(limits, [&run](const master::SearchReport& report) { Report(run, report); });
    thinking = 0;
    // 4. The result where the classic driver leaves it; the final line wins over the reports.
    nodeCount = result.nodes;
    if (result.depth > 0) iterationDepth = result.depth;
    if (result.best.piece != Empty) {
        std::vector<MoveRecord> line = result.pv;
        if (line.empty() || line.front().from != result.best.from ||
            line.front().to != result.best.to) {
            line = {result.best};
            if (result.ponder.piece != Empty) line.push_back(result.ponder);
        }
        PublishLine(line, result.score);
    }
    // 5. The node rate.
    Lap(searchClock);
    if (timedThinking) ShowNodeRate(searchClock.elapsed);
}

}  // namespace

void MasterThinkAndChoose(master::Engine& engine, int depthLimit) {
    ThinkWithin(engine, depthLimit, 0);
}

void MasterHint(master::Engine& engine) {
    const double seconds = timeLimit > 0 ? std::min(timeLimit, kHintSeconds) : kHintSeconds;
    ThinkWithin(engine, maxDepth, seconds);
}

}  // namespace xq
