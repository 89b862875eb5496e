// How the search scores a repetition: a side that gave check with every one of its moves in the
// cycle loses it (perpetual check), unless the other side did too; any other repetition is a draw.
#pragma once

#include <cstdint>

namespace xq {

// A win because the opponent checked perpetually, reached at ply p, scores this minus
// p * kMatePly: beyond any count of material, below every mate score and the mate search's bound.
inline constexpr int32_t kPerpetualWinScore = 24000;

// The score, for its mover, of the move just made at GameRecord[ply] (ply = recordTop, sideToMove
// still the mover) that repeats an earlier position of the quiet run. The cycle is taken back to
// see who checked and played again; the board is as it was on return.
int32_t RepetitionScore(int ply);

}  // namespace xq
