#include "uci/position.h"

#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/movegen.h"
#include "rules/record.h"
#include "rules/setupcheck.h"

namespace xq::uci {

namespace {

bool Fail(std::string* error, std::string text) {
    *error = std::move(text);
    return false;
}

// ReadFen checks the text and the counts; a position the rules cannot reach is refused here.
bool CheckSetUpPosition(std::string* error) {
    for (Side side : {Red, Black}) {
        if (!InPalace(side, KingSquare(side)))
            return Fail(error, side == Red ? "the Red King is outside its palace"
                                           : "the Black King is outside its palace");
    }
    if (IsAttacked(sideToMove, KingSquare(otherSide)))
        return Fail(error, "the side not to move is in check (or the Kings face each other)");
    if (!SetUpPlacementError().empty())
        return Fail(error, "an Assist, a Bishop or a Pawn stands where it can never stand");
    return true;
}

bool PlayRequestedMove(const std::string& text, std::string* error) {
    Square from = 0;
    Square to = 0;
    if (!ParseIccs(text, &from, &to)) return Fail(error, "'" + text + "' is not an ICCS move");
    const MoveRecord generated = FindGeneratedMove(from, to);
    if (generated.piece == Empty) return Fail(error, "impossible move " + text);
    if (LeavesKingAttacked(generated))
        return Fail(error, "illegal move " + text + ": it leaves the King in check");
    GameRecord[recordTop + 1] = generated;
    PlayMove(generated);
    SlideRecord();
    return true;
}

}  // namespace

bool ParsePositionRequest(const std::vector<std::string_view>& words, PositionRequest* request,
                          std::string* error) {
    *request = PositionRequest{};
    size_t i = 0;
    if (i < words.size() && words[i] == "startpos") {
        ++i;
    } else if (i < words.size() && words[i] == "fen") {
        for (++i; i < words.size() && words[i] != "moves"; ++i) {
            if (!request->fen.empty()) request->fen += ' ';
            request->fen += words[i];
        }
        if (request->fen.empty()) return Fail(error, "position fen needs a FEN");
    } else {
        return Fail(error, "position needs startpos or fen");
    }
    if (i < words.size()) {
        if (words[i] != "moves") return Fail(error, "expected moves after the position");
        for (++i; i < words.size(); ++i)
            request->moves.emplace_back(words[i]);
    }
    return true;
}

bool ApplyPosition(const PositionRequest& request, bool useBook, std::string* error) {
    NewGame();
    if (!request.fen.empty()) {
        if (!ReadFen(request.fen, error)) return false;
        ResetAfterSetUp();
        if (!CheckSetUpPosition(error)) return false;
    }
    for (const std::string& move : request.moves) {
        if (!PlayRequestedMove(move, error)) return false;
    }
    if (!useBook) libraryLimit = 0;
    return true;
}

MoveRecord FirstLegalMove(bool (*excluded)(const MoveRecord& move)) {
    GenerateMoves();
    for (NextMove(); currentMove.piece != Empty; NextMove()) {
        if (excluded && excluded(currentMove)) continue;
        if (!LeavesKingAttacked(currentMove)) return currentMove;
    }
    return NullMove;
}

}  // namespace xq::uci
