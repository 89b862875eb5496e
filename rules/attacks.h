// Attack detection: a difference table rejects almost every impossible (kind, from, to) with one
// lookup; the remaining cases read the board for blocking points, screens and the palace.
#pragma once

#include "rules/board.h"
#include "rules/types.h"

namespace xq {

// One bit per kind (bit kind - 1); kind 0 has no bit.
inline constexpr uint16_t KindMask[8] = {0, 1, 2, 4, 8, 16, 32, 64};
// KindMask computed instead of loaded, for the hot loops.
constexpr uint16_t KindBit(PieceKind kind) {
    return static_cast<uint16_t>((1u << kind) >> 1);
}
static_assert(KindBit(Empty) == 0 && KindBit(King) == 1 && KindBit(Pawn) == 64);

struct AttackEntry {
    uint16_t kinds;  // kinds whose piece on `from` could reach `to` in one move
    int32_t step;    // the unit step a sliding piece takes from `from` toward `to`
};

inline constexpr int kMaxDifference = 153;
extern AttackEntry attackTableStorage[2 * kMaxDifference + 1];
// Indexed by to - from, -153..153.
inline AttackEntry* const AttackTable = attackTableStorage + kMaxDifference;

// Builds AttackTable. It is built when the program loads; the game's start-up builds it again.
void InitAttackTable();

// 1 when a piece of `kind` on `from` attacks `to` on the current board. The Pawn, palace and river
// rules read the side byte of the cell at `from`, not `side`, which is accepted for symmetry.
int Attacks(PieceKind kind, Side side, Square from, Square to);
int Attacks(const Position& position, PieceKind kind, Square from, Square to);

// 1 when any living piece of `side` attacks `square`.
int IsAttacked(Side side, Square square);
int IsAttacked(const Position& position, Side side, Square square);

}  // namespace xq
