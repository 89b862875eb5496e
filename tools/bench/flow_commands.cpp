// xq-bench commands on the game flow: the message queue, demonstrations, the pump's cost and
// how quickly a stop is acted on.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "engine/book.h"
#include "engine/commands.h"
#include "engine/flow.h"
#include "engine/search.h"
#include "engine/timecontrol.h"
#include "platform/display.h"
#include "platform/messages.h"
#include "platform/random.h"
#include "rules/board.h"
#include "rules/record.h"

#include "tools/bench/bench.h"

namespace xq::bench {

// The search tests the queue once per move it takes back; this is what that test costs when
// nothing is pending, and what a message costs on its way through the queue.
int RunQueue(const std::vector<std::string>& args) {
    if (!args.empty()) return Usage();
    constexpr int kChecks = 200'000'000;
    ClearMessages();
    auto start = std::chrono::steady_clock::now();
    int pending = 0;
    for (int i = 0; i < kChecks; ++i) {
        asm volatile("" ::: "memory");  // reload the counter each time, as after a call
        pending += MessagesPending() ? 1 : 0;
    }
    const double checkNs = MillisecondsSince(start) * 1e6 / kChecks;

    constexpr int kMessages = 10'000'000;
    start = std::chrono::steady_clock::now();
    Message message;
    for (int i = 0; i < kMessages; ++i) {
        message.command = i;
        PostMessage(message);
        PeekMessage(&message, kMainWindow, true);
    }
    const double messageNs = MillisecondsSince(start) * 1e6 / kMessages;
    std::printf("queue empty-test %.2f ns (%d pending), post+peek %.1f ns\n", checkNs, pending,
                messageNs);
    return 0;
}

namespace {

const char* EndingName(DemoEnding ending) {
    switch (ending) {
        case DemoEnding::NoMove:
            return gameOver && !gameResultText.empty() ? gameResultText.c_str() : "no-move";
        case DemoEnding::PlyLimit:
            return "120-plies";
        case DemoEnding::QuietPlies:
            return "60-quiet-plies";
        case DemoEnding::Repetition:
            return "repetition";
        case DemoEnding::Lost:
            return "lost";
        default:
            return "-";
    }
}

// The demonstration as the menu starts it, checked after every move.
struct DemoRun {
    long games = 0;
    long ended = 0;
    long plies = 0;
    long inconsistentAt = -1;  // total ply of the first inconsistency
};
DemoRun demoRun;

// Every move played (and the brief flash before it) redraws the changed squares; a new game's
// set-up announces the turn before both sides are set, so the check is not made there.
class DemoCheck : public Display {
  public:
    void RedrawChangedSquares() override {
        if (demoRun.inconsistentAt < 0 && !PositionIsConsistent())
            demoRun.inconsistentAt = demoRun.plies + plyCount;
    }
};

}  // namespace

int RunDemo(std::vector<std::string> args) {
    uint64_t seed = 1;
    long depth = 3;
    if (!TakeSeed(&args, &seed) || !TakeNumberOption(&args, "--depth", &depth) ||
        args.size() != 1 || depth < 1 || depth > kLineLength) {
        return Usage();
    }
    demoRun = DemoRun{};
    demoRun.games = std::strtol(args[0].c_str(), nullptr, 10);
    if (demoRun.games < 1) return Usage();
    LoadOpeningLibrary();
    SeedRandom(seed);
    soundOn = 0;
    levelKind = kLevelFixedDepth;
    maxDepth = static_cast<uint8_t>(depth);
    // The demonstration restarts games until "停止"; the tool stops it after GAMES games. The
    // game that the flow then begins gets one move and is not counted.
    demoGameOverHook = [](DemoEnding ending) {
        ++demoRun.ended;
        demoRun.plies += plyCount;
        std::printf("game %ld %d %s\n", demoRun.ended, plyCount, EndingName(ending));
        std::fflush(stdout);
        if (demoRun.ended >= demoRun.games) demoMode = 0;
    };
    DemoCheck check;
    SetDisplay(&check);
    NewGame();
    demoMode = 1;
    ComputerTurn();
    SetDisplay(nullptr);
    demoGameOverHook = nullptr;
    if (demoRun.inconsistentAt >= 0) {
        std::printf("demo %ld %ld inconsistent after ply %ld\n", demoRun.ended, demoRun.plies,
                    demoRun.inconsistentAt);
        return 1;
    }
    std::printf("demo %ld %ld consistent\n", demoRun.ended, demoRun.plies);
    return 0;
}
namespace {

// One search at the fixed-depth level as the game runs it (timed thinking on, no time limit);
// returns the nodes per millisecond.
double PumpRound(const BenchPosition& position, int depth, bool pumpOn, uint64_t* nodes) {
    SetUp(position.fen);
    SeedRandom(1);
    levelKind = kLevelFixedDepth;
    maxDepth = static_cast<uint8_t>(depth);
    ComputeTimeLimit();
    pumpDisabled = !pumpOn;
    const auto start = std::chrono::steady_clock::now();
    recordTop = 0;
    ThinkAndChoose(maxDepth);
    recordTop = -1;
    const double ms = MillisecondsSince(start);
    pumpDisabled = false;
    *nodes = nodeCount;
    return ms > 0 ? nodeCount / ms : 0.0;
}

// The real pump over an empty queue against the pump switched off where it is entered. Rounds
// alternate between the two so that a change in the machine's load hits both; the best round
// of each counts.
}  // namespace

int RunPump(std::vector<std::string> args) {
    long rounds = 3;
    int depth = 0;
    if (!TakeNumberOption(&args, "--rounds", &rounds) || rounds < 1 || args.size() > 1 ||
        (args.size() == 1 && !ParseDepth(args[0].c_str(), &depth, kLineLength))) {
        return Usage();
    }
    ClearMessages();
    double offTotalMs = 0;
    double onTotalMs = 0;
    for (const BenchPosition& position : kSearchSuite) {
        const int d = depth > 0 ? depth : position.depth;
        double bestOff = 0;
        double bestOn = 0;
        uint64_t nodesOff = 0;
        uint64_t nodesOn = 0;
        for (long round = 0; round < rounds; ++round) {
            bestOff = std::max(bestOff, PumpRound(position, d, false, &nodesOff));
            bestOn = std::max(bestOn, PumpRound(position, d, true, &nodesOn));
        }
        if (nodesOff != nodesOn) {
            std::printf("pump %s: node counts differ (%llu, %llu)\n", position.name,
                        static_cast<unsigned long long>(nodesOff),
                        static_cast<unsigned long long>(nodesOn));
            return 1;
        }
        std::printf(
            "pump %s depth %d nodes %llu stubbed %.0f knodes/s real %.0f knodes/s "
            "ratio %.3f\n",
            position.name, d, static_cast<unsigned long long>(nodesOn), bestOff, bestOn,
            bestOn / bestOff);
        std::fflush(stdout);
        offTotalMs += nodesOff / bestOff;
        onTotalMs += nodesOn / bestOn;
    }
    std::printf("pump all: stubbed %.0f ms real %.0f ms ratio %.3f\n", offTotalMs, onTotalMs,
                offTotalMs / onTotalMs);
    return 0;
}
namespace {

// The stop-latency probe: the toolkit's pull posts "停止" once the chosen moment has come, as a
// window would after the user's click, and notes when it did.
std::chrono::steady_clock::time_point stopDue;
std::chrono::steady_clock::time_point stopPosted;
bool stopSent = false;

void PostStopWhenDue() {
    if (stopSent) return;
    const auto now = std::chrono::steady_clock::now();
    if (now < stopDue) return;
    Message stop;
    stop.kind = MessageKind::Command;
    stop.command = kCommandStop;
    PostMessage(stop);
    stopPosted = now;
    stopSent = true;
}

}  // namespace

int RunStopLatency(const std::vector<std::string>& args) {
    long samples = 21;
    if (args.size() > 1 ||
        (args.size() == 1 && (samples = std::strtol(args[0].c_str(), nullptr, 10)) < 1)) {
        return Usage();
    }
    ClearMessages();
    SetNativeEventPull(PostStopWhenDue);
    std::vector<double> fromPost;
    std::vector<double> fromDue;
    const size_t positions = std::size(kSearchSuite);
    for (long i = 0; i < samples; ++i) {
        const BenchPosition& position = kSearchSuite[static_cast<size_t>(i) % positions];
        SetUp(position.fen);
        SeedRandom(static_cast<uint64_t>(i) + 1);
        levelKind = kLevelUnlimited;
        maxDepth = kLineLength;
        ComputeTimeLimit();
        const int delayMs = 100 + static_cast<int>((i * 37) % 400);
        const auto start = std::chrono::steady_clock::now();
        stopDue = start + std::chrono::milliseconds(delayMs);
        stopSent = false;
        recordTop = 0;
        ThinkAndChoose(maxDepth);
        recordTop = -1;
        const auto end = std::chrono::steady_clock::now();
        ClearMessages();
        if (!stopSent) continue;  // the search ended by itself first
        const double post = std::chrono::duration<double, std::milli>(end - stopPosted).count();
        const double due = std::chrono::duration<double, std::milli>(end - stopDue).count();
        fromPost.push_back(post);
        fromDue.push_back(due);
        std::printf("stop %s after %d ms: post->return %.3f ms due->return %.3f ms depth %d\n",
                    position.name, delayMs, post, due, iterationDepth);
    }
    SetNativeEventPull(nullptr);
    if (fromPost.empty()) return 1;
    std::sort(fromPost.begin(), fromPost.end());
    std::sort(fromDue.begin(), fromDue.end());
    std::printf(
        "stop-latency %zu samples: post->return median %.3f max %.3f ms; "
        "due->return median %.3f max %.3f ms\n",
        fromPost.size(), fromPost[fromPost.size() / 2], fromPost.back(),
        fromDue[fromDue.size() / 2], fromDue.back());
    return 0;
}

}  // namespace xq::bench
