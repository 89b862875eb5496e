// The option "标记最后一步": small corner marks on the origin and the target square of the last
// move the board shows. The marks follow the changed squares: every full or partial redraw of the
// board moves them to the move now shown, and a square that loses its mark is drawn afresh.
#pragma once

#include <array>

#include "rules/types.h"

namespace xq {

class BoardRenderer;
struct ShownCell;

// The last move of the game that `shown` (what the screen shows, kBoardCells entries) has taken
// over: the record's top move when the mover's piece stands on the target and the origin is empty;
// NullMove otherwise (no move yet, or a move the screen does not show, such as the engine's unseen
// predicted reply).
MoveRecord LastShownMove(const ShownCell* shown);

class LastMoveMark {
  public:
    bool Enabled() const { return enabled_; }
    // Switches the marks on or off and draws the change.
    void SetEnabled(bool enabled, BoardRenderer& renderer);
    // After `renderer` has drawn changed squares, or the whole board when `wholeBoard` (no old
    // mark is left on the screen then).
    void Refresh(BoardRenderer& renderer, bool wholeBoard);
    // The two squares that carry the mark now, -1 for none.
    const std::array<Square, 2>& Marked() const { return marked_; }
    // While the player looks back over the game the marks stand on the move shown (none for
    // NullMove), whether the option is on or not; `reviewing` false gives them back to the option.
    // Takes effect at the next Refresh.
    void SetReviewMove(bool reviewing, const MoveRecord& move);

  private:
    bool reviewing_ = false;
    MoveRecord reviewMove_ = NullMove;
    bool enabled_ = false;
    std::array<Square, 2> marked_ = {-1, -1};
};

}  // namespace xq
