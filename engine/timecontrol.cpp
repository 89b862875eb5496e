#include "engine/timecontrol.h"

#include <algorithm>

#include "engine/think.h"
#include "platform/display.h"
#include "rules/board.h"
#include "rules/clock.h"
#include "rules/record.h"

namespace xq {

namespace {

constexpr double kNoLimitSeconds = 1'000'000.0;

// Levels 0 and 2: the time left to the next checkpoint of 40, 60, 80 ... moves, shared among
// the moves to it with a reserve of four.
double PerMoveLimit(int moves, double used) {
    int checkpoint = (moves + 20) / 20 * 20;
    if (checkpoint < 40) checkpoint = 40;
    return (checkpoint * levelTime - used) / (checkpoint + 4 - moves);
}

}  // namespace

void ComputeTimeLimit() {
    timedThinking = 1;
    pondering = 0;
    SetCursor(Cursor::Busy);
    const int moves = plyCount / 2;
    const double used = sideClock[clockSide].elapsed;
    const double opponentUsed = sideClock[otherSide].elapsed;
    switch (levelKind) {
        case kLevelPerMove:
        case kLevelEasy:
            timeLimit = PerMoveLimit(moves, used);
            break;
        case kLevelPerGame:
            timeLimit = (levelTime * 60 - used) / 44;
            break;
        case kLevelMatching:
            // The user's average per move, corrected by a quarter of the difference in total.
            timeLimit = (plyCount >= 2 ? opponentUsed / moves : 5.0) + 0.25 * (opponentUsed - used);
            break;
        default:
            timeLimit = kNoLimitSeconds;
            break;
    }
    // Early in the game the clock levels spend more: twice the excess over 5 seconds before the
    // first full move (the factor is an integer division). A budget under 5 seconds has no excess
    // to double, and doubling its shortfall would leave nothing to think with: it stays as it is.
    if (levelKind <= kLevelEasy && moves <= 40)
        timeLimit = std::max(timeLimit, (timeLimit - 5) * ((80 - moves) / 40) + 5);
}

}  // namespace xq
