#include "host/adjudicator.h"

#include <cstdlib>

namespace xq::host {

Adjudicator::Outcome Adjudicator::AfterMove(int side, std::optional<int> score, int plies) {
    if (rules_.drawMoveNumber > 0) {
        drawCount_ = score && std::abs(*score) <= rules_.drawScore ? drawCount_ + 1 : 0;
        if (plies / 2 >= rules_.drawMoveNumber && drawCount_ >= 2 * rules_.drawMoveCount)
            return Outcome::Draw;
    }
    if (rules_.resignMoveCount > 0) {
        int& count = resignCount_[side];
        count = score && *score <= -rules_.resignScore ? count + 1 : 0;
        if (count >= rules_.resignMoveCount)
            return side == 0 ? Outcome::BlackWins : Outcome::RedWins;
    }
    return Outcome::None;
}

}  // namespace xq::host
