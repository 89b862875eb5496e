// Figures of the game's window, measured on whatever display Qt is given (Xvfb, or offscreen):
//   xq-window-bench startup        milliseconds from the start of the process and of main() to the
//                                  first painted board, and the resident memory then
//   xq-window-bench redraw [N]     microseconds of one full RedrawAll, over N redraws (default 200)
//   xq-window-bench pump [ROUNDS]  the cost of one pull of Qt's events, and the search's node rate
//                                  with the window's event source attached against the pump
//                                  switched off, best of ROUNDS (default 3)
//   xq-window-bench pump-detached [ROUNDS]   the same with the event source detached (control)
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/pump.h"
#include "engine/search.h"
#include "engine/think.h"
#include "engine/timecontrol.h"
#include "platform/messages.h"
#include "platform/random.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/record.h"
#include "ui/canvaswidget.h"
#include "ui/forms/mainform.h"
#include "ui/qteventsource.h"

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point mainEntered;
bool painted = false;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
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

int Usage() {
    std::fprintf(stderr,
                 "usage: xq-window-bench startup | redraw [N] | pump [ROUNDS] | "
                 "pump-detached [ROUNDS]\n");
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
    return Usage();
}
