// The whole state of a game that loading or saving a game file may touch, and the position alone,
// as bytes to compare.
// Free of the test framework, so that the fuzz targets share it.
#pragma once

#include <cstdint>
#include <cstring>

#include "engine/evaluation.h"
#include "engine/flow.h"
#include "engine/think.h"
#include "records/settings.h"
#include "rules/board.h"
#include "rules/clock.h"
#include "rules/game.h"
#include "rules/record.h"

namespace xq::testing {

// The position (its Zobrist key included) and where the game record stands: what a reader that
// keeps the position must give back byte for byte.
struct PositionState {
    Position position;
    int16_t top;
    int32_t plies;

    static PositionState Take() {
        PositionState s;
        std::memset(&s, 0, sizeof s);  // padding too, for memcmp
        // Field by field: a Position copied whole may bring its padding along.
        std::memcpy(s.position.board, board, sizeof board);
        std::memcpy(s.position.pieceList, pieceList, sizeof pieceList);
        std::memcpy(s.position.firstDefender, firstDefender, sizeof firstDefender);
        s.position.sideToMove = sideToMove;
        s.position.otherSide = otherSide;
        s.position.key = gamePosition.key;
        s.top = recordTop;
        s.plies = plyCount;
        return s;
    }
    bool operator==(const PositionState& o) const { return std::memcmp(this, &o, sizeof o) == 0; }
};

// Every byte of game state a restore may change, compared whole.
struct GameState {
    PositionState where;
    Side clock, user, computer;
    uint8_t flags[6];  // reversed, two players, demonstration, no time limit, level, depth
    double time;
    Stopwatch clocks[3];
    int32_t values[8];
    uint8_t library, over;

    static GameState Take() {
        GameState s;
        std::memset(&s, 0, sizeof s);  // padding too, for memcmp
        const PositionState where = PositionState::Take();
        std::memcpy(&s.where, &where, sizeof where);
        s.clock = clockSide;
        s.user = userSide;
        s.computer = computerSide;
        const uint8_t flags[6] = {boardReversed, twoPlayerMode, demoMode,
                                  noTimeLimit,   levelKind,     maxDepth};
        std::memcpy(s.flags, flags, sizeof flags);
        s.time = levelTime;
        s.clocks[0] = sideClock[Red];
        s.clocks[1] = sideClock[Black];
        s.clocks[2] = searchClock;
        std::memcpy(s.values, pieceValue, sizeof pieceValue);
        s.library = libraryLimit;
        s.over = gameOver;
        return s;
    }
    bool operator==(const GameState& o) const { return std::memcmp(this, &o, sizeof o) == 0; }
};

}  // namespace xq::testing
