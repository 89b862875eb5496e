// PGN text through ReadPgn and, as a collection, ReadPgnGames. The reader gives the position
// back as it found it. A game it
// accepts starts from a position that passes the set-up checks, its moves are legal one after
// the other and end at the final position it names, and the game written in either notation
// reads back to the same start, moves, result and final position.
#include "records/pgn.h"

#include <vector>

#include "rules/makemove.h"
#include "rules/positionkeeper.h"
#include "tests/fuzz/fuzz_support.h"

namespace xq::fuzz {
namespace {

void CheckPlayedGame(const PgnGame& game) {
    PositionKeeper keeper;
    std::string error;
    Require(ReadFen(game.startFen.empty() ? kStartFen : std::string_view(game.startFen), &error),
            "the game's start FEN is refused", game.startFen);
    Require(SetUpError().empty(), "the game's start fails the set-up checks", game.startFen);
    for (const MoveRecord& move : game.moves) {
        Require(IsLegalMove(move), "a move of the game is not legal", FormatIccs(move));
        MakeMove(move, false);
        SwapSides();
    }
    Require(WriteFen() == game.finalFen, "the moves end elsewhere than the final position",
            game.finalFen);
}

void CheckWrittenGameReadsBack(const PgnGame& game, PgnNotation notation) {
    const std::string text = WritePgn(game, notation);
    PgnGame read;
    std::string error;
    Require(ReadPgn(text, &read, &error), "a written game is refused", text + "\n" + error);
    Require(read.startFen == game.startFen, "a written game reads back another start", text);
    Require(read.result == game.result, "a written game reads back another result", text);
    Require(read.finalFen == game.finalFen, "a written game reads back another end", text);
    Require(read.moves.size() == game.moves.size(), "a written game reads back other moves", text);
    for (size_t i = 0; i < read.moves.size(); ++i)
        Require(SameMove(read.moves[i], game.moves[i]), "a written move reads back another", text);
}

}  // namespace
}  // namespace xq::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    xq::fuzz::InitCore();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace xq;
    using namespace xq::fuzz;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const PositionSnapshot before = PositionSnapshot::Take();
    PgnGame game;
    std::string error;
    const bool accepted = ReadPgn(bytes, &game, &error);
    Require(PositionSnapshot::Take() == before, "reading a PGN text changed the position");
    if (!accepted) {
        Require(!error.empty(), "a refused PGN text comes without a reason");
        return 0;
    }
    CheckPlayedGame(game);
    CheckWrittenGameReadsBack(game, PgnNotation::Iccs);
    CheckWrittenGameReadsBack(game, PgnNotation::Chinese);
    Require(PositionSnapshot::Take() == before, "writing a PGN text changed the position");
    // Every game of the text as a collection: the first is the one ReadPgn took.
    std::vector<PgnEntry> games;
    Require(ReadPgnGames(bytes, &games, &error), "a collection refuses what ReadPgn took", error);
    Require(!games.empty() && games[0].error.empty() && games[0].game.finalFen == game.finalFen,
            "the collection's first game is not the game ReadPgn took");
    for (const PgnEntry& entry : games) {
        if (!entry.error.empty()) continue;
        CheckPlayedGame(entry.game);
        CheckWrittenGameReadsBack(entry.game, PgnNotation::Iccs);
        CheckWrittenGameReadsBack(entry.game, PgnNotation::Chinese);
    }
    Require(PositionSnapshot::Take() == before, "reading a collection changed the position");
    return 0;
}
