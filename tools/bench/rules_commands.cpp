// xq-bench commands on the rules: perft, divide, the generated move list, playing moves.
#include <cstdio>

#include "platform/display.h"
#include "records/notation.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/makemove.h"
#include "rules/perft.h"
#include "rules/record.h"

#include "tools/bench/bench.h"

namespace xq::bench {

namespace {

// The position of an optional leading "--fen FEN" (the opening array without one); returns the
// index of the first argument after it.
size_t LeadingFen(const std::vector<std::string>& args, std::string* fen) {
    if (args.size() >= 2 && args[0] == "--fen") {
        *fen = args[1];
        return 2;
    }
    *fen = kStartFen;
    return 0;
}

}  // namespace

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
    std::string fen;
    size_t next = LeadingFen(args, &fen);
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
        // As a committed game move: however many moves are given, the record slides.
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
        SlideRecord();
    }
    GenerateMoves();
    int index = 0;
    for (NextMove(); currentMove.piece != Empty; NextMove()) {
        std::printf("%d %s\n", index++, FormatIccs(currentMove).c_str());
    }
    return 0;
}

namespace {

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

}  // namespace

int RunPlay(const std::vector<std::string>& args) {
    std::string fen;
    size_t next = LeadingFen(args, &fen);
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

}  // namespace xq::bench
