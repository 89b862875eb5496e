// xq-bench analyse: a game of a PGN file analysed by the 大师 engine, one line a move.
#include <cstdio>
#include <cstdlib>

#include "engine/analysis.h"
#include "records/exchange.h"
#include "records/pgn.h"
#include "rules/fen.h"
#include "tools/bench/bench.h"

namespace xq::bench {

namespace {

constexpr long kDefaultMovetime = 1000;

}  // namespace

// One line a ply: <ply> <move> <value> <best move> <mark> <loss>, the value in Pawns from Red's
// view after the move, the best move the engine's in the position before it, "-" for no mark, the
// loss the Pawns the move gave away by the engine's measure. The time taken goes to standard
// error.
int RunAnalyse(std::vector<std::string> args) {
    long movetime = kDefaultMovetime;
    long number = 1;
    long depth = 0;
    if (!TakeNumberOption(&args, "--movetime", &movetime) ||
        !TakeNumberOption(&args, "--game", &number) ||
        !TakeNumberOption(&args, "--depth", &depth) || args.size() != 1 || movetime < 1 ||
        number < 1 || depth < 0) {
        return Usage();
    }
    std::string bytes;
    std::string error;
    PgnGame game;
    if (!ReadGameText(args[0], &bytes, &error) ||
        !ReadPgn(bytes, &game, &error, static_cast<size_t>(number))) {
        std::printf("refused %s\n", error.c_str());
        return 1;
    }
    Position start{};
    if (!ReadFen(start, game.startFen.empty() ? kStartFen : game.startFen, &error)) {
        std::printf("refused %s\n", error.c_str());
        return 1;
    }
    GameAnalysis analysis(start, game.moves);
    analysis.SetSecondsPerMove(static_cast<double>(movetime) / 1000);
    analysis.SetDepth(static_cast<int>(depth));
    const auto started = std::chrono::steady_clock::now();
    analysis.Run([](const PlyAnalysis& ply) {
        const MoveValue& value = ply.value;
        std::printf("%d %s %s %s %s %.2f\n", ply.ply, FormatIccs(ply.played).c_str(),
                    FormatPawns(value.redValue).c_str(),
                    value.best.piece ? FormatIccs(value.best).c_str() : "-",
                    value.mark == MoveMark::None ? "-" : MarkText(value.mark), ply.loss / 100.0);
        std::fflush(stdout);
    });
    std::fprintf(stderr, "analysed %d plies in %.0f ms\n", analysis.PlyCount(),
                 MillisecondsSince(started));
    return 0;
}

}  // namespace xq::bench
