// The think driver's time budgets by level and the texts it writes into the panel.
#include "engine/think.h"

#include <gtest/gtest.h>

#include "engine/masterthink.h"
#include "engine/movevalues.h"
#include "engine/search.h"
#include "engine/timecontrol.h"
#include "engine_fixture.h"
#include "records/notation.h"
#include "rules/clock.h"
#include "support/display_recorder.h"
#include "support/fake_time.h"

namespace xq {
namespace {

using testing::DisplayRecorder;
using testing::EngineTest;

class ThinkTest : public EngineTest {};

TEST_F(ThinkTest, NewGameForgetsTheLastSearchTime) {
    testing::FakeTime time;
    SetUpPosition(kStartFen);
    Reset(searchClock);
    Start(searchClock);
    time.Advance(7);
    EXPECT_EQ(SearchSeconds(), 7);
    NewGame();
    EXPECT_EQ(searchClock.elapsed, 0);
}

TEST_F(ThinkTest, TimeLimitOfEachLevel) {
    struct Row {
        const char* name;
        uint8_t level;
        double levelTime;
        int32_t plies;
        double used;          // by the side about to move
        double opponentUsed;  // by the other side
        double expected;
    };
    const Row rows[] = {
        {"per move 10 s, first move: doubled excess over 5 s", kLevelPerMove, 10.0, 0, 0, 0,
         (400.0 / 44 - 5) * 2 + 5},
        // Under 5 s there is no excess: the early-game factor never shortens the time.
        {"per move 5 s, first move: kept", kLevelPerMove, 5.0, 0, 0, 0, 200.0 / 44},
        {"per move 2 s, first move: kept, not negative", kLevelPerMove, 2.0, 0, 0, 0, 80.0 / 44},
        {"per move, 10 moves and 50 s used", kLevelPerMove, 5.0, 20, 50, 0, 150.0 / 34},
        {"per move, 50 moves: next checkpoint 60", kLevelPerMove, 5.0, 100, 100, 0, 200.0 / 14},
        {"per move, 39 moves: checkpoint raised to 40", kLevelPerMove, 5.0, 78, 100, 0, 100.0 / 5},
        {"easy is per move", kLevelEasy, 5.0, 0, 0, 0, 200.0 / 44},
        {"per game, 120 s used", kLevelPerGame, 10.0, 20, 120, 0, 480.0 / 44},
        {"per game, first move", kLevelPerGame, 10.0, 0, 0, 0, (600.0 / 44 - 5) * 2 + 5},
        {"per game, overrun", kLevelPerGame, 1.0, 90, 100, 0, -40.0 / 44},
        {"matching before the user moved twice", kLevelMatching, 5.0, 1, 1, 3, 5.0 + 0.5},
        {"matching: user's average plus a quarter of the difference", kLevelMatching, 5.0, 10, 20,
         40, 40.0 / 5 + 5},
        {"unlimited", kLevelUnlimited, 5.0, 10, 0, 0, 1e6},
        {"fixed depth", kLevelFixedDepth, 5.0, 10, 0, 0, 1e6},
        {"mate search", kLevelMateSearch, 5.0, 10, 0, 0, 1e6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUpPosition(kStartFen);
        DisplayRecorder display;
        levelKind = row.level;
        levelTime = row.levelTime;
        plyCount = row.plies;
        sideClock[clockSide].elapsed = row.used;
        sideClock[otherSide].elapsed = row.opponentUsed;
        pondering = 1;
        timedThinking = 0;
        ComputeTimeLimit();
        EXPECT_NEAR(timeLimit, row.expected, 1e-9);
        EXPECT_EQ(timedThinking, 1);
        EXPECT_EQ(pondering, 0);
        EXPECT_EQ(display.calls.back(), testing::DisplayCall("SetCursor", "", 1));
    }
}

TEST_F(ThinkTest, TheEdgeCasesToTwoDecimals) {
    SetUpPosition(kStartFen);
    levelKind = kLevelPerMove;
    ComputeTimeLimit();
    EXPECT_EQ(static_cast<int>(timeLimit * 100), 454);
    plyCount = 20;
    sideClock[clockSide].elapsed = 50;
    ComputeTimeLimit();
    EXPECT_EQ(static_cast<int>(timeLimit * 100), 441);
    levelKind = kLevelPerGame;
    levelTime = 10;
    sideClock[clockSide].elapsed = 120;
    ComputeTimeLimit();
    EXPECT_EQ(static_cast<int>(timeLimit * 100), 1090);
}

TEST_F(ThinkTest, LevelTexts) {
    struct Row {
        uint8_t level;
        double levelTime;
        uint8_t depth;
        uint8_t twoPlayers;
        const char* text;
    };
    const Row rows[] = {
        {kLevelPerMove, 5.0, 45, 0, "5 秒/移动"},
        {kLevelPerGame, 10.0, 45, 0, "10.00 分钟/局"},
        {kLevelEasy, 5.0, 45, 0, "容易"},
        {kLevelUnlimited, 5.0, 45, 0, "无限制"},
        {kLevelFixedDepth, 5.0, 7, 0, "回合深度 = 7"},
        {kLevelMateSearch, 5.0, 45, 0, "将死搜索"},
        {kLevelMatching, 5.0, 45, 0, "匹配用户时间"},
        {kLevelEasy, 5.0, 45, 1, "两人对弈"},
    };
    for (const Row& row : rows) {
        levelKind = row.level;
        levelTime = row.levelTime;
        maxDepth = row.depth;
        twoPlayerMode = row.twoPlayers;
        EXPECT_EQ(LevelText(), row.text);
    }
}

TEST_F(ThinkTest, PanelTexts) {
    SetUpPosition(kStartFen);
    const MoveRecord move = testing::Generated("h2e2");
    EXPECT_EQ(RootMoveText(3, move, Red), "3      " + FormatMove(move, Red));
    EXPECT_EQ(RootMoveText(12, NullMove, Red), "12     " + std::string(kEmptyMoveText));
    EXPECT_EQ(ScoreText(384), "   1.50");
    EXPECT_EQ(ScoreText(-128), "  -0.50");
    EXPECT_EQ(NodeCountText(12345), "  12345 ");
    EXPECT_EQ(NodeRateText(1000, 3.0), "  333.3");

    // The best line shows at most seven moves, sides alternating from the first mover.
    MoveRecord line[kLineLength];
    std::fill(std::begin(line), std::end(line), NullMove);
    for (int k = 0; k < 9; ++k)
        line[k] = move;
    std::string seven;
    for (int k = 0; k < 7; ++k)
        seven += FormatMove(move, k % 2 == 0 ? Black : Red) + " ";
    EXPECT_EQ(SearchLineText(line, Black), seven);
    line[2] = NullMove;
    EXPECT_EQ(SearchLineText(line, Red),
              FormatMove(move, Red) + " " + FormatMove(move, Black) + " ");
}

TEST_F(ThinkTest, PanelValuesGoToTheirFields) {
    SetUpPosition(kStartFen);
    DisplayRecorder display;
    nodeCount = 1000;
    ShowNodeRate(4.0);
    ShowNodeRate(0.0);  // no rate for a search within one second
    MoveRecord line[kLineLength];
    std::fill(std::begin(line), std::end(line), NullMove);
    line[0] = testing::Generated("h2e2");
    ShowSearchLine(line, 256, Red);
    bestPathShown = 0;
    ShowSearchLine(line, 256, Red);  // the option is off: nothing
    bestPathShown = 1;
    const std::vector<testing::DisplayCall> expected = {
        {"ShowPanelValue", "Seconds=  250.0"},
        {"ShowPanelValue", "Nodes=   1000 "},
        {"ShowPanelValue", "Nodes=   1000 "},
        {"ShowPanelValue", "BestPath=" + FormatMove(line[0], Red) + " "},
        {"ShowPanelValue", "Value=   1.00"},
    };
    EXPECT_EQ(display.calls, expected);
}

// The 大师 engine's hundredths of a Pawn and its mates in plies, as the classic engine's values:
// the panel, the log and the demonstration's resignation read them alike; the values kept for the
// moves of the game read them back.
TEST_F(ThinkTest, MasterScoresReadAsTheClassicEnginesScores) {
    const struct {
        int32_t master;
        int32_t classic;
        const char* text;
    } rows[] = {
        {0, 0, "   0.00"},
        {100, 256, "   1.00"},
        {-250, -640, "  -2.50"},
        // No mate however large: below the classic engine's mate scores.
        {master::kMateBound, kMateScore - kMatePly * (kMaxPly + 1) - 1, " 102.50"},
        {master::kMate - 1, kMateScore - kMatePly, " 124.50"},
        {-(master::kMate - 2), -(kMateScore - 2 * kMatePly), "-124.00"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ClassicScore(row.master), row.classic) << row.master;
        EXPECT_EQ(ScoreText(ClassicScore(row.master)), row.text) << row.master;
        // Back again as the value a move keeps, from Red's view (the bound is no value of its own).
        if (row.master == master::kMateBound) continue;
        EXPECT_EQ(MasterScore(row.classic), row.master) << row.master;
        EXPECT_EQ(RedValueOf(row.classic, Red), row.master) << row.master;
        EXPECT_EQ(RedValueOf(row.classic, Black), -row.master) << row.master;
    }
    EXPECT_EQ(OnePlyNearer(master::kMate - 3), master::kMate - 2);
    EXPECT_EQ(OnePlyNearer(-(master::kMate - 3)), -(master::kMate - 2));
    EXPECT_EQ(OnePlyNearer(-250), -250);
}

// The moves the 大师 engine is given: the game's, oldest first, without the search's working slot.
TEST_F(ThinkTest, GameHistoryForTheMasterEngine) {
    SetUpPosition(kStartFen);
    EXPECT_TRUE(GameHistory().empty());
    const std::vector<std::string_view> moves = {"h2e2", "h9g7", "h0g2"};
    testing::PlayGameMoves(moves);
    for (int16_t top : {-1, 0}) {
        recordTop = top;
        GameRecord[0] = testing::Generated("g6g5");  // a working move of an earlier search
        const std::vector<MoveRecord> history = GameHistory();
        ASSERT_EQ(history.size(), moves.size()) << top;
        for (size_t k = 0; k < moves.size(); ++k)
            EXPECT_TRUE(SameMove(history[k], GameRecord[-3 + static_cast<int>(k)])) << k;
    }
    recordTop = -1;
}

}  // namespace
}  // namespace xq
