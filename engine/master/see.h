// Static exchange evaluation: what a capture wins once both sides have recaptured on its square
// with their least valuable pieces for as long as it pays. The exchange is played on the board,
// so Gunners gain and lose their screens as pieces leave; the position is restored afterwards.
#pragma once

#include <cstdint>

#include "rules/board.h"

namespace xq::master {

// Piece values of the exchange, by kind; the King's stands for "the game".
inline constexpr int32_t kSeeValue[8] = {0, 5000, 600, 285, 270, 120, 120, 60};

// The gain of `capture` for its mover, in the units of kSeeValue.
int32_t StaticExchange(Position& position, const MoveRecord& capture);

}  // namespace xq::master
