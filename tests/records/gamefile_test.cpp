#include "records/gamefile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "engine/evaluation.h"
#include "engine/flow.h"
#include "engine/search.h"
#include "engine/startup.h"
#include "engine/think.h"
#include "records/menucommands.h"
#include "records/settings.h"
#include "rules/clock.h"
#include "rules/fen.h"
#include "rules/gamemoves.h"
#include "rules/setupcheck.h"
#include "support/display_recorder.h"
#include "support/game_state.h"
#include "support/position_fixture.h"
#include "support/temp_folder.h"

namespace xq {
namespace {

using testing::DisplayRecorder;
using testing::GameState;
using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteWholeFile;

constexpr char kMiddlegame[] = "1C2ka3/9/C1Nab1n2/p3p3p/6p2/9/P3P3P/3AB4/3p2c2/c1BAK4 b - - 0 1";

class GameFileTest : public ::testing::Test {
  protected:
    void SetUp() override { BuiltInSettings(); }
    void TearDown() override { BuiltInSettings(); }

    static void BuiltInSettings() {
        InitAttackTable();
        InitEngine();
        Reset();
        testing::SetUpFen(kStartFen);
        userSide = Red;
        computerSide = Black;
        searchClock.elapsed = 0;
    }

    // The bytes a save of the current game writes.
    std::string SavedBytes() {
        const auto file = folder_ / "saved.chs";
        EXPECT_TRUE(SaveGameFile(file));
        return ReadWholeFile(file);
    }

    TempFolder folder_;
};

TEST_F(GameFileTest, TheLayoutIsPinnedByteForByte) {
    testing::SetUpFen(kMiddlegame);
    sideClock[Black].elapsed = 1.5;
    sideClock[Red].elapsed = 2.0;
    clockSide = Red;
    plyCount = 258;
    pieceValue[Pawn] = 192;
    const std::string bytes = SavedBytes();
    ASSERT_EQ(bytes.size(), 998u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x01\x00\x00\x00\x00\x00\x00\x02", 8));
    EXPECT_EQ(bytes.substr(8, 8), std::string("\0\0\0\0\0\0\x14\x40", 8));  // 5.0
    EXPECT_EQ(bytes.substr(16, 8), std::string("\x2D\0\0\0\x02\x01\0\0", 8));
    EXPECT_EQ(bytes.substr(32, 16), std::string("\0\0\0\0\0\0\xF8\x3F\0\0\0\0\0\0\0\x40", 16));
    EXPECT_EQ(bytes.substr(48 + 7 * 4, 4), std::string("\xC0\0\0\0", 4));
    EXPECT_EQ(bytes.substr(80 + 6 * 0x03, 2), std::string("\x05\x00", 2));  // Red Assist on d0
    EXPECT_EQ(bytes.substr(80 + 6 * 0x00, 2), std::string("\x03\x01", 2));  // Black Gunner on a0
}

TEST_F(GameFileTest, SaveAndRestoreRoundTrips) {
    const struct {
        const char* name;
        const char* fen;
        Side clock;
        uint8_t reversed, twoPlayers, demo, noLimit, level, depth;
        double time, red, black, search;
        int32_t plies;
        int32_t pawn, rook;
    } rows[] = {
        {"start position", kStartFen.data(), Red, 0, 0, 0, 0, 2, 45, 5.0, 0, 0, 0, 0, 256, 2304},
        {"middlegame, Black to move", kMiddlegame, Black, 1, 0, 0, 0, 0, 45, 10.0, 95, 83.5, 4.25,
         41, 256, 2304},
        {"changed piece values", kMiddlegame, Black, 0, 0, 0, 0, 4, 7, 5.0, 1, 2, 3, 12, 192, 4080},
        {"two players", kStartFen.data(), Red, 0, 1, 0, 0, 1, 45, 2.5, 0, 0, 0, 0, 0, 2304},
        {"demonstration, no time limit, clock side kept", kMiddlegame, Red, 1, 0, 1, 1, 6, 45, 5.0,
         7, 8, 9, 3, 256, 2304},
        {"plies at their bound", kStartFen.data(), Red, 0, 0, 0, 0, 2, 45, 5.0, 0, 0, 0, 1000000,
         256, 2304},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        BuiltInSettings();
        testing::SetUpFen(row.fen);
        clockSide = row.clock;
        boardReversed = row.reversed;
        twoPlayerMode = row.twoPlayers;
        demoMode = row.demo;
        noTimeLimit = row.noLimit;
        levelKind = row.level;
        maxDepth = row.depth;
        levelTime = row.time;
        sideClock[Red].elapsed = row.red;
        sideClock[Black].elapsed = row.black;
        searchClock.elapsed = row.search;
        plyCount = row.plies;
        pieceValue[Pawn] = row.pawn;
        pieceValue[Rook] = row.rook;
        const std::string fen = WriteFen();
        const GameState saved = GameState::Take();
        const std::string name = (folder_ / "game.chs").string();
        ASSERT_EQ(SaveGame(name), "");
        ASSERT_EQ(std::filesystem::file_size(name), 998u);
        EXPECT_EQ(GameState::Take(), saved) << "a save changes nothing";

        BuiltInSettings();  // a new game at the start position
        DisplayRecorder display;
        ASSERT_EQ(RestoreGame(name), "");
        EXPECT_EQ(WriteFen(), fen);
        GameState restored = GameState::Take();
        for (Square s = 0; s < kBoardCells; ++s) {
            EXPECT_EQ(restored.where.position.board[s].kind, saved.where.position.board[s].kind)
                << s;
            EXPECT_EQ(restored.where.position.board[s].side, saved.where.position.board[s].side)
                << s;
        }
        EXPECT_TRUE(PositionIsConsistent());
        EXPECT_EQ(clockSide, row.clock);
        EXPECT_EQ(userSide, sideToMove);
        EXPECT_EQ(computerSide, otherSide);
        EXPECT_EQ(std::memcmp(restored.flags, saved.flags, sizeof saved.flags), 0);
        EXPECT_EQ(levelTime, row.time);
        EXPECT_EQ(plyCount, row.plies);
        EXPECT_EQ(sideClock[Red].elapsed, row.red);
        EXPECT_EQ(sideClock[Black].elapsed, row.black);
        EXPECT_EQ(searchClock.elapsed, row.search);
        EXPECT_EQ(std::memcmp(pieceValue, saved.values, sizeof pieceValue), 0);
        // An empty record that undo and redo cannot reach past, without the library.
        EXPECT_EQ(recordTop, -1);
        EXPECT_FALSE(CanTakeBackFullMove());
        EXPECT_FALSE(CanReplayFullMove());
        EXPECT_EQ(libraryLimit, 0);
        EXPECT_EQ(clockRunning, 0);
        EXPECT_EQ(display.Count("ClearShownBoard"), 1);
        EXPECT_EQ(display.Count("SyncShownBoard"), 1);
        EXPECT_EQ(display.Count("ShowLevel"), 1);
    }
}

TEST_F(GameFileTest, TheEngineSearchesTheRestoredPosition) {
    testing::SetUpFen(kMiddlegame);
    const std::string bytes = SavedBytes();
    BuiltInSettings();
    ASSERT_EQ(LoadGameBytes(bytes), "");
    levelKind = kLevelFixedDepth;
    recordTop = 0;
    ThinkAndChoose(2);
    recordTop = -1;
    ASSERT_NE(bestLine[0].piece, Empty);
    EXPECT_EQ(board[bestLine[0].from].side, Black);
    EXPECT_EQ(WriteFen(), kMiddlegame);
}

// Sets a cell of a saved game's board.
void PutPiece(std::string& bytes, int rank, int file, int kind, int side) {
    bytes[80 + 6 * MakeSquare(rank, file)] = static_cast<char>(kind);
    bytes[80 + 6 * MakeSquare(rank, file) + 1] = static_cast<char>(side);
}

TEST_F(GameFileTest, EverySoundFileIsRefusedWhenOneValueIsWrong) {
    testing::SetUpFen(kMiddlegame);
    const std::string good = SavedBytes();
    auto at = [](Square s, int byte) { return 80 + 6 * s + byte; };
    auto setDouble = [](std::string& b, size_t offset, double v) {
        std::memcpy(b.data() + offset, &v, 8);
    };
    auto setInt = [](std::string& b, size_t offset, int32_t v) {
        std::memcpy(b.data() + offset, &v, 4);
    };
    const struct {
        const char* name;
        void (*spoil)(std::string&);
    } rows[] = {
        {"one byte short", [](std::string& b) { b.pop_back(); }},
        {"one byte long", [](std::string& b) { b.push_back('\0'); }},
        {"empty", [](std::string& b) { b.clear(); }},
        {"side to move 2", [](std::string& b) { b[0] = 2, b[1] = 1; }},
        {"other side equals side to move", [](std::string& b) { b[1] = b[0]; }},
        {"clock side 2", [](std::string& b) { b[2] = 2; }},
        {"reversed flag 2", [](std::string& b) { b[3] = 2; }},
        {"two-player flag 2", [](std::string& b) { b[4] = 2; }},
        {"demonstration flag 255", [](std::string& b) { b[5] = '\xFF'; }},
        {"no-time-limit flag 2", [](std::string& b) { b[6] = 2; }},
        {"level 7", [](std::string& b) { b[7] = 7; }},
        {"depth 0", [](std::string& b) { b[16] = 0; }},
        {"depth 46", [](std::string& b) { b[16] = 46; }},
        {"Black to move can take the Red King",
         [](std::string& b) { PutPiece(b, 1, 4, Rook, Black); }},
        // What the position editor refuses.
        {"the Red King outside its palace",
         [](std::string& b) { PutPiece(b, 0, 4, Empty, Red), PutPiece(b, 0, 6, King, Red); }},
        {"three Red Rooks",
         [](std::string& b) {
             for (int file = 0; file < 3; ++file)
                 PutPiece(b, 4, file, Rook, Red);
         }},
        {"a Red Pawn behind its line", [](std::string& b) { PutPiece(b, 2, 1, Pawn, Red); }},
        {"a Red Pawn on a file the opening array has none",
         [](std::string& b) { PutPiece(b, 3, 1, Pawn, Red); }},
        {"a Black Bishop off its points", [](std::string& b) { PutPiece(b, 8, 4, Bishop, Black); }},
        {"a Black Assist off its points",
         [](std::string& b) { PutPiece(b, 9, 5, Empty, Black), PutPiece(b, 8, 3, Assist, Black); }},
    };
    for (const auto& row : rows) {
        std::string bytes = good;
        row.spoil(bytes);
        SCOPED_TRACE(row.name);
        const GameState before = GameState::Take();
        EXPECT_EQ(LoadGameBytes(bytes), kGameNotLoadedText);
        EXPECT_TRUE(GameState::Take() == before);
        EXPECT_TRUE(PositionIsConsistent(gamePosition)) << "the position's key is the board's";
    }
    // Numbers and cells.
    const struct {
        const char* name;
        size_t offset;
        int kind;  // 0 int32, 1 double, 2 byte
        double value;
    } values[] = {
        {"time 0", 8, 1, 0.0},
        {"time negative", 8, 1, -1.0},
        {"time not a number", 8, 1, std::nan("")},
        {"time infinite", 8, 1, INFINITY},
        {"plies negative", 20, 0, -1},
        {"plies beyond any game", 20, 0, 2000000},
        {"plies one past their bound", 20, 0, 1000001},
        {"search seconds negative", 24, 1, -0.5},
        {"Black's seconds not a number", 32, 1, std::nan("")},
        {"Red's seconds infinite", 40, 1, INFINITY},
        {"Red's seconds beyond a lifetime", 40, 1, 1e12},
        {"value of an empty cell", 48, 0, 16},
        {"King's value", 48 + 4, 0, 4080},
        {"Pawn's value above the dialog's", 48 + 28, 0, 4096},
        {"Pawn's value negative", 48 + 28, 0, -16},
        {"Rook's value between steps", 48 + 8, 0, 2305},
        {"kind 8", static_cast<size_t>(at(0x04, 0)), 2, 8},
        {"side 2 on a piece", static_cast<size_t>(at(0x04, 1)), 2, 2},
        {"a piece off the board", static_cast<size_t>(at(0x09, 0)), 2, Pawn},
        {"a second Black King", static_cast<size_t>(at(0x00, 0)), 2, King},
        {"no Black King", static_cast<size_t>(at(0x94, 0)), 2, Empty},
    };
    for (const auto& row : values) {
        std::string bytes = good;
        if (row.kind == 0) setInt(bytes, row.offset, static_cast<int32_t>(row.value));
        if (row.kind == 1) setDouble(bytes, row.offset, row.value);
        if (row.kind == 2) bytes[row.offset] = static_cast<char>(row.value);
        SCOPED_TRACE(row.name);
        const GameState before = GameState::Take();
        EXPECT_EQ(LoadGameBytes(bytes), kGameNotLoadedText);
        EXPECT_TRUE(GameState::Take() == before);
    }
    // Empty cells may hold any side; the board need not be the middlegame's to pass.
    std::string bytes = good;
    bytes[at(0x40, 1)] = 7;
    EXPECT_EQ(LoadGameBytes(bytes), "");
}

TEST_F(GameFileTest, SeventeenPiecesASideAreRefused) {
    testing::SetUpFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w");
    std::string bytes = SavedBytes();
    bytes[80 + 6 * MakeSquare(4, 0)] = Pawn;  // a 17th Red piece
    bytes[80 + 6 * MakeSquare(4, 0) + 1] = Red;
    const GameState before = GameState::Take();
    EXPECT_EQ(LoadGameBytes(bytes), kGameNotLoadedText);
    EXPECT_TRUE(GameState::Take() == before);
}

TEST_F(GameFileTest, FilesThatCannotBeReadOrNamed) {
    const GameState before = GameState::Take();
    EXPECT_EQ(RestoreGame(""), kGameNotLoadedText);
    EXPECT_EQ(RestoreGame((folder_ / "missing.chs").string()), kFileNotFoundText);
    EXPECT_EQ(RestoreGame(folder_.Path().string()), kFileNotFoundText);  // a folder
    const auto pipe = folder_ / "pipe.chs";  // opened without waiting for a writer
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(RestoreGame(pipe.string()), kFileNotFoundText);
    std::filesystem::remove(pipe);
    WriteWholeFile(folder_ / "text.chs", "not a game");
    EXPECT_EQ(RestoreGame((folder_ / "text.chs").string()), kGameNotLoadedText);
    EXPECT_TRUE(GameState::Take() == before);

    DisplayRecorder display;
    EXPECT_EQ(SaveGame(""), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()),
                            std::filesystem::directory_iterator()),
              1)
        << "an empty name writes nothing";
    const auto nowhere = folder_ / "missing" / "a.chs";
    EXPECT_EQ(SaveGame(nowhere.string()), kSaveFailedText);
    ASSERT_EQ(display.Count("MessageBox"), 1);
    EXPECT_EQ(
        display.calls[0],
        testing::DisplayCall("MessageBox", "不能打开 " + nowhere.string() + " 用于写|中国象棋",
                             static_cast<int>(BoxIcon::Error)));
    EXPECT_TRUE(GameState::Take() == before);
}

TEST_F(GameFileTest, AShortWriteIsReportedAndKeepsTheOldFile) {
    const auto file = folder_ / "old.chs";
    WriteWholeFile(file, "the previous game");
    // A file size limit below 998 bytes makes the write come up short, as a full disk would.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 500;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    DisplayRecorder display;
    const std::string_view report = SaveGame(file.string());
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(report, kSaveFailedText);
    EXPECT_EQ(display.Count("MessageBox"), 0);
    EXPECT_EQ(ReadWholeFile(file), "the previous game");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left";
    // Without the limit the same save replaces it.
    EXPECT_EQ(SaveGame(file.string()), "");
    EXPECT_EQ(std::filesystem::file_size(file), 998u);
}

// What a time level takes, even in the longest game a file holds, is saved and restored as it
// was; a time beyond that is not taken.
TEST_F(GameFileTest, EveryTimeALevelTakesSurvivesASaveAndARestore) {
    plyCount = 1000000;
    const auto file = folder_ / "timed.chs";
    for (const uint8_t level : {kLevelPerMove, kLevelPerGame}) {
        for (const double time : {1e-7, 2.5, kLongestLevelTime}) {
            SCOPED_TRACE(time);
            ASSERT_TRUE(ChooseTimeLevel(level, time));
            const double used = sideClock[Red].elapsed;
            ASSERT_EQ(SaveGame(file.string()), "");
            levelTime = kDefaultLevelTime;
            ASSERT_EQ(LoadGameFile(file), "");
            EXPECT_EQ(levelKind, level);
            EXPECT_EQ(levelTime, time);
            EXPECT_EQ(sideClock[Black].elapsed, used);
        }
        EXPECT_FALSE(ChooseTimeLevel(level, 3e9));
        EXPECT_FALSE(ChooseTimeLevel(level, std::nextafter(kLongestLevelTime, INFINITY)));
        EXPECT_EQ(levelTime, kLongestLevelTime);
    }
}

// A save keeps what the user had: a link stays a link, a file that may not be written is not
// replaced, and a name as long as the file system allows is saved under.
TEST_F(GameFileTest, SavingKeepsLinksAndReadOnlyFilesAndTakesLongNames) {
    const auto file = folder_ / "game.chs";
    WriteWholeFile(file, "the previous game");
    std::filesystem::create_symlink("game.chs", folder_ / "link.chs");
    EXPECT_EQ(SaveGame((folder_ / "link.chs").string()), "");
    EXPECT_TRUE(std::filesystem::is_symlink(folder_ / "link.chs"));
    EXPECT_EQ(std::filesystem::file_size(file), kGameFileSize);
    const auto longName = folder_ / (std::string(251, 'g') + ".chs");
    EXPECT_EQ(SaveGame(longName.string()), "");
    EXPECT_EQ(std::filesystem::file_size(longName), kGameFileSize);

    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
    WriteWholeFile(file, "the previous game");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    DisplayRecorder display;
    EXPECT_EQ(SaveGame(file.string()), kSaveFailedText);
    EXPECT_EQ(display.calls, std::vector{testing::DisplayCall(
                                 "MessageBox", "不能打开 " + file.string() + " 用于写|中国象棋",
                                 static_cast<int>(BoxIcon::Error))});
    EXPECT_EQ(ReadWholeFile(file), "the previous game");
}

// Thousands of damaged files: none may crash the loader or anything after it; a refused one
// leaves the game as it was, an accepted one is a consistent position the rules can play from.
TEST_F(GameFileTest, RandomTruncatedAndBitFlippedFiles) {
    std::mt19937 random(20261207);
    std::vector<std::string> sources;
    for (const char* fen : {kStartFen.data(), kMiddlegame, "4k4/9/9/9/9/9/9/9/9/3K4R b"}) {
        testing::SetUpFen(fen);
        sources.push_back(SavedBytes());
    }
    testing::SetUpFen(kMiddlegame);
    const std::string baseline = sources[1];
    int refused = 0;
    int accepted = 0;
    DisplayRecorder display;
    for (int round = 0; round < 30000; ++round) {
        std::string bytes = sources[random() % sources.size()];
        switch (round % 3) {
            case 0: {  // random bytes of a random length near a game file's
                bytes.resize(random() % 1100);
                for (char& c : bytes)
                    c = static_cast<char>(random());
                if (round % 2 == 0) bytes.resize(kGameFileSize, '\0');
                break;
            }
            case 1:  // truncated or padded
                bytes.resize(random() % (kGameFileSize + 2), '\0');
                break;
            default: {  // a few bits flipped, most often in the header and the pieces
                const int flips = 1 + static_cast<int>(random() % 4);
                for (int k = 0; k < flips; ++k) {
                    const size_t where = random() % 2 ? random() % 80 : random() % bytes.size();
                    bytes[where] = static_cast<char>(bytes[where] ^ (1 << (random() % 8)));
                }
            }
        }
        const GameState before = GameState::Take();
        display.Clear();
        if (LoadGameBytes(bytes).empty()) {
            ++accepted;
            ASSERT_TRUE(PositionIsConsistent()) << round;
            ASSERT_EQ(SetUpCountError() + SetUpPlacementError(), "") << round;
            // The rules and the engine work on what was let in.
            levelKind = kLevelFixedDepth;
            timedThinking = 0;
            pondering = 0;
            recordTop = 0;
            ThinkAndChoose(1);
            recordTop = -1;
            ASSERT_TRUE(PositionIsConsistent()) << round;
            ASSERT_EQ(LoadGameBytes(baseline), "");
        } else {
            ++refused;
            ASSERT_TRUE(GameState::Take() == before) << round;
            ASSERT_TRUE(display.calls.empty()) << round;
        }
    }
    EXPECT_GT(refused, 15000);
    EXPECT_GT(accepted, 500);
}

}  // namespace
}  // namespace xq
