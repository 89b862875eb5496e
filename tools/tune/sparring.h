// Sparring: two weight tables play each other with a small fixed-depth search of their own, so
// that a fit which lowers the loss can be seen to play better as well. The search is plain
// alpha-beta with a capture search, on the game's position; it is a yardstick, not the engine.
#pragma once

#include <cstdint>
#include <functional>

#include "tools/tune/texel.h"

namespace xq::tune {

struct SparringResult {
    int wins = 0;  // for the first table
    int draws = 0;
    int losses = 0;
};

struct SparringOptions {
    int pairs = 50;       // openings; each is played with both colours
    int depth = 2;        // full-width plies before the capture search
    int randomPlies = 4;  // random legal plies that make an opening
    int maxPlies = 200;   // a draw after this many
    uint64_t seed = 1;
    std::function<void(int game, const SparringResult&)> onGame;
};

// Plays `first` against `second`; scores are for `first`.
SparringResult Spar(const Weights& first, const Weights& second, const SparringOptions& options);

}  // namespace xq::tune
