// Set-up shared by the engine suites: a position from FEN with the engine's settings at their
// defaults, and helpers that judge a search's result.
#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "engine/evaluation.h"
#include "engine/search.h"
#include "engine/startup.h"
#include "engine/think.h"
#include "platform/display.h"
#include "platform/random.h"
#include "records/settings.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "support/position_fixture.h"

namespace xq::testing {

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetEngineSettings(); }
    void TearDown() override {
        ResetEngineSettings();
        SetDisplay(nullptr);
    }

    static void ResetEngineSettings() {
        InitEngine();
        Reset();
        SeedRandom(1);
    }

    // The position of `fen` as a set-up position.
    static void SetUpPosition(std::string_view fen) { SetUpFen(fen); }
};

// ThinkAndChoose from the current game position (anchored at recordTop -1), as the flow runs it.
inline void ThinkToDepth(int depth) {
    recordTop = 0;
    ThinkAndChoose(depth);
    recordTop = -1;
}

inline int CountLegalMoves() {
    return static_cast<int>(LegalMoves().size());
}

// Plays the ICCS moves as game moves, leaving the record anchored at -1 as after committed moves.
template <typename Moves>
void PlayGameMoves(const Moves& moves) {
    for (std::string_view iccs : moves) {
        MoveRecord move = Generated(iccs);
        ASSERT_NE(move.piece, Empty) << iccs;
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
        SlideRecord();
    }
}

inline void PlayGameMoves(std::initializer_list<std::string_view> moves) {
    PlayGameMoves<std::initializer_list<std::string_view>>(moves);
}

}  // namespace xq::testing
