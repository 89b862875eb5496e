// Move text (ICCS, WXF, Chinese) read against a position. The input is a move text, or a FEN
// line and then the move text; a FEN the position editor refuses makes the input uninteresting.
// The reader never changes the position; a move it finds is legal, and the move's own Chinese
// and ICCS texts read back to the same move, as do those of every legal move of a given position.
#include "records/movetext.h"

#include "tests/fuzz/fuzz_support.h"

namespace xq::fuzz {
namespace {

// Sets up the FEN line as the editor would; false when the editor would refuse it.
bool SetUpPosition(std::string_view fen) {
    NewGame();
    if (fen.empty()) return true;
    std::string error;
    if (!ReadFen(fen, &error) || !SetUpError().empty()) return false;
    ResetAfterSetUp();
    return true;
}

void RequireReadsBack(const std::string& text, const MoveRecord& move, const char* what) {
    MoveRecord read = NullMove;
    Require(ReadMoveText(text, &read) == MoveTextResult::Found && SameMove(read, move), what, text);
}

void RequireWrittenMoveReadsBack(const MoveRecord& move) {
    RequireReadsBack(ChineseMoveText(move), move, "a written Chinese move reads back another");
    RequireReadsBack(FormatIccs(move), move, "a written ICCS move reads back another");
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
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string_view fen;
    if (const size_t newline = text.find('\n'); newline != std::string_view::npos) {
        fen = text.substr(0, newline);
        text.remove_prefix(newline + 1);
    }
    if (!SetUpPosition(fen)) return 0;

    const PositionSnapshot before = PositionSnapshot::Take();
    MoveRecord move = NullMove;
    const MoveTextResult result = ReadMoveText(text, &move);
    Require(PositionSnapshot::Take() == before, "reading a move text changed the position");
    if (result == MoveTextResult::Found) {
        Require(IsLegalMove(move), "a found move is not legal", text);
        RequireWrittenMoveReadsBack(move);
    } else {
        Require(SameMove(move, NullMove), "a move text that names no move set the move");
    }
    // The opening array's moves are read back once; a position of the input's own, every time.
    static bool openingArrayDone = false;
    if (!fen.empty() || !openingArrayDone) {
        for (const MoveRecord& legal : LegalMoves())
            RequireWrittenMoveReadsBack(legal);
        openingArrayDone = openingArrayDone || fen.empty();
    }
    Require(PositionSnapshot::Take() == before, "writing a move text changed the position");
    return 0;
}
