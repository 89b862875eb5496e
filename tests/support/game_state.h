// The whole state of a game that loading or saving a game file may touch, as bytes to compare.
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

// Every byte of game state a restore may change, compared whole.
struct GameState {
    Board cells;
    PieceList lists[2];
    int32_t defenders[2];
    Side toMove, other, clock, user, computer;
    uint8_t flags[6];  // reversed, two players, demonstration, no time limit, level, depth
    double time;
    int32_t plies;
    int16_t top;
    Stopwatch clocks[3];
    int32_t values[8];
    uint8_t library, over;

    static GameState Take() {
        GameState s;
        std::memset(&s, 0, sizeof s);  // padding too, for memcmp
        std::memcpy(s.cells, board, sizeof board);
        std::memcpy(s.lists, pieceList, sizeof pieceList);
        std::memcpy(s.defenders, firstDefender, sizeof firstDefender);
        s.toMove = sideToMove;
        s.other = otherSide;
        s.clock = clockSide;
        s.user = userSide;
        s.computer = computerSide;
        const uint8_t flags[6] = {boardReversed, twoPlayerMode, demoMode,
                                  noTimeLimit,   levelKind,     maxDepth};
        std::memcpy(s.flags, flags, sizeof flags);
        s.time = levelTime;
        s.plies = plyCount;
        s.top = recordTop;
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
