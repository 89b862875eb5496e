// Zobrist keys: one random 64-bit number per (side, kind, square) and one for Black to move. A
// position's key is the exclusive or of the numbers of its pieces; MakeMove keeps it up to date.
#pragma once

#include <cstdint>

#include "rules/types.h"

namespace xq {

struct Position;

namespace zobrist_detail {

// splitmix64: a fixed sequence, so that keys are the same in every run and every build.
constexpr uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

struct PieceKeys {
    uint64_t key[2][8][kBoardCells];

    constexpr PieceKeys() : key{} {
        uint64_t n = 0;
        for (auto& side : key) {
            for (auto& kind : side) {
                for (uint64_t& k : kind)
                    k = Mix(++n * 0x2545F4914F6CDD1Dull);
            }
        }
        // Empty cells contribute nothing, so a cell can be xored in whatever it holds.
        for (auto& side : key) {
            for (uint64_t& k : side[0])
                k = 0;
        }
    }
};

}  // namespace zobrist_detail

inline constexpr zobrist_detail::PieceKeys kPieceKeys;
inline constexpr uint64_t kBlackToMoveKey = zobrist_detail::Mix(0x5851F42D4C957F2Dull);

constexpr uint64_t PieceKey(Side side, PieceKind kind, Square square) {
    return kPieceKeys.key[side & 1][kind & 7][square];
}

// The key of the pieces on the board, computed from scratch (the incremental key must equal it).
uint64_t ComputePieceKey(const Position& position);

}  // namespace xq
