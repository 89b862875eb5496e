// The openings of a match read from EPD and PGN text, and checked before any game begins.
#include "host/openings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/attacks.h"
#include "support/temp_folder.h"

namespace xq::host {
namespace {

class Openings : public ::testing::Test {
  protected:
    void SetUp() override { InitAttackTable(); }
};

TEST_F(Openings, EpdLinesKeepTheBoardAndTheSideToMove) {
    const std::string text =
        "# openings\n"
        "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1\n"
        "\n"
        "3k5/9/9/9/4R4/9/9/9/9/5K3 w - - bm e5d5; id \"x\";\n"
        "4k4/9/9/9/9/9/9/9/9/3K5\n";
    std::vector<Opening> openings;
    std::string error;
    ASSERT_TRUE(ParseEpdOpenings(text, &openings, &error)) << error;
    ASSERT_EQ(openings.size(), 3u);
    EXPECT_EQ(openings[0].fen,
              "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1");
    EXPECT_EQ(openings[1].fen, "3k5/9/9/9/4R4/9/9/9/9/5K3 w - - 0 1");
    EXPECT_EQ(openings[2].fen, "4k4/9/9/9/9/9/9/9/9/3K5 w - - 0 1");
    for (const Opening& opening : openings)
        EXPECT_TRUE(opening.moves.empty());
}

TEST_F(Openings, EpdRefusesANonPositionNamingItsLine) {
    const struct {
        const char* text;
        const char* inError;
    } rows[] = {
        {"4k4/9/9/9/9/9/9/9/9/3K5 w\nrnbakabnr/9/9 w\n", "line 2"},
        {"4k4/9/9/9/9/9/9/9/9/3K5 x\n", "line 1"},
        // Black to move, Red's King in the Rook's file: Black could take it.
        {"\n\n4k4/9/9/9/9/9/9/9/4r4/4K4 b\n", "line 3"},
    };
    for (const auto& row : rows) {
        std::vector<Opening> openings;
        std::string error;
        EXPECT_FALSE(ParseEpdOpenings(row.text, &openings, &error)) << row.text;
        EXPECT_NE(error.find(row.inError), std::string::npos) << error;
    }
}

TEST_F(Openings, PgnGamesGiveTheirFirstPlies) {
    const std::string text =
        "[Event \"a\"]\n\n1. h2e2 h9g7 2. h0g2 i9h9 1-0\n\n"
        "[Event \"b\"]\n[FEN \"3k5/9/9/9/4R4/9/9/9/9/5K3 w - - 0 1\"]\n\n1. e5d5 d9e9 *\n\n"
        "[Event \"c\"]\n\n1. h2e2 h9h0 *\n\n";  // refused: h9h0 is no move of Black's
    const struct {
        int plies;
        std::vector<std::vector<std::string>> moves;
    } rows[] = {
        {-1, {{"h2e2", "h9g7", "h0g2", "i9h9"}, {"e5d5", "d9e9"}}},
        {3, {{"h2e2", "h9g7", "h0g2"}, {"e5d5", "d9e9"}}},
        {0, {{}, {}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.plies);
        std::vector<Opening> openings;
        std::string error;
        ASSERT_TRUE(ParsePgnOpenings(text, row.plies, &openings, &error)) << error;
        ASSERT_EQ(openings.size(), 2u);
        EXPECT_EQ(openings[0].fen, "");
        EXPECT_EQ(openings[1].fen, "3k5/9/9/9/4R4/9/9/9/9/5K3 w - - 0 1");
        EXPECT_EQ(openings[0].moves, row.moves[0]);
        EXPECT_EQ(openings[1].moves, row.moves[1]);
    }
}

TEST_F(Openings, FilesOfBothFormats) {
    testing::TempFolder folder;
    const std::string epd = (folder / "o.epd").string();
    const std::string pgn = (folder / "o.pgn").string();
    const std::string empty = (folder / "e.epd").string();
    testing::WriteWholeFile(epd, "4k4/9/9/9/9/9/9/9/9/3K5 w\n");
    testing::WriteWholeFile(pgn, "1. h2e2 h9g7 *\n");
    testing::WriteWholeFile(empty, "# nothing\n");
    std::vector<Opening> openings;
    std::string error;
    ASSERT_TRUE(ReadOpenings(epd, OpeningFormat::Epd, -1, &openings, &error)) << error;
    ASSERT_TRUE(ReadOpenings(pgn, OpeningFormat::Pgn, 1, &openings, &error)) << error;
    ASSERT_EQ(openings.size(), 2u);
    EXPECT_EQ(openings[1].moves, std::vector<std::string>{"h2e2"});
    EXPECT_FALSE(ReadOpenings(empty, OpeningFormat::Epd, -1, &openings, &error));
    EXPECT_NE(error.find("no opening"), std::string::npos) << error;
    EXPECT_FALSE(
        ReadOpenings((folder / "missing.epd").string(), OpeningFormat::Epd, -1, &openings, &error));
    EXPECT_NE(error.find("missing.epd"), std::string::npos) << error;
    EXPECT_EQ(openings.size(), 2u);
}

TEST_F(Openings, CheckNamesTheOpeningThatCannotBePlayed) {
    const struct {
        std::vector<Opening> openings;
        const char* inError;  // empty: accepted
    } rows[] = {
        {{{"", {"h2e2", "h9g7"}}, {"4k4/9/9/9/9/9/9/9/9/3K4P w", {"d0d1"}}}, ""},
        {{{"", {"h2e2"}}, {"", {"h2e2", "h2e2"}}}, "opening 2: illegal move h2e2"},
        {{{"9/9 w", {}}}, "opening 1"},
        // The opening mates: no game is left to play.
        {{{"3k5/1R7/9/9/9/9/9/9/9/R4K3 w", {"a0a9"}}}, "opening 1: the game is over"},
    };
    for (const auto& row : rows) {
        std::string error;
        EXPECT_EQ(CheckOpenings(row.openings, &error), row.inError[0] == 0) << error;
        EXPECT_NE(error.find(row.inError), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace xq::host
