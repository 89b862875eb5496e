#include "engine/search.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/commands.h"
#include "engine/repetition.h"
#include "engine_fixture.h"
#include "platform/messages.h"
#include "rules/attacks.h"
#include "rules/gamemoves.h"
#include "rules/makemove.h"
#include "rules/record.h"

namespace xq {
namespace {

using testing::EngineTest;
using testing::PositionSnapshot;
using testing::ThinkToDepth;

class SearchTest : public EngineTest {
  protected:
    // A fixed-depth search that must leave the position exactly as it found it.
    static void SearchAndCheckRestored(int depth) {
        const PositionSnapshot before = PositionSnapshot::Take();
        ThinkToDepth(depth);
        EXPECT_TRUE(PositionSnapshot::Take() == before) << "position changed by the search";
        EXPECT_TRUE(PositionIsConsistent());
    }
};

// Plays bestLine (at most `plies` moves) and checks that every move is legal and that, when the
// line is that long, it ends with the side to move mated (in check, no legal move). A line can
// be shorter: a move re-searched at the edge of its window keeps the line its first search left.
// Returns the length of the line; the position is as before.
int CheckMatingLine(int plies) {
    std::vector<MoveRecord> played;
    for (int k = 0; k < plies && bestLine[k].piece != Empty; ++k) {
        const MoveRecord move = bestLine[k];
        EXPECT_TRUE(IsLegalMove(move)) << "ply " << k;
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
        played.push_back(move);
    }
    const int length = static_cast<int>(played.size());
    if (length == plies) {
        EXPECT_EQ(testing::CountLegalMoves(), 0);
        EXPECT_TRUE(IsAttacked(otherSide, KingSquare(sideToMove)));
    }
    for (auto it = played.rbegin(); it != played.rend(); ++it)
        TakeBackMove(*it);
    return length;
}

TEST_F(SearchTest, FindsShortMates) {
    struct Row {
        const char* name;
        const char* fen;
        int depth;
        int plies;       // of the mating line
        int lineLength;  // of bestLine
    };
    const Row rows[] = {
        {"mate in one", "4k4/R8/9/9/9/9/9/9/9/3K4R w - - 0 1", 1, 1, 1},
        {"mate in one for Black", "3k4r/9/9/9/9/9/9/9/r8/4K4 b - - 0 1", 1, 1, 1},
        {"mate in two", "4k4/9/9/9/9/9/9/9/R8/3K4R w - - 0 1", 2, 3, 2},
        {"mate in three", "3ak4/9/9/9/9/9/9/9/9/R2K4R w - - 0 1", 3, 5, 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUpPosition(row.fen);
        SearchAndCheckRestored(row.depth + 4);
        // Deeper than one ply the principal-line margin may lower a mate score by a multiple of
        // 8, never by a ply; a mate in one scores exactly 32000 - 128.
        if (row.plies == 1) {
            EXPECT_EQ(searchScore, 31872);
        }
        EXPECT_LE(searchScore, kMateScore - kMatePly * row.plies);
        EXPECT_GT(searchScore, kMateScore - kMatePly * (row.plies + 1));
        EXPECT_EQ(iterationDepth, row.depth) << "a found mate ends the iterations";
        EXPECT_EQ(CheckMatingLine(row.plies), row.lineLength);
    }
}

// Positions after a few game moves where the side to move has legal moves, and each of them
// brings back a position of the game.
constexpr char kRookChecks[] = "5kR2/9/5a3/9/9/9/9/9/9/4K4 b - - 0 1";
constexpr char kRookEnding[] = "5a3/3k5/3aR4/9/5r3/5n3/9/3A1A3/5K3/2BC2B2 w - - 0 1";
constexpr char kKingShuffle[] = "5k3/9/9/9/4r4/9/9/9/9/3K5 w - - 0 1";
constexpr int32_t kPerpetualWinAtPly1 = kPerpetualWinScore - kMatePly;

TEST_F(SearchTest, RootWhereEveryMoveRepeatsHasNoMove) {
    struct Row {
        const char* name;
        const char* fen;
        std::vector<std::string_view> moves;
        int32_t score;
    };
    const Row rows[] = {
        // Red's King steps between d0 and d1 while Black's Rook swings on the e-file.
        {"not in check", kKingShuffle, {"d0d1", "e5e6", "d1d0", "e6e5"}, 0},
        // The Rook checked with every move: Black's only reply repeats, and wins.
        {"perpetual check", kRookChecks, {"f9f8", "g9g8", "f8f9", "g8g9"}, kPerpetualWinAtPly1},
        // Red's d7d9 did not check: in check, but the repetition is a draw.
        {"in check", kRookEnding, {"e7d7", "d8e8", "d7d9", "e8e7", "d9d7"}, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUpPosition(row.fen);
        testing::PlayGameMoves(row.moves);
        ASSERT_GE(testing::CountLegalMoves(), 1);
        SearchAndCheckRestored(3);
        EXPECT_EQ(rootMoveCount, 0);
        EXPECT_EQ(bestLine[0].piece, Empty);
        EXPECT_EQ(searchScore, row.score) << "never a mate";
        EXPECT_EQ(iterationDepth, 1);
    }
}

TEST_F(SearchTest, RepetitionScoreJudgesTheChecksOfTheCycle) {
    struct Row {
        const char* name;
        const char* fen;
        std::vector<std::string_view> moves;
        const char* repeating;  // the move judged, made at ply 0 by its mover
        int32_t score;          // for the mover
    };
    const Row rows[] = {
        {"the opponent checked every move",
         kRookChecks,
         {"f9f8", "g9g8", "f8f9", "g8g9"},
         "f9f8",
         kPerpetualWinAtPly1},
        {"the mover checked every move",
         kRookChecks,
         {"f9f8", "g9g8", "f8f9", "g8g9", "f9f8"},
         "g9g8",
         -kPerpetualWinAtPly1},
        {"one move of the checker did not check",
         kRookEnding,
         {"e7d7", "d8e8", "d7d9", "e8e7", "d9d7"},
         "e7e8",
         0},
        {"nobody checked", kKingShuffle, {"d0d1", "e5e6", "d1d0", "e6e5"}, "d0d1", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUpPosition(row.fen);
        testing::PlayGameMoves(row.moves);
        const MoveRecord move = testing::Generated(row.repeating);
        ASSERT_NE(move.piece, Empty);
        recordTop = 0;
        GameRecord[0] = move;
        MakeMove(move, false);
        ASSERT_GE(CountRepetitions(0), 2);
        const PositionSnapshot before = PositionSnapshot::Take();
        EXPECT_EQ(RepetitionScore(0), row.score);
        EXPECT_TRUE(PositionSnapshot::Take() == before) << "the cycle is played again";
        MakeMove(move, true);
        recordTop = -1;
    }
}

TEST_F(SearchTest, AnOnlyMoveEndsTheIterationsAfterTheFirst) {
    SetUpPosition("5k3/9/9/9/3r5/9/9/9/9/3K5 w - - 0 1");  // in check: d0e0 alone
    SearchAndCheckRestored(8);
    // A first iteration that fails low is searched again below its window, and one more
    // iteration follows; after that an only move is not searched deeper.
    EXPECT_LE(iterationDepth, 2);
    EXPECT_EQ(FormatIccs(bestLine[0]), "d0e0");
}

TEST_F(SearchTest, PositionRestoredAfterSearches) {
    const char* fens[] = {
        kStartFen.data(),
        "1C2ka3/9/C1Nab1n2/p3p3p/6p2/9/P3P3P/3AB4/3p2c2/c1BAK4 w - - 0 1",
        "1cbak4/9/n2a5/2p1p3p/5cp2/2n2N3/6PCP/3AB4/2C6/3A1K1N1 w - - 0 1",
        "R1N1k1b2/9/3aba3/9/2nr5/2B6/9/4B4/4A4/4KA3 b - - 0 1",
    };
    for (const char* fen : fens) {
        SCOPED_TRACE(fen);
        SetUpPosition(fen);
        SearchAndCheckRestored(3);
        EXPECT_TRUE(IsLegalMove(bestLine[0]));
    }
}

TEST_F(SearchTest, SameSeedSameSearch) {
    const char* fen = "1C2ka3/9/C1Nab1n2/p3p3p/6p2/9/P3P3P/3AB4/3p2c2/c1BAK4 w - - 0 1";
    SetUpPosition(fen);
    ThinkToDepth(3);
    const uint64_t nodes = nodeCount;
    const int32_t score = searchScore;
    SearchLine line;
    std::copy(std::begin(bestLine), std::end(bestLine), line);
    SeedRandom(1);
    ThinkToDepth(3);
    EXPECT_EQ(nodeCount, nodes);
    EXPECT_EQ(searchScore, score);
    for (int k = 0; k < kLineLength && line[k].piece != Empty; ++k)
        EXPECT_TRUE(SameMove(bestLine[k], line[k])) << "ply " << k;
}

// Counts what the search shows on the panel, and can stop the search at a chosen root move.
class SearchRecorder : public Display {
  public:
    int stopAtDepth = 0;
    int stopAtRootMove = 0;
    int rootMovesShown = 0;
    bool stopPosted = false;
    int linesShown = 0;
    std::string lastValue;

    void ShowPanelValue(std::string_view field, std::string_view text) override {
        if (field == "Depth") {
            ++rootMovesShown;
            const int depth = std::atoi(std::string(text).c_str());
            if (depth == stopAtDepth && rootMovesShown >= stopAtRootMove && !stopPosted) {
                // "停止" as the user gives it: the search's pump takes it.
                Message stop;
                stop.command = kCommandStop;
                PostMessage(stop);
                stopPosted = true;
            }
        } else if (field == "BestPath") {
            EXPECT_FALSE(text.empty());
            ++linesShown;
        } else if (field == "Value") {
            lastValue = text;
        }
    }
};

// Every move of bestLine is legal when its turn comes; the position is as before.
void CheckLineIsLegal() {
    int played = 0;
    for (; played < kLineLength && bestLine[played].piece != Empty; ++played) {
        const MoveRecord move = bestLine[played];
        if (!IsLegalMove(move)) {
            ADD_FAILURE() << "ply " << played << " of the best line: " << FormatIccs(move);
            break;
        }
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
    }
    while (played-- > 0)
        TakeBackMove(bestLine[played]);
}

TEST_F(SearchTest, TimedSearchAlwaysCompletesTheFirstIteration) {
    struct Row {
        const char* name;
        uint8_t timed;
        uint8_t unlimited;
        int depthReached;
    };
    const Row rows[] = {
        {"no time left: one whole iteration", 1, 0, 1},
        {"no time left but no time limit", 1, 1, 3},
        {"not timed", 0, 0, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUpPosition(kStartFen);
        SearchRecorder recorder;
        SetDisplay(&recorder);
        timedThinking = row.timed;
        noTimeLimit = row.unlimited;
        timeLimit = 0.0;
        SearchAndCheckRestored(3);
        EXPECT_EQ(iterationDepth, row.depthReached);
        // Every root move is met; a root move searched again after a null window counts twice.
        if (row.depthReached == 1) {
            EXPECT_EQ(rootMoveCount, 44);
        }
        EXPECT_GE(rootMoveCount, 44);
        EXPECT_TRUE(IsLegalMove(bestLine[0]));
        if (row.timed) {
            EXPECT_GE(recorder.rootMovesShown, 44 * row.depthReached);
            EXPECT_GE(recorder.linesShown, 1);
            EXPECT_EQ(recorder.lastValue, ScoreText(searchScore));
        } else {
            EXPECT_EQ(recorder.rootMovesShown + recorder.linesShown, 0);
        }
        SetDisplay(nullptr);
    }
}

TEST_F(SearchTest, StopDuringTimedThinking) {
    struct Row {
        const char* name;
        int stopAtDepth;
        int depthReached;
        uint8_t stopped;
    };
    const Row rows[] = {
        {"in the first iteration: ignored, the iterations go on", 1, 4, 0},
        {"in the second iteration: the best move so far", 2, 2, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUpPosition("1cbak4/9/n2a5/2p1p3p/5cp2/2n2N3/6PCP/3AB4/2C6/3A1K1N1 w - - 0 1");
        SearchRecorder recorder;
        recorder.stopAtDepth = row.stopAtDepth;
        recorder.stopAtRootMove = 3;
        SetDisplay(&recorder);
        timedThinking = 1;
        timeLimit = 1e6;
        SearchAndCheckRestored(4);
        EXPECT_EQ(stopSearch, row.stopped);
        EXPECT_EQ(iterationDepth, row.depthReached);
        EXPECT_TRUE(IsLegalMove(bestLine[0]));
        SetDisplay(nullptr);
    }
}

TEST_F(SearchTest, TacticsAtTheHorizon) {
    struct Row {
        const char* name;
        const char* fen;
        int depth;
        const char* best;  // nullptr: any move, and no mate may be reported
        bool mate;
    };
    const Row rows[] = {
        {"the piece that gives check is taken", "5k3/9/9/9/R2r5/9/9/9/9/3K5 w", 2, "a5d5", false},
        // The Pawn's step aside uncovers the Rook: a check by another piece than the moved one
        // is not seen at the horizon, so the mate needs one ply more.
        {"a discovered mate is missed at the horizon", "3ckc3/9/9/4P4/9/9/9/4R4/9/3K5 w", 1,
         nullptr, false},
        {"and found one ply deeper", "3ckc3/9/9/4P4/9/9/9/4R4/9/3K5 w", 2, "e6f6", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUpPosition(row.fen);
        SearchAndCheckRestored(row.depth);
        EXPECT_TRUE(IsLegalMove(bestLine[0]));
        if (row.best) {
            EXPECT_EQ(FormatIccs(bestLine[0]), row.best);
        }
        EXPECT_EQ(searchScore >= kForcedMateScore, row.mate) << searchScore;
    }
}

// Over positions of random games (Pawns on their own bank and across the river included): the
// first iteration's root makes exactly the legal moves, and every move of every best line is
// legal. The root moves are read where the panel is told of them: a move still on the board
// there was made.
TEST_F(SearchTest, TheSearchMakesOnlyLegalMovesOverRandomPositions) {
    class RootMoves : public Display {
      public:
        std::set<std::string> made;
        void ShowPanelValue(std::string_view field, std::string_view) override {
            const MoveRecord& move = GameRecord[0];
            if (field == "Depth" && iterationDepth == 1 && board[move.from].kind == Empty)
                made.insert(FormatIccs(move));
        }
    };
    // An iteration in which every root move failed low is searched again below the window; its
    // line must be as legal as any other.
    static int failLows;
    failLows = 0;
    iterationHook = [] {
        if (searchScore > rootWindowLow) return;
        ++failLows;
        CheckLineIsLegal();
    };
    auto searchAndCompare = [](const std::vector<MoveRecord>& legal, int depth) {
        SCOPED_TRACE(WriteFen());
        std::set<std::string> expected;
        for (const MoveRecord& move : legal)
            expected.insert(FormatIccs(move));
        RootMoves roots;
        SetDisplay(&roots);
        timedThinking = 1;
        noTimeLimit = 1;
        SearchAndCheckRestored(depth);
        timedThinking = 0;
        noTimeLimit = 0;
        SetDisplay(nullptr);
        EXPECT_EQ(roots.made, expected);
        CheckLineIsLegal();
    };
    // Pawns just across the river, whose sideways steps random games seldom reach.
    for (const char* fen : {"3k5/9/9/9/4P4/9/9/9/9/5K3 w", "3k5/9/9/9/9/4p4/9/9/9/5K3 b"}) {
        SetUpPosition(fen);
        searchAndCompare(LegalMoves(), 1);
    }
    std::mt19937 random(11);
    int positions = 0;
    for (int game = 0; game < 12; ++game) {
        SetUpPosition(kStartFen);
        for (int ply = 0; ply < 90; ++ply) {
            const std::vector<MoveRecord> legal = LegalMoves();
            if (legal.empty()) break;
            if (ply % 6 == 5) {
                ++positions;
                searchAndCompare(legal, ply % 12 == 5 ? 3 : 1);
            }
            const MoveRecord move = legal[random() % legal.size()];
            GameRecord[recordTop + 1] = move;
            PlayMove(move);
            SlideRecord();
            ResetAfterSetUp();
        }
    }
    iterationHook = nullptr;
    EXPECT_GT(positions, 100);
    EXPECT_GT(failLows, 0);
}

// On the principal line, from depth 2 on, the best score is raised by 8 once the line move has
// set it, so that another move must do better by more than that to replace the line.
TEST_F(SearchTest, PrincipalLineMargin) {
    struct Row {
        const char* name;
        int depth;
        bool keepLine;
        int32_t margin;
    };
    const Row rows[] = {
        {"depth 2 on the line", 2, true, 8},
        {"depth 3 on the line", 3, true, 8},
        {"depth 1 on the line", 1, true, 0},
        {"depth 2 without a line", 2, false, 0},
    };
    // Red's Rook takes the Assist on d7 whatever the depth.
    const char* fen = "5a3/3k5/3aR4/9/5r3/5n3/9/3A1A3/5K3/2BC2B2 w - - 0 1";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUpPosition(fen);
        ThinkToDepth(1);
        const MoveRecord lineMove = bestLine[0];
        ASSERT_EQ(FormatIccs(lineMove), "e7d7");
        if (!row.keepLine) bestLine[0] = NullMove;
        iterationDepth = row.depth;
        const PositionSnapshot before = PositionSnapshot::Take();
        const int32_t result = RootSearch(-32512, 32512);
        recordTop = before.top;
        EXPECT_TRUE(PositionSnapshot::Take() == before);
        EXPECT_TRUE(SameMove(bestLine[0], lineMove));
        EXPECT_EQ(result, searchScore + row.margin);
    }
}

// Below the horizon in the first iteration, a capture of a piece worth no more than the
// capturing one is only tried as a recapture or with the piece that moved two plies earlier.
TEST_F(SearchTest, FirstIterationCaptureFilter) {
    struct Row {
        const char* name;
        const char* iccs;
        uint8_t phase;
        int32_t iteration;
        int16_t capturesOnly;
        bool searched;
        int32_t alpha = -32000;
    };
    const Row rows[] = {
        {"Pawn takes Rook", "c5b5", 2, 1, 1, true},
        {"Rook takes Pawn", "a0a5", 2, 1, 1, false},
        {"Rook takes Pawn as a recapture", "a0a5", 1, 1, 1, true},
        {"Rook that moved two plies ago takes Pawn", "i4i6", 2, 1, 1, true},
        {"Rook takes Pawn in the second iteration", "a0a5", 2, 2, 1, true},
        {"Rook takes Pawn in a full-width node", "a0a5", 2, 1, 0, true},
        // At the horizon a move whose static score cannot reach alpha is cut before it is made.
        {"cut by its static score", "a0a5", 2, 2, 1, false, 31000},
        {"a check is never cut", "i4f4", 2, 2, 1, true, 31000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUpPosition("5k3/9/9/p7p/1rP6/9/9/9/8R/R2K5 w - - 0 1");
        PrepareEvaluation();
        const PositionSnapshot root = PositionSnapshot::Take();
        // Ply 0: Red's Rook i1-i4; ply 1: Black's Pawn a6-a5.
        recordTop = 0;
        GameRecord[0] = testing::Generated("i1i4");
        MakeMove(GameRecord[0], false);
        std::swap(sideToMove, otherSide);
        recordTop = 1;
        GameRecord[1] = testing::Generated("a6a5");
        MakeMove(GameRecord[1], false);
        std::swap(sideToMove, otherSide);
        recordTop = 2;

        GameRecord[2] = testing::Generated(row.iccs);
        ASSERT_NE(GameRecord[2].piece, Empty);
        const PositionSnapshot beforeMove = PositionSnapshot::Take();
        iterationDepth = row.iteration;
        SearchLine line;
        line[2] = NullMove;
        const ParentInfo parent{0, 0, 0};
        NodeInfo info;
        info.capturesOnly = row.capturesOnly;
        info.bestScore = -32000;
        info.phase = row.phase;
        NodeFrame frame{row.alpha, 32000, 0, parent, line, info};
        const uint64_t nodesBefore = nodeCount;

        const bool skipped = PrepareMove(frame);
        EXPECT_EQ(nodeCount, nodesBefore + 1);
        EXPECT_EQ(skipped, !row.searched);
        EXPECT_EQ(PositionSnapshot::Take() == beforeMove, skipped) << "made only when searched";
        if (!skipped) MakeMove(GameRecord[2], true);

        recordTop = 1;
        std::swap(sideToMove, otherSide);
        MakeMove(GameRecord[1], true);
        recordTop = 0;
        std::swap(sideToMove, otherSide);
        MakeMove(GameRecord[0], true);
        recordTop = -1;
        EXPECT_TRUE(PositionSnapshot::Take() == root);
    }
}

}  // namespace
}  // namespace xq
