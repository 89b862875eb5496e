// xq-bench commands on shared game records: reading a PGN file, writing moves as PGN.
#include <cstdio>

#include "records/exchange.h"
#include "records/movetext.h"
#include "records/pgn.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/makemove.h"

#include "tools/bench/bench.h"

namespace xq::bench {

namespace {

int ImportPgn(const std::string& path) {
    std::string bytes;
    PgnGame game;
    std::string error;
    if (!ReadGameText(path, &bytes, &error) || !ReadPgn(bytes, &game, &error)) {
        std::printf("refused %s\n", error.c_str());
        return 1;
    }
    std::printf("accepted %zu %s\n", game.moves.size(), game.finalFen.c_str());
    return 0;
}

// The moves (in any notation the reader takes) from --fen FEN or the opening array.
int ExportPgn(std::vector<std::string> args) {
    const PgnNotation notation =
        std::erase(args, "--chinese") > 0 ? PgnNotation::Chinese : PgnNotation::Iccs;
    PgnGame game;
    if (args.size() >= 2 && args[0] == "--fen") {
        game.startFen = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (!SetUp(game.startFen.empty() ? std::string(kStartFen) : game.startFen)) return 1;
    for (const std::string& text : args) {
        MoveRecord move;
        if (ReadMoveText(text, &move) != MoveTextResult::Found) {
            std::fprintf(stderr, "xq-bench: '%s' is not a legal move here\n", text.c_str());
            return 1;
        }
        game.moves.push_back(move);
        MakeMove(move, false);
        SwapSides();
    }
    game.result = GameResultTag();  // a mate or stalemate ends the game
    // The writer sets the start up again itself.
    std::fputs(WritePgn(game, notation).c_str(), stdout);
    return 0;
}

}  // namespace

int RunPgn(std::vector<std::string> args) {
    if (args.size() == 2 && args[0] == "import") return ImportPgn(args[1]);
    if (!args.empty() && args[0] == "export") {
        args.erase(args.begin());
        return ExportPgn(args);
    }
    return Usage();
}

}  // namespace xq::bench
