// Position text in the usual Xiangqi FEN form (ranks 9 down to 0; Red RNBAKCP, Black rnbakcp;
// w or b to move) and moves in ICCS coordinates (h2e2: files a..i from Red's left, ranks 0..9).
#pragma once

#include <string>
#include <string_view>

#include "rules/board.h"
#include "rules/movegen.h"  // FindGeneratedMove, for readers of ICCS text
#include "rules/types.h"

namespace xq {

inline constexpr std::string_view kStartFen =
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";

// Sets up the position described by `fen`. On a malformed text returns false with a reason in
// `error` and leaves the position as it was. The game record is not touched.
bool ReadFen(std::string_view fen, std::string* error);
// The position with the move counters "0 1".
std::string WriteFen();
// The position with its half-move clock (plies since the last capture) and full-move number.
std::string WriteFen(int quietPlies, int fullMove);
// The same for any position.
bool ReadFen(Position& position, std::string_view fen, std::string* error);
std::string WriteFen(const Position& position, int quietPlies = 0, int fullMove = 1);

// Reads "h2e2" into two squares; false when the text is not four valid coordinates.
bool ParseIccs(std::string_view text, Square* from, Square* to);
std::string FormatIccs(const MoveRecord& move);

}  // namespace xq
