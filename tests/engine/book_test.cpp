#include "engine/book.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "book_support.h"
#include "platform/random.h"
#include "rules/game.h"
#include "rules/movegen.h"

namespace xq {
namespace {

using testing::NthGenerated;
using testing::PlayGameMove;
using testing::PositionSnapshot;

std::vector<uint8_t> CommittedLibrary() {
    const std::string bytes = testing::ReadSourceFile("data/opening.lib");
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// A new game from the opening array with `bytes` as the library.
void NewGameWithLibrary(std::vector<uint8_t> bytes) {
    InitAttackTable();
    UseOpeningLibrary(std::move(bytes));
    NewGame();
}

// The two-entry library: generated move 0 (with the one reply "generated move 0") and move 1.
const std::vector<uint8_t> kTwoEntries{0, 0x40, 0x80, 0x81};

TEST(OpeningLibrary, WeightedChoiceOverEveryRandomValue) {
    NewGameWithLibrary(kTwoEntries);
    const MoveRecord move0 = NthGenerated(0);
    const MoveRecord move1 = NthGenerated(1);
    // r -> expected generated move: move 0 for 0..6, 10, 11, 13, 15; move 1 for 7..9, 12, 14.
    const int expected[16] = {0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 1, 0, 1, 0};
    const int steps[16] = {0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 2, 2, 3, 4, 5, 6};
    int chosenFirst = 0;
    for (int r = 0; r < 16; ++r) {
        FindLibraryPosition();
        ASSERT_EQ(libraryPos, 1) << "r " << r;
        EXPECT_EQ(LibraryChoiceSteps(r), steps[r]) << "r " << r;
        const MoveRecord chosen = PickLibraryMove(r);
        EXPECT_TRUE(SameMove(chosen, expected[r] == 0 ? move0 : move1)) << "r " << r;
        EXPECT_EQ(libraryMoveIndex, expected[r]) << "r " << r;
        chosenFirst += SameMove(chosen, move0) ? 1 : 0;
    }
    EXPECT_EQ(chosenFirst, 11);
}

TEST(OpeningLibrary, DrawnChoiceUsesTheSameTableAsAGivenValue) {
    NewGameWithLibrary(kTwoEntries);
    for (uint64_t seed = 1; seed <= 40; ++seed) {
        SeedRandom(seed);
        const int r = Random(16);
        FindLibraryPosition();
        const MoveRecord given = PickLibraryMove(r);
        SeedRandom(seed);
        FindLibraryPosition();
        EXPECT_TRUE(SameMove(PickLibraryMove(), given)) << "seed " << seed;
    }
}

TEST(OpeningLibrary, TwoEntryTreeAnswersTheSecondMoveAndEndsAfterALeaf) {
    NewGameWithLibrary(kTwoEntries);
    PlayGameMove(FormatIccs(NthGenerated(0)));
    const PositionSnapshot before = PositionSnapshot::Take();
    FindLibraryPosition();
    EXPECT_TRUE(PositionSnapshot::Take() == before);
    ASSERT_EQ(libraryPos, 2);
    EXPECT_EQ(libraryLimit, 1);
    // A one-entry list gives that entry for every r (the walk wraps round).
    for (int r = 0; r < 16; ++r) {
        libraryPos = 2;
        EXPECT_TRUE(SameMove(PickLibraryMove(r), NthGenerated(0))) << "r " << r;
    }

    NewGame();
    PlayGameMove(FormatIccs(NthGenerated(1)));  // listed, but without replies
    FindLibraryPosition();
    EXPECT_EQ(libraryPos, 0);
    EXPECT_EQ(libraryLimit, 0);
}

// The engine follows the first line of the committed book as either side: with r = 0 the pick is
// always the first entry, and the first line is the one that created every first entry.
TEST(OpeningLibrary, FollowsAGameManyMovesDeepForBothSides) {
    const std::vector<std::string> mainLine = testing::CommittedOpeningLines().front();
    ASSERT_GE(mainLine.size(), 12u);
    NewGameWithLibrary(CommittedLibrary());
    for (size_t ply = 0; ply < mainLine.size(); ++ply) {
        const PositionSnapshot before = PositionSnapshot::Take();
        FindLibraryPosition();
        EXPECT_TRUE(PositionSnapshot::Take() == before) << "ply " << ply;
        const bool lastMove = ply + 1 == mainLine.size();
        if (lastMove) break;  // the line's last move is a leaf: nothing more to answer after it
        ASSERT_GT(libraryPos, 0) << "ply " << ply;
        EXPECT_EQ(FormatIccs(PickLibraryMove(0)), mainLine[ply]) << "ply " << ply;
        PlayGameMove(mainLine[ply]);
    }
    EXPECT_EQ(libraryLimit, 1);
    PlayGameMove(mainLine.back());
    FindLibraryPosition();
    EXPECT_EQ(libraryPos, 0);
    EXPECT_EQ(libraryLimit, 0);
}

TEST(OpeningLibrary, OnceOutOfTheBookItStaysOffForTheGame) {
    NewGameWithLibrary(CommittedLibrary());
    PlayGameMove("h2e2");
    PlayGameMove("a9a8");  // not in the book
    FindLibraryPosition();
    EXPECT_EQ(libraryPos, 0);
    EXPECT_EQ(libraryLimit, 0);

    // Taking both moves back to the opening array does not switch it on again.
    TakeBackMove(GameRecord[recordTop]);
    TakeBackMove(GameRecord[recordTop]);
    RebaseRecord();
    ASSERT_EQ(plyCount, 0);
    FindLibraryPosition();
    EXPECT_EQ(libraryPos, 0);

    NewGame();  // a new game starts in the book again
    FindLibraryPosition();
    EXPECT_GT(libraryPos, 0);
}

TEST(OpeningLibrary, PositionsNotStartedFromTheOpeningArrayAreNeverLookedUp) {
    const std::vector<uint8_t> library = CommittedLibrary();
    // A position set up (editor or file) from exactly the opening array: switch off.
    UseOpeningLibrary(library);
    testing::SetUpFen(kStartFen);
    EXPECT_EQ(libraryLimit, 0);
    FindLibraryPosition();
    EXPECT_EQ(libraryPos, 0);

    // The switch forced on, but the record says the game did not begin at the opening array.
    NewGameWithLibrary(library);
    GameRecord[recordTop].captured = 0;
    const PositionSnapshot before = PositionSnapshot::Take();
    FindLibraryPosition();
    EXPECT_EQ(libraryPos, 0);
    EXPECT_EQ(libraryLimit, 0);
    EXPECT_TRUE(PositionSnapshot::Take() == before);
}

// A folder of its own for file tests, removed afterwards; the working directory is restored.
class LibraryFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder =
            std::filesystem::temp_directory_path() / ("xq-book-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        previous = std::filesystem::current_path();
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }
    void Write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    std::filesystem::path folder;
    std::filesystem::path previous;
};

TEST_F(LibraryFileTest, MissingOrEmptyFileTurnsTheLibraryOffSilently) {
    Write(folder / "empty.lib", {});
    for (const std::filesystem::path& path :
         {folder / "absent.lib", folder / "empty.lib", folder}) {
        UseOpeningLibrary(kTwoEntries);  // something loaded before
        EXPECT_FALSE(LoadOpeningLibrary(path.string())) << path;
        EXPECT_FALSE(libraryLoaded) << path;
        EXPECT_EQ(openingLibrary, std::vector<uint8_t>{0}) << path;
        InitAttackTable();
        NewGame();
        EXPECT_EQ(libraryLimit, 0) << path;
        FindLibraryPosition();
        EXPECT_EQ(libraryPos, 0) << path;
    }
}

TEST_F(LibraryFileTest, ReadsAtMostTheCapacityAndMarksByteZero) {
    std::vector<uint8_t> big(kOpeningLibraryCapacity + 100, 0x81);
    big[0] = 0;
    Write(folder / "big.lib", big);
    ASSERT_TRUE(LoadOpeningLibrary((folder / "big.lib").string()));
    EXPECT_EQ(openingLibrary.size(), static_cast<size_t>(kOpeningLibraryCapacity));
    EXPECT_EQ(openingLibrary[0], 255);
    EXPECT_TRUE(libraryLoaded);
}

TEST_F(LibraryFileTest, SearchListTriesTheWorkingDirectoryFirst) {
    const std::vector<std::string> list = OpeningLibrarySearchList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], "opening.lib");
    // Last, the source tree's copy: a run from a build folder finds the committed library.
    EXPECT_EQ(list[2], std::string(XQ_SOURCE_DIR) + "/data/opening.lib");
    std::filesystem::current_path(folder);
    Write(folder / "opening.lib", kTwoEntries);
    ASSERT_TRUE(LoadOpeningLibrary());
    EXPECT_EQ(openingLibrary, (std::vector<uint8_t>{255, 0x40, 0x80, 0x81}));
}

// Lookups and picks over a damaged library, from the opening array and after one and two moves.
// Nothing may be read outside the loaded bytes (the sanitizer build checks every access), the
// position must come back unchanged, and a pick is either no move or a generated one.
void ExerciseDamagedLibrary(const std::vector<uint8_t>& bytes) {
    static const char* const kGame[] = {"h2e2", "h9g7"};
    for (int plies = 0; plies <= 2; ++plies) {
        NewGameWithLibrary(bytes);
        for (int i = 0; i < plies; ++i)
            PlayGameMove(kGame[i]);
        const PositionSnapshot before = PositionSnapshot::Take();
        FindLibraryPosition();
        ASSERT_TRUE(PositionSnapshot::Take() == before);
        if (libraryPos == 0) continue;
        const int32_t found = libraryPos;
        for (int r = 0; r < 16; ++r) {
            libraryPos = found;
            const MoveRecord chosen = PickLibraryMove(r);
            if (chosen.piece == Empty) continue;
            ASSERT_TRUE(SameMove(chosen, NthGenerated(libraryMoveIndex)));
        }
        ASSERT_TRUE(PositionSnapshot::Take() == before);
    }
}

TEST(OpeningLibraryDamage, EveryTruncationOfTheCommittedFile) {
    const std::vector<uint8_t> full = CommittedLibrary();
    ASSERT_GT(full.size(), 100u);
    for (size_t size = 1; size <= full.size(); ++size) {
        SCOPED_TRACE(size);
        ExerciseDamagedLibrary(std::vector<uint8_t>(full.begin(), full.begin() + size));
    }
}

TEST(OpeningLibraryDamage, HandMadeBadTrees) {
    const std::vector<std::vector<uint8_t>> rows = {
        {0},                                // nothing after byte 0
        {0, 0x40},                          // replies promised, none there
        {0, 0x40, 0x40, 0x40, 0x40},        // lists that never close
        {0, 0x00, 0x00, 0x00},              // a top list without its last entry
        {0, 0xC0, 0xC0, 0xC0},              // last entries whose replies never end
        {0, 0x3F, 0x3F, 0x81},              // list-end marks everywhere
        {0, 0x80, 0x80, 0x80, 0x80},        // bytes after the end of the tree
        {0, 0x7F, 0xBF, 0xFF},              // indices beyond the generated list
        {0, 0x41, 0xC0, 0x80, 0x00, 0x40},  // the walk back meets a broken list
        {0, 0x00, 0x41, 0x80},              // the first move's entry listed after another
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        ExerciseDamagedLibrary(rows[i]);
    }
}

TEST(OpeningLibraryDamage, RandomBytes) {
    SeedRandom(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes(static_cast<size_t>(1 + Random(24)));
        for (uint8_t& b : bytes) {
            // Mostly small indices, so that the walks get somewhere before they fail.
            b = static_cast<uint8_t>((Random(4) << 6) | Random(Random(2) == 0 ? 3 : 64));
        }
        SCOPED_TRACE(round);
        ExerciseDamagedLibrary(bytes);
    }
}

}  // namespace
}  // namespace xq
