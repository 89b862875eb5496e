// The menu commands run through the main window's procedure, as the window and the soak run them,
// with a recorder in the window's place: what each does to the game and what it tells the menus
// and the panel, and the game-file commands with scripted file choices and their error texts.
#include "records/menucommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/book.h"
#include "engine/commands.h"
#include "engine/engine_fixture.h"
#include "engine/evaluation.h"
#include "engine/flow.h"
#include "engine/think.h"
#include "engine/windowprocedure.h"
#include "platform/messages.h"
#include "records/exchange.h"
#include "records/gamefile.h"
#include "records/notation.h"
#include "records/settings.h"
#include "rules/clock.h"
#include "rules/fen.h"
#include "rules/gamemoves.h"
#include "rules/legality.h"
#include "support/display_recorder.h"
#include "support/position_fixture.h"
#include "support/temp_folder.h"

namespace xq {
namespace {

using testing::DisplayRecorder;
using testing::TempFolder;

constexpr char kMiddlegame[] = "1C2ka3/9/C1Nab1n2/p3p3p/6p2/9/P3P3P/3AB4/3p2c2/c1BAK4 b - - 0 1";

// The file names the scripted dialogs answer with, in order, and how often each was asked.
std::vector<std::string> openAnswers;
std::vector<std::string> saveAnswers;
int openAsked = 0;
int saveAsked = 0;
std::vector<std::string> reportedErrors;
// The answers to "棋局已改变，保存吗？", in order ("不保存" once they are used up), and how often
// it was asked.
std::vector<SaveAnswer> questionAnswers;
int questionAsked = 0;

std::string Next(std::vector<std::string>* answers, int* asked) {
    ++*asked;
    if (answers->empty()) return {};
    std::string answer = answers->front();
    answers->erase(answers->begin());
    return answer;
}

class MenuCommandsTest : public testing::EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        InitAttackTable();
        UseOpeningLibrary({});
        levelKind = kLevelFixedDepth;
        maxDepth = 1;
        soundOn = 0;
        savedLevel = 0;
        savedGameName.clear();
        openAnswers.clear();
        saveAnswers.clear();
        openAsked = saveAsked = 0;
        reportedErrors.clear();
        SetWindowProcedure(kMainWindow, MainWindowProcedure);
        RegisterMenuCommands();
        SetMessageHandler(MessageKind::ShowError,
                          [](const Message&) { reportedErrors.push_back(errorText); });
        chooseGameToRestore = [] { return Next(&openAnswers, &openAsked); };
        chooseGameToSave = [] { return Next(&saveAnswers, &saveAsked); };
        questionAnswers.clear();
        questionAsked = 0;
        askToSaveChanges = [] {
            ++questionAsked;
            if (questionAnswers.empty()) return SaveAnswer::Discard;
            const SaveAnswer answer = questionAnswers.front();
            questionAnswers.erase(questionAnswers.begin());
            return answer;
        };
        RunCommand(kCommandNewGame);
        display.Clear();
    }
    void TearDown() override {
        ClearWindowHandlers();
        SetWindowProcedure(kMainWindow, nullptr);
        chooseGameToRestore = chooseGameToSave = nullptr;
        askToSaveChanges = nullptr;
        EngineTest::TearDown();
    }

    // The last state the commands gave a menu item: enabled or checked, -1 when never set.
    int LastFlag(std::string_view call, std::string_view item) const {
        int flag = -1;
        for (const auto& c : display.Named(call))
            if (c.text == item) flag = c.value;
        return flag;
    }
    // The user's move `iccs`, answered by the engine.
    static void UserMove(std::string_view iccs) {
        const MoveRecord move = testing::Generated(iccs);
        ASSERT_NE(move.piece, Empty) << iccs;
        ASSERT_TRUE(HandleBoardMove(move.from, move.to)) << iccs;
    }

    DisplayRecorder display;
    TempFolder folder;
};

TEST_F(MenuCommandsTest, NewGameStopsTheClockEmptiesItsLineAndGreysTakeBackAndReplay) {
    UserMove("h2e2");
    display.Clear();
    RunCommand(kCommandNewGame);
    EXPECT_EQ(plyCount, 0);
    EXPECT_EQ(display.Count("StopClockDisplay"), 1);
    EXPECT_EQ(display.Named("ShowPanelValue").back().text, "Timer=");
    EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), 0);
    EXPECT_EQ(LastFlag("EnableMenuItem", "RedoUndo"), 0);
    EXPECT_EQ(gameUnnamed, 1);
}

// "悔棋" and "重下" follow what the game can really take back and replay, and do nothing while a
// search runs.
TEST_F(MenuCommandsTest, TakeBackAndReplayFollowTheGame) {
    UserMove("h2e2");
    UserMove("b0c2");
    ASSERT_EQ(plyCount, 4);
    RunCommand(kCommandTakeBack);
    EXPECT_EQ(plyCount, 2);
    EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), 1);
    EXPECT_EQ(LastFlag("EnableMenuItem", "RedoUndo"), 1);
    RunCommand(kCommandTakeBack);
    EXPECT_EQ(plyCount, 0);
    EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), 0);
    EXPECT_EQ(userSide, Red);
    RunCommand(kCommandTakeBack);  // nothing left: no change
    EXPECT_EQ(plyCount, 0);

    RunCommand(kCommandReplay);
    RunCommand(kCommandReplay);
    EXPECT_EQ(plyCount, 4);
    EXPECT_EQ(LastFlag("EnableMenuItem", "RedoUndo"), 0);
    EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), 1);

    const testing::PositionSnapshot before = testing::PositionSnapshot::Take();
    display.Clear();
    thinking = 1;
    RunCommand(kCommandTakeBack);
    RunCommand(kCommandReplay);
    RunCommand(kCommandHint);
    thinking = 0;
    EXPECT_TRUE(testing::PositionSnapshot::Take() == before);
    EXPECT_TRUE(display.calls.empty());
}

// With two people at the board (two-player mode, analysis mode) each ply is one player's move:
// "悔棋" takes back one ply, a first ply alone too, and "重下" plays one ply again; against the
// engine both go a full move (above), and a first ply alone is no full move to take back (found
// by the soak: the accepted move must not enable "悔棋" then).
TEST_F(MenuCommandsTest, TwoPeopleAtTheBoardTakeBackAndReplayOnePlyAtATime) {
    for (uint8_t* mode : {&twoPlayerMode, &analysisMode}) {
        SCOPED_TRACE(mode == &twoPlayerMode ? "two-player mode" : "analysis mode");
        RunCommand(kCommandNewGame);
        *mode = 1;
        UserMove("h2e2");
        ASSERT_EQ(plyCount, 1) << "nobody replies";
        EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), 1) << "a first ply alone";
        RunCommand(kCommandTakeBack);
        EXPECT_EQ(plyCount, 0);
        EXPECT_EQ(userSide, Red);
        EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), 0);
        EXPECT_EQ(LastFlag("EnableMenuItem", "RedoUndo"), 1);
        RunCommand(kCommandReplay);
        EXPECT_EQ(plyCount, 1);
        EXPECT_EQ(LastFlag("EnableMenuItem", "RedoUndo"), 0);

        UserMove("h7e7");
        UserMove("h0g2");
        const testing::PositionSnapshot played = testing::PositionSnapshot::Take();
        for (int plies = 2; plies >= 0; --plies) {
            RunCommand(kCommandTakeBack);
            EXPECT_EQ(plyCount, plies);
            EXPECT_EQ(userSide, sideToMove) << "the player whose move it is now";
        }
        EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), 0);
        for (int plies = 1; plies <= 3; ++plies) {
            RunCommand(kCommandReplay);
            EXPECT_EQ(plyCount, plies);
            EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), 1);
        }
        EXPECT_EQ(LastFlag("EnableMenuItem", "RedoUndo"), 0);
        EXPECT_TRUE(testing::PositionSnapshot::Take() == played);
        *mode = 0;
    }
    // Against the engine a lone first ply is greyed again, and with two players not.
    RunCommand(kCommandNewGame);
    RunCommand(kCommandTwoPlayer);
    UserMove("h2e2");
    EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), 1);
    RunCommand(kCommandTwoPlayer);
    EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), 0);
    RunCommand(kCommandTakeBack);
    EXPECT_EQ(plyCount, 1) << "no full move to take back";
}

TEST_F(MenuCommandsTest, HintShowsTheLineAndLeavesThePositionAsItWas) {
    const testing::PositionSnapshot before = testing::PositionSnapshot::Take();
    RunCommand(kCommandHint);
    EXPECT_NE(predictedLine[0].piece, Empty);
    EXPECT_TRUE(testing::PositionSnapshot::Take() == before);
    // The hint's move is shown in the message line with its notation.
    EXPECT_EQ(display.MessageLine(), FormatMove(predictedLine[0], Red) + "  ");
}

// Found by the soak: the hint's search anchors the game afresh and drops what "重下" could replay,
// so the item must not stay enabled.
TEST_F(MenuCommandsTest, AHintAfterATakeBackGreysReplay) {
    UserMove("h2e2");
    RunCommand(kCommandTakeBack);
    ASSERT_EQ(LastFlag("EnableMenuItem", "RedoUndo"), 1);
    RunCommand(kCommandHint);
    EXPECT_EQ(LastFlag("EnableMenuItem", "RedoUndo"), CanReplayFullMove() ? 1 : 0);
    EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), CanTakeBackFullMove() ? 1 : 0);
}

// Rows: the level before, the command, the level after. Whatever the level was, the chosen item
// ends with the one check mark, also when the level does not change (after "恢复" the mark may
// stand elsewhere); the values are applied again.
TEST_F(MenuCommandsTest, LevelItemsLeaveTheCheckMarkOnTheChosenItemOnly) {
    const struct {
        uint8_t before;
        int32_t command;
        uint8_t after;
    } rows[] = {
        {kLevelFixedDepth, kCommandLevelEasy, kLevelEasy},
        {kLevelEasy, kCommandLevelEasy, kLevelEasy},
        {kLevelEasy, kCommandLevelMatching, kLevelMatching},
        {kLevelPerGame, kCommandLevelUnlimited, kLevelUnlimited},
        {kLevelUnlimited, kCommandLevelUnlimited, kLevelUnlimited},
    };
    for (const auto& row : rows) {
        levelKind = row.before;
        levelTime = 12.0;
        maxDepth = 7;
        display.Clear();
        RunCommand(row.command);
        EXPECT_EQ(levelKind, row.after) << row.command;
        for (std::string_view item : kLevelItemNames)
            EXPECT_EQ(LastFlag("CheckMenuItem", item), item == kLevelItemNames[row.after] ? 1 : 0)
                << row.command << " " << item;
        EXPECT_EQ(display.Count("ShowLevel"), 1);
        // The easy level always resets its time; easy and unlimited lift the depth limit.
        EXPECT_EQ(levelTime, row.after == kLevelEasy ? 5.0 : 12.0);
        EXPECT_EQ(maxDepth, row.after == kLevelMatching ? 7 : 45);
    }
}

TEST_F(MenuCommandsTest, TimeAndDepthChoicesCheckTheirNumber) {
    UserMove("h2e2");
    UserMove("b0c2");  // two full moves
    EXPECT_FALSE(ChooseTimeLevel(kLevelPerMove, 0));
    EXPECT_FALSE(ChooseTimeLevel(kLevelPerMove, -3));
    EXPECT_EQ(levelKind, kLevelFixedDepth);
    EXPECT_TRUE(ChooseTimeLevel(kLevelPerMove, 2.5));
    EXPECT_EQ(sideClock[Red].elapsed, 5.0);
    EXPECT_EQ(sideClock[Black].elapsed, 5.0);
    EXPECT_EQ(maxDepth, 45);

    EXPECT_FALSE(ChooseDepthLevel(0));
    EXPECT_EQ(levelKind, kLevelPerMove);
    EXPECT_TRUE(ChooseDepthLevel(60));
    EXPECT_EQ(maxDepth, 45);
    EXPECT_TRUE(ChooseDepthLevel(1));
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(levelKind, kLevelFixedDepth);
}

TEST_F(MenuCommandsTest, MateSearchStartsTheEngineAtOnce) {
    testing::SetUpFen("3k5/R8/1R7/9/9/9/9/9/9/4K4 w");  // the Rook to b9 mates
    maxDepth = 3;
    RunCommand(kCommandLevelMateSearch);
    EXPECT_EQ(levelKind, kLevelMateSearch);
    EXPECT_EQ(display.Named("SetMenu").front().value, static_cast<int>(MenuKind::Think));
    EXPECT_EQ(plyCount, 1) << "the engine played for the side to move";
    EXPECT_EQ(gameResultText, kMateText);
    EXPECT_EQ(display.Count("ShowEndOfGame"), 1);
}

// The mate search plays the side to move as its own: the user defends with the other side, and
// the engine mates on its next turn.
TEST_F(MenuCommandsTest, MateSearchTakesTheSideToMoveAndTheUserDefends) {
    testing::SetUpFen("4k4/9/9/9/9/9/8p/1R7/R8/3K5 w");  // mate in two for Red
    maxDepth = 3;
    RunCommand(kCommandLevelMateSearch);
    ASSERT_EQ(plyCount, 1);
    ASSERT_EQ(gameOver, 0);
    EXPECT_EQ(sideToMove, Black);
    EXPECT_EQ(userSide, Black) << "the user can move the side whose turn it is";
    EXPECT_EQ(computerSide, Red);
    const std::vector<MoveRecord> replies = LegalMoves();
    ASSERT_FALSE(replies.empty());
    ASSERT_TRUE(HandleBoardMove(replies.front().from, replies.front().to));
    EXPECT_EQ(plyCount, 3);
    EXPECT_EQ(gameResultText, kMateText);
}

// Without a mate the engine plays nothing, says so, and the side to move is the user's: also when
// it finds none on its own turn after the user's move.
TEST_F(MenuCommandsTest, MateSearchWithoutAMateLeavesTheMoveToTheUser) {
    maxDepth = 3;
    RunCommand(kCommandLevelMateSearch);
    EXPECT_EQ(plyCount, 0);
    EXPECT_EQ(display.MessageLine(), kNoMateFoundText);
    EXPECT_EQ(userSide, Red);
    EXPECT_EQ(computerSide, Black);
    UserMove("h2e2");
    EXPECT_EQ(plyCount, 1);
    EXPECT_EQ(display.MessageLine(), kNoMateFoundText);
    EXPECT_EQ(userSide, Black);
    EXPECT_EQ(computerSide, Red);
    UserMove("h9g7");
    EXPECT_EQ(plyCount, 2);
    EXPECT_EQ(userSide, Red);
}

// A restored or pasted position that is already mate or stalemate ends the game at once, on a
// clean panel that names the side to move.
TEST_F(MenuCommandsTest, ASetUpPositionThatIsOverEndsTheGameAtOnce) {
    struct Row {
        const char* fen;
        std::string_view result;
    };
    const Row rows[] = {
        {"1R1k5/R8/9/9/9/9/9/9/9/4K4 b", kMateText},
        {"4k4/3P1P3/9/9/9/9/9/9/9/3K5 b", kStalemateText},
        {"4k4/9/9/9/9/9/9/9/9/3K4R b", ""},
    };
    const std::string file = (folder / "set-up.chs").string();
    for (const Row& row : rows) {
        for (bool restore : {true, false}) {
            SCOPED_TRACE(std::string(row.fen) + (restore ? " restored" : " pasted"));
            testing::SetUpFen(row.fen);
            ASSERT_TRUE(SaveGameFile(file));
            RunCommand(kCommandNewGame);
            UserMove("h2e2");
            display.Clear();
            if (restore) {
                openAnswers = {file};
                RunCommand(kCommandRestore);
            } else {
                ASSERT_EQ(PastePosition(row.fen), "");
            }
            EXPECT_EQ(WriteFen().substr(0, WriteFen().find(' ')),
                      std::string(row.fen).substr(0, std::string(row.fen).find(' ')));
            EXPECT_EQ(gameOver, row.result.empty() ? 0 : 1);
            EXPECT_EQ(display.MessageLine(), row.result);
            EXPECT_EQ(display.Count("ShowEndOfGame"), row.result.empty() ? 0 : 1);
            EXPECT_GE(display.Count("ResetPanel"), 1);
            ASSERT_GE(display.Count("ShowTurn"), 1);
            EXPECT_EQ(display.Named("ShowTurn").back().value, Black);
            EXPECT_EQ(clockRunning, 0);
        }
    }
}

// "新建" and "恢复" ask before they drop a game with changes no file keeps, before any file dialog:
// "取消" keeps the game, "不保存" goes on, "保存" writes the game first, and a save that does not
// happen (its dialog cancelled) keeps the game.
TEST_F(MenuCommandsTest, NewAndRestoreAskToSaveAChangedGame) {
    const std::string kept = (folder / "kept.chs").string();
    testing::SetUpFen(kMiddlegame);
    ASSERT_TRUE(SaveGameFile(kept));
    const std::string keptFen = WriteFen();
    struct Row {
        const char* name;
        int32_t command;
        SaveAnswer answer;
        const char* saveAs;  // the save dialog's answer; "" cancels it
        bool goesOn;
    };
    const Row rows[] = {
        {"新建 取消", kCommandNewGame, SaveAnswer::Cancel, "", false},
        {"新建 不保存", kCommandNewGame, SaveAnswer::Discard, "", true},
        {"新建 保存", kCommandNewGame, SaveAnswer::Save, "saved-new.chs", true},
        {"新建 保存, dialog cancelled", kCommandNewGame, SaveAnswer::Save, "", false},
        {"恢复 取消", kCommandRestore, SaveAnswer::Cancel, "", false},
        {"恢复 不保存", kCommandRestore, SaveAnswer::Discard, "", true},
        {"恢复 保存", kCommandRestore, SaveAnswer::Save, "saved-restore.chs", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RunCommand(kCommandNewGame);
        UserMove("h2e2");
        const std::string fen = WriteFen();
        const std::string saved = *row.saveAs ? (folder / row.saveAs).string() : "";
        questionAsked = openAsked = saveAsked = 0;
        questionAnswers = {row.answer};
        saveAnswers = {saved};
        openAnswers = {kept};
        RunCommand(row.command);
        EXPECT_EQ(questionAsked, 1);
        EXPECT_EQ(saveAsked, row.answer == SaveAnswer::Save ? 1 : 0);
        EXPECT_EQ(openAsked, row.goesOn && row.command == kCommandRestore ? 1 : 0);
        if (!saved.empty()) {
            EXPECT_EQ(std::filesystem::file_size(saved), kGameFileSize);
            EXPECT_EQ(LoadGameFile(saved), "");
            EXPECT_EQ(WriteFen(), fen) << "the file holds the game as it was";
            openAnswers = {kept};
            RunCommand(row.command);  // the same command again: done
        }
        if (!row.goesOn) {
            EXPECT_EQ(WriteFen(), fen);
            EXPECT_EQ(plyCount, 2);
        } else if (row.command == kCommandRestore) {
            EXPECT_EQ(WriteFen(), keptFen);
        } else {
            EXPECT_EQ(WriteFen(), std::string(kStartFen));
        }
    }
    EXPECT_TRUE(reportedErrors.empty());
}

// What makes a game one to ask about: moves played or taken back, a position set up. A new game, a
// save, a restore, an export and an import leave nothing to ask about; nor do a demonstration's
// moves, and the end-of-game dialog's "Yes" starts a new game without asking.
TEST_F(MenuCommandsTest, OnlyChangesNoFileKeepsAreAskedAbout) {
    const std::string file = (folder / "g.chs").string();
    const std::string record = (folder / "g.pgn").string();
    const auto asksOnNew = [&](const char* step) {
        SCOPED_TRACE(step);
        questionAsked = 0;
        RunCommand(kCommandNewGame);
        return questionAsked == 1;
    };
    EXPECT_FALSE(asksOnNew("a new game"));
    UserMove("h2e2");
    ASSERT_EQ(ExportGame(record, PgnNotation::Iccs), "");
    EXPECT_FALSE(asksOnNew("exported"));
    UserMove("h2e2");
    saveAnswers = {file};
    RunCommand(kCommandSaveAs);
    EXPECT_FALSE(asksOnNew("saved"));
    openAnswers = {file};
    RunCommand(kCommandRestore);
    EXPECT_FALSE(asksOnNew("restored"));
    openAnswers = {file};
    RunCommand(kCommandRestore);
    UserMove("b0c2");
    RunCommand(kCommandTakeBack);
    RunCommand(kCommandReplay);
    RunCommand(kCommandTakeBack);
    EXPECT_TRUE(asksOnNew("moves played and taken back"));
    ASSERT_EQ(ImportGame(record), "");
    EXPECT_FALSE(asksOnNew("imported"));
    ASSERT_EQ(PastePosition(kMiddlegame), "");
    EXPECT_TRUE(asksOnNew("a position set up"));

    static int movesBeforeStop;
    movesBeforeStop = 4;
    SetNativeEventPull([] {
        if (timedThinking && --movesBeforeStop == 0) {
            Message stop;
            stop.command = kCommandStop;
            PostMessage(stop);
        }
    });
    RunCommand(kCommandDemo);
    SetNativeEventPull(nullptr);
    ASSERT_GT(plyCount, 0);
    EXPECT_FALSE(asksOnNew("a demonstration"));

    UserMove("h2e2");
    questionAsked = 0;
    Message playAgain;
    playAgain.kind = MessageKind::NewGameRequest;
    SendMessage(playAgain);
    EXPECT_EQ(questionAsked, 0);
    EXPECT_EQ(plyCount, 0);
}

// A file handed to the program: a game file by its name or by its bytes is restored, anything
// else imported; one refused is reported as from the menu and leaves a new game.
TEST_F(MenuCommandsTest, AGivenFileIsRestoredOrImportedAndARefusedOneLeavesANewGame) {
    testing::SetUpFen(kMiddlegame);
    const std::string gameFen = WriteFen();
    ASSERT_TRUE(SaveGameFile(folder / "game.chs"));
    const std::string gameBytes = testing::ReadWholeFile(folder / "game.chs");
    RunCommand(kCommandNewGame);
    UserMove("h2e2");
    const std::string recordFen = WriteFen();
    ASSERT_EQ(ExportGame(folder / "record.pgn", PgnNotation::Iccs), "");
    const std::string recordText = testing::ReadWholeFile(folder / "record.pgn");
    std::string notAGame = gameBytes;
    notAGame[52] = 1;  // the King's value: no game file has another
    std::string textOfGameSize = recordText;
    textOfGameSize.resize(kGameFileSize, ' ');
    struct Row {
        const char* name;
        std::string bytes;  // none: the file is missing
        std::string fen;    // the game afterwards
        const char* error;  // reported; "*" any error
    };
    const std::string startFen(kStartFen);
    const Row rows[] = {
        {"game.chs", gameBytes, gameFen, ""},
        {"GAME.CHS", gameBytes, gameFen, ""},
        {"game-without-extension", gameBytes, gameFen, ""},
        {"record.pgn", recordText, recordFen, ""},
        {"record.txt", recordText, recordFen, ""},
        {"record-of-game-size", textOfGameSize, recordFen, ""},
        {"bad.chs", notAGame, startFen, "游戏没有加载"},
        {"missing.chs", "", startFen, "文件没有发现"},
        {"bad-game-without-extension", notAGame, startFen, "*"},
    };
    questionAsked = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::filesystem::path file = folder / "given" / row.name;
        std::filesystem::create_directories(file.parent_path());
        if (!row.bytes.empty()) testing::WriteWholeFile(file, row.bytes);
        testing::SetUpFen("4k4/9/9/9/9/9/9/9/9/3K5 w");  // the game before
        reportedErrors.clear();
        display.Clear();
        OpenGivenFile(file.string());
        EXPECT_EQ(WriteFen(), row.fen);
        ASSERT_EQ(reportedErrors.size(), *row.error ? 1u : 0u);
        if (*row.error) {
            if (std::string_view(row.error) != "*") {
                EXPECT_EQ(reportedErrors[0], row.error);
            }
            EXPECT_EQ(plyCount, 0);
            EXPECT_EQ(gameUnnamed, 1);
        }
        EXPECT_EQ(questionAsked, 0);
    }
}

// A file of many games handed to the program shows its list, as "导入棋谱..." does: the game
// chosen is imported; a list closed without a choice reports nothing and leaves a new game. A
// file of one game shows no list.
std::vector<std::string> listedEvents;
size_t listAnswer = 0;

TEST_F(MenuCommandsTest, AGivenFileOfManyGamesOpensTheGameChosenFromItsList) {
    const std::filesystem::path many = folder / "many.pgn";
    testing::WriteWholeFile(many,
                            "[Event \"甲\"]\n1. h2e2 h9g7\n\n"
                            "[Event \"乙\"]\n1. b2e2 b9c7 2. h0g2 *\n");
    const std::filesystem::path one = folder / "one.pgn";
    testing::WriteWholeFile(one, "[Event \"丙\"]\n1. c3c4 *\n");
    chooseGameFromList = [](const std::vector<PgnEntry>& games) {
        for (const PgnEntry& game : games)
            listedEvents.push_back(game.game.Tag("Event"));
        return listAnswer;
    };
    struct Row {
        const std::filesystem::path* file;
        size_t answer;  // the list's: 0 closes it
        std::vector<std::string> listed;
        int plies;  // the game afterwards
        const char* lastMove;
    };
    const Row rows[] = {
        {&many, 2, {"甲", "乙"}, 3, "h0g2"},
        {&many, 1, {"甲", "乙"}, 2, "h9g7"},
        {&many, 0, {"甲", "乙"}, 0, ""},
        {&one, 0, {}, 1, "c3c4"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file->filename().string() + " " + std::to_string(row.answer));
        testing::SetUpFen("4k4/9/9/9/9/9/9/9/9/3K5 w");  // the game before
        listedEvents.clear();
        listAnswer = row.answer;
        reportedErrors.clear();
        OpenGivenFile(row.file->string());
        EXPECT_EQ(listedEvents, row.listed);
        EXPECT_TRUE(reportedErrors.empty());
        EXPECT_EQ(plyCount, row.plies);
        if (row.plies == 0) {
            EXPECT_EQ(WriteFen(), std::string(kStartFen)) << "a new game";
        } else {
            Square from = 0;
            Square to = 0;
            ASSERT_TRUE(ParseIccs(row.lastMove, &from, &to));
            EXPECT_EQ(GameRecord[recordTop].from, from);
            EXPECT_EQ(GameRecord[recordTop].to, to);
        }
    }
    chooseGameFromList = nullptr;
}

// Two-player mode twice: the level comes back with its text, the level menu is greyed and enabled
// again and the item's caption changes there and back.
TEST_F(MenuCommandsTest, TwoPlayerTwiceRestoresTheLevel) {
    levelKind = kLevelMatching;
    const std::string levelText = LevelText();
    RunCommand(kCommandTwoPlayer);
    EXPECT_EQ(twoPlayerMode, 1);
    EXPECT_EQ(levelKind, kLevelPerMove);
    EXPECT_EQ(LevelText(), "两人对弈");
    EXPECT_EQ(LastFlag("EnableMenuItem", "Level1"), 0);
    EXPECT_EQ(display.Named("SetMenuItemCaption").back().text, "TwoPlayer=单独对弈");
    RunCommand(kCommandTwoPlayer);
    EXPECT_EQ(twoPlayerMode, 0);
    EXPECT_EQ(levelKind, kLevelMatching);
    EXPECT_EQ(LevelText(), levelText);
    EXPECT_EQ(LastFlag("EnableMenuItem", "Level1"), 1);
    EXPECT_EQ(display.Named("SetMenuItemCaption").back().text, "TwoPlayer=两人对弈");
    EXPECT_EQ(display.Count("ShowLevel"), 2);
    EXPECT_EQ(display.Count("CheckMenuItem"), 0) << "the level's check mark stays";
}

// The demonstration runs until "停止"; the easy level leaves its frames and comes back after. At
// the mate search it used to start empty game after empty game without ever taking "停止".
TEST_F(MenuCommandsTest, DemonstrationRunsUntilStoppedAndTheLevelComesBack) {
    for (uint8_t level : {kLevelEasy, kLevelMateSearch}) {
        SCOPED_TRACE(int(level));
        RunCommand(kCommandNewGame);
        display.Clear();
        levelKind = level;
        maxDepth = 1;
        static int movesBeforeStop;
        movesBeforeStop = 6;
        SetNativeEventPull([] {
            if (timedThinking && --movesBeforeStop == 0) {
                Message stop;
                stop.command = kCommandStop;
                PostMessage(stop);
            }
        });
        RunCommand(kCommandDemo);
        SetNativeEventPull(nullptr);
        EXPECT_EQ(demoMode, 0);
        EXPECT_EQ(levelKind, level);
        EXPECT_GT(plyCount, 0);
        EXPECT_EQ(display.Count("ClearThreatMarks"), level == kLevelEasy ? 1 : 0);
        EXPECT_EQ(userSide, sideToMove);
        EXPECT_EQ(display.calls.back().name, "ShowLevel");
    }
}

TEST_F(MenuCommandsTest, SoundReverseAndBestPathToggle) {
    RunCommand(kCommandSound);
    EXPECT_EQ(soundOn, 1);
    EXPECT_EQ(LastFlag("CheckMenuItem", "Sound"), 1);
    RunCommand(kCommandSound);
    EXPECT_EQ(soundOn, 0);
    EXPECT_EQ(LastFlag("CheckMenuItem", "Sound"), 0);

    RunCommand(kCommandReverseBoard);
    EXPECT_EQ(boardReversed, 1);
    EXPECT_EQ(display.Count("RedrawAll"), 1);
    EXPECT_EQ(LastFlag("CheckMenuItem", "Reverse"), -1) << "no check mark";
    RunCommand(kCommandReverseBoard);
    EXPECT_EQ(boardReversed, 0);

    RunCommand(kCommandBestPath);
    EXPECT_EQ(bestPathShown, 0);
    EXPECT_EQ(LastFlag("CheckMenuItem", "BestPath"), 0);
    EXPECT_EQ(display.Count("ClearBestPath"), 1);
    RunCommand(kCommandBestPath);
    EXPECT_EQ(bestPathShown, 1);
    EXPECT_EQ(LastFlag("CheckMenuItem", "BestPath"), 1);
    EXPECT_EQ(display.Count("ClearBestPath"), 1);
}

// Save, play on, restore: the saved position comes back with its settings, nothing to take back or
// replay, the menus as they were, and the engine answers from the restored position.
TEST_F(MenuCommandsTest, SaveAndRestoreRoundTripThroughTheCommands) {
    UserMove("h2e2");
    pieceValue[Rook] = 160 * 16;
    twoPlayerMode = 1;
    demoMode = 1;
    const std::string fen = WriteFen();
    const std::string file = (folder / "game.chs").string();
    saveAnswers = {file};
    RunCommand(kCommandSave);  // unnamed: asks for a name
    EXPECT_EQ(saveAsked, 1);
    EXPECT_EQ(std::filesystem::file_size(file), kGameFileSize);
    EXPECT_EQ(gameUnnamed, 0);
    EXPECT_EQ(savedGameName, file);
    RunCommand(kCommandSave);  // named: writes without asking
    EXPECT_EQ(saveAsked, 1);

    twoPlayerMode = demoMode = 0;
    pieceValue[Rook] = kDefaultPieceValue[Rook];
    RunCommand(kCommandNewGame);
    UserMove("b2e2");
    display.Clear();
    openAnswers = {file};
    RunCommand(kCommandRestore);
    EXPECT_TRUE(reportedErrors.empty());
    EXPECT_EQ(WriteFen(), fen);
    EXPECT_EQ(pieceValue[Rook], 160 * 16);
    EXPECT_EQ(twoPlayerMode, 1);
    EXPECT_EQ(demoMode, 1);
    EXPECT_EQ(userSide, Red);
    EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), 0);
    EXPECT_EQ(LastFlag("EnableMenuItem", "RedoUndo"), 0);
    EXPECT_EQ(display.Count("CheckMenuItem"), 0);
    EXPECT_EQ(display.Count("SetMenuItemCaption"), 0);
    EXPECT_EQ(LastFlag("EnableMenuItem", "Level1"), -1);
    // The level field is written again after the panel's reset.
    const auto fromEnd = [&](std::string_view name) {
        const auto& calls = display.calls;
        return std::find_if(calls.rbegin(), calls.rend(),
                            [&](const testing::DisplayCall& c) { return c.name == name; }) -
               calls.rbegin();
    };
    EXPECT_LT(fromEnd("ShowLevel"), fromEnd("ResetPanel"));

    twoPlayerMode = demoMode = 0;
    const std::vector<MoveRecord> legal = LegalMoves();
    RunCommand(kCommandPass);
    ASSERT_EQ(plyCount, 3);
    const MoveRecord played = GameRecord[recordTop];
    EXPECT_TRUE(std::any_of(legal.begin(), legal.end(), [&](const MoveRecord& m) {
        return m.from == played.from && m.to == played.to;
    })) << "the engine's move is one of the restored position's";

    // "保存" after "恢复" asks for a name instead of silently doing nothing.
    RunCommand(kCommandRestore);
    EXPECT_EQ(openAsked, 2);  // cancelled: nothing changes
    savedGameName.clear();
    gameUnnamed = 0;
    RunCommand(kCommandSave);
    EXPECT_EQ(saveAsked, 2);
}

// "保存" writes the file the game came from: after "恢复" the restored file, never the one last
// chosen in the save dialog for another game; a refused file names nothing. The caption follows.
TEST_F(MenuCommandsTest, SaveWritesTheFileTheGameWasRestoredFrom) {
    const std::string first = (folder / "g1.chs").string();
    const std::string other = (folder / "other.chs").string();
    UserMove("h2e2");
    saveAnswers = {first};
    RunCommand(kCommandSaveAs);
    const std::string firstBytes = testing::ReadWholeFile(first);
    RunCommand(kCommandNewGame);
    UserMove("b2e2");
    saveAnswers = {other};
    RunCommand(kCommandSaveAs);
    ASSERT_EQ(saveAsked, 2);
    RunCommand(kCommandNewGame);
    display.Clear();
    openAnswers = {first};
    RunCommand(kCommandRestore);  // "另存为" chose other.chs last; the game is g1.chs's
    UserMove("b0c2");
    const std::string otherBytes = testing::ReadWholeFile(other);
    RunCommand(kCommandSave);
    EXPECT_EQ(saveAsked, 2) << "the restored game has its file";
    EXPECT_EQ(testing::ReadWholeFile(other), otherBytes) << "another game's file is left alone";
    EXPECT_NE(testing::ReadWholeFile(first), firstBytes) << "the game's own file has the move";

    const std::string notAGame = (folder / "notagame.chs").string();
    testing::WriteWholeFile(notAGame, "not a game");
    openAnswers = {notAGame};
    RunCommand(kCommandRestore);
    RunCommand(kCommandSave);  // still g1.chs's game
    EXPECT_EQ(saveAsked, 2);
    RunCommand(kCommandNewGame);
    openAnswers = {notAGame};
    RunCommand(kCommandRestore);
    RunCommand(kCommandSave);  // the new game has no file yet
    EXPECT_EQ(saveAsked, 3);
    EXPECT_EQ(testing::ReadWholeFile(notAGame), "not a game");

    std::vector<std::string> captions;
    for (const auto& call : display.Named("ShowGameFile"))
        captions.push_back(call.text);
    EXPECT_EQ(captions, (std::vector<std::string>{first, ""}));
}

TEST_F(MenuCommandsTest, FileCommandsReportWhatWentWrongAndChangeNothing) {
    UserMove("h2e2");
    const std::string fen = WriteFen();
    const std::string notAGame = (folder / "notagame.chs").string();
    testing::WriteWholeFile(notAGame, "not a game");
    openAnswers = {(folder / "missing.chs").string(), notAGame};
    RunCommand(kCommandRestore);
    RunCommand(kCommandRestore);
    saveAnswers = {(folder / "no-such-folder" / "game.chs").string()};
    RunCommand(kCommandSaveAs);
    EXPECT_EQ(reportedErrors,
              (std::vector<std::string>{"文件没有发现", "游戏没有加载", "存贮错误"}));
    EXPECT_EQ(display.Named("MessageBox").size(), 1u) << "the box that the file cannot be created";
    EXPECT_EQ(WriteFen(), fen);
    EXPECT_EQ(plyCount, 2);
    EXPECT_EQ(LastFlag("EnableMenuItem", "UndoMove"), 1) << "the game can still be taken back";
}

}  // namespace
}  // namespace xq
