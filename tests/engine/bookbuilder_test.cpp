#include "engine/bookbuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "book_support.h"
#include "engine/book.h"
#include "engine/booklines.h"
#include "rules/legality.h"
#include "rules/movegen.h"

namespace xq {
namespace {

using testing::PlayGameMove;

std::string Join(const std::vector<std::string>& moves, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i)
        text += (i == 0 ? "" : " ") + moves[i];
    return text;
}

TEST(OpeningBookBuilder, SharedFirstMovesShareEntriesInFirstSeenOrder) {
    // The generated indices of the moves used, taken from the generator, not assumed.
    InitAttackTable();
    NewGame();
    auto index = [](std::string_view iccs) {
        const MoveRecord move = testing::Generated(iccs);
        GenerateMoves();
        int i = 0;
        for (NextMove(); !SameMove(currentMove, move); NextMove())
            ++i;
        return static_cast<uint8_t>(i);
    };
    const uint8_t h2e2 = index("h2e2");
    const uint8_t c3c4 = index("c3c4");
    PlayGameMove("h2e2");
    const uint8_t h9g7 = index("h9g7");
    const uint8_t h7e7 = index("h7e7");

    // Rows: source text, expected bytes after byte 0.
    const struct {
        const char* text;
        std::vector<uint8_t> tree;
    } rows[] = {
        {"h2e2\n", {static_cast<uint8_t>(h2e2 | 0x80)}},
        {"h2e2 h9g7  # a comment\n\n   # only a comment\nc3c4",
         {static_cast<uint8_t>(h2e2 | 0x40), static_cast<uint8_t>(h9g7 | 0x80),
          static_cast<uint8_t>(c3c4 | 0x80)}},
        {"c3c4\nh2e2 h9g7\nh2e2 h7e7\nh2e2",
         {c3c4, static_cast<uint8_t>(h2e2 | 0xC0), h9g7, static_cast<uint8_t>(h7e7 | 0x80)}},
    };
    for (const auto& row : rows) {
        std::vector<uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(BuildOpeningLibrary(row.text, &bytes, &error)) << row.text << ": " << error;
        std::vector<uint8_t> expected{255};
        expected.insert(expected.end(), row.tree.begin(), row.tree.end());
        EXPECT_EQ(bytes, expected) << row.text;
    }
}

// A position with more than 64 generated moves for Red: rooks and a Gunner in the open while
// Black only moves a rook back and forth.
const char* const kOpenPosition = "i0i1 a9a8 a0a1 a8a9 b2b4 a9a8 i1f1 a8a9 f1f5 a9a8";

// The first move at generated index `from` or later that is legal, in ICCS; empty when none.
std::string LegalMoveFromIndex(int from, int* found) {
    GenerateMoves();
    std::vector<MoveRecord> moves;
    for (NextMove(); currentMove.piece != Empty; NextMove())
        moves.push_back(currentMove);
    for (int i = from; i < static_cast<int>(moves.size()); ++i) {
        if (!LeavesKingAttacked(moves[i])) {
            *found = i;
            return FormatIccs(moves[i]);
        }
    }
    return {};
}

TEST(OpeningBookBuilder, RefusesBadLinesNamingTheLine) {
    InitAttackTable();
    NewGame();
    std::istringstream open(kOpenPosition);
    for (std::string move; open >> move;)
        PlayGameMove(move);
    int at63 = 0;
    int at64 = 0;
    const std::string move63 = LegalMoveFromIndex(63, &at63);
    const std::string move64 = LegalMoveFromIndex(64, &at64);
    int at0 = 0;
    const std::string move0 = LegalMoveFromIndex(0, &at0);
    ASSERT_EQ(at63, 63) << "the open position lost its 64th move";
    ASSERT_FALSE(move64.empty());
    const std::string prefix = std::string(kOpenPosition) + " ";

    // Rows: text, expected part of the message ("" = accepted).
    const struct {
        std::string text;
        std::string message;
    } rows[] = {
        {"h2e2 h9g7\n\nh2e2 h9x7", "line 3, move 2 (h9x7) is not an ICCS move"},
        {"# first\nh2e2 h2e3", "line 2, move 2 (h2e3) is not a move of this position"},
        {"a3a4 h7e7 a4a5 e6e5 e3e4 e5e4 i3i4", "line 1, move 7 (i3i4) leaves the King attacked"},
        {prefix + move64, "line 1, move 11 (" + move64 + ") is move " + std::to_string(at64)},
        // Index 63 without replies between two other alternatives reads as the end mark.
        {prefix + move0 + "\n" + prefix + move63 + "\n" + prefix + "f5f6",
         "line 2, move 11 (" + move63 + ") is move 63"},
        // First or last alternative, or with replies: accepted.
        {prefix + move63 + "\n" + prefix + move0, ""},
        {prefix + move0 + "\n" + prefix + move63, ""},
        {prefix + move0 + "\n" + prefix + move63 + " a8a9\n" + prefix + "f5f6", ""},
        {"# nothing but comments\n\n", "no opening lines"},
    };
    for (const auto& row : rows) {
        std::vector<uint8_t> bytes{1, 2, 3};
        std::string error;
        const bool ok = BuildOpeningLibrary(row.text, &bytes, &error);
        if (row.message.empty()) {
            EXPECT_TRUE(ok) << row.text << ": " << error;
        } else {
            EXPECT_FALSE(ok) << row.text;
            EXPECT_NE(error.find(row.message), std::string::npos) << error;
            EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3})) << "output touched on failure";
        }
    }
}

TEST(OpeningBookBuilder, CommittedLibraryIsTheCompiledCommittedText) {
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(BuildOpeningLibrary(testing::ReadSourceFile("data/opening.txt"), &bytes, &error))
        << error;
    const std::string committed = testing::ReadSourceFile("data/opening.lib");
    EXPECT_EQ(std::vector<uint8_t>(committed.begin(), committed.end()), bytes)
        << "data/opening.lib is out of date: run xq-book compile data/opening.txt data/opening.lib";
}

TEST(OpeningBookBuilder, CommittedLinesAreWellFormedOpenings) {
    const auto lines = testing::CommittedOpeningLines();
    EXPECT_GE(lines.size(), 60u);
    for (const auto& line : lines) {
        EXPECT_GE(line.size(), 8u) << Join(line, line.size());
        EXPECT_LE(line.size(), 16u) << Join(line, line.size());
    }
}

// Every line of the committed text is found move by move: before each of its moves the lookup
// finds the game in the tree and lists that move among the replies. Listing the file gives back
// exactly the lines.
TEST(OpeningBookBuilder, CommittedLibraryRoundTrips) {
    const std::string committed = testing::ReadSourceFile("data/opening.lib");
    const std::vector<uint8_t> library(committed.begin(), committed.end());
    const auto lines = testing::CommittedOpeningLines();

    for (const auto& line : lines) {
        InitAttackTable();
        UseOpeningLibrary(library);
        NewGame();
        for (size_t ply = 0; ply < line.size(); ++ply) {
            FindLibraryPosition();
            ASSERT_GT(libraryPos, 0) << Join(line, ply);
            const std::vector<std::string> replies = testing::CandidateReplies();
            const bool listed =
                std::find(replies.begin(), replies.end(), line[ply]) != replies.end();
            EXPECT_TRUE(listed) << Join(line, ply + 1);
            PlayGameMove(line[ply]);
        }
    }

    std::vector<std::string> listed;
    std::string error;
    ASSERT_TRUE(ListOpeningLibraryLines(library, &listed, &error)) << error;
    std::vector<std::string> expected;
    for (const auto& line : lines)
        expected.push_back(Join(line, line.size()));
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
}

// The library's lines as match openings: uncut they are the lines of the committed text; cut at
// four plies each is the start of a committed line, none twice, every start there is; and the
// game's position is not touched.
TEST(OpeningBookBuilder, LibraryLinesAsOpeningsLeaveTheGameAlone) {
    const std::string committed = testing::ReadSourceFile("data/opening.lib");
    const std::vector<uint8_t> library(committed.begin(), committed.end());
    const auto lines = testing::CommittedOpeningLines();
    const std::string fen = "3ak4/4a4/9/9/9/9/9/9/4C4/3K5 b - - 0 1";
    std::string error;
    ASSERT_TRUE(ReadFen(fen, &error)) << error;

    auto whole = OpeningLibraryLines(library, 1000);
    auto sortedLines = lines;
    std::sort(whole.begin(), whole.end());
    std::sort(sortedLines.begin(), sortedLines.end());
    EXPECT_EQ(whole, sortedLines);
    std::set<std::vector<std::string>> starts;
    for (const auto& line : lines)
        starts.insert({line.begin(), line.begin() + std::min<size_t>(line.size(), 4)});
    const auto cut = OpeningLibraryLines(library, 4);
    EXPECT_EQ(std::set<std::vector<std::string>>(cut.begin(), cut.end()), starts);
    EXPECT_EQ(cut.size(), starts.size()) << "each start once";
    EXPECT_EQ(WriteFen(), fen);

    // A tree that ends inside a list, or names a move the position does not have, gives none.
    EXPECT_TRUE(OpeningLibraryLines({library.begin(), library.begin() + 40}, 4).empty());
    EXPECT_TRUE(OpeningLibraryLines({255, 0x80 | 0x3E}, 4).empty());
}

}  // namespace
}  // namespace xq
