#include "engine/repetition.h"

#include "engine/search.h"
#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/makemove.h"
#include "rules/record.h"

namespace xq {

int32_t RepetitionScore(int ply) {
    const Side mover = sideToMove;
    const int top = recordTop;
    const int start = LatestRepetition();
    if (start > top) return 0;
    // 1. Back through the cycle: did each move leave the other side's King attacked? The cycle
    // lies inside the trailing quiet run, so taking its moves back needs no side to move.
    bool checkedEveryMove[2] = {true, true};
    for (int k = top; k >= start; --k) {
        const Side side = (top - k) % 2 == 0 ? mover : Opponent(mover);
        if (!IsAttacked(side, KingSquare(Opponent(side)))) checkedEveryMove[side] = false;
        MakeMove(GameRecord[k], true);
    }
    // 2. Forward again to the position after the move.
    for (int k = start; k <= top; ++k)
        MakeMove(GameRecord[k], false);
    // 3. The verdict, reached at the ply after the move.
    const bool moverChecked = checkedEveryMove[mover];
    const bool opponentChecked = checkedEveryMove[Opponent(mover)];
    if (moverChecked == opponentChecked) return 0;
    const int32_t win = kPerpetualWinScore - (ply + 1) * kMatePly;
    return moverChecked ? -win : win;
}

}  // namespace xq
