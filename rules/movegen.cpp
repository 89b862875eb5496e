#include "rules/movegen.h"

#include "rules/attacks.h"
#include "rules/board.h"

namespace xq {

MoveList moveList;
MoveRecord currentMove;

namespace {

// Destination orders of the quiet moves: the geometry tables walked from last to first, except
// the King's, which keeps the table order.
constexpr int kKingOrder[] = {1, -1, 16, -16};
constexpr int kSliderOrder[] = {-16, 16, -1, 1};
constexpr int kKnightOrder[] = {-33, 33, -31, 31, -18, 18, -14, 14};
constexpr int kAssistOrder[] = {-17, 17, -15, 15};
constexpr int kBishopOrder[] = {-34, 34, -30, 30};

void AddMove() {
    if (moveList.moveCount == kMoveListCapacity) return;  // never write past the end
    moveList.slot[++moveList.moveCount] = currentMove;
}

// Adds currentMove with destination `to` when `to` is an empty board point.
void TryQuiet(Square to) {
    if (!IsBoardPoint(to) || board[to].kind != Empty) return;
    currentMove.to = to;
    AddMove();
}

void AddCapture(Square from, PieceKind piece) {
    currentMove.from = from;
    currentMove.piece = piece;
    AddMove();
}

// The Pawns of sideToMove that capture on `target`, in descending list order. Pawns only attack
// neighbouring points, so the up to four neighbours are read instead of every Pawn entry.
void GeneratePawnCaptures(Square target) {
    int16_t found[4];
    int count = 0;
    for (int step : kOrthogonalSteps) {
        Square from = target - step;
        if (from < 0 || from >= kBoardCells) continue;
        const BoardCell& cell = board[from];
        if (cell.kind == Pawn && cell.side == sideToMove &&
            Attacks(Pawn, sideToMove, from, target)) {
            found[count++] = cell.listIndex;
        }
    }
    // At most four: an insertion sort, highest list index first.
    for (int i = 1; i < count; ++i) {
        const int16_t index = found[i];
        int j = i;
        for (; j > 0 && found[j - 1] < index; --j)
            found[j] = found[j - 1];
        found[j] = index;
    }
    const PieceList& list = pieceList[sideToMove];
    for (int i = 0; i < count; ++i)
        AddCapture(list.entry[found[i]].square, Pawn);
}

// All moves of sideToMove that capture the piece on currentMove.to: attackers from the end of
// the list, so Pawns first and the King last.
void GenerateCaptures() {
    const Square target = currentMove.to;
    currentMove.captured = board[target].kind;
    const PieceList& list = pieceList[sideToMove];
    if (list.lastIndex > list.lastOfficer) GeneratePawnCaptures(target);
    const int last =
        InOwnHalf(sideToMove, target) ? list.lastOfficer : firstDefender[sideToMove] - 1;
    for (int i = last; i >= 0; --i) {
        const PieceEntry& entry = list.entry[i];
        // The table test first: it rejects most pairs without a call.
        if ((AttackTable[target - entry.square].kinds & KindBit(entry.kind)) == 0) continue;
        if (Attacks(entry.kind, sideToMove, entry.square, target))
            AddCapture(entry.square, entry.kind);
    }
}

void KingQuiet(Square f, Side c) {
    for (int step : kKingOrder) {
        if (InPalace(c, f + step)) TryQuiet(f + step);
    }
}

void SliderQuiet(Square f) {
    for (int step : kSliderOrder) {
        for (Square to = f + step; IsBoardPoint(to) && board[to].kind == Empty; to += step) {
            currentMove.to = to;
            AddMove();
        }
    }
}

void KnightQuiet(Square f) {
    for (int step : kKnightOrder) {
        Square leg = KnightLeg(f + step, step);
        if (IsBoardPoint(leg) && board[leg].kind == Empty) TryQuiet(f + step);
    }
}

void AssistQuiet(Square f, Side c) {
    for (int step : kAssistOrder) {
        if (InPalace(c, f + step)) TryQuiet(f + step);
    }
}

void BishopQuiet(Square f, Side c) {
    for (int step : kBishopOrder) {
        Square to = f + step;
        Square eye = BishopEye(to, step);
        if (!IsBoardPoint(eye) || board[eye].kind != Empty) continue;
        if (c == Red ? to <= 72 : to >= 80) TryQuiet(to);
    }
}

void PawnQuiet(Square f, Side c) {
    if (c == Red) {
        if (f + 16 >= 64) TryQuiet(f + 16);
        if (f + 1 >= 80) TryQuiet(f + 1);
        if (f - 1 >= 80) TryQuiet(f - 1);
    } else {
        if (f - 16 <= 88) TryQuiet(f - 16);
        if (f + 1 <= 72) TryQuiet(f + 1);
        if (f - 1 <= 72) TryQuiet(f - 1);
    }
}

// All non-captures of the piece on currentMove.from. Side-dependent rules read the cell's side.
void GenerateQuietMoves() {
    const Square f = currentMove.from;
    const Side c = board[f].side;
    currentMove.tag = 0;
    currentMove.piece = board[f].kind;
    currentMove.captured = Empty;
    switch (currentMove.piece) {
        case King:
            KingQuiet(f, c);
            break;
        case Rook:
        case Gunner:
            SliderQuiet(f);
            break;
        case Knight:
            KnightQuiet(f);
            break;
        case Assist:
            AssistQuiet(f, c);
            break;
        case Bishop:
            BishopQuiet(f, c);
            break;
        case Pawn:
            PawnQuiet(f, c);
            break;
        default:
            break;
    }
}

}  // namespace

void GenerateMoves() {
    moveList.moveCount = 0;
    moveList.moveCursor = 0;
    currentMove.tag = 0;
    const PieceList& enemies = pieceList[otherSide];
    for (int i = 0; i <= enemies.lastIndex; ++i) {
        if (enemies.entry[i].kind == Empty) continue;
        currentMove.to = enemies.entry[i].square;
        GenerateCaptures();
    }
    const PieceList& own = pieceList[sideToMove];
    for (int i = own.lastIndex; i >= 0; --i) {
        if (own.entry[i].kind == Empty) continue;
        currentMove.from = own.entry[i].square;
        GenerateQuietMoves();
    }
}

void NextMove() {
    if (moveList.moveCursor >= moveList.moveCount) {
        currentMove = NullMove;
    } else {
        currentMove = moveList.slot[++moveList.moveCursor];
    }
}

MoveRecord FindGeneratedMove(Square from, Square to) {
    GenerateMoves();
    for (NextMove(); currentMove.piece != Empty; NextMove()) {
        if (currentMove.from == from && currentMove.to == to) return currentMove;
    }
    return NullMove;
}

}  // namespace xq
