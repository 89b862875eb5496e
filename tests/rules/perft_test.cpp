#include <gtest/gtest.h>

#include <vector>

#include "rules/perft.h"
#include "support/position_fixture.h"

namespace xq {
namespace {

struct PerftRow {
    const char* name;
    const char* fen;
    std::vector<uint64_t> counts;  // depth 1, 2, ...
};

// Published counts, confirmed with Fairy-Stockfish, and counts of our own from it.
const PerftRow kRows[] = {
    {"start",
     "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1",
     {44, 1920, 79666, 3290240}},
    {"in-check",
     "1cbak4/9/n2a5/2p1p3p/5cp2/2n2N3/6PCP/3AB4/2C6/3A1K1N1 w - - 0 1",
     {7, 281, 8620, 326201}},
    {"endgame-rook",
     "5a3/3k5/3aR4/9/5r3/5n3/9/3A1A3/5K3/2BC2B2 w - - 0 1",
     {25, 424, 9850, 202884}},
    {"endgame-knights",
     "R1N1k1b2/9/3aba3/9/2nr5/2B6/9/4B4/4A4/4KA3 w - - 0 1",
     {21, 364, 7626, 162837}},
    {"facing-kings", "4ka3/4a4/9/9/4N4/p8/9/4C3c/7n1/2BK5 w - - 0 1", {23, 345, 8124, 149272}},
    {"gunners",
     "1C2ka3/9/C1Nab1n2/p3p3p/6p2/9/P3P3P/3AB4/3p2c2/c1BAK4 w - - 0 1",
     {30, 830, 22787, 649866}},
    // Counted with Fairy-Stockfish (`go perft N`) for this suite.
    {"developed",
     "r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN3NC1/9/R1BAKAB1R w - - 0 1",
     {36, 1292, 47994, 1777662}},
    {"late-middlegame",
     "2bak1b2/4a4/5n3/p1p6/9/9/P3P4/4B2N1/4A4/2BAK4 w - - 0 1",
     {16, 240, 3583, 53463}},
    {"pawns-across", "3k5/9/2P1P4/9/9/9/9/9/4p4/5K3 b - - 0 1", {5, 24, 88, 483}},
};

TEST(Perft, PublishedCountsAndPositionRestored) {
    for (const PerftRow& row : kRows) {
        SCOPED_TRACE(row.name);
        testing::SetUpFen(row.fen);
        const testing::PositionSnapshot before = testing::PositionSnapshot::Take();
        for (size_t depth = 1; depth <= row.counts.size(); ++depth) {
            EXPECT_EQ(Perft(static_cast<int>(depth)), row.counts[depth - 1]) << "depth " << depth;
        }
        EXPECT_TRUE(testing::PositionSnapshot::Take() == before);
    }
}

TEST(Perft, DivideSumsToPerft) {
    testing::SetUpFen(kRows[1].fen);
    uint64_t total = 0;
    auto rows = PerftDivide(3);
    EXPECT_EQ(rows.size(), 7u);
    for (const auto& row : rows)
        total += row.second;
    EXPECT_EQ(total, 8620u);
}

}  // namespace
}  // namespace xq
