#include "ui/lastmovemark.h"

#include <algorithm>

#include "rules/board.h"
#include "rules/record.h"
#include "ui/boardrenderer.h"

namespace xq {

MoveRecord LastShownMove(const ShownCell* shown) {
    if (recordTop <= kRecordBottom) return NullMove;
    const MoveRecord& move = GameRecord[recordTop];
    if (move.piece == Empty || move.from == move.to) return NullMove;
    const ShownCell& target = shown[move.to];
    if (shown[move.from].kind != Empty || target.kind != move.piece || target.side != otherSide)
        return NullMove;
    return move;
}

void LastMoveMark::SetReviewMove(bool reviewing, const MoveRecord& move) {
    reviewing_ = reviewing;
    reviewMove_ = reviewing ? move : NullMove;
}

void LastMoveMark::SetEnabled(bool enabled, BoardRenderer& renderer) {
    enabled_ = enabled;
    Refresh(renderer, false);
}

void LastMoveMark::Refresh(BoardRenderer& renderer, bool wholeBoard) {
    std::array<Square, 2> wanted = {-1, -1};
    if (reviewing_) {
        if (reviewMove_.piece != Empty) wanted = {reviewMove_.from, reviewMove_.to};
    } else if (enabled_) {
        const MoveRecord move = LastShownMove(renderer.shownBoard);
        if (move.piece != Empty) wanted = {move.from, move.to};
    }
    // A square that loses its mark is drawn again as the board shows it.
    if (!wholeBoard) {
        for (Square square : marked_) {
            if (square >= 0 && std::find(wanted.begin(), wanted.end(), square) == wanted.end())
                renderer.RedrawSquare(square);
        }
    }
    // The marks go on last, over a redrawn piece or threat frame.
    for (Square square : wanted) {
        if (square >= 0) renderer.DrawLastMoveMark(square);
    }
    marked_ = wanted;
}

}  // namespace xq
