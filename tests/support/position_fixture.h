// Shared helpers for the suites: set up positions from FEN and compare whole position state.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/movegen.h"
#include "rules/record.h"

namespace xq::testing {

// Every byte of the position and the counters that a search or a take-back must restore.
struct PositionSnapshot {
    Board cells;
    PieceList lists[2];
    Side toMove;
    Side other;
    int16_t top;
    int32_t plies;

    static PositionSnapshot Take() {
        PositionSnapshot s;
        std::memcpy(s.cells, board, sizeof board);
        std::memcpy(s.lists, pieceList, sizeof pieceList);
        s.toMove = sideToMove;
        s.other = otherSide;
        s.top = recordTop;
        s.plies = plyCount;
        return s;
    }

    bool operator==(const PositionSnapshot& o) const {
        return std::memcmp(cells, o.cells, sizeof cells) == 0 &&
               std::memcmp(lists, o.lists, sizeof lists) == 0 && toMove == o.toMove &&
               other == o.other && top == o.top && plies == o.plies;
    }
};

// A new game, then the position of `fen` as a set-up position (record reset, no book).
inline void SetUpFen(std::string_view fen) {
    InitAttackTable();
    NewGame();
    std::string error;
    ASSERT_TRUE(ReadFen(fen, &error)) << error;
    ResetAfterSetUp();
}

// The generated move from `iccs` (e.g. "h2e2"); NullMove when it is not generated.
inline MoveRecord Generated(std::string_view iccs) {
    Square from = 0;
    Square to = 0;
    if (!ParseIccs(iccs, &from, &to)) return NullMove;
    return FindGeneratedMove(from, to);
}

}  // namespace xq::testing
