// Making and taking back moves. MakeMove is the only operation that changes the position during
// play; it keeps the board and the piece lists consistent incrementally.
#pragma once

#include "rules/board.h"
#include "rules/types.h"

namespace xq {

// Plays `move` on the board and the piece lists, or takes it back. Moves exchange whole cells.
// Taking back requires otherSide to be the side of the captured piece (the mover is to move) and
// strict reverse order; it then restores all six bytes of both cells and the captured entry.
// The Position& version keeps the position's key both ways; the classic one, which the classic
// search pairs make with take-back, leaves the game's key as it is.
void MakeMove(Position& position, const MoveRecord& move, bool takeBack);
void MakeMove(const MoveRecord& move, bool takeBack);

// MakeMove plus the game counters and the swap of the sides. Neither writes the record.
void PlayMove(const MoveRecord& move);
void TakeBackMove(const MoveRecord& move);

inline bool SameMove(const MoveRecord& a, const MoveRecord& b) {
    return a.piece == b.piece && a.to == b.to && a.from == b.from && a.captured == b.captured &&
           a.tag == b.tag;
}

inline int IsQuietMove(const MoveRecord& move) {
    return move.piece != Empty && move.captured == Empty ? 1 : 0;
}

}  // namespace xq
