// Figures of the game's window, measured on whatever display Qt is given (Xvfb, or offscreen):
//   xq-window-bench startup        milliseconds from the start of the process and of main() to the
//                                  first painted board, and the resident memory then
//   xq-window-bench redraw [N]     microseconds of one full RedrawAll, over N redraws (default 200)
//   xq-window-bench pump [ROUNDS]  the cost of one pull of Qt's events, and the search's node rate
//                                  with the window's event source attached against the pump
//                                  switched off, best of ROUNDS (default 3)
//   xq-window-bench pump-detached [ROUNDS]   the same with the event source detached (control)
//   xq-window-bench analyse FILE.pgn [--game N] [--movetime MS] [--engine classic|master]
//                                  [--search-ms T | --depth D]
//                                  game N imported and analysed as "分析棋局" does it, MS a move
//                                  (default 1000); meanwhile the lateness of a 10 ms timer, the
//                                  time of review steps to the board's repaint, and the stop
//                                  latency and node rate of the game's engine (the classic one
//                                  by default) under the pump; its fixed-depth searches at
//                                  depth D, or the first depth that takes T ms (default 300)
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/commands.h"
#include "engine/enginechoice.h"
#include "engine/movevalues.h"
#include "engine/pump.h"
#include "engine/search.h"
#include "engine/think.h"
#include "engine/timecontrol.h"
#include "platform/display.h"
#include "platform/messages.h"
#include "platform/random.h"
#include "records/exchange.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/record.h"
#include "ui/canvaswidget.h"
#include "ui/forms/mainform.h"
#include "ui/gameanalyser.h"
#include "ui/movelist.h"
#include "ui/qteventsource.h"
#include "ui/review.h"

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point mainEntered;
bool painted = false;

double MillisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double MillisecondsSince(Clock::time_point start) {
    return MillisecondsBetween(start, Clock::now());
}

// Milliseconds since the process was started, from its start time in /proc (clock ticks).
double MillisecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i)
        fields >> field;  // field 22: start time
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    std::ifstream uptimeFile("/proc/uptime");
    double uptime = 0;
    uptimeFile >> uptime;
    return (uptime - std::stod(field) / ticks) * 1000.0;
}

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

void NoteFirstPaint() {
    painted = true;
}

// Shows the window and lets Qt run until the board has been painted once.
void ShowAndWaitForPaint(xq::TMainForm& window) {
    window.Board()->afterPaint = NoteFirstPaint;
    window.show();
    while (!painted)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

int Startup(xq::TMainForm& window) {
    ShowAndWaitForPaint(window);
    const double sinceMain = MillisecondsSince(mainEntered);
    std::printf("startup first-paint %.1f ms since main, about %.0f ms since process start\n",
                sinceMain, MillisecondsSinceProcessStart());
    std::printf("startup rss %ld kB\n", ResidentKilobytes());
    return 0;
}

int Redraw(xq::TMainForm& window, int count) {
    ShowAndWaitForPaint(window);
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < count; ++i)
        window.Renderer().RedrawAll();
    const double ms = MillisecondsSince(start);
    QApplication::processEvents();
    std::printf("redraw %d RedrawAll %.1f us each\n", count, ms * 1000.0 / count);
    return 0;
}

// The positions of the pump figure: an opening, a middlegame and an endgame.
const struct {
    const char* name;
    const char* fen;
    int depth;
} kPumpPositions[] = {
    {"opening", "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w", 6},
    {"middlegame", "1cbak4/9/n2a5/2p1p3p/5cp2/2n2N3/6PCP/3AB4/2C6/3A1K1N1 w", 8},
    {"endgame", "5a3/3k5/3aR4/9/5r3/5n3/9/3A1A3/5K3/2BC2B2 w", 9},
};

// The window's pull, timed: how often the search pulled and how long the pulls took.
long pullCount = 0;
double pullMilliseconds = 0;
void TimedPull() {
    const Clock::time_point start = Clock::now();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    pullMilliseconds += MillisecondsSince(start);
    ++pullCount;
}

// One search at the fixed-depth level as the game runs it; nodes per millisecond.
double PumpRound(const char* fen, int depth, bool pumpOn, uint64_t* nodes) {
    using namespace xq;
    NewGame();
    std::string error;
    ReadFen(fen, &error);
    ResetAfterSetUp();
    SeedRandom(1);
    levelKind = kLevelFixedDepth;
    maxDepth = static_cast<uint8_t>(depth);
    ComputeTimeLimit();
    pumpDisabled = !pumpOn;
    const Clock::time_point start = Clock::now();
    recordTop = 0;
    ThinkAndChoose(maxDepth);
    recordTop = -1;
    const double ms = MillisecondsSince(start);
    pumpDisabled = false;
    *nodes = nodeCount;
    return ms > 0 ? static_cast<double>(nodeCount) / ms : 0.0;
}

int Pump(xq::TMainForm& window, int rounds) {
    ShowAndWaitForPaint(window);
    // The native pull by itself: what one pull of Qt's events costs the search, once per 10 ms.
    constexpr int kPulls = 20000;
    const Clock::time_point pullStart = Clock::now();
    for (int i = 0; i < kPulls; ++i)
        xq::PullNativeEvents();
    const double pullMicroseconds = MillisecondsSince(pullStart) * 1000.0 / kPulls;
    std::printf("pump pull %.1f us each, %.2f %% of a 10 ms interval\n", pullMicroseconds,
                pullMicroseconds / 100.0);
    if (pullMicroseconds > 0) xq::SetNativeEventPull(TimedPull);
    double offMs = 0, onMs = 0;
    for (const auto& position : kPumpPositions) {
        double bestOff = 0, bestOn = 0;
        uint64_t nodesOff = 0, nodesOn = 0;
        for (int round = 0; round < rounds; ++round) {
            bestOff = std::max(bestOff, PumpRound(position.fen, position.depth, false, &nodesOff));
            bestOn = std::max(bestOn, PumpRound(position.fen, position.depth, true, &nodesOn));
        }
        std::printf(
            "pump %s depth %d nodes %llu stubbed %.0f knodes/s with-qt %.0f knodes/s "
            "ratio %.3f\n",
            position.name, position.depth, static_cast<unsigned long long>(nodesOn), bestOff,
            bestOn, bestOn / bestOff);
        std::printf("pump %s pulls %ld taking %.2f ms in all\n", position.name, pullCount,
                    pullMilliseconds);
        pullCount = 0;
        pullMilliseconds = 0;
        std::fflush(stdout);
        offMs += static_cast<double>(nodesOff) / bestOff;
        onMs += static_cast<double>(nodesOn) / bestOn;
    }
    std::printf("pump all: stubbed %.0f ms with-qt %.0f ms ratio %.3f\n", offMs, onMs,
                offMs / onMs);
    return 0;
}

// --- analyse: the window while "分析棋局" runs ---

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// Median, 99th percentile and largest of a set of milliseconds.
struct Spread {
    size_t count = 0;
    double median = 0, p99 = 0, max = 0;
};

Spread SpreadOf(std::vector<double> values) {
    Spread spread;
    spread.count = values.size();
    if (values.empty()) return spread;
    std::sort(values.begin(), values.end());
    spread.median = values[values.size() / 2];
    spread.p99 = values[std::min(values.size() - 1, values.size() * 99 / 100)];
    spread.max = values.back();
    return spread;
}

// What the probes of the game's engine found in one phase of the run: "停止" due to the search's
// return, the nodes of those searches, and fixed-depth searches with the pump on and switched off.
struct ProbeRound {
    std::vector<double> dueToReturn;
    uint64_t nodes = 0;
    double searchMs = 0;
    double bestPumpOff = 0, bestPumpOn = 0;  // knodes/s, the best of the fixed-depth searches
    long pulls = 0;                          // the window's pulls in the searches with the pump
    double pullMs = 0, searchOnMs = 0;       // their time, and the time of those searches
};

// Everything the run collects; all of it on the window's thread.
struct AnalyseRun {
    std::vector<double> lateIdle;     // the 10 ms timer's lateness, the game's engine idle
    std::vector<double> lateSearch;   // the same while the game's engine searches
    bool discardTick = false;         // the tick held up by a search with the pump off
    std::vector<double> reviewSteps;  // a key in the move list to the board's repaint
    int steps = 0;
    int stepsUnpainted = 0;
    bool stepPending = false;
    bool walkingBack = true;
    Clock::time_point stepPosted;
    int depth = 0;          // of the fixed-depth searches
    double searchMs = 300;  // the least time of a fixed-depth search, which sets the depth
    ProbeRound before;      // the game's engine before the analysis starts
    ProbeRound during;
};

AnalyseRun analyseRun;

// A 10 ms timer armed afresh at every tick, so that each tick's lateness is its own.
class LatenessTimer {
  public:
    static constexpr int kIntervalMs = 10;

    LatenessTimer() {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    }
    void Start() {
        due_ = Clock::now() + std::chrono::milliseconds(kIntervalMs);
        timer_.start(kIntervalMs);
    }
    void Stop() { timer_.stop(); }

  private:
    void Tick() {
        const double late = MillisecondsBetween(due_, Clock::now());
        if (std::exchange(analyseRun.discardTick, false)) return Start();
        (xq::thinking ? analyseRun.lateSearch : analyseRun.lateIdle).push_back(late);
        Start();
    }

    QTimer timer_;
    Clock::time_point due_;
};

// One step of the user through the game: Left from the game's end down to twenty moves before
// it, then Right back to it, a key posted to the move list as the keyboard's would be. A step
// whose repaint has not come within a second counts as unpainted.
constexpr int kWalkLength = 20;

void StepReview(xq::TMainForm& window) {
    AnalyseRun& run = analyseRun;
    if (run.stepPending) {
        if (MillisecondsSince(run.stepPosted) < 1000) return;
        ++run.stepsUnpainted;
    }
    const xq::GameReview& review = window.Review();
    if (!review.Active()) run.walkingBack = true;
    if (review.Active() && review.ShownPly() <= xq::plyCount - kWalkLength) run.walkingBack = false;
    QCoreApplication::postEvent(
        window.MoveList(),
        new QKeyEvent(QEvent::KeyPress, run.walkingBack ? Qt::Key_Left : Qt::Key_Right,
                      Qt::NoModifier));
    run.stepPosted = Clock::now();
    run.stepPending = true;
    ++run.steps;
}

void NoteStepPainted() {
    if (!analyseRun.stepPending) return;
    analyseRun.reviewSteps.push_back(MillisecondsSince(analyseRun.stepPosted));
    analyseRun.stepPending = false;
}

// One search of the game's engine from the game's position at `level` as the game runs it; the
// game and its level are as before afterwards. The milliseconds it took.
double SearchGamePosition(uint8_t level, int depth) {
    using namespace xq;
    const uint8_t gameLevel = levelKind;
    const uint8_t gameDepth = maxDepth;
    levelKind = level;
    maxDepth = static_cast<uint8_t>(depth);
    ComputeTimeLimit();
    const Clock::time_point start = Clock::now();
    RebaseRecord();
    recordTop = 0;
    ThinkWithChosenEngine(maxDepth);
    recordTop = -1;
    const double ms = MillisecondsSince(start);
    timedThinking = 0;
    SetCursor(Cursor::Arrow);
    levelKind = gameLevel;
    maxDepth = gameDepth;
    return ms;
}

// A search without limit, "停止" posted `delayMs` into it by a timer, as the window posts the
// user's click. A search that ends before the stop is due is not counted.
void StopProbe(int delayMs, ProbeRound& round) {
    QTimer stop;
    stop.setSingleShot(true);
    stop.setTimerType(Qt::PreciseTimer);
    QObject::connect(&stop, &QTimer::timeout,
                     [] { PostToMainWindow(xq::MessageKind::Command, xq::kCommandStop); });
    stop.start(delayMs);
    const double ms = SearchGamePosition(xq::kLevelUnlimited, xq::kLineLength);
    stop.stop();
    if (ms < delayMs) return;
    round.dueToReturn.push_back(ms - delayMs);
    round.nodes += xq::nodeCount;
    round.searchMs += ms;
}

// One search at the chosen fixed depth; its nodes per millisecond, and its time in `ms`.
double FixedDepthRate(double* ms) {
    xq::NewGameForMasterEngine();  // the 大师 engine's table would favour the later searches
    *ms = SearchGamePosition(xq::kLevelFixedDepth, analyseRun.depth);
    return *ms > 0 ? static_cast<double>(xq::nodeCount) / *ms : 0.0;
}

// The fixed-depth search with the pump switched off, then on, three times; the best rate of
// each counts, as the other load on the machine only ever slows a search down. The window does
// not run while the pump is off, so the tick it held up is not counted.
void PumpProbe(ProbeRound& round) {
    for (int pair = 0; pair < 3; ++pair) {
        double ms = 0;
        xq::pumpDisabled = true;
        round.bestPumpOff = std::max(round.bestPumpOff, FixedDepthRate(&ms));
        xq::pumpDisabled = false;
        analyseRun.discardTick = true;
        pullCount = 0;
        pullMilliseconds = 0;
        round.bestPumpOn = std::max(round.bestPumpOn, FixedDepthRate(&ms));
        round.pulls += pullCount;
        round.pullMs += pullMilliseconds;
        round.searchOnMs += ms;
    }
}

// The depth of the fixed-depth searches: the first that takes searchMs or more.
int ChooseDepth() {
    int depth = 3;
    while (depth < xq::kLineLength - 1 &&
           SearchGamePosition(xq::kLevelFixedDepth, depth) < analyseRun.searchMs)
        ++depth;
    return depth;
}

// Five stop probes, the stop due 100 to 500 ms into the search, and the pump probe; the board
// back at the game first, as a user's move would bring it.
void ProbeGameEngine(xq::TMainForm& window, ProbeRound& round) {
    window.Review().Leave();
    for (int delayMs = 100; delayMs <= 500; delayMs += 100)
        StopProbe(delayMs, round);
    PumpProbe(round);
}

void PrintSpread(const char* what, const std::vector<double>& values) {
    const Spread spread = SpreadOf(values);
    std::printf("analyse %s: %zu, median %.2f p99 %.2f max %.2f ms\n", what, spread.count,
                spread.median, spread.p99, spread.max);
}

void PrintProbes(const char* when, const ProbeRound& round) {
    const Spread spread = SpreadOf(round.dueToReturn);
    std::printf(
        "analyse stop-latency %s: %zu samples, due->return median %.2f max %.2f ms; "
        "%.0f knodes/s\n",
        when, spread.count, spread.median, spread.max,
        round.searchMs > 0 ? static_cast<double>(round.nodes) / round.searchMs : 0.0);
    std::printf(
        "analyse pump %s: depth %d, best pump off %.0f knodes/s, with the window %.0f knodes/s, "
        "ratio %.3f\n",
        when, analyseRun.depth, round.bestPumpOff, round.bestPumpOn,
        round.bestPumpOn / round.bestPumpOff);
    std::printf(
        "analyse pump %s: %ld pulls of the window's events taking %.1f ms of %.0f ms "
        "searched (%.2f %%)\n",
        when, round.pulls, round.pullMs, round.searchOnMs, 100.0 * round.pullMs / round.searchOnMs);
}

int AnalysedPlies() {
    return static_cast<int>(std::count_if(xq::moveValues.begin(), xq::moveValues.end(),
                                          [](const xq::MoveValue& v) { return v.analysed; }));
}

struct AnalyseOptions {
    std::string file;
    long game = 1;
    long movetimeMs = 1000;
    xq::EngineKind engine = xq::EngineKind::Classic;  // the game's engine
};

// Runs Qt's event loop until the analysis ends, stepping through the game every second and
// probing the game's engine when a quarter, a half and three quarters of the plies are done.
// False when it has not ended in three times its planned time and a minute.
bool RunUntilAnalysed(xq::TMainForm& window, xq::GameAnalyser& analyser, long movetimeMs) {
    const double limitMs = 3.0 * movetimeMs * (analyser.PlyCount() + 1) + 60'000;
    const Clock::time_point start = Clock::now();
    int nextProbe = 1;
    QEventLoop loop;
    QTimer second;
    QObject::connect(&second, &QTimer::timeout, [&] {
        if (!analyser.Running() || MillisecondsSince(start) > limitMs) return loop.quit();
        if (nextProbe < 4 && analyser.PliesDone() * 4 >= nextProbe * analyser.PlyCount()) {
            ++nextProbe;
            return ProbeGameEngine(window, analyseRun.during);
        }
        StepReview(window);
    });
    second.start(1000);
    loop.exec();
    return !analyser.Running();
}

int Analyse(xq::TMainForm& window, const AnalyseOptions& options) {
    ShowAndWaitForPaint(window);
    if (const std::string error = xq::ImportGame(options.file, static_cast<size_t>(options.game));
        !error.empty()) {
        std::fprintf(stderr, "xq-window-bench: %s\n", error.c_str());
        return 1;
    }
    QApplication::processEvents();
    xq::engineKind = options.engine;
    xq::SetNativeEventPull(TimedPull);  // the pull as the window installs it, timed
    std::printf("analyse the game's engine: %s\n",
                options.engine == xq::EngineKind::Master ? "大师" : "classic");
    std::printf("analyse load average before: %s\n", LoadAverage().c_str());
    if (analyseRun.depth == 0) analyseRun.depth = ChooseDepth();
    ProbeGameEngine(window, analyseRun.before);
    window.Board()->afterPaint = NoteStepPainted;
    LatenessTimer lateness;
    analyseRun.discardTick = false;
    lateness.Start();
    std::string error;
    const Clock::time_point start = Clock::now();
    xq::GameAnalyser* analyser =
        xq::GameAnalyser::Start(&window, options.movetimeMs / 1000.0, &error);
    if (analyser == nullptr) {
        std::fprintf(stderr, "xq-window-bench: %s\n", error.c_str());
        return 1;
    }
    const bool ended = RunUntilAnalysed(window, *analyser, options.movetimeMs);
    const double totalMs = MillisecondsSince(start);
    lateness.Stop();
    std::printf("analyse game %ld: %d plies at %ld ms, %s in %.1f s; %d plies analysed\n",
                options.game, analyser->PlyCount(), options.movetimeMs, ended ? "done" : "NOT DONE",
                totalMs / 1000.0, AnalysedPlies());
    PrintSpread("10 ms timer late, engine idle", analyseRun.lateIdle);
    PrintSpread("10 ms timer late, engine searching", analyseRun.lateSearch);
    PrintSpread("review step key->repaint", analyseRun.reviewSteps);
    std::printf("analyse review steps without repaint: %d of %d\n", analyseRun.stepsUnpainted,
                analyseRun.steps);
    PrintProbes("before", analyseRun.before);
    PrintProbes("during", analyseRun.during);
    std::printf("analyse load average after: %s\n", LoadAverage().c_str());
    return ended && AnalysedPlies() == analyser->PlyCount() ? 0 : 1;
}

// FILE [--game N] [--movetime MS] [--engine classic|master] [--search-ms T | --depth D]
bool ParseAnalyseOptions(int argc, char* argv[], AnalyseOptions* options) {
    if (argc < 3) return false;
    options->file = argv[2];
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string text = argv[i + 1];
        const long value = std::strtol(text.c_str(), nullptr, 10);
        if (name == "--engine" && (text == "classic" || text == "master")) {
            options->engine = text == "master" ? xq::EngineKind::Master : xq::EngineKind::Classic;
        } else if (value < 1) {
            return false;
        } else if (name == "--game") {
            options->game = value;
        } else if (name == "--movetime") {
            options->movetimeMs = value;
        } else if (name == "--search-ms") {
            analyseRun.searchMs = static_cast<double>(value);
        } else if (name == "--depth") {
            analyseRun.depth = static_cast<int>(value);
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: xq-window-bench startup | redraw [N] | pump [ROUNDS] | "
                 "pump-detached [ROUNDS] |\n"
                 "       analyse FILE.pgn [--game N] [--movetime MS] [--engine classic|master] "
                 "[--search-ms T | --depth D]\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    mainEntered = Clock::now();
    QApplication application(argc, argv);
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    const int number = argc > 2 ? std::atoi(argv[2]) : 0;
    xq::TMainForm window;
    if (command == "startup") return Startup(window);
    if (command == "redraw") return Redraw(window, number > 0 ? number : 200);
    if (command == "pump") return Pump(window, number > 0 ? number : 3);
    if (command == "pump-detached") {
        // The control: the same comparison with the window's event source taken off the queue.
        xq::DetachQtEventSource();
        return Pump(window, number > 0 ? number : 3);
    }
    if (command == "analyse") {
        AnalyseOptions options;
        return ParseAnalyseOptions(argc, argv, &options) ? Analyse(window, options) : Usage();
    }
    return Usage();
}
