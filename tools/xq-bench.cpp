// Command-line benchmark and inspection tool for the rules and the engine.
//
//   xq-bench perft DEPTH [FEN]         one line per depth: perft <depth> <nodes> <milliseconds>
//   xq-bench divide DEPTH [FEN]        <iccs> <nodes> for every legal root move
//   xq-bench moves [--fen FEN] [MOVE...]
//                                      plays the ICCS moves, then lists the generated moves
//   xq-bench play [--fen FEN] MOVE...  enters the ICCS moves as the user would, one line each:
//                                      <iccs> <notation or -> <message line or ->, then
//                                      result <game result or ->
//   xq-bench queue                     nanoseconds of the empty-queue test and of a post + peek
//   xq-bench search DEPTH [FEN] [--seed N] [--line]
//                                      one line per iteration:
//                                      search <depth> <nodes> <milliseconds> <score> <iccs move>
//                                      (--line appends the best line)
//   xq-bench search-suite [DEPTH] [--seed N]
//                                      the same for a fixed set of positions, each at its own
//                                      depth unless DEPTH is given, with node rates
//   xq-bench demo GAMES [--depth D] [--seed N]
//                                      the engine plays GAMES demonstration games against itself
//                                      at the fixed-depth level: game <n> <plies> <ending>, then
//                                      demo <games> <plies> consistent (exit 1 when inconsistent)
//   xq-bench pump [DEPTH] [--rounds N] node rates of the benchmark positions with the message
//                                      pump stubbed out and real over an empty queue
//   xq-bench stop-latency [SAMPLES]    milliseconds from a posted "停止" to the search's return
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "engine/book.h"
#include "engine/commands.h"
#include "engine/flow.h"
#include "engine/search.h"
#include "engine/startup.h"
#include "engine/think.h"
#include "engine/timecontrol.h"
#include "platform/display.h"
#include "platform/messages.h"
#include "platform/random.h"
#include "records/notation.h"
#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/makemove.h"
#include "rules/movegen.h"
#include "rules/perft.h"
#include "rules/record.h"

namespace {

using namespace xq;

int Usage() {
    std::fprintf(stderr,
                 "usage: xq-bench perft DEPTH [FEN]\n"
                 "       xq-bench divide DEPTH [FEN]\n"
                 "       xq-bench moves [--fen FEN] [MOVE...]\n"
                 "       xq-bench play [--fen FEN] MOVE...\n"
                 "       xq-bench queue\n"
                 "       xq-bench search DEPTH [FEN] [--seed N] [--line]\n"
                 "       xq-bench search-suite [DEPTH] [--seed N]\n"
                 "       xq-bench demo GAMES [--depth D] [--seed N]\n"
                 "       xq-bench pump [DEPTH] [--rounds N]\n"
                 "       xq-bench stop-latency [SAMPLES]\n");
    return 2;
}

bool SetUp(std::string_view fen) {
    NewGame();
    std::string error;
    if (!ReadFen(fen, &error)) {
        std::fprintf(stderr, "xq-bench: bad FEN: %s\n", error.c_str());
        return false;
    }
    ResetAfterSetUp();
    return true;
}

bool ParseDepth(const char* text, int* depth, int maximum = 12) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 1 || value > maximum) {
        std::fprintf(stderr, "xq-bench: depth must be 1..%d, not '%s'\n", maximum, text);
        return false;
    }
    *depth = static_cast<int>(value);
    return true;
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

int RunPerft(const std::vector<std::string>& args) {
    int depth = 0;
    if (args.empty() || args.size() > 2 || !ParseDepth(args[0].c_str(), &depth)) return Usage();
    if (!SetUp(args.size() == 2 ? args[1] : std::string(kStartFen))) return 1;
    for (int d = 1; d <= depth; ++d) {
        auto start = std::chrono::steady_clock::now();
        uint64_t nodes = Perft(d);
        std::printf("perft %d %llu %.0f\n", d, static_cast<unsigned long long>(nodes),
                    MillisecondsSince(start));
        std::fflush(stdout);
    }
    return 0;
}

int RunDivide(const std::vector<std::string>& args) {
    int depth = 0;
    if (args.empty() || args.size() > 2 || !ParseDepth(args[0].c_str(), &depth)) return Usage();
    if (!SetUp(args.size() == 2 ? args[1] : std::string(kStartFen))) return 1;
    uint64_t total = 0;
    for (const auto& [move, nodes] : PerftDivide(depth)) {
        std::printf("%s %llu\n", FormatIccs(move).c_str(), static_cast<unsigned long long>(nodes));
        total += nodes;
    }
    std::printf("total %llu\n", static_cast<unsigned long long>(total));
    return 0;
}

int RunMoves(const std::vector<std::string>& args) {
    size_t next = 0;
    std::string fen(kStartFen);
    if (args.size() >= 2 && args[0] == "--fen") {
        fen = args[1];
        next = 2;
    }
    if (!SetUp(fen)) return 1;
    for (; next < args.size(); ++next) {
        Square from = 0;
        Square to = 0;
        if (!ParseIccs(args[next], &from, &to)) {
            std::fprintf(stderr, "xq-bench: '%s' is not an ICCS move\n", args[next].c_str());
            return 1;
        }
        MoveRecord move = FindGeneratedMove(from, to);
        if (move.piece == Empty) {
            std::fprintf(stderr, "xq-bench: '%s' is not a move in this position\n",
                         args[next].c_str());
            return 1;
        }
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
    }
    GenerateMoves();
    int index = 0;
    for (NextMove(); currentMove.piece != Empty; NextMove()) {
        std::printf("%d %s\n", index++, FormatIccs(currentMove).c_str());
    }
    return 0;
}

// Remembers what the message line of the panel would show.
class MessageLine : public Display {
  public:
    void ShowMessage(std::string_view text) override { text_ = text; }
    void ShowWarning(std::string_view text) override { text_ = text; }
    const std::string& Text() const { return text_; }

  private:
    std::string text_;
};

const char* OrDash(const std::string& text) {
    return text.empty() ? "-" : text.c_str();
}

int RunPlay(const std::vector<std::string>& args) {
    size_t next = 0;
    std::string fen(kStartFen);
    if (args.size() >= 2 && args[0] == "--fen") {
        fen = args[1];
        next = 2;
    }
    if (next >= args.size()) return Usage();
    if (!SetUp(fen)) return 1;
    MessageLine messageLine;
    SetDisplay(&messageLine);
    for (; next < args.size(); ++next) {
        Square from = 0;
        Square to = 0;
        if (!ParseIccs(args[next], &from, &to)) {
            std::fprintf(stderr, "xq-bench: '%s' is not an ICCS move\n", args[next].c_str());
            SetDisplay(nullptr);
            return 1;
        }
        const Side mover = sideToMove;
        const bool accepted = ValidateEnteredMove(from, to);
        const std::string notation = accepted ? FormatMove(enteredMove, mover) : "";
        std::printf("%s %s %s\n", args[next].c_str(), OrDash(notation), OrDash(messageLine.Text()));
    }
    std::printf("result %s\n", gameOver ? OrDash(gameResultText) : "-");
    SetDisplay(nullptr);
    return 0;
}

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

// The positions of the search benchmark: openings, middlegames and endgames.
struct BenchPosition {
    const char* name;
    const char* fen;
    int depth;  // a depth at which the search takes a second or more
};
constexpr BenchPosition kSearchSuite[] = {
    {"opening", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1", 6},
    {"central-gunner", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1", 6},
    {"developed", "r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN3NC1/9/R1BAKAB1R w - - 0 1", 6},
    {"middlegame-gunners", "1C2ka3/9/C1Nab1n2/p3p3p/6p2/9/P3P3P/3AB4/3p2c2/c1BAK4 w - - 0 1", 9},
    {"middlegame-check", "1cbak4/9/n2a5/2p1p3p/5cp2/2n2N3/6PCP/3AB4/2C6/3A1K1N1 w - - 0 1", 8},
    {"endgame-rook", "5a3/3k5/3aR4/9/5r3/5n3/9/3A1A3/5K3/2BC2B2 w - - 0 1", 9},
    {"endgame-knight-pawns", "2bak1b2/4a4/5n3/p1p6/9/9/P3P4/4B2N1/4A4/2BAK4 w - - 0 1", 8},
};

std::chrono::steady_clock::time_point searchStarted;
bool showLine = false;

void PrintIteration() {
    const std::string move = bestLine[0].piece != Empty ? FormatIccs(bestLine[0]) : "none";
    std::printf("search %d %llu %.0f %d %s", iterationDepth,
                static_cast<unsigned long long>(nodeCount), MillisecondsSince(searchStarted),
                searchScore, move.c_str());
    if (showLine) {
        std::printf(" line");
        for (int k = 0; k < kLineLength && bestLine[k].piece != Empty; ++k)
            std::printf(" %s", FormatIccs(bestLine[k]).c_str());
    }
    std::printf("\n");
    std::fflush(stdout);
}

// One search at the fixed-depth level from the current position, untimed as the benchmark has
// always run it; `hook` runs after every iteration.
void ThinkAtFixedDepth(int depth, IterationHook hook) {
    levelKind = kLevelFixedDepth;
    maxDepth = static_cast<uint8_t>(depth);
    timedThinking = 0;
    pondering = 0;
    iterationHook = hook;
    recordTop = 0;
    ThinkAndChoose(maxDepth);
    recordTop = -1;
    iterationHook = nullptr;
}

// Runs one fixed-depth search from `fen`; returns false on a bad FEN.
bool BenchSearch(std::string_view fen, int depth, uint64_t seed, uint64_t* nodes, double* ms) {
    if (!SetUp(fen)) return false;
    SeedRandom(seed);
    searchStarted = std::chrono::steady_clock::now();
    ThinkAtFixedDepth(depth, PrintIteration);
    *nodes = nodeCount;
    *ms = MillisecondsSince(searchStarted);
    return true;
}

// Takes "--seed N" out of `args`; false when N is not a number.
bool TakeSeed(std::vector<std::string>* args, uint64_t* seed) {
    for (size_t i = 0; i < args->size(); ++i) {
        if ((*args)[i] != "--seed") continue;
        if (i + 1 >= args->size()) return false;
        char* end = nullptr;
        *seed = std::strtoull((*args)[i + 1].c_str(), &end, 10);
        if (*end != '\0') return false;
        args->erase(args->begin() + static_cast<long>(i), args->begin() + static_cast<long>(i) + 2);
        return true;
    }
    return true;
}

// Takes "--line" out of `args`.
void TakeLineOption(std::vector<std::string>* args) {
    for (size_t i = 0; i < args->size(); ++i) {
        if ((*args)[i] != "--line") continue;
        showLine = true;
        args->erase(args->begin() + static_cast<long>(i));
        return;
    }
}

int RunSearch(std::vector<std::string> args) {
    uint64_t seed = 1;
    int depth = 0;
    TakeLineOption(&args);
    if (!TakeSeed(&args, &seed) || args.empty() || args.size() > 2 ||
        !ParseDepth(args[0].c_str(), &depth, kLineLength)) {
        return Usage();
    }
    uint64_t nodes = 0;
    double ms = 0;
    return BenchSearch(args.size() == 2 ? args[1] : std::string(kStartFen), depth, seed, &nodes,
                       &ms)
               ? 0
               : 1;
}

int RunSearchSuite(std::vector<std::string> args) {
    uint64_t seed = 1;
    int depth = 0;  // 0: each position's own depth
    if (!TakeSeed(&args, &seed) || args.size() > 1 ||
        (args.size() == 1 && !ParseDepth(args[0].c_str(), &depth, kLineLength))) {
        return Usage();
    }
    uint64_t totalNodes = 0;
    double totalMs = 0;
    for (const BenchPosition& position : kSearchSuite) {
        std::printf("position %s\n", position.name);
        uint64_t nodes = 0;
        double ms = 0;
        if (!BenchSearch(position.fen, depth > 0 ? depth : position.depth, seed, &nodes, &ms))
            return 1;
        std::printf("total %s %llu nodes %.0f ms %.0f knodes/s\n", position.name,
                    static_cast<unsigned long long>(nodes), ms, ms > 0 ? nodes / ms : 0.0);
        totalNodes += nodes;
        totalMs += ms;
    }
    std::printf("suite: %llu nodes %.0f ms %.0f knodes/s\n",
                static_cast<unsigned long long>(totalNodes), totalMs,
                totalMs > 0 ? totalNodes / totalMs : 0.0);
    return 0;
}

// Takes "NAME VALUE" out of `args` as a number; false when VALUE is missing or not a number.
bool TakeNumberOption(std::vector<std::string>* args, std::string_view name, long* value) {
    for (size_t i = 0; i < args->size(); ++i) {
        if ((*args)[i] != name) continue;
        if (i + 1 >= args->size()) return false;
        char* end = nullptr;
        *value = std::strtol((*args)[i + 1].c_str(), &end, 10);
        if (*end != '\0') return false;
        args->erase(args->begin() + static_cast<long>(i), args->begin() + static_cast<long>(i) + 2);
        return true;
    }
    return true;
}

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

class DemoCheck : public Display {
  public:
    void ShowTurn(Side) override {
        if (demoRun.inconsistentAt < 0 && !PositionIsConsistent())
            demoRun.inconsistentAt = demoRun.plies + plyCount;
    }
};

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
    InitEngine();
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
int RunPump(std::vector<std::string> args) {
    long rounds = 3;
    int depth = 0;
    if (!TakeNumberOption(&args, "--rounds", &rounds) || rounds < 1 || args.size() > 1 ||
        (args.size() == 1 && !ParseDepth(args[0].c_str(), &depth, kLineLength))) {
        return Usage();
    }
    InitEngine();
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

int RunStopLatency(const std::vector<std::string>& args) {
    long samples = 21;
    if (args.size() > 1 ||
        (args.size() == 1 && (samples = std::strtol(args[0].c_str(), nullptr, 10)) < 1)) {
        return Usage();
    }
    InitEngine();
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    InitAttackTable();
    std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "perft") return RunPerft(args);
    if (command == "divide") return RunDivide(args);
    if (command == "moves") return RunMoves(args);
    if (command == "play") return RunPlay(args);
    if (command == "queue") return RunQueue(args);
    if (command == "search") return RunSearch(args);
    if (command == "search-suite") return RunSearchSuite(args);
    if (command == "demo") return RunDemo(args);
    if (command == "pump") return RunPump(args);
    if (command == "stop-latency") return RunStopLatency(args);
    return Usage();
}
