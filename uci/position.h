// The position the controlling program sets with `position`: read from its words, checked and
// set up as a game on the core, so that repetitions and the opening library see every move.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "rules/types.h"

namespace xq::uci {

struct PositionRequest {
    std::string fen;  // empty: the opening array
    std::vector<std::string> moves;
};

// Reads the words after "position": `startpos` or `fen FIELDS...`, then optionally `moves ...`.
bool ParsePositionRequest(const std::vector<std::string_view>& words, PositionRequest* request,
                          std::string* error);

// Sets up the request as a new game: the opening array or the FEN (each King in its palace, the
// side not to move not in check, Assists, Bishops and Pawns on their points), then every move
// played in turn, each one a legal move of the side to move. With useBook the opening library may
// answer a game begun at the opening array. False with the reason when something is refused; the
// position is then undefined and the caller sets up the last good request again.
bool ApplyPosition(const PositionRequest& request, bool useBook, std::string* error);

// The first legal move of the side to move in generation order that `excluded` (when given)
// does not refuse; NullMove when there is none.
MoveRecord FirstLegalMove(bool (*excluded)(const MoveRecord& move) = nullptr);

}  // namespace xq::uci
