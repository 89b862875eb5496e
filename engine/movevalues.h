// What the engines made of each move of the game: the value after it, and, once the game has been
// analysed, the better move and a mark. The move list's marks, the course graph and the analysed
// PGN export read it; the flow writes a value after every engine search, the analysis the rest.
#pragma once

#include <cstdint>
#include <vector>

#include "rules/types.h"

namespace xq {

// Marks for a move that gave away value; the thresholds are the analysis's.
enum class MoveMark : uint8_t { None, Inaccuracy /* ?! */, Mistake /* ? */, Blunder /* ?? */ };

struct MoveValue {
    bool known = false;  // redValue holds a value
    // After the move, from Red's view, in hundredths of a Pawn; a mate as ±(master::kMate - n).
    int32_t redValue = 0;
    bool analysed = false;       // best and mark come from the analysis
    MoveRecord best = NullMove;  // the engine's move in the position before this one
    MoveMark mark = MoveMark::None;
};

// Entry p belongs to the move that made the game's plyCount p (entry 0 is unused). Taking moves
// back keeps their entries, so that replaying them shows them again.
extern std::vector<MoveValue> moveValues;

// The entry of ply `ply`, grown as needed.
MoveValue& MoveValueAt(int ply);
// Forgets plies `ply` and later: a new game (ply 1) or a different move played at `ply`.
void ForgetMoveValuesFrom(int ply);
// Forgets them all: a new game or a position set up by other means.
void ForgetAllMoveValues();

// A score of the engines' think driver (classic units, Pawn = 256, from the view of `mover`, the
// side to move where it was searched) as a MoveValue's redValue.
int32_t RedValueOf(int32_t classicScore, Side mover);
// The value one ply later along the engine's own line: the same, a mate one ply nearer.
int32_t OnePlyNearer(int32_t redValue);
// Whether a redValue is a mate.
bool IsMateValue(int32_t redValue);

// Whoever shows the values (the course graph) is told of every change through MoveValuesChanged:
// the flow and the forgetting call it themselves, the analysis after each value it writes.
using MoveValuesListener = void (*)();
void SetMoveValuesListener(MoveValuesListener listener);
void MoveValuesChanged();

}  // namespace xq
