// cutechess-cli's adjudications by the engines' own scores: a draw when both engines have seen
// the game as level for a while, a win when one engine has seen itself lost for a while.
#pragma once

#include <optional>

#include "host/match.h"

namespace xq::host {

class Adjudicator {
  public:
    enum class Outcome { None, Draw, RedWins, BlackWins };

    explicit Adjudicator(const Adjudication& rules) : rules_(rules) {}

    // After each engine move: the mover (0 Red, 1 Black), its last score in centipawns from its
    // own view (none when it gave none, which breaks every run), and the plies played so far.
    // A draw needs drawMoveCount moves of each side in a row within drawScore of 0, once
    // drawMoveNumber full moves are played; a win needs the loser's own score at or below
    // -resignScore for resignMoveCount of its moves in a row.
    Outcome AfterMove(int side, std::optional<int> score, int plies);

  private:
    Adjudication rules_;
    int drawCount_ = 0;            // plies in a row with a level score
    int resignCount_[2] = {0, 0};  // moves in a row with a lost score, by side
};

}  // namespace xq::host
