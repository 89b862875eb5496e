// Generation of the pseudo-legal moves of the side to move into the one global move list:
// captures first (victims in list order, attackers from the end of the mover's list), then the
// quiet moves. The opening library names moves by their place in this list, so the order is part
// of that file's format.
#pragma once

#include "rules/types.h"

namespace xq {

struct Position;

// Slots 1..kMoveListCapacity; slot 0 is never written. No position with sixteen pieces a side
// comes near this many moves.
inline constexpr int kMoveListCapacity = 256;

struct MoveList {
    MoveRecord slot[kMoveListCapacity + 1];
    int32_t moveCount;   // number of moves, also the slot of the last one
    int32_t moveCursor;  // slot last handed out by NextMove
};

extern MoveList moveList;
// The generator's scratch record and the output of NextMove.
extern MoveRecord currentMove;

void GenerateMoves();
// The same moves in the same order for any position, into the caller's list (its cursor reset).
void GenerateMoves(const Position& position, MoveList& list);
// Only the captures, in the order GenerateMoves gives them.
void GenerateCaptureMoves(const Position& position, MoveList& list);
// Copies the next move into currentMove; after the last one, NullMove (piece 0), again and again.
void NextMove();

// The generated move of sideToMove from `from` to `to` (the list is generated afresh); NullMove
// when there is none. Whether it leaves the King attacked is not tested.
MoveRecord FindGeneratedMove(Square from, Square to);

}  // namespace xq
