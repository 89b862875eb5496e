#include <gtest/gtest.h>

#include "support/position_fixture.h"

namespace xq {
namespace {

using testing::PositionSnapshot;

TEST(Fen, StartPositionRoundTrips) {
    testing::SetUpFen(kStartFen);
    EXPECT_EQ(WriteFen(), kStartFen);
    NewGame();
    EXPECT_EQ(WriteFen(), kStartFen);
    // "r" for Red to move, as some programs write it.
    testing::SetUpFen(std::string(kStartFen.substr(0, kStartFen.find(' '))) + " r");
    EXPECT_EQ(WriteFen(), kStartFen);
}

TEST(Fen, BlackToMoveAndListsRebuilt) {
    const std::string fen = "4k4/9/9/9/9/9/9/9/4A4/3AK4 b - - 0 1";
    testing::SetUpFen(fen);
    EXPECT_EQ(sideToMove, Black);
    EXPECT_EQ(otherSide, Red);
    EXPECT_EQ(KingSquare(Black), 148);
    EXPECT_EQ(KingSquare(Red), 4);
    EXPECT_TRUE(PositionIsConsistent());
    EXPECT_EQ(WriteFen(), fen);
}

TEST(Fen, MalformedTextIsRefusedAndChangesNothing) {
    const char* bad[] = {
        "",                                                                 // nothing
        "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9 w",              // 9 ranks
        "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR/9 w",  // 11 ranks
        "rnbakabnr/8/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",    // short rank
        "rnbakabnrr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",   // long rank
        "rnbaxabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",    // unknown letter
        "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBA1ABNR w",    // no Red King
        "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/4K4/RNBAKABNR w",  // two Red Kings
        "rnbakabnr/9/1c5c1/p1p1p1p1p/9/P8/P1P1P1P1P/1C5C1/9/RNBAKABNR w",   // six Red Pawns
        "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR x",    // side to move
    };
    testing::SetUpFen("4k4/9/9/9/9/9/9/9/4A4/3AK4 b - - 0 1");
    const PositionSnapshot before = PositionSnapshot::Take();
    for (const char* fen : bad) {
        std::string error;
        EXPECT_FALSE(ReadFen(fen, &error)) << fen;
        EXPECT_FALSE(error.empty()) << fen;
        EXPECT_TRUE(PositionSnapshot::Take() == before) << fen;
    }
}

TEST(Iccs, ReadsAndWritesCoordinates) {
    Square from = 0;
    Square to = 0;
    ASSERT_TRUE(ParseIccs("h2e2", &from, &to));
    EXPECT_EQ(from, 39);
    EXPECT_EQ(to, 36);
    ASSERT_TRUE(ParseIccs("a9i0", &from, &to));
    EXPECT_EQ(from, 144);
    EXPECT_EQ(to, 8);
    EXPECT_EQ(FormatIccs(MoveRecord{36, 39, 0, Gunner, 0}), "h2e2");
    for (const char* text : {"", "h2e", "h2e22", "j2e2", "h2eA", "H2E2"}) {
        EXPECT_FALSE(ParseIccs(text, &from, &to)) << text;
    }
}

}  // namespace
}  // namespace xq
