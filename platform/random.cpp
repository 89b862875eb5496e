#include "platform/random.h"

#include <chrono>

namespace xq {

namespace {

// splitmix64: small, fast and the same on every platform, unlike the runtime library's rand().
uint64_t state = 0x9E3779B97F4A7C15ull;

uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

}  // namespace

void SeedRandom(uint64_t seed) {
    state = seed;
}

void RandomSeed() {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    SeedRandom(
        static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

int Random(int n) {
    if (n <= 0) return 0;
    // The top bits times n: uniform enough for n far below 2^32, and no division.
    return static_cast<int>(((Next() >> 32) * static_cast<uint64_t>(n)) >> 32);
}

}  // namespace xq
