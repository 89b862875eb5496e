// The 大师 engine's evaluation: a static score of a position for its side to move, in hundredths of
// a Pawn, from weights that tools/xq-tune produces.
#pragma once

#include <cstdint>

#include "rules/board.h"

namespace xq::master {

int32_t Evaluate(const Position& position);

}  // namespace xq::master
