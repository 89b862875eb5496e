// Legality of moves: a generated move is legal when it does not leave the mover's King attacked.
#pragma once

#include <vector>

#include "rules/types.h"

namespace xq {

// True when playing `move` would leave the King of sideToMove attacked, the facing-Kings rule
// included. The position is unchanged afterwards.
bool LeavesKingAttacked(const MoveRecord& move);

// True when sideToMove has a legal move. Uses the move list.
bool HasLegalMove();
// The legal moves of sideToMove in the generator's order. Uses the move list.
std::vector<MoveRecord> LegalMoves();

}  // namespace xq
