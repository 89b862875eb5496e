// xq-bench commands on shared game records: reading a PGN file, writing moves as PGN.
#include <cstdio>
#include <cstdlib>

#include "records/exchange.h"
#include "records/movetext.h"
#include "records/pgn.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/makemove.h"

#include "tools/bench/bench.h"

namespace xq::bench {

namespace {

bool ReadFile(const std::string& path, std::string* bytes) {
    std::string error;
    if (ReadGameText(path, bytes, &error)) return true;
    std::printf("refused %s\n", error.c_str());
    return false;
}

// Game `number` of the file, or false once the refusal is printed.
bool ReadGame(const std::string& path, size_t number, PgnGame* game) {
    std::string bytes;
    std::string error;
    if (!ReadFile(path, &bytes)) return false;
    if (ReadPgn(bytes, game, &error, number)) return true;
    std::printf("refused %s\n", error.c_str());
    return false;
}

int ImportPgn(const std::string& path, size_t number) {
    PgnGame game;
    if (!ReadGame(path, number, &game)) return 1;
    std::printf("accepted %zu %s\n", game.moves.size(), game.finalFen.c_str());
    return 0;
}

// Game `number` of the file written again by our writer, as "导出棋谱" writes a game.
int ConvertPgn(const std::string& path, size_t number, PgnNotation notation) {
    PgnGame game;
    if (!ReadGame(path, number, &game)) return 1;
    std::fputs(WritePgn(game, notation).c_str(), stdout);
    return 0;
}

// One line a game: its number, result, plies, Event, Red and Black, or its refusal. With
// `replay`, for referees: number, start FEN, final FEN and the moves in ICCS, tab-separated.
int ListPgn(const std::string& path, bool replay) {
    std::string bytes;
    std::vector<PgnEntry> games;
    std::string error;
    if (!ReadFile(path, &bytes)) return 1;
    if (!ReadPgnGames(bytes, &games, &error)) {
        std::printf("refused %s\n", error.c_str());
        return 1;
    }
    int refused = 0;
    for (size_t i = 0; i < games.size(); ++i) {
        const PgnGame& game = games[i].game;
        if (!games[i].error.empty()) {
            std::printf("%zu\trefused\t%s\n", i + 1, games[i].error.c_str());
            ++refused;
        } else if (replay) {
            std::string moves;
            SetUp(game.startFen.empty() ? std::string(kStartFen) : game.startFen);
            for (const MoveRecord& move : game.moves) {
                if (!moves.empty()) moves += ' ';
                moves += FormatIccs(move);
            }
            std::printf("%zu\t%s\t%s\t%s\n", i + 1,
                        game.startFen.empty() ? kStartFen.data() : game.startFen.c_str(),
                        game.finalFen.c_str(), moves.c_str());
        } else {
            std::printf("%zu\t%s\t%zu\t%s\t%s\t%s\n", i + 1, game.result.c_str(), game.moves.size(),
                        game.Tag("Event").c_str(), game.Tag("Red").c_str(),
                        game.Tag("Black").c_str());
        }
    }
    return refused == 0 ? 0 : 1;
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
    if (args.size() == 2 && args[0] == "import") return ImportPgn(args[1], 1);
    if (args.size() == 4 && args[0] == "import" && args[2] == "--game")
        return ImportPgn(args[1], std::strtoul(args[3].c_str(), nullptr, 10));
    if (args.size() >= 2 && args[0] == "convert") {
        const PgnNotation notation =
            std::erase(args, "--chinese") > 0 ? PgnNotation::Chinese : PgnNotation::Iccs;
        const size_t number = args.size() == 4 && args[2] == "--game"
                                  ? std::strtoul(args[3].c_str(), nullptr, 10)
                                  : 1;
        return ConvertPgn(args[1], number, notation);
    }
    if (args.size() == 2 && (args[0] == "list" || args[0] == "replay"))
        return ListPgn(args[1], args[0] == "replay");
    if (!args.empty() && args[0] == "export") {
        args.erase(args.begin());
        return ExportPgn(args);
    }
    return Usage();
}

}  // namespace xq::bench
