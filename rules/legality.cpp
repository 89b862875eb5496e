#include "rules/legality.h"

#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/makemove.h"

namespace xq {

bool LeavesKingAttacked(const MoveRecord& move) {
    MakeMove(move, false);
    bool attacked = IsAttacked(otherSide, KingSquare(sideToMove)) != 0;
    MakeMove(move, true);
    return attacked;
}

}  // namespace xq
