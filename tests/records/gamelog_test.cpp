#include "records/gamelog.h"

#include <gtest/gtest.h>

#include "engine/book.h"
#include "engine/flow.h"
#include "engine/search.h"
#include "engine/startup.h"
#include "engine/think.h"
#include "platform/encoding.h"
#include "records/notation.h"
#include "records/settings.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/game.h"
#include "rules/record.h"
#include "support/display_recorder.h"
#include "support/fake_time.h"
#include "support/position_fixture.h"
#include "support/temp_folder.h"

namespace xq {
namespace {

using testing::DisplayRecorder;
using testing::ReadWholeFile;
using testing::TempFolder;

MoveRecord Move(PieceKind piece, int fromRank, int fromFile, int toRank, int toFile) {
    return {MakeSquare(toRank, toFile), MakeSquare(fromRank, fromFile), 0, piece, Empty};
}

const MoveRecord kRedCentralGunner = Move(Gunner, 2, 7, 2, 4);   // 炮二平五
const MoveRecord kBlackKnightOut = Move(Knight, 9, 7, 7, 6);     // 马８进７
const MoveRecord kRedKnightOut = Move(Knight, 0, 7, 2, 6);       // 马二进三
const MoveRecord kBlackGunnerCentre = Move(Gunner, 7, 7, 7, 4);  // 砲８平５

std::string G(const char* utf8) {
    return Utf8ToGbk(utf8).value();
}

// Everything one log line reads, set as the game flow leaves it after the engine's move.
struct LineState {
    int32_t plies;
    Side engineSide;
    MoveRecord player;
    MoveRecord engine;
    MoveRecord hint;
    int32_t score;
    int32_t depth;
    int32_t rootMoves;
    uint64_t nodes;
    double seconds;

    void Apply() const {
        plyCount = plies;
        otherSide = engineSide;
        sideToMove = Opponent(engineSide);
        lastPlayerMove = player;
        bestLine[0] = engine;
        bestLine[1] = hint;
        searchScore = score;
        iterationDepth = depth;
        rootMoveCount = rootMoves;
        nodeCount = nodes;
        searchClock.elapsed = seconds;
    }
};

class GameLogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Reset();
        OpenGameLog(file_);
        ASSERT_TRUE(loggingOn);
    }
    void TearDown() override {
        CloseGameLog();
        Reset();
        testing::SetUpFen(kStartFen);
    }
    // What the log holds after its banner line.
    std::string AfterBanner() {
        CloseGameLog();
        const std::string text = ReadWholeFile(file_);
        return text.substr(text.find('\n') + 1);
    }

    TempFolder folder_;
    std::filesystem::path file_ = folder_ / kLogFileName;
};

TEST_F(GameLogTest, BannerNamesTheProgramAndTheStartAndIsOnDiskAtOnce) {
    const std::string text = GbkToUtf8(ReadWholeFile(file_)).value();
    const std::string name = "澜川中国象棋 ";
    const std::string shape = "dddd-dd-dd dd:dd:dd\n";
    ASSERT_EQ(text.size(), name.size() + shape.size()) << text;
    EXPECT_EQ(text.substr(0, name.size()), name);
    for (size_t i = 0; i < shape.size(); ++i) {
        const char c = text[name.size() + i];
        EXPECT_TRUE(shape[i] == 'd' ? c >= '0' && c <= '9' : c == shape[i]) << text;
    }
}

TEST_F(GameLogTest, LinesByteForByte) {
    const struct {
        const char* name;
        LineState state;
        std::string line;
    } rows[] = {
        {"the engine answers as Black",
         {2, Black, kRedCentralGunner, kBlackKnightOut, kRedKnightOut, 31, 5, 44, 12345, 3.2},
         "  1. " + G("炮二平五") + G("马８进７") + "    (" + G("马二进三") +
             ")     0.12  5:44     12345.0     3.2\n"},
        {"the engine opens the game as Red",
         {1, Red, NullMove, kRedCentralGunner, kBlackKnightOut, -384, 12, 9, 2000000, 61.25},
         "  1. " + G("炮二平五") + " " + "    (" + G("马８进７") +
             ")    -1.50 12: 9   2000000.0    61.2\n"},
        {"full move n carries the user's move n",
         {10, Black, kRedKnightOut, kBlackGunnerCentre, kRedCentralGunner, 0, 3, 40, 7, 0.0},
         "  5. " + G("马二进三") + G("砲８平５") + "    (" + G("炮二平五") +
             ")     0.00  3:40         7.0     0.0\n"},
        {"a move from the library, after a restore as Black",
         {7, Black, NullMove, kBlackKnightOut, NullMove, 0, 0, 0, 0, 1.0},
         "  4. " + std::string(10, ' ') + G("马８进７") + "    (" + std::string(10, ' ') +
             ")     0.00  0: 0         0.0     1.0\n"},
        {"Red answers after the user's Black move",
         {123, Red, kBlackGunnerCentre, kRedKnightOut, NullMove, 29536, 45, 1, 1, 0.04},
         " 62. " + G("砲８平５") + G("马二进三") + "    (" + std::string(10, ' ') +
             ")   115.38 45: 1         1.0     0.0\n"},
    };
    for (const auto& row : rows) {
        OpenGameLog(file_);
        row.state.Apply();
        WriteLogLine();
        EXPECT_EQ(AfterBanner(), row.line) << row.name;
    }
}

TEST_F(GameLogTest, NewGameWritesTheHeaderExceptInADemonstration) {
    InitGameLog();
    NewGame();
    demoMode = 1;
    NewGame();
    LineState{2, Black, kRedCentralGunner, kBlackKnightOut, kRedKnightOut, 31, 5, 44, 1, 1}.Apply();
    WriteLogLine();
    EXPECT_EQ(AfterBanner(), kLogHeader);
}

TEST_F(GameLogTest, TheEnginesMoveInPlayWritesItsLine) {
    testing::FakeTime time;
    InitEngine();
    InitGameLog();
    UseOpeningLibrary({});
    testing::SetUpFen(kStartFen);
    levelKind = kLevelEasy;  // timed, but the fake clock never runs out; no pondering
    maxDepth = 2;
    soundOn = 0;
    const MoveRecord userMove = testing::Generated("h2e2");
    ASSERT_TRUE(HandleBoardMove(userMove.from, userMove.to));
    ASSERT_EQ(plyCount, 2);
    const std::string text = AfterBanner();
    ASSERT_EQ(text.substr(0, sizeof kLogHeader - 1), kLogHeader);  // from the new game
    const std::string line = text.substr(sizeof kLogHeader - 1);
    EXPECT_EQ(line.substr(0, 13), "  1. " + G("炮二平五")) << GbkToUtf8(line).value_or("?");
    EXPECT_EQ(line.substr(13, 8), Utf8ToGbk(FormatMove(GameRecord[-1], Black)).value());
    EXPECT_EQ(line.size(), 71u) << GbkToUtf8(line).value_or("?");
    EXPECT_EQ(line.back(), '\n');
    EXPECT_EQ(lastPlayerMove.piece, Empty);
}

TEST_F(GameLogTest, NothingIsWrittenAfterTheClose) {
    WriteLogHeader();
    CloseGameLog();
    EXPECT_FALSE(loggingOn);
    WriteLogHeader();
    WriteLogLine();
    CloseGameLog();
    EXPECT_EQ(AfterBanner(), kLogHeader);
}

TEST(GameLogOpen, AFileThatCannotBeOpenedWarnsAndSwitchesLoggingOff) {
    TempFolder folder;
    DisplayRecorder display;
    OpenGameLog(folder / "missing" / kLogFileName);
    EXPECT_FALSE(loggingOn);
    ASSERT_EQ(display.Count("MessageBox"), 1);
    EXPECT_EQ(display.calls[0],
              testing::DisplayCall("MessageBox", "不能打开日志文件.\n禁止登录！|中国象棋",
                                   static_cast<int>(BoxIcon::Exclamation)));
    WriteLogHeader();  // nothing to write to, and no harm
    WriteLogLine();
    CloseGameLog();
}

}  // namespace
}  // namespace xq
