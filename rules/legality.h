// Legality of moves: a generated move is legal when it does not leave the mover's King attacked.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "rules/board.h"
#include "rules/movegen.h"
#include "rules/types.h"

namespace xq {

// True when playing `move` would leave the King of sideToMove attacked, the facing-Kings rule
// included. The position is unchanged afterwards.
bool LeavesKingAttacked(const MoveRecord& move);
// The same for any position; it is changed during the test and restored byte for byte.
bool LeavesKingAttacked(Position& position, const MoveRecord& move);

// True when the King of the side to move is attacked.
bool InCheck(const Position& position);

// The legal moves of the side to move in the generator's order, into the caller's list.
void GenerateLegalMoves(Position& position, MoveList& list);

// The legal move of the side to move from `from` to `to` as the generator makes it, with the
// piece it moves and the one it captures; NullMove when there is none. The position is unchanged
// afterwards.
MoveRecord FindLegalMove(Position& position, Square from, Square to);
// The same for sideToMove. Uses the move list.
MoveRecord FindLegalMove(Square from, Square to);
// Whether `move`, every field of it, is a legal move of sideToMove. Uses the move list.
bool IsLegalMove(const MoveRecord& move);

// The longest start of `line`, at most `limit` moves, that is legal move after move from
// `position`, each move as the generator makes it; `position` is left after them.
std::vector<MoveRecord> LegalStart(Position& position, std::span<const MoveRecord> line,
                                   size_t limit);
// The same from the game's position, which is unchanged.
std::vector<MoveRecord> LegalStart(std::span<const MoveRecord> line, size_t limit);

// True when sideToMove has a legal move. Uses the move list.
bool HasLegalMove();
// The legal moves of sideToMove in the generator's order. Uses the move list.
std::vector<MoveRecord> LegalMoves();

}  // namespace xq
