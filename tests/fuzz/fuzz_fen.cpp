// FEN text through ReadFen and the position editor's set-up checks. A refused text changes
// nothing; an accepted one gives a consistent position whose FEN reads back to the same board,
// and a position that passes the set-up checks is one play can start from.
#include "tests/fuzz/fuzz_support.h"

namespace xq::fuzz {
namespace {

void CheckAcceptedPosition() {
    Require(PositionIsConsistent(), "ReadFen left the board and the piece lists apart");
    // ReadFen counts each kind itself, so the editor's count check has nothing left to refuse.
    Require(SetUpCountError().empty(), "ReadFen accepted counts the editor refuses",
            SetUpCountError());

    // 1. The FEN written from the position reads back to the same board and side.
    const PositionSnapshot read = PositionSnapshot::Take();
    const std::string written = WriteFen();
    std::string error;
    Require(ReadFen(written, &error), "a written FEN is refused", written + ": " + error);
    Require(PositionSnapshot::Take() == read, "a written FEN reads back another position", written);
    Require(WriteFen() == written, "a written FEN is written differently the second time");

    // 2. Every legal move's ICCS text names the same two squares.
    for (const MoveRecord& move : LegalMoves()) {
        Square from = 0;
        Square to = 0;
        const std::string text = FormatIccs(move);
        Require(ParseIccs(text, &from, &to) && from == move.from && to == move.to,
                "an ICCS move reads back other squares", text);
    }

    // 3. What the editor accepts, play can start from.
    if (!SetUpPlacementError().empty()) return;
    for (Side side : {Red, Black})
        Require(InPalace(side, KingSquare(side)), "a King outside its palace passes", written);
    Require(!IsAttacked(sideToMove, KingSquare(otherSide)),
            "the side not to move is in check and passes", written);
    ResetAfterSetUp();
    Require(PositionIsConsistent(), "the set-up position is not consistent", written);
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
    NewGame();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const PositionSnapshot before = PositionSnapshot::Take();
    std::string error;
    if (!ReadFen(text, &error)) {
        Require(!error.empty(), "a refused FEN comes without a reason");
        Require(PositionSnapshot::Take() == before, "a refused FEN changed the position");
        return 0;
    }
    CheckAcceptedPosition();
    return 0;
}
