// Counting legal move paths (perft), the standard check of a move generator.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "rules/types.h"

namespace xq {

// Number of legal move sequences of `depth` plies from the current position, which is unchanged.
uint64_t Perft(int depth);

// Perft of depth - 1 below each legal root move, in generation order.
std::vector<std::pair<MoveRecord, uint64_t>> PerftDivide(int depth);

}  // namespace xq
