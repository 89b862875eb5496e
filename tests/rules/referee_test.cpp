#include "rules/referee.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "rules/attacks.h"
#include "rules/fen.h"

namespace xq {
namespace {

class RefereeTest : public ::testing::Test {
  protected:
    void SetUp() override { InitAttackTable(); }
};

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

struct GameRow {
    const char* name;
    const char* fen;  // empty: the opening array
    const char* moves;
    int maxPlies;
    Verdict verdict;  // after the last move; every move before it leaves the game going on
    int winner;
};

const GameRow kGames[] = {
    {"rook mate on the back rank", "3k5/1R7/9/9/9/9/9/9/9/R3K4 w", "a0a9", 0, Verdict::Mate, Red},
    {"stalemate loses", "3k5/1R7/9/9/9/9/9/9/R8/5K3 w", "a1e1", 0, Verdict::Stalemate, Red},
    {"Red checks every move of the cycle", "3k5/9/9/9/4R4/9/9/9/9/5K3 w",
     "e5d5 d9e9 d5e5 e9d9 e5d5 d9e9 d5e5 e9d9", 0, Verdict::PerpetualCheck, Black},
    {"Black checks every move of the cycle", "5k3/9/9/9/9/4r4/9/9/9/3K5 b",
     "e4d4 d0e0 d4e4 e0d0 e4d4 d0e0 d4e4 e0d0", 0, Verdict::PerpetualCheck, Red},
    {"Kings shuffling repeat without checks", "4k4/9/9/9/p8/8P/9/9/9/3K5 w",
     "d0d1 e9f9 d1d0 f9e9 d0d1 e9f9 d1d0 f9e9", 0, Verdict::Repetition, -1},
    {"a check that leaves the cycle once is no perpetual", "3k5/9/9/9/4R4/9/9/9/9/5K3 w",
     "e5d5 d9e9 d5e5 e9d9 e5f5 d9d8 f5e5 d8d9", 0, Verdict::Repetition, -1},
    {"the ply limit counts every ply", "", "h2e2 h9g7", 2, Verdict::MoveLimit, -1},
    {"the last attacker taken", "4k4/4a4/3P5/9/9/9/9/9/9/3K5 b", "e8d7", 0, Verdict::NoAttackers,
     -1},
    {"a Knight left can still mate", "4k4/4a4/3P5/9/9/9/9/9/4N4/3K5 b", "e8d7", 0, Verdict::None,
     -1},
    {"mate outranks the ply limit", "3k5/1R7/9/9/9/9/9/9/9/R3K4 w", "a0a9", 1, Verdict::Mate, Red},
};

TEST_F(RefereeTest, RulesEachGameWhereItEnds) {
    for (const GameRow& row : kGames) {
        SCOPED_TRACE(row.name);
        Referee referee(row.maxPlies);
        std::string error;
        ASSERT_TRUE(referee.Start(row.fen, &error)) << error;
        const std::vector<std::string> moves = Words(row.moves);
        Ruling ruling;
        for (size_t i = 0; i < moves.size(); ++i) {
            ASSERT_TRUE(referee.Play(moves[i], &ruling)) << moves[i];
            if (i + 1 < moves.size()) {
                ASSERT_FALSE(ruling.Ended()) << "after " << moves[i];
            }
        }
        EXPECT_EQ(ruling.verdict, row.verdict);
        EXPECT_EQ(ruling.winner, row.winner);
        EXPECT_EQ(referee.Judge().verdict, row.verdict);
        EXPECT_EQ(referee.Plies(), static_cast<int>(moves.size()));
    }
}

TEST_F(RefereeTest, RefusesMovesThatAreNotLegalAndKeepsThePosition) {
    struct Row {
        const char* fen;
        const char* move;
    } rows[] = {
        {"", "a0a5"},                             // the Rook's path is blocked
        {"", "h2"},                               // no move text
        {"", "h7e7"},                             // Black's piece, Red to move
        {"", "e0e1"},                             // King step, fine, but ...
        {"3k5/9/9/9/9/9/9/9/9/4K4 w", "e0d0"},    // ... not into the facing King's file
        {"4k4/9/9/9/9/9/9/9/4r4/3K5 w", "d0e0"},  // nor into the Rook's file
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.move);
        Referee referee;
        std::string error;
        ASSERT_TRUE(referee.Start(row.fen, &error)) << error;
        const std::string before = referee.Fen();
        Ruling ruling;
        const bool legal = std::string(row.move) == "e0e1";
        EXPECT_EQ(referee.Play(row.move, &ruling), legal);
        if (!legal) {
            EXPECT_EQ(referee.Fen(), before);
            EXPECT_EQ(referee.Plies(), 0);
        }
    }
}

TEST_F(RefereeTest, StartRefusesBadPositionsAndKeepsTheGame) {
    Referee referee;
    Ruling ruling;
    ASSERT_TRUE(referee.Play("h2e2", &ruling));
    const std::string fen = referee.Fen();
    std::string error;
    EXPECT_FALSE(referee.Start("rnbakabnr/9/9 w", &error));
    EXPECT_FALSE(error.empty());
    // Black to move while Red's King stands in the Rook's file: Black could take it.
    EXPECT_FALSE(referee.Start("4k4/9/9/9/9/9/9/9/4r4/4K4 b", &error));
    EXPECT_EQ(referee.Fen(), fen);
    EXPECT_EQ(referee.Plies(), 1);
}

TEST_F(RefereeTest, LegalMovesOfTheOpeningArray) {
    Referee referee;
    EXPECT_EQ(referee.LegalMoves().size(), 44u);
    EXPECT_EQ(referee.Fen(), WriteFen(referee.Line().start));
}

// The repetition rule read on its own, on lines of keys: 1, 2, 3 ... stand for positions.
struct LineRow {
    const char* name;
    std::vector<uint64_t> keys;  // keys[i]: after ply i; the last one stands the third time
    std::vector<bool> inCheck;   // of the side to move in keys[i]
    Side firstMover;
    Verdict verdict;
    int winner;
};

TEST(CheckRepetitionRuleTest, FindsTheCheckingSide) {
    const LineRow rows[] = {
        {"Red checks throughout",
         {1, 2, 3, 2, 1, 2, 3, 2, 1},
         {0, 1, 0, 1, 0, 1, 0, 1, 0},
         Red,
         Verdict::PerpetualCheck,
         Black},
        {"Black checks throughout",
         {1, 2, 1, 2, 1},
         {0, 0, 1, 0, 1},
         Red,
         Verdict::PerpetualCheck,
         Red},
        {"both check: a draw", {1, 2, 1, 2, 1}, {1, 1, 1, 1, 1}, Black, Verdict::Repetition, -1},
        {"neither checks", {1, 2, 1, 2, 1}, {0, 0, 0, 0, 0}, Red, Verdict::Repetition, -1},
        {"one quiet move in the cycle",
         {1, 2, 3, 2, 1, 2, 3, 2, 1},
         {0, 1, 0, 0, 0, 1, 0, 1, 0},
         Red,
         Verdict::Repetition,
         -1},
        {"quiet moves before the first occurrence do not count",
         {7, 8, 1, 2, 1, 2, 1},
         {0, 0, 0, 1, 0, 1, 0},
         Red,
         Verdict::PerpetualCheck,
         Black},
    };
    for (const LineRow& row : rows) {
        SCOPED_TRACE(row.name);
        RefereeLine line;
        line.keys = row.keys;
        line.inCheck = row.inCheck;
        for (size_t i = 0; i + 1 < row.keys.size(); ++i)
            line.movers.push_back(i % 2 == 0 ? row.firstMover : Opponent(row.firstMover));
        const Ruling ruling = CheckRepetitionRule().Judge(line);
        EXPECT_EQ(ruling.verdict, row.verdict);
        EXPECT_EQ(ruling.winner, row.winner);
    }
}

// A rule set of the caller's takes over the third occurrence.
TEST_F(RefereeTest, AnotherRepetitionRuleReplacesTheCheckRule) {
    class EveryRepetitionLost final : public RepetitionRule {
      public:
        Ruling Judge(const RefereeLine& line) const override {
            return {Verdict::PerpetualCheck, Opponent(line.movers.back())};
        }
    };
    Referee referee(0, std::make_unique<EveryRepetitionLost>());
    std::string error;
    ASSERT_TRUE(referee.Start("4k4/9/9/9/p8/8P/9/9/9/3K5 w", &error)) << error;
    Ruling ruling;
    for (const std::string& move : Words("d0d1 e9f9 d1d0 f9e9 d0d1 e9f9 d1d0 f9e9"))
        ASSERT_TRUE(referee.Play(move, &ruling));
    EXPECT_EQ(ruling.verdict, Verdict::PerpetualCheck);
    EXPECT_EQ(ruling.winner, Red);
}

}  // namespace
}  // namespace xq
