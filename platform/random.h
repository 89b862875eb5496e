// The program's one pseudo-random generator. Seeded once at start-up from the time of day;
// tests and benchmarks seed it themselves so that the same seed gives the same games.
#pragma once

#include <cstdint>

namespace xq {

void SeedRandom(uint64_t seed);
// Seeds from the local time of day (the game does this once at start-up).
void RandomSeed();
// A uniform integer 0..n-1; 0 when n is 0 or negative.
int Random(int n);

}  // namespace xq
