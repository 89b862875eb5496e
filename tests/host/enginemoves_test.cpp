#include "host/enginemoves.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/fen.h"

namespace xq::host {
namespace {

struct Conversion {
    const char* iccs;
    Ranks ranks;
    const char* engine;
};

TEST(EngineMovesTest, RanksConvertBothWays) {
    const Conversion cases[] = {
        {"h2e2", Ranks::FromZero, "h2e2"}, {"h2e2", Ranks::FromOne, "h3e3"},
        {"b9c7", Ranks::FromOne, "b10c8"}, {"a0a1", Ranks::FromOne, "a1a2"},
        {"i9i0", Ranks::FromOne, "i10i1"}, {"e0e1", Ranks::Auto, "e0e1"},
    };
    for (const Conversion& c : cases) {
        SCOPED_TRACE(c.engine);
        EXPECT_EQ(ToEngineMove(c.iccs, c.ranks), c.engine);
        Square from = 0;
        Square to = 0;
        Square iccsFrom = 0;
        Square iccsTo = 0;
        ASSERT_TRUE(ReadEngineSquares(c.engine, c.ranks, &from, &to));
        ASSERT_TRUE(ParseIccs(c.iccs, &iccsFrom, &iccsTo));
        EXPECT_EQ(from, iccsFrom);
        EXPECT_EQ(to, iccsTo);
    }
}

TEST(EngineMovesTest, SquaresOffTheBoardOrNoMoveAtAllAreRefused) {
    const std::pair<const char*, Ranks> cases[] = {
        {"a10a9", Ranks::FromZero}, {"a0a1", Ranks::FromOne},   {"j0j1", Ranks::FromZero},
        {"a0", Ranks::FromZero},    {"a0a1x", Ranks::FromZero}, {"a11a1", Ranks::FromOne},
        {"", Ranks::Auto},          {"A0A1", Ranks::FromZero}};
    for (const auto& [text, ranks] : cases) {
        SCOPED_TRACE(text);
        Square from = 0;
        Square to = 0;
        EXPECT_FALSE(ReadEngineSquares(text, ranks, &from, &to));
    }
}

TEST(EngineMovesTest, XboardFenNamesKnightsAndBishopsItsOwnWay) {
    EXPECT_EQ(ToXboardFen(kStartFen),
              "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR w - - 0 1");
    // The side to move "b" is no Bishop.
    EXPECT_EQ(ToXboardFen("4k4/9/9/9/9/9/9/9/4B4/3K5 b - - 0 1"),
              "4k4/9/9/9/9/9/9/9/4E4/3K5 b - - 0 1");
}

struct Reading {
    const char* name;
    Ranks ranks;  // what the engine was set to
    const char* text;
    MoveVerdict verdict;
    const char* iccs;  // when legal
    Ranks settled;     // the numbering afterwards
};

TEST(EngineMovesTest, MovesAreReadAgainstThePositionAndSettleAutoRanks) {
    const Reading cases[] = {
        {"iccs", Ranks::FromZero, "h2e2", MoveVerdict::Legal, "h2e2", Ranks::FromZero},
        {"one-based", Ranks::FromOne, "h3e3", MoveVerdict::Legal, "h2e2", Ranks::FromOne},
        {"one-based misread", Ranks::FromOne, "h2e2", MoveVerdict::Illegal, "", Ranks::FromOne},
        {"rank 0 settles", Ranks::Auto, "b0c2", MoveVerdict::Legal, "b0c2", Ranks::FromZero},
        {"rank 10 of the side not to move", Ranks::Auto, "h10g8", MoveVerdict::Illegal, "",
         Ranks::Auto},
        {"legal one way", Ranks::Auto, "h3e3", MoveVerdict::Legal, "h2e2", Ranks::FromOne},
        {"legal other way", Ranks::Auto, "h2e2", MoveVerdict::Legal, "h2e2", Ranks::FromZero},
        {"legal neither way", Ranks::Auto, "e1e5", MoveVerdict::Illegal, "", Ranks::Auto},
        {"king leaves palace", Ranks::FromZero, "e0e2", MoveVerdict::Illegal, "", Ranks::FromZero},
        {"no move", Ranks::FromZero, "resign", MoveVerdict::Malformed, "", Ranks::FromZero},
        {"capital letters", Ranks::FromZero, "H2E2", MoveVerdict::Malformed, "", Ranks::FromZero},
        {"off the board", Ranks::FromZero, "h10e10", MoveVerdict::Illegal, "", Ranks::FromZero},
    };
    for (const Reading& c : cases) {
        SCOPED_TRACE(c.name);
        EngineMoves moves;
        moves.SetRanks(c.ranks);
        std::string iccs;
        EXPECT_EQ(moves.ReadMove(c.text, &iccs), c.verdict);
        if (c.verdict == MoveVerdict::Legal) {
            EXPECT_EQ(iccs, c.iccs);
        }
        EXPECT_EQ(moves.GetRanks(), c.settled);
    }
}

TEST(EngineMovesTest, ABlackMoveWithRankTenSettlesOneBased) {
    EngineMoves moves;
    std::string error;
    ASSERT_TRUE(moves.SetPosition("", {"h2e2"}, &error)) << error;
    EXPECT_EQ(moves.SideToMove(), Black);
    std::string iccs;
    EXPECT_EQ(moves.ReadMove("h10g8", &iccs), MoveVerdict::Legal);
    EXPECT_EQ(iccs, "h9g7");
    EXPECT_EQ(moves.GetRanks(), Ranks::FromOne);
    // Settled, the same move written from zero is a move off the board's rules.
    EXPECT_EQ(moves.ReadMove("h9g7", &iccs), MoveVerdict::Illegal);
}

TEST(EngineMovesTest, ALineKeepsOnlyItsLegalStart) {
    EngineMoves moves;
    moves.SetRanks(Ranks::FromZero);
    EXPECT_EQ(moves.ReadLine({"h2e2", "h9g7", "h0g2", "a0a5", "b0c2"}),
              (std::vector<std::string>{"h2e2", "h9g7", "h0g2"}));
    EXPECT_EQ(moves.ReadLine({"1.", "h2e2"}), std::vector<std::string>{});
    moves.SetRanks(Ranks::FromOne);
    EXPECT_EQ(moves.ReadLine({"h3e3", "h10g8", "b1c3"}),
              (std::vector<std::string>{"h2e2", "h9g7", "b0c2"}));
}

TEST(EngineMovesTest, TheReplyIsReadAfterTheMove) {
    EngineMoves moves;
    moves.SetRanks(Ranks::FromZero);
    std::string iccs;
    EXPECT_EQ(moves.ReadReply("h2e2", "h9g7", &iccs), MoveVerdict::Legal);
    EXPECT_EQ(iccs, "h9g7");
    // Red to move again is no reply.
    EXPECT_EQ(moves.ReadReply("h2e2", "b0c2", &iccs), MoveVerdict::Illegal);
}

TEST(EngineMovesTest, APositionThatIsNoLegalGameIsRefusedAndTheOldOneKept) {
    EngineMoves moves;
    std::string error;
    ASSERT_TRUE(moves.SetPosition("", {"h2e2", "h9g7"}, &error));
    const std::string before = moves.CurrentFen();
    EXPECT_FALSE(moves.SetPosition("", {"h2e2", "h2e2"}, &error));
    EXPECT_FALSE(moves.SetPosition("not a fen", {}, &error));
    EXPECT_EQ(moves.CurrentFen(), before);
    EXPECT_EQ(moves.Moves(), (std::vector<std::string>{"h2e2", "h9g7"}));
    EXPECT_EQ(before, "rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w - - 0 1");
}

}  // namespace
}  // namespace xq::host
