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
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/display.h"
#include "records/notation.h"
#include "platform/messages.h"
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
                 "       xq-bench queue\n");
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
    clockSide = sideToMove;  // the first move's clock is the mover's
    return true;
}

bool ParseDepth(const char* text, int* depth) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 1 || value > 12) {
        std::fprintf(stderr, "xq-bench: depth must be 1..12, not '%s'\n", text);
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
    return Usage();
}
