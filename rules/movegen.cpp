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

// Generation into one list from one position; `current` is the scratch record being filled.
struct Generator {
    const Position& position;
    MoveList& list;
    MoveRecord current;

    void AddMove() {
        if (list.moveCount == kMoveListCapacity) return;  // never write past the end
        list.slot[++list.moveCount] = current;
    }

    // Adds current with destination `to` when `to` is an empty board point.
    void TryQuiet(Square to) {
        if (!IsBoardPoint(to) || position.board[to].kind != Empty) return;
        current.to = to;
        AddMove();
    }

    void AddCapture(Square from, PieceKind piece) {
        current.from = from;
        current.piece = piece;
        AddMove();
    }

    void GeneratePawnCaptures(Square target);
    void GenerateCaptures();
    void GenerateAllCaptures();
    void KingQuiet(Square f, Side c);
    void SliderQuiet(Square f);
    void KnightQuiet(Square f);
    void AssistQuiet(Square f, Side c);
    void BishopQuiet(Square f, Side c);
    void PawnQuiet(Square f, Side c);
    void GenerateQuietMoves();
    void GenerateAllQuietMoves();
};

// The Pawns of the side to move that capture on `target`, in descending list order. Pawns only
// attack neighbouring points, so the up to four neighbours are read instead of every Pawn entry.
void Generator::GeneratePawnCaptures(Square target) {
    const Side mover = position.sideToMove;
    int16_t found[4];
    int count = 0;
    for (int step : kOrthogonalSteps) {
        Square from = target - step;
        if (from < 0 || from >= kBoardCells) continue;
        const BoardCell& cell = position.board[from];
        if (cell.kind == Pawn && cell.side == mover && Attacks(position, Pawn, from, target)) {
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
    const PieceList& own = position.pieceList[mover];
    for (int i = 0; i < count; ++i)
        AddCapture(own.entry[found[i]].square, Pawn);
}

// All moves of the side to move that capture the piece on current.to: attackers from the end of
// the list, so Pawns first and the King last.
void Generator::GenerateCaptures() {
    const Side mover = position.sideToMove;
    const Square target = current.to;
    current.captured = position.board[target].kind;
    const PieceList& own = position.pieceList[mover];
    if (own.lastIndex > own.lastOfficer) GeneratePawnCaptures(target);
    const int last = InOwnHalf(mover, target) ? own.lastOfficer : position.firstDefender[mover] - 1;
    for (int i = last; i >= 0; --i) {
        const PieceEntry& entry = own.entry[i];
        // The table test first: it rejects most pairs without a call.
        if ((AttackTable[target - entry.square].kinds & KindBit(entry.kind)) == 0) continue;
        if (Attacks(position, entry.kind, entry.square, target))
            AddCapture(entry.square, entry.kind);
    }
}

void Generator::KingQuiet(Square f, Side c) {
    for (int step : kKingOrder) {
        if (InPalace(c, f + step)) TryQuiet(f + step);
    }
}

void Generator::SliderQuiet(Square f) {
    for (int step : kSliderOrder) {
        for (Square to = f + step; IsBoardPoint(to) && position.board[to].kind == Empty;
             to += step) {
            current.to = to;
            AddMove();
        }
    }
}

void Generator::KnightQuiet(Square f) {
    for (int step : kKnightOrder) {
        Square leg = KnightLeg(f + step, step);
        if (IsBoardPoint(leg) && position.board[leg].kind == Empty) TryQuiet(f + step);
    }
}

void Generator::AssistQuiet(Square f, Side c) {
    for (int step : kAssistOrder) {
        if (InPalace(c, f + step)) TryQuiet(f + step);
    }
}

void Generator::BishopQuiet(Square f, Side c) {
    for (int step : kBishopOrder) {
        Square to = f + step;
        Square eye = BishopEye(to, step);
        if (!IsBoardPoint(eye) || position.board[eye].kind != Empty) continue;
        if (c == Red ? to <= 72 : to >= 80) TryQuiet(to);
    }
}

void Generator::PawnQuiet(Square f, Side c) {
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

// All non-captures of the piece on current.from. Side-dependent rules read the cell's side.
void Generator::GenerateQuietMoves() {
    const Square f = current.from;
    const Side c = position.board[f].side;
    current.tag = 0;
    current.piece = position.board[f].kind;
    current.captured = Empty;
    switch (current.piece) {
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

void Generator::GenerateAllCaptures() {
    list.moveCount = 0;
    list.moveCursor = 0;
    current.tag = 0;
    const PieceList& enemies = position.pieceList[position.otherSide];
    for (int i = 0; i <= enemies.lastIndex; ++i) {
        if (enemies.entry[i].kind == Empty) continue;
        current.to = enemies.entry[i].square;
        GenerateCaptures();
    }
}

void Generator::GenerateAllQuietMoves() {
    const PieceList& own = position.pieceList[position.sideToMove];
    for (int i = own.lastIndex; i >= 0; --i) {
        if (own.entry[i].kind == Empty) continue;
        current.from = own.entry[i].square;
        GenerateQuietMoves();
    }
}

}  // namespace

void GenerateMoves(const Position& position, MoveList& list) {
    Generator generator{position, list, NullMove};
    generator.GenerateAllCaptures();
    generator.GenerateAllQuietMoves();
}

void GenerateCaptureMoves(const Position& position, MoveList& list) {
    Generator generator{position, list, NullMove};
    generator.GenerateAllCaptures();
}

void GenerateMoves() {
    Generator generator{gamePosition, moveList, currentMove};
    generator.GenerateAllCaptures();
    generator.GenerateAllQuietMoves();
    currentMove = generator.current;  // the scratch record as the generator left it
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
