#include "rules/legality.h"

#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/movegen.h"

namespace xq {

// The answer is that of playing the move, asking IsAttacked about the King and taking the move
// back. IsAttacked reads only the board and the opponent's list, so only those are changed here:
// the mover's list entry keeps its old square and the King's square is worked out instead. Both
// cells and the captured entry are restored byte for byte afterwards.
bool LeavesKingAttacked(const MoveRecord& move) {
    BoardCell& origin = board[move.from];
    BoardCell& target = board[move.to];
    const BoardCell savedOrigin = origin;
    const BoardCell savedTarget = target;
    PieceEntry* victim = nullptr;
    if (move.captured != Empty) {
        victim = &pieceList[savedTarget.side].entry[savedTarget.listIndex];
        victim->kind = Empty;
    }
    target = savedOrigin;
    origin.kind = Empty;
    const Square king = savedOrigin.listIndex == 0 ? move.to : KingSquare(sideToMove);
    const bool attacked = IsAttacked(otherSide, king) != 0;
    origin = savedOrigin;
    target = savedTarget;
    if (victim) victim->kind = savedTarget.kind;
    return attacked;
}

bool HasLegalMove() {
    GenerateMoves();
    for (NextMove(); currentMove.piece != Empty; NextMove()) {
        if (!LeavesKingAttacked(currentMove)) return true;
    }
    return false;
}

std::vector<MoveRecord> LegalMoves() {
    std::vector<MoveRecord> moves;
    GenerateMoves();
    for (NextMove(); currentMove.piece != Empty; NextMove()) {
        if (!LeavesKingAttacked(currentMove)) moves.push_back(currentMove);
    }
    return moves;
}

}  // namespace xq
