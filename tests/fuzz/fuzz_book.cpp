// Opening libraries (opening.lib) through the lookup and the weighted choice. The input's first
// byte is the number of plies to play, the next bytes the random draws of the choice, the rest
// the library. Each ply the game is looked up (the lookup gives the position and the record back
// as it found them), a reply is chosen for every number of entries a draw can move past (always
// a move of the side to move, or none), and the reply of the input's draw, a move the rules
// generate, is played as a game move when it is legal.
#include <algorithm>
#include <vector>

#include "engine/book.h"
#include "engine/search.h"
#include "platform/random.h"
#include "rules/makemove.h"
#include "tests/fuzz/fuzz_support.h"

namespace xq::fuzz {
namespace {

constexpr int kMostPlies = 12;
constexpr int kDraws = 16;  // PickLibraryMove's r is 0..15
// One draw for each number of entries the choice moves past (0 to 6).
constexpr int kDistinctDraws[] = {0, 7, 10, 12, 13, 14, 15};

// Every draw gives no move or a move of a piece of the side to move from where it stands.
void CheckChoices(int32_t listStart) {
    for (int r : kDistinctDraws) {
        libraryPos = listStart;
        const MoveRecord move = PickLibraryMove(r);
        if (move.piece == Empty) continue;
        Require(IsBoardPoint(move.from) && IsBoardPoint(move.to) &&
                    board[move.from].kind == move.piece && board[move.from].side == sideToMove,
                "the library chose a move of no piece of the side to move", FormatIccs(move));
    }
}

// One ply of a game led by the library; false when the library has nothing to play.
bool PlayFromLibrary(int draw) {
    const PositionSnapshot before = PositionSnapshot::Take();
    FindLibraryPosition();
    Require(PositionSnapshot::Take() == before, "the library lookup changed the game");
    if (libraryPos <= 0) return false;
    Require(libraryPos < static_cast<int32_t>(openingLibrary.size()),
            "the library lookup ended outside the library");
    const int32_t listStart = libraryPos;
    CheckChoices(listStart);
    Require(PositionSnapshot::Take() == before, "the library choice changed the game");

    libraryPos = listStart;
    const MoveRecord chosen = PickLibraryMove(draw % kDraws);
    Require(chosen.piece == Empty || SameMove(FindGeneratedMove(chosen.from, chosen.to), chosen),
            "the library chose a move the rules do not generate", FormatIccs(chosen));
    libraryPos = listStart;
    ChooseLibraryMove();  // draws its own r; its move must be legal whichever it is
    Require(bestLine[0].piece == Empty || IsLegalMove(bestLine[0]),
            "the engine would play an illegal library move", FormatIccs(bestLine[0]));
    if (chosen.piece == Empty || LeavesKingAttacked(chosen)) return false;
    GameRecord[recordTop + 1] = chosen;
    PlayMove(chosen);
    SlideRecord();
    return true;
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
    if (size == 0) return 0;
    const int plies = std::min<int>(data[0] % (kMostPlies + 1), static_cast<int>(size) - 1);
    const uint8_t* draws = data + 1;
    UseOpeningLibrary(std::vector<uint8_t>(data + 1 + plies, data + size));
    NewGame();
    SeedRandom(1);  // the engine's own draw, the same for the same input
    for (int ply = 0; ply < plies; ++ply) {
        if (!PlayFromLibrary(draws[ply])) break;
    }
    return 0;
}
