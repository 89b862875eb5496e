// The position editor driven as the window drives it, through RunCommand and EditSquare: what
// "完成" accepts and the messages it refuses with, "忽略" bringing the board back, the turn items'
// side assignments, and what the window is told on the way in and out.
#include "engine/editor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/commands.h"
#include "engine/flow.h"
#include "engine/windowprocedure.h"
#include "engine_fixture.h"
#include "platform/messages.h"
#include "rules/clock.h"
#include "rules/fen.h"
#include "rules/gamemoves.h"
#include "rules/record.h"
#include "rules/setupcheck.h"
#include "support/display_recorder.h"
#include "support/fake_time.h"

namespace xq {
namespace {

using testing::DisplayRecorder;
using testing::EngineTest;

std::vector<std::string> errorsShown;

// Also records the menu check marks and the panel brought to the front.
class EditorDisplay : public DisplayRecorder {
  public:
    void CheckMenuItem(std::string_view item, bool checked) override {
        calls.emplace_back("CheckMenuItem", item, checked ? 1 : 0);
    }
    void BringPanelToFront(PanelKind panel) override {
        calls.emplace_back("BringPanelToFront", "", static_cast<int>(panel));
    }
};

constexpr char kKingsOnly[] = "4k4/9/9/9/9/9/9/9/9/3K5 w";
// Red to move and in check from the Black Rook on its file.
constexpr char kRedInCheck[] = "3k5/9/9/9/9/9/9/4r4/9/4K4 w";

// What the user does in the editor.
enum class Act { Clear, Click, RedTurn, BlackTurn };

struct Step {
    Act act;
    int rank = 0;
    int file = 0;
    int palette = 0;  // the palette entry a click puts down: 0..6 Red, 7..13 Black
};

Step Click(int rank, int file, int palette = 0) {
    return {Act::Click, rank, file, palette};
}

constexpr int kRedKnight = 3;
constexpr int kRedRook = 1;
constexpr int kRedPawn = 6;
constexpr int kBlackKnight = 10;
constexpr int kBlackAssist = 11;

class EditorTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        errorsShown.clear();
        ClearMessages();
        ClearWindowHandlers();
        SetWindowProcedure(kMainWindow, MainWindowProcedure);
        SetMessageHandler(MessageKind::ShowError,
                          [](const Message&) { errorsShown.push_back(errorText); });
        soundOn = 0;
        userSide = Red;
        computerSide = Black;
    }
    void TearDown() override {
        if (editMode) LeaveEditMode();
        editBackupAllocator = std::malloc;
        ClearWindowHandlers();
        SetWindowProcedure(kMainWindow, nullptr);
        ClearMessages();
        EngineTest::TearDown();
    }

    static void Do(const Step& step) {
        switch (step.act) {
            case Act::Clear:
                RunCommand(kCommandEditClear);
                break;
            case Act::Click:
                EditSquare(MakeSquare(step.rank, step.file), step.palette);
                break;
            case Act::RedTurn:
                RunCommand(kCommandEditRedTurn);
                break;
            case Act::BlackTurn:
                RunCommand(kCommandEditBlackTurn);
                break;
        }
    }

    // Kind and side of every board cell (what the user sees of the board).
    static std::vector<int> Pieces() {
        std::vector<int> pieces;
        for (const BoardCell& cell : board)
            pieces.push_back(cell.kind == Empty ? 0 : cell.kind * 2 + cell.side);
        return pieces;
    }
};

// Each row opens the editor on a position, edits it and chooses "完成": either the editor closes
// or the error dialog shows the row's message and the editor stays open.
TEST_F(EditorTest, DoneChecksTheEditedPositionAndNamesWhatIsWrong) {
    struct Row {
        const char* name;
        const char* fen;
        std::vector<Step> steps;
        const char* error;  // "" when "完成" closes the editor
    };
    const Row rows[] = {
        {"the board cleared", kStartFen.data(), {{Act::Clear}}, "帅将的数目不正确"},
        {"three Knights a side",
         kStartFen.data(),
         {Click(4, 4, kRedKnight), Click(5, 4, kBlackKnight)},
         "马的数目不正确"},
        {"a Black Assist on (8,5)", kKingsOnly, {Click(8, 5, kBlackAssist)}, "士的位置错误"},
        {"a Black Assist on (8,4)", kKingsOnly, {Click(8, 4, kBlackAssist)}, ""},
        {"a Red Pawn on (3,1)", kKingsOnly, {Click(3, 1, kRedPawn)}, "兵的位置错误"},
        {"a Red Pawn on (5,1)", kKingsOnly, {Click(5, 1, kRedPawn)}, ""},
        {"Black's King in check with Red to move",
         kKingsOnly,
         {Click(5, 4, kRedRook)},
         "王的位置错误"},
        {"in check and a Pawn misplaced",
         kKingsOnly,
         {Click(5, 4, kRedRook), Click(3, 1, kRedPawn)},
         "王兵的位置错误"},
        {"a piece put down and taken up again",
         kKingsOnly,
         {Click(3, 1, kRedPawn), Click(3, 1)},
         ""},
        {"the Red King taken off", kKingsOnly, {Click(0, 3)}, "帅的数目不正确"},
        {"a miss beside the board, nothing else", kStartFen.data(), {}, ""},
        // Handing the move to the checking side leaves the King to be taken.
        {"the move given to the side giving check",
         kRedInCheck,
         {{Act::BlackTurn}},
         "王的位置错误"},
        {"the move kept by the side in check", kRedInCheck, {{Act::RedTurn}}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        testing::SetUpFen(row.fen);
        errorsShown.clear();
        RunCommand(kCommandEdit);
        ASSERT_EQ(editMode, 1);
        EditSquare(-1, 0);  // a click beside the board only marks it modified
        for (const Step& step : row.steps)
            Do(step);
        EditorDisplay display;
        RunCommand(kCommandEditDone);
        if (*row.error == '\0') {
            EXPECT_EQ(errorsShown, std::vector<std::string>{});
            EXPECT_EQ(editMode, 0);
            EXPECT_EQ(display.Named("SetMenu"),
                      (std::vector<testing::DisplayCall>{{"SetMenu", "", int(MenuKind::Normal)}}));
            EXPECT_EQ(recordTop, -1);
            EXPECT_EQ(GameRecord[-1].captured, 0) << "an edited position is no opening";
            EXPECT_TRUE(PositionIsConsistent());
            EXPECT_EQ(SetUpCountError(), "");
            EXPECT_EQ(SetUpPlacementError(), "");
        } else {
            EXPECT_EQ(errorsShown, std::vector<std::string>{row.error});
            EXPECT_EQ(editMode, 1) << "the editor stays open for corrections";
            EXPECT_EQ(display.Count("SetMenu"), 0);
            LeaveEditMode();
        }
    }
}

TEST_F(EditorTest, DoneRightAfterOpeningLeavesWithoutAnyCheck) {
    testing::SetUpFen(kKingsOnly);
    PutPiece(King, Red, MakeSquare(1, 4));  // two Red Kings: the check would refuse this
    PutPiece(Pawn, Black, MakeSquare(9, 0));
    BuildPieceLists();
    const std::vector<int> before = Pieces();
    EditorDisplay display;
    RunCommand(kCommandEdit);
    RunCommand(kCommandEditRedTurn);  // Red moves already: nothing changes
    RunCommand(kCommandEditDone);
    EXPECT_EQ(errorsShown, std::vector<std::string>{});
    EXPECT_EQ(editMode, 0);
    EXPECT_EQ(Pieces(), before);
    EXPECT_EQ(editBackup, nullptr);
}

TEST_F(EditorTest, OpeningAndLeavingTellTheWindowInOrder) {
    testing::SetUpFen(kStartFen);
    for (Side user : {Red, Black}) {
        userSide = user;
        computerSide = Opponent(user);
        EditorDisplay display;
        RunCommand(kCommandEdit);
        RunCommand(kCommandEdit);  // already open: nothing more
        EXPECT_EQ(editModified, 0);
        ASSERT_NE(editBackup, nullptr);
        EXPECT_EQ(std::memcmp(editBackup, board, sizeof(Board)), 0);
        const std::vector<testing::DisplayCall> opening = {
            {"RedrawAll"},  // without the easy level's threat frames
            {"SetMenu", "", int(MenuKind::Edit)},
            {"CheckMenuItem", "BlackTurn", user == Black},
            {"CheckMenuItem", "RedTurn", user == Red},
            {"BringPanelToFront", "", int(PanelKind::Palette)},
        };
        EXPECT_EQ(display.calls, opening);
        display.Clear();
        RunCommand(kCommandEditDone);
        const std::vector<testing::DisplayCall> leaving = {
            {"BringPanelToFront", "", int(PanelKind::Info)},
            {"SetMenu", "", int(MenuKind::Normal)},
            {"RedrawChangedSquares"},
            {"ShowTurn", "", Red},
        };
        EXPECT_EQ(display.calls, leaving);
        EXPECT_EQ(editMode, 0);
        EXPECT_EQ(editBackup, nullptr);
    }
}

TEST_F(EditorTest, WithoutMemoryForTheBackupTheEditorDoesNotOpen) {
    testing::SetUpFen(kStartFen);
    editBackupAllocator = [](std::size_t) -> void* { return nullptr; };
    EditorDisplay display;
    RunCommand(kCommandEdit);
    EXPECT_EQ(errorsShown, std::vector<std::string>{"没有足够的内存"});
    EXPECT_EQ(editMode, 0);
    EXPECT_EQ(display.Count("SetMenu"), 0);
    EXPECT_EQ(display.Count("BringPanelToFront"), 0);
    // The editor's items do nothing while it is closed.
    const std::vector<int> before = Pieces();
    RunCommand(kCommandEditClear);
    RunCommand(kCommandEditBlackTurn);
    EditSquare(0, 0);
    RunCommand(kCommandEditCancel);
    EXPECT_EQ(Pieces(), before);
    EXPECT_EQ(sideToMove, Red);
    EXPECT_EQ(userSide, Red);
}

TEST_F(EditorTest, AClickRemovesAPieceOrPutsThePalettePieceAndChangesNothingElse) {
    testing::SetUpFen(kStartFen);
    RunCommand(kCommandEdit);
    const BoardCell rook = board[0];
    EditSquare(0, 5);  // the Red Rook goes, whatever the palette holds
    EXPECT_EQ(board[0].kind, Empty);
    EXPECT_EQ(board[0].listIndex, rook.listIndex);
    EXPECT_EQ(editModified, 1);
    const Square centre = MakeSquare(4, 4);
    for (int index = 0; index < kPaletteSize; ++index) {
        SCOPED_TRACE(index);
        EditSquare(centre, index);
        EXPECT_EQ(board[centre].kind, index % 7 + 1);
        EXPECT_EQ(board[centre].side, index < 7 ? Red : Black);
        EditSquare(centre, index);
        EXPECT_EQ(board[centre].kind, Empty);
    }
    // A square outside the 90 points changes nothing.
    const std::vector<int> before = Pieces();
    EditSquare(9, 0);
    EditSquare(kBoardCells, 0);
    EXPECT_EQ(Pieces(), before);
}

TEST_F(EditorTest, TurnItemsSetTheSidesAndTheCheckMarks) {
    testing::SetUpFen(kStartFen);
    RunCommand(kCommandEdit);
    EditorDisplay display;
    RunCommand(kCommandEditRedTurn);  // Red already moves: only the user's side
    EXPECT_EQ(display.Named("CheckMenuItem"),
              (std::vector<testing::DisplayCall>{{"CheckMenuItem", "RedTurn", 1},
                                                 {"CheckMenuItem", "BlackTurn", 0}}));
    EXPECT_EQ(editModified, 0);
    EXPECT_EQ(sideToMove, Red);

    display.Clear();
    RunCommand(kCommandEditBlackTurn);
    EXPECT_EQ(display.Named("CheckMenuItem"),
              (std::vector<testing::DisplayCall>{{"CheckMenuItem", "RedTurn", 0},
                                                 {"CheckMenuItem", "BlackTurn", 1}}));
    EXPECT_EQ(userSide, Black);
    EXPECT_EQ(computerSide, Red);
    EXPECT_EQ(sideToMove, Black);
    EXPECT_EQ(otherSide, Red);
    EXPECT_EQ(clockSide, Black);
    EXPECT_EQ(editModified, 1) << "the position changed: the record no longer leads to it";

    RunCommand(kCommandEditRedTurn);
    EXPECT_EQ(userSide, Red);
    EXPECT_EQ(computerSide, Black);
    EXPECT_EQ(sideToMove, Red);
    EXPECT_EQ(otherSide, Black);
    EXPECT_EQ(clockSide, Red);
}

TEST_F(EditorTest, CancelRestoresTheBoardExactlyButKeepsTheSideChosen) {
    testing::SetUpFen(kStartFen);
    testing::PlayGameMoves({"h2e2", "h9g7"});
    const std::vector<int> before = Pieces();
    RunCommand(kCommandEdit);
    RunCommand(kCommandEditBlackTurn);
    EditSquare(MakeSquare(0, 4), 0);  // the Red King taken off
    EditSquare(MakeSquare(4, 4), 8);  // a Black Rook put down
    RunCommand(kCommandEditClear);
    EditSquare(MakeSquare(5, 5), 13);
    RunCommand(kCommandEditCancel);
    EXPECT_EQ(editMode, 0);
    EXPECT_EQ(Pieces(), before);
    EXPECT_EQ(sideToMove, Black);
    EXPECT_EQ(otherSide, Red);
    EXPECT_EQ(clockSide, Black);
    EXPECT_EQ(userSide, Black);
    EXPECT_EQ(computerSide, Red);
    EXPECT_EQ(recordTop, -1);
    EXPECT_TRUE(PositionIsConsistent());
}

// Keeping the side chosen would let it take the King in check: the cancel gives the move back.
TEST_F(EditorTest, CancelGivesTheMoveBackWhenTheSideChosenCouldTakeTheKing) {
    testing::SetUpFen(kRedInCheck);
    RunCommand(kCommandEdit);
    RunCommand(kCommandEditBlackTurn);
    RunCommand(kCommandEditCancel);
    EXPECT_EQ(sideToMove, Red);
    EXPECT_EQ(otherSide, Black);
    EXPECT_EQ(clockSide, Red);
    EXPECT_EQ(userSide, Red);
    EXPECT_EQ(computerSide, Black);
}

// "完成" starts a game of its own: nothing of the old game's ending, moves, clocks or panel.
TEST_F(EditorTest, AcceptedPositionStartsANewGameWithoutTheOldEnding) {
    testing::FakeTime time;
    testing::SetUpFen(kStartFen);
    testing::PlayGameMoves({"h2e2", "h9g7", "h0g2"});
    StartClock(Black);
    time.Advance(9);
    gameOver = 1;
    RunCommand(kCommandEdit);
    EditSquare(MakeSquare(0, 0), 0);  // Red's Rook taken off
    EditorDisplay display;
    RunCommand(kCommandEditDone);
    EXPECT_EQ(editMode, 0);
    EXPECT_EQ(gameOver, 0);
    EXPECT_EQ(libraryLimit, 0);
    EXPECT_EQ(clockSide, sideToMove);
    EXPECT_EQ(plyCount, 0) << "the move list numbers from 1 again";
    EXPECT_EQ(clockRunning, 0);
    EXPECT_EQ(sideClock[Red].elapsed + sideClock[Black].elapsed, 0);
    EXPECT_EQ(display.Count("StopClockDisplay"), 1);
    EXPECT_EQ(display.Count("ResetPanel"), 1);
    ASSERT_FALSE(display.Named("ShowTurn").empty());
    EXPECT_EQ(display.Named("ShowTurn").back().value, Black);
    const std::vector<testing::DisplayCall> timer = {{"ShowPanelValue", "Timer="}};
    EXPECT_EQ(display.Named("ShowPanelValue"), timer);
    EXPECT_EQ(display.Count("ShowEndOfGame"), 0);
}

// A board that is already mate or stalemate ends the game as soon as "完成" accepts it.
TEST_F(EditorTest, AnAcceptedPositionThatIsOverEndsTheGameAtOnce) {
    struct Row {
        const char* fen;
        std::string_view result;
    };
    const Row rows[] = {
        {"1R1k5/R8/9/9/9/9/9/9/9/4K4 b", kMateText},
        {"4k4/3P1P3/9/9/9/9/9/9/9/3K5 b", kStalemateText},
        {kKingsOnly, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fen);
        testing::SetUpFen(row.fen);
        RunCommand(kCommandEdit);
        EditSquare(-1, 0);
        EditorDisplay display;
        RunCommand(kCommandEditDone);
        EXPECT_EQ(editMode, 0);
        EXPECT_EQ(gameOver, row.result.empty() ? 0 : 1);
        EXPECT_EQ(display.MessageLine(), row.result);
        const auto shown = display.Named("ShowEndOfGame");
        EXPECT_EQ(shown.size(), row.result.empty() ? 0u : 1u);
        if (!shown.empty()) {
            EXPECT_EQ(shown[0].text, row.result);
        }
    }
}

// "忽略" gives the game back as it was, even after a "完成" whose refusal had already started the
// record afresh: the moves to take back and to replay, the ply count, the library's switch, the
// engine's prediction and the running clock.
TEST_F(EditorTest, CancelPutsBackTheWholeGame) {
    testing::FakeTime time;
    testing::SetUpFen(kStartFen);
    libraryLimit = 1;
    // Red's Gunner takes a Pawn, then the last full move is taken back to be replayed.
    testing::PlayGameMoves({"h2e2", "h9g7", "e2e6", "b9c7", "h0g2", "i9h9"});
    ASSERT_TRUE(TakeBackFullMove());
    predictedLine[0] = testing::Generated("h0g2");
    predictedScore = 77;
    sideClock[Black].elapsed = 30;
    StartClock(Red);
    time.Advance(4);
    struct Game {
        std::vector<uint8_t> bytes;
        int16_t top = 0;
        int32_t plies = 0;
        int16_t replayable = 0;
        uint8_t library = 0;
        int32_t score = 0;
        uint8_t running = 0;
        static void Add(std::vector<uint8_t>& bytes, const void* data, size_t size) {
            const auto* first = static_cast<const uint8_t*>(data);
            bytes.insert(bytes.end(), first, first + size);
        }
        static Game Take() {
            Game game{{},           recordTop,      plyCount,    replayableFullMoves,
                      libraryLimit, predictedScore, clockRunning};
            Add(game.bytes, board, sizeof board);
            Add(game.bytes, pieceList, sizeof pieceList);
            Add(game.bytes, gameRecordStorage, sizeof gameRecordStorage);
            Add(game.bytes, predictedLine, sizeof predictedLine);
            Add(game.bytes, sideClock, sizeof sideClock);
            Add(game.bytes, &sideToMove, sizeof sideToMove);
            Add(game.bytes, &clockSide, sizeof clockSide);
            Add(game.bytes, &runningClock, sizeof runningClock);
            return game;
        }
        bool operator==(const Game&) const = default;
    };
    const Game before = Game::Take();
    ASSERT_EQ(before.plies, 4);
    ASSERT_EQ(before.replayable, 1);

    RunCommand(kCommandEdit);
    EditSquare(MakeSquare(3, 1), kRedPawn);
    RunCommand(kCommandEditDone);  // refused: "兵的位置错误"
    ASSERT_EQ(editMode, 1);
    RunCommand(kCommandEditClear);
    EditSquare(MakeSquare(4, 4), kBlackKnight);
    RunCommand(kCommandEditBlackTurn);
    RunCommand(kCommandEditRedTurn);  // Red moves again, as before
    EditorDisplay display;
    RunCommand(kCommandEditCancel);

    EXPECT_EQ(editMode, 0);
    EXPECT_TRUE(Game::Take() == before);
    EXPECT_EQ(display.Count("StartClockDisplay"), 1) << "the clock is shown running on";
    EXPECT_TRUE(PositionIsConsistent());
    ASSERT_TRUE(CanReplayFullMove());
    ReplayFullMove();
    EXPECT_EQ(plyCount, 6);
    while (CanTakeBackFullMove())
        TakeBackFullMove();
    EXPECT_EQ(plyCount, 0);
    EXPECT_TRUE(PositionIsConsistent());
    EXPECT_EQ(WriteFen().substr(0, kStartFen.find(' ')), kStartFen.substr(0, kStartFen.find(' ')));
}

// Random edits ended by "完成" or "忽略": whatever the editor lets through is a position the rules
// can play on.
TEST_F(EditorTest, RandomEditsLeaveAPlayablePosition) {
    std::mt19937 random(12);
    int accepted = 0;
    for (int round = 0; round < 400; ++round) {
        testing::SetUpFen(round % 2 ? kStartFen : std::string_view(kKingsOnly));
        RunCommand(kCommandEdit);
        const int clicks = static_cast<int>(random() % 6);
        for (int i = 0; i < clicks; ++i) {
            EditSquare(MakeSquare(static_cast<int>(random() % 10), static_cast<int>(random() % 9)),
                       static_cast<int>(random() % kPaletteSize));
        }
        if (random() % 4 == 0)
            RunCommand(random() % 2 ? kCommandEditRedTurn : kCommandEditBlackTurn);
        errorsShown.clear();
        RunCommand(random() % 5 == 0 ? kCommandEditCancel : kCommandEditDone);
        if (editMode) {
            ASSERT_EQ(errorsShown.size(), 1u);
            RunCommand(kCommandEditCancel);
        } else {
            ++accepted;
        }
        ASSERT_EQ(editMode, 0);
        ASSERT_TRUE(PositionIsConsistent()) << "round " << round;
        ASSERT_EQ(SetUpCountError(), "") << "round " << round;
        ASSERT_EQ(SetUpPlacementError(), "") << "round " << round;
        // The side to move can play on: its moves come and go without harm.
        for (const MoveRecord& move : LegalMoves()) {
            PlayMove(move);
            TakeBackMove(move);
        }
        ASSERT_TRUE(PositionIsConsistent()) << "round " << round;
    }
    EXPECT_GT(accepted, 100);
}

}  // namespace
}  // namespace xq
