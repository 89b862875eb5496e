#include "rules/legality.h"

#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/makemove.h"
#include "rules/movegen.h"

namespace xq {

// The answer is that of playing the move, asking IsAttacked about the King and taking the move
// back. IsAttacked reads only the board and the opponent's list, so only those are changed here:
// the mover's list entry keeps its old square and the King's square is worked out instead. Both
// cells and the captured entry are restored byte for byte afterwards.
bool LeavesKingAttacked(const MoveRecord& move) {
    return LeavesKingAttacked(gamePosition, move);
}

bool LeavesKingAttacked(Position& position, const MoveRecord& move) {
    Board& cells = position.board;
    BoardCell& origin = cells[move.from];
    BoardCell& target = cells[move.to];
    const BoardCell savedOrigin = origin;
    const BoardCell savedTarget = target;
    PieceEntry* victim = nullptr;
    if (move.captured != Empty) {
        victim = &position.pieceList[savedTarget.side].entry[savedTarget.listIndex];
        victim->kind = Empty;
    }
    target = savedOrigin;
    origin.kind = Empty;
    const Square king =
        savedOrigin.listIndex == 0 ? move.to : KingSquare(position, position.sideToMove);
    const bool attacked = IsAttacked(position, position.otherSide, king) != 0;
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

MoveRecord FindLegalMove(Square from, Square to) {
    const MoveRecord move = FindGeneratedMove(from, to);
    if (move.piece == Empty || LeavesKingAttacked(move)) return NullMove;
    return move;
}

bool IsLegalMove(const MoveRecord& move) {
    if (move.piece == Empty || !IsBoardPoint(move.from) || !IsBoardPoint(move.to)) return false;
    return SameMove(FindLegalMove(move.from, move.to), move);
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

namespace xq {

bool InCheck(const Position& position) {
    return IsAttacked(position, position.otherSide, KingSquare(position, position.sideToMove)) != 0;
}

void GenerateLegalMoves(Position& position, MoveList& list) {
    GenerateMoves(position, list);
    int kept = 0;
    for (int i = 1; i <= list.moveCount; ++i) {
        if (!LeavesKingAttacked(position, list.slot[i])) list.slot[++kept] = list.slot[i];
    }
    list.moveCount = kept;
}

// A from/to pair names at most one generated move, so only that one is tested for legality.
MoveRecord FindLegalMove(Position& position, Square from, Square to) {
    MoveList list;
    GenerateMoves(position, list);
    for (int i = 1; i <= list.moveCount; ++i) {
        const MoveRecord& move = list.slot[i];
        if (move.from != from || move.to != to) continue;
        return LeavesKingAttacked(position, move) ? NullMove : move;
    }
    return NullMove;
}

std::vector<MoveRecord> LegalStart(Position& position, std::span<const MoveRecord> line,
                                   size_t limit) {
    std::vector<MoveRecord> legal;
    for (const MoveRecord& move : line) {
        if (legal.size() >= limit) break;
        const MoveRecord match = FindLegalMove(position, move.from, move.to);
        if (match.piece == Empty) break;
        legal.push_back(match);
        MakeMove(position, match, false);
        SwapSides(position);
    }
    return legal;
}

std::vector<MoveRecord> LegalStart(std::span<const MoveRecord> line, size_t limit) {
    Position position = gamePosition;
    return LegalStart(position, line, limit);
}

}  // namespace xq
