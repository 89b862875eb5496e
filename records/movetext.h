// Moves as players write them in shared game records: ICCS coordinates (h2e2, H2-E2), WXF
// (C2.5, H8+7, +R.4, -P+1) and Chinese notation (炮二平五, 马８进７, 前车进一, with either set of
// numerals and the traditional or simplified piece names). A text is matched against the legal
// moves of the side to move, so it is read exactly as the rules allow.
#pragma once

#include <string>
#include <string_view>

#include "rules/types.h"

namespace xq {

// What a move text named.
enum class MoveTextResult {
    Found,      // *move is the one legal move of sideToMove the text names
    NotAMove,   // the text is not move text in any of the three notations
    Illegal,    // the text names no legal move in the position
    Ambiguous,  // the text names more than one legal move
};

// Reads `text` (UTF-8) as a move of sideToMove in the current position. The position is
// unchanged; *move is set only when the result is Found.
MoveTextResult ReadMoveText(std::string_view text, MoveRecord* move);

// The Chinese text of a legal move of sideToMove as a player writes it: the program's own four
// characters, or the front/rear form (前车进一) when two like pieces on one file would make those
// ambiguous.
std::string ChineseMoveText(const MoveRecord& move);

}  // namespace xq
