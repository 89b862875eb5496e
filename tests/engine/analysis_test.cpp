// The game analysis: the loss of a move and its mark, the values it reports per ply from Red's
// view, the engine's better move, and stopping.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "engine/analysis.h"
#include "engine/master/engine.h"
#include "rules/attacks.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "support/iccs_line.h"

namespace xq {
namespace {

class Analysis : public ::testing::Test {
  protected:
    void SetUp() override { InitAttackTable(); }
};

// The legal moves of the ICCS texts, played one after the other from `start`.
std::vector<MoveRecord> LegalLine(const Position& position, const std::vector<std::string>& texts) {
    std::vector<MoveRecord> moves;
    testing::PlayIccsLine(position, texts, &moves);
    return moves;
}

TEST(AnalysisMarks, LossesBetweenThresholdsAndScoresBeyondTheCap) {
    struct Row {
        int32_t best, played, loss;
        MoveMark mark;
    };
    const Row rows[] = {
        {30, 30, 0, MoveMark::None},          // the engine's own value
        {30, 60, 0, MoveMark::None},          // better than the first look said
        {100, 50, 50, MoveMark::Inaccuracy},  // exactly the first threshold
        {100, 51, 49, MoveMark::None},        //
        {0, -100, 100, MoveMark::Mistake},    //
        {100, -199, 299, MoveMark::Mistake},  //
        {100, -200, 300, MoveMark::Blunder},  //
        {master::kMate - 5, master::kMate - 7, 0, MoveMark::None},  // still mates
        {900, -(master::kMate - 2), 900 + kLossScoreCap, MoveMark::Blunder},
        {5000, 1500, 500, MoveMark::Blunder},  // a won game counts as the cap
    };
    for (const Row& row : rows) {
        EXPECT_EQ(LossOfMove(row.best, row.played), row.loss) << row.best << " " << row.played;
        EXPECT_EQ(MarkForLoss(row.loss), row.mark) << row.loss;
    }
    EXPECT_STREQ(MarkText(MoveMark::Blunder), "??");
    EXPECT_STREQ(MarkText(MoveMark::Mistake), "?");
    EXPECT_STREQ(MarkText(MoveMark::Inaccuracy), "?!");
    EXPECT_STREQ(MarkText(MoveMark::None), "");
}

TEST(AnalysisMarks, PawnTexts) {
    const std::pair<int32_t, const char*> rows[] = {
        {125, "+1.25"},
        {-40, "-0.40"},
        {0, "0.00"},
        {-1205, "-12.05"},
        {master::kMate - 5, "+M3"},
        {-(master::kMate - 2), "-M1"},
    };
    for (const auto& [value, text] : rows)
        EXPECT_EQ(FormatPawns(value), text) << value;
}

// The same verdicts from a 大师 engine of the analysis's own and from lanchuan-engine run as
// another program's engine, which judges a move by its scores before and after it.
TEST_F(Analysis, MarksAMoveThatLeavesARookUncapturedAndNamesTheCapture) {
    struct Row {
        const char* name;
        const char* fen;
        std::vector<std::string> moves;
        MoveMark lastMark;
        const char* best;  // the engine's move before the last one
        int redSign;       // of the value after the last move: the rook that stays wins
    };
    const Row rows[] = {
        {"red takes", "3k5/9/9/9/9/9/9/9/4K4/r7R w", {"i0a0"}, MoveMark::None, "i0a0", 1},
        {"red misses", "3k5/9/9/9/9/9/9/9/4K4/r7R w", {"i0i1"}, MoveMark::Blunder, "i0a0", -1},
        {"black takes", "r7R/4k4/9/9/9/9/9/9/9/3K5 b", {"a9i9"}, MoveMark::None, "a9i9", -1},
        {"black misses after a red move",
         "r7R/4k4/9/9/9/9/9/9/9/3K5 w",
         {"d0d1", "a9a8"},
         MoveMark::Blunder,
         "a9i9",
         1},
    };
    host::EngineSetup lanchuan;
    lanchuan.name = "lanchuan-engine";
    lanchuan.command.program = LANCHUAN_ENGINE;
    lanchuan.options = {{"Engine", "Master"}};
    for (const bool external : {false, true})
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (external ? ", lanchuan-engine" : ""));
            Position start{};
            ASSERT_TRUE(ReadFen(start, row.fen, nullptr));
            const std::vector<MoveRecord> moves = LegalLine(start, row.moves);
            GameAnalysis analysis(start, moves);
            analysis.SetDepth(5);
            if (external) analysis.UseEngine(lanchuan);
            std::vector<PlyAnalysis> plies;
            EXPECT_TRUE(analysis.Run([&](const PlyAnalysis& ply) { plies.push_back(ply); }))
                << analysis.Failure();
            ASSERT_EQ(plies.size(), moves.size());
            for (size_t i = 0; i < plies.size(); ++i) {
                EXPECT_EQ(plies[i].ply, static_cast<int>(i + 1));
                EXPECT_TRUE(SameMove(plies[i].played, moves[i]));
                EXPECT_TRUE(plies[i].value.known && plies[i].value.analysed);
            }
            const PlyAnalysis& last = plies.back();
            EXPECT_EQ(last.value.mark, row.lastMark) << "loss " << last.loss;
            EXPECT_EQ(FormatIccs(last.value.best), row.best);
            EXPECT_GT(last.value.redValue * row.redSign, 300);
        }
}

// Red's Rook checks, Black's King steps aside, and Red's fifth move brings the position after its
// first back a second time before Red turns away: no rule has decided anything, so the check is no
// blunder, though a player would not repeat it again.
TEST_F(Analysis, ASecondReturnOfTheChecksIsNoBlunder) {
    Position start{};
    ASSERT_TRUE(ReadFen(start, "r4k3/6R2/9/9/9/9/9/9/9/3K4R w", nullptr));
    const std::vector<MoveRecord> moves =
        LegalLine(start, {"g8g9", "f9f8", "g9g8", "f8f9", "g8g9", "f9f8", "i0i1"});
    ASSERT_EQ(moves.size(), 7u);
    GameAnalysis analysis(start, moves);
    analysis.SetDepth(5);
    std::vector<PlyAnalysis> plies;
    EXPECT_TRUE(analysis.Run([&](const PlyAnalysis& ply) { plies.push_back(ply); }));
    ASSERT_EQ(plies.size(), moves.size());
    EXPECT_LT(plies[4].loss, MarkThresholds{}.blunder);
    EXPECT_GT(plies[4].value.redValue, 300);
}

TEST_F(Analysis, StopsBeforeTheNextPlyFromTheCallbackOrAnotherThread) {
    Position start{};
    ASSERT_TRUE(ReadFen(start, kStartFen, nullptr));
    const std::vector<MoveRecord> moves = LegalLine(start, {"h2e2", "h9g7", "h0g2", "i9h9"});

    GameAnalysis fromCallback(start, moves);
    fromCallback.SetDepth(3);
    int calls = 0;
    EXPECT_FALSE(fromCallback.Run([&](const PlyAnalysis&) {
        ++calls;
        fromCallback.Stop();
    }));
    EXPECT_EQ(calls, 1);

    // Without a stop each search would take ten minutes.
    GameAnalysis fromThread(start, moves);
    fromThread.SetSecondsPerMove(600);
    calls = 0;
    bool finished = true;
    std::thread runner([&] { finished = fromThread.Run([&](const PlyAnalysis&) { ++calls; }); });
    fromThread.Stop();
    runner.join();
    EXPECT_FALSE(finished);
    EXPECT_EQ(calls, 0);
}

// An engine that cannot be run ends the analysis at once, saying why; nothing is reported.
TEST_F(Analysis, AnEngineThatCannotRunEndsItWithTheReason) {
    Position start{};
    ASSERT_TRUE(ReadFen(start, kStartFen, nullptr));
    GameAnalysis analysis(start, LegalLine(start, {"h2e2", "h9g7"}));
    host::EngineSetup missing;
    missing.name = "Nowhere";
    missing.command.program = "/nonexistent/engine";
    analysis.UseEngine(missing);
    int reported = 0;
    EXPECT_FALSE(analysis.Run([&](const PlyAnalysis&) { ++reported; }));
    EXPECT_EQ(reported, 0);
    EXPECT_NE(analysis.Failure().find("/nonexistent/engine"), std::string::npos)
        << analysis.Failure();
}

}  // namespace
}  // namespace xq
