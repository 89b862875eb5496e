#include "rules/attacks.h"

#include "platform/check.h"
#include "rules/board.h"

namespace xq {

AttackEntry attackTableStorage[2 * kMaxDifference + 1];

void InitAttackTable() {
    for (AttackEntry& entry : attackTableStorage)
        entry = {0, 0};
    const uint16_t line = KindMask[King] + KindMask[Rook] + KindMask[Gunner];
    for (int i = 3; i >= 0; --i) {
        int u = kOrthogonalSteps[i];
        for (int j = 1; j <= 9; ++j)
            AttackTable[u * j] = {line, u};
    }
    for (int i = 3; i >= 0; --i)
        AttackTable[kAssistSteps[i]] = {KindMask[Assist], kAssistSteps[i]};
    for (int i = 3; i >= 0; --i)
        AttackTable[kBishopSteps[i]] = {KindMask[Bishop], kBishopSteps[i]};
    for (int i = 7; i >= 0; --i)
        AttackTable[kKnightSteps[i]] = {KindMask[Knight], kKnightSteps[i]};
    for (int i = 3; i >= 0; --i) {
        int u = kOrthogonalSteps[i];
        AttackTable[u] = {static_cast<uint16_t>(KindMask[Pawn] + line), u};
    }
}

namespace {

// The table is built when the program loads, so that the programs and threads that never run the
// game's start-up (the match runner, the engine host, the tests) read a whole table; the start-up
// builds it again to the same values.
const bool attackTableBuilt = (InitAttackTable(), true);

}  // namespace

namespace {

bool SameLine(Square a, Square b) {
    return RankOf(a) == RankOf(b) || FileOf(a) == FileOf(b);
}

int PawnAttacks(Side c, Square from, int d) {
    if (c == Red) {
        if (from >= 48 && d == 16) return 1;
        if (from >= 80 && (d == 1 || d == -1 || d == 16)) return 1;
    } else {
        if (from <= 104 && d == -16) return 1;
        if (from <= 72 && (d == 1 || d == -1 || d == -16)) return 1;
    }
    return 0;
}

// Two Kings on one file with nothing between attack each other (`to` holds the other King).
int KingsFace(const Board& board, Square from, Square to, int step) {
    for (Square p = from + step; p != to; p += step) {
        if (board[p].kind != Empty) return 0;
    }
    return 1;
}

bool IsFacingDistance(int d) {
    return d == 80 || d == 96 || d == 112 || d == 128 || d == 144;
}

[[gnu::always_inline]] inline int KingAttacks(const Board& board, Side c, Square from, Square to,
                                              int d) {
    bool unitStep = d == 1 || d == -1 || d == 16 || d == -16;
    if (c == Red && InPalace(Red, from) && InPalace(Red, to) && unitStep) return 1;
    if (c == Black && InPalace(Black, from) && InPalace(Black, to) && unitStep) return 1;
    if (c == Red && InPalace(Black, to) && board[to].kind == King && board[to].side == Black &&
        IsFacingDistance(d)) {
        return KingsFace(board, from, to, 16);
    }
    if (c == Black && InPalace(Red, to) && board[to].kind == King && board[to].side == Red &&
        IsFacingDistance(-d)) {
        return KingsFace(board, from, to, -16);
    }
    return 0;
}

// The rules of each kind, once the table has said the kind could reach `to` from `from`.
[[gnu::always_inline]] inline int KindAttacks(const Board& board, PieceKind kind, Square from,
                                              Square to, const AttackEntry& entry) {
    const int d = to - from;
    const Side c = board[from].side;
    switch (kind) {
        case Pawn:
            return PawnAttacks(c, from, d);
        case King:
            return KingAttacks(board, c, from, to, d);
        case Assist:
            return InPalace(c, to) ? 1 : 0;
        case Bishop: {
            bool ownHalf = c == Red ? to >= 0 && to <= 72 : to >= 80 && to <= 152;
            return ownHalf && board[BishopEye(to, entry.step)].kind == Empty ? 1 : 0;
        }
        case Knight:
            return board[KnightLeg(to, entry.step)].kind == Empty ? 1 : 0;
        case Rook: {
            Square p = from + entry.step;
            while (p != to && board[p].kind == Empty)
                p += entry.step;
            return p == to && SameLine(from, to) ? 1 : 0;
        }
        case Gunner: {
            // Exactly one screen between, and a piece on `to`.
            if (board[to].kind == Empty) return 0;
            int screens = 0;
            for (Square p = from + entry.step; p != to; p += entry.step) {
                if (board[p].kind != Empty && ++screens > 1) return 0;
            }
            return screens == 1 && SameLine(from, to) ? 1 : 0;
        }
        default:
            return 0;
    }
}

}  // namespace

namespace {

// Both entry points inline this, so that the game's board stays a constant address in the
// classic engine's calls.
[[gnu::always_inline]] inline int AttacksOn(const Board& board, PieceKind kind, Square from,
                                            Square to) {
    XQ_ASSERT(IsBoardPoint(from) && IsBoardPoint(to) && kind <= Pawn);
    const AttackEntry& entry = AttackTable[to - from];
    if ((entry.kinds & KindBit(kind)) == 0) return 0;
    return KindAttacks(board, kind, from, to, entry);
}

}  // namespace

int Attacks(const Position& position, PieceKind kind, Square from, Square to) {
    return AttacksOn(position.board, kind, from, to);
}

int Attacks(PieceKind kind, Side /*side*/, Square from, Square to) {
    return AttacksOn(board, kind, from, to);
}

// Pawns attack only neighbouring points, so instead of a table test per Pawn entry the up to
// four neighbours are read from the board; the lists keep Pawns after lastOfficer.
int PawnNeighbourAttacks(const Board& cells, Side side, Square square) {
    for (int step : kOrthogonalSteps) {
        Square from = square - step;
        if (from < 0 || from >= kBoardCells) continue;
        const BoardCell& cell = cells[from];
        if (cell.kind == Pawn && cell.side == side &&
            KindAttacks(cells, Pawn, from, square, AttackTable[step])) {
            return 1;
        }
    }
    return 0;
}

namespace {

[[gnu::always_inline]] inline int IsAttackedIn(const Position& position, Side side, Square square) {
    XQ_ASSERT(side <= Black && IsBoardPoint(square));
    const PieceList& list = position.pieceList[side];
    const int last = InOwnHalf(side, square) ? list.lastOfficer : position.firstDefender[side] - 1;
    for (int i = last; i >= 0; --i) {
        const PieceEntry& entry = list.entry[i];
        // The table test first: most pieces cannot reach the square from where they stand.
        const AttackEntry& reach = AttackTable[square - entry.square];
        if ((reach.kinds & KindBit(entry.kind)) == 0) continue;
        if (KindAttacks(position.board, entry.kind, entry.square, square, reach)) return 1;
    }
    return list.lastIndex > list.lastOfficer ? PawnNeighbourAttacks(position.board, side, square)
                                             : 0;
}

}  // namespace

int IsAttacked(Side side, Square square) {
    return IsAttackedIn(gamePosition, side, square);
}

int IsAttacked(const Position& position, Side side, Square square) {
    return IsAttackedIn(position, side, square);
}

}  // namespace xq
