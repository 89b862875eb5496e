// Mouse move entry and the dragged piece on the real main window (offscreen): clicks and pointer
// moves are posted at the cells' pixels and the queue is dispatched, as the window's event loop
// does. The whole canvas is compared wherever a piece must come back exactly as it was.
#include "ui/mouseentry.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/book.h"
#include "engine/commands.h"
#include "engine/flow.h"
#include "engine/search.h"
#include "engine/think.h"
#include "platform/messages.h"
#include "records/settings.h"
#include "rules/board.h"
#include "rules/game.h"
#include "rules/gamemoves.h"
#include "rules/record.h"
#include "support/position_fixture.h"
#include "support/window_fixture.h"
#include "ui/boardgeometry.h"
#include "ui/canvaswidget.h"
#include "ui/dialogs/aboutdlg.h"
#include "ui/dialogs/levelinputdlgs.h"
#include "ui/forms/editform.h"
#include "ui/forms/infoform.h"
#include "ui/forms/mainform.h"
#include "ui/movelist.h"
#include "ui/sprite.h"
#include "ui/windowdisplay.h"

namespace xq {
namespace {

constexpr Square kOffBoard = -1;

// The window's own display, which also keeps the warnings it was asked to show.
class WarningWatch : public WindowDisplay {
  public:
    WarningWatch(TMainForm& form, QTimer& clock) : WindowDisplay(form, clock) { SetDisplay(this); }
    ~WarningWatch() override { SetDisplay(nullptr); }
    void ShowWarning(std::string_view text) override {
        warnings.emplace_back(text);
        WindowDisplay::ShowWarning(text);
    }
    std::vector<std::string> warnings;
};

// The clock of the animation steps, moved on by the waits alone: what the steps wait for is
// exact, and a test waits for nothing.
class FakeFrameClock {
  public:
    FakeFrameClock() {
        waited = 0;  // the clock itself only goes forward
        CanvasWidget::SetFrameClock({[] { return now; },
                                     [](int64_t milliseconds) {
                                         now += milliseconds;
                                         waited += milliseconds;
                                     }});
    }
    ~FakeFrameClock() { CanvasWidget::SetFrameClock({}); }
    FakeFrameClock(const FakeFrameClock&) = delete;
    FakeFrameClock& operator=(const FakeFrameClock&) = delete;

    static inline int64_t now = 0;
    static inline int64_t waited = 0;
};

class MouseEntryTest : public testing::WindowTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WindowTest::SetUp());
        form.show();
        UseOpeningLibrary({});  // the engine searches from the first move on
        ClearMessages();
    }
    void TearDown() override {
        form.Board()->afterPaint = nullptr;
        ClearMessages();
        iterationHook = nullptr;
        WindowTest::TearDown();
    }

    // The centre of the cell of `square`, or a point left of the board for kOffBoard.
    QPoint CellCentre(Square square) {
        if (square == kOffBoard) return {2, 300};
        return form.Renderer().SquareOrigin(square) + QPoint(18, 18);
    }
    static void Post(MessageKind kind, QPoint at, int32_t command = 0) {
        Message message;
        message.kind = kind;
        message.command = command;
        message.x = at.x();
        message.y = at.y();
        PostMessage(message);
    }
    void ClickAt(QPoint at) {
        Post(MessageKind::LeftButtonDown, at);
        DispatchPendingMessages();
    }
    void Click(Square square) { ClickAt(CellCentre(square)); }
    void PointTo(QPoint at) {
        Post(MessageKind::PointerMove, at);
        DispatchPendingMessages();
    }
    void Choose(int32_t command) {
        Post(MessageKind::Command, {}, command);
        DispatchPendingMessages();
    }
    // The position of `fen` on the board and on the screen.
    void ShowPosition(std::string_view fen) {
        testing::SetUpFen(fen);
        form.Renderer().SyncShownBoard();
        form.Renderer().RedrawAll();
    }
    // True when the screen shows exactly what a fresh drawing of the shown board would: nothing
    // left over from a sprite or an inverse piece.
    bool CanvasIsClean() {
        const QImage shown = form.Canvas().Image().copy();
        form.Renderer().RedrawAll();
        return shown == form.Canvas().Image();
    }
    // A fixed-depth level, its threat frames gone as after the level's command.
    void SetFixedDepth(uint8_t depth) {
        levelKind = kLevelFixedDepth;
        maxDepth = depth;
        form.Renderer().ClearThreatMarks();
    }
    // The board has the window's clicks and moves, the pointer hidden over it; nothing is taken
    // from the rest of the desktop.
    bool PointerTaken() {
        return QWidget::mouseGrabber() == nullptr &&
               form.Board()->cursor().shape() == Qt::BlankCursor;
    }
    // Where the sprite's top-left goes for the pointer at `at`: under the pointer, or at the
    // board's edge nearest to a pointer away from it.
    QPoint SpriteFor(QPoint at) {
        const gdi::Rect frame = form.Renderer().BoardFrame();
        return QPoint(std::clamp(at.x(), frame.left, frame.right - 1),
                      std::clamp(at.y(), frame.top, frame.bottom - 1)) -
               QPoint(18, 18);
    }

    TMainForm form;
    QTimer clock;
    WarningWatch watch{form, clock};
};

// Rows: reversed or not, the point, the side and ownOnly, and the square expected (-1: none).
TEST_F(MouseEntryTest, SquareAtFindsTheCellUnderThePointReversedToo) {
    const int lh = form.Renderer().LabelHeight();
    const QPoint bottomLeft(lh + 3, lh + 360);  // the top-left pixel of the bottom-left cell
    const struct Row {
        const char* name;
        uint8_t reversed;
        QPoint point;
        Side side;
        bool ownOnly;
        Square expected;
    } rows[] = {
        {"bottom-left cell: Red's left Rook", 0, bottomLeft, Red, true, 0},
        {"its last pixel", 0, bottomLeft + QPoint(35, 35), Red, true, 0},
        {"one pixel right: the next file", 0, bottomLeft + QPoint(36, 10), Red, true, 1},
        {"one pixel up: the next rank, empty", 0, bottomLeft + QPoint(10, -1), Red, false, 16},
        {"an empty cell does not count as own", 0, bottomLeft + QPoint(10, -1), Red, true, -1},
        {"the opponent's piece does not count as own", 0, bottomLeft, Black, true, -1},
        {"the opponent's piece as a target", 0, bottomLeft, Black, false, 0},
        {"left of the board", 0, bottomLeft + QPoint(-1, 10), Red, false, -1},
        {"below the board", 0, bottomLeft + QPoint(10, 36), Red, false, -1},
        {"right of the board", 0, bottomLeft + QPoint(9 * 36, 10), Red, false, -1},
        {"above the board", 0, QPoint(lh + 20, lh + 35), Red, false, -1},
        {"top-right cell: Black's right Rook", 0, QPoint(lh + 3 + 8 * 36, lh + 36), Black, true,
         152},
        {"reversed, bottom-left: Black's Rook on 152", 1, bottomLeft, Black, true, 152},
        {"reversed, not Red's", 1, bottomLeft, Red, true, -1},
        {"reversed, one pixel right", 1, bottomLeft + QPoint(36, 0), Black, true, 151},
        {"reversed, top-right: square 0", 1, QPoint(lh + 3 + 8 * 36 + 35, lh + 36), Red, true, 0},
    };
    for (const Row& row : rows) {
        boardReversed = row.reversed;
        EXPECT_EQ(form.Mouse().SquareAt(row.point.x(), row.point.y(), row.side, row.ownOnly),
                  row.expected)
            << row.name;
    }
}

// A first click lifts only one of the user's pieces, and only with the left button; the right
// button neither lifts nor drops a piece.
TEST_F(MouseEntryTest, OnlyALeftClickOnAnOwnPieceLiftsIt) {
    const QImage before = form.Canvas().Image().copy();
    for (Square square : {kOffBoard, Square{16}, Square{144}}) {  // off, empty, Black's Rook
        Click(square);
        EXPECT_EQ(form.Mouse().pieceLifted, 0) << square;
    }
    QTest::mouseClick(form.Board(), Qt::RightButton, {}, CellCentre(0));
    DispatchPendingMessages();
    form.Mouse().FormMouseDown(Qt::RightButton, Qt::NoModifier, CellCentre(0).x(),
                               CellCentre(0).y());
    EXPECT_EQ(form.Mouse().pieceLifted, 0);
    EXPECT_EQ(form.Canvas().Image(), before);

    // A real left click through the widget lifts the Rook; a right click does not drop it.
    QTest::mouseClick(form.Board(), Qt::LeftButton, {}, CellCentre(0));
    DispatchPendingMessages();
    ASSERT_EQ(form.Mouse().pieceLifted, 1);
    EXPECT_EQ(form.Mouse().fromSquare, 0);
    EXPECT_TRUE(form.Sprite().Dragging());
    form.Mouse().FormMouseDown(Qt::RightButton, Qt::NoModifier, CellCentre(16).x(),
                               CellCentre(16).y());
    EXPECT_EQ(form.Mouse().pieceLifted, 1);
    EXPECT_TRUE(form.Sprite().Dragging());
    EXPECT_EQ(plyCount, 0);
}

// The sprite covers, moves over (with and without overlap, and held at the board's edge while
// the pointer is away from it) and glides back; the board is then exactly as before, pixel for
// pixel, and the pointer is back.
TEST_F(MouseEntryTest, ADraggedPieceThatGlidesBackLeavesTheCanvasAsItWas) {
    const QImage before = form.Canvas().Image().copy();
    const QPoint start = CellCentre(33);  // Red's left Gunner
    Click(33);
    ASSERT_TRUE(form.Sprite().Dragging());
    EXPECT_TRUE(PointerTaken());
    EXPECT_EQ(form.Sprite().Position(), start - QPoint(18, 18));
    EXPECT_EQ(form.Canvas().Image(), before) << "the sprite covers the piece's own place";
    for (QPoint step : {QPoint(3, 1), QPoint(20, 30), QPoint(200, 10), QPoint(-5, -40),
                        QPoint(-200, -150), QPoint(400, 300), QPoint(1, 1)}) {
        PointTo(start + step);
        EXPECT_EQ(form.Sprite().Position(), SpriteFor(start + step));
        EXPECT_NE(form.Canvas().Image(), before);
    }
    PointTo({5, 3});  // off the board's top-left corner
    EXPECT_EQ(form.Sprite().Position(), SpriteFor({5, 3}));
    EXPECT_NE(form.Board()->cursor().shape(), Qt::BlankCursor);
    PointTo({400, 200});  // over the panel's half
    ClickAt({5, 3});      // misses the board: the piece glides back
    EXPECT_FALSE(form.Sprite().Dragging());
    EXPECT_EQ(form.Mouse().pieceLifted, 0);
    EXPECT_EQ(form.Mouse().toSquare, -1);
    EXPECT_EQ(watch.warnings, std::vector<std::string>{kMissedBoardText});
    EXPECT_EQ(form.Canvas().Image(), before);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_NE(form.Board()->cursor().shape(), Qt::BlankCursor);
}

// A glide from two pixels away passes two points; every third point moves the sprite and the
// count carries over, so successive short glides move it 0, 1, 1, 0 times.
TEST_F(MouseEntryTest, TheGlideFromTwoPixelsAwayMovesTheSpriteAtMostOnce) {
    int changes = 0;
    form.Canvas().SetChangeListener([&](const QRect& changed) {
        ++changes;
        form.Board()->update(changed);
    });
    const QImage before = form.Canvas().Image().copy();
    const QPoint twoAway = CellCentre(33) + QPoint(2, 0);
    std::vector<int> moves;
    for (int glide = 0; glide < 4; ++glide) {
        form.Sprite().BeginDrag(33, twoAway);
        changes = 0;
        form.Sprite().EndDrag(true);
        moves.push_back(changes - 1);  // less the blit that restores the board
        form.Renderer().ShowNormal(33);
    }
    EXPECT_EQ(moves, (std::vector<int>{0, 1, 1, 0}));
    EXPECT_EQ(form.Canvas().Image(), before);
    form.Canvas().SetChangeListener(
        [this](const QRect& changed) { form.Board()->update(changed); });
}

// Each jump of the glide back reaches the screen as it is drawn, nearer the square every time,
// and the whole glide takes a tenth of a second or so however far the piece went.
TEST_F(MouseEntryTest, EachJumpOfTheGlideIsPaintedAndTheGlideTakesATenthOfASecond) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();
    const QPoint origin = form.Renderer().SquareOrigin(33);
    for (QPoint away : {QPoint(250, -220), QPoint(40, 0)}) {
        SCOPED_TRACE(std::to_string(away.x()) + " pixels across");
        FakeFrameClock frames;
        Click(33);
        PointTo(CellCentre(33) + away);
        ASSERT_TRUE(form.Sprite().Dragging());
        std::vector<QPoint> shown;  // where the sprite was at each paint
        form.Board()->afterPaint = [&] {
            if (form.Sprite().Dragging()) shown.push_back(form.Sprite().Position());
        };
        ClickAt({5, 300});  // off the board: the piece glides back
        form.Board()->afterPaint = nullptr;
        form.Board()->ShowStep(
            0);  // a next step waits until the glide's last jump has had its time
        ASSERT_GE(shown.size(), static_cast<size_t>(away.x() / 3 - 1));
        for (size_t k = 1; k < shown.size(); ++k) {
            const QPoint before = shown[k - 1] - origin, now = shown[k] - origin;
            EXPECT_LT(now.manhattanLength(), before.manhattanLength()) << "jump " << k;
        }
        EXPECT_GE(frames.waited, 100);
        EXPECT_LE(frames.waited, 150);
        EXPECT_TRUE(CanvasIsClean());
    }
}

// The engine's move is flashed: the screen shows it, then the position before it, then the move
// again, each step for long enough to be seen.
TEST_F(MouseEntryTest, TheEnginesMoveIsFlashedOnTheScreen) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();
    FakeFrameClock frames;
    SetFixedDepth(2);
    using Shown = std::vector<uint8_t>;  // kind and side of every square, as painted
    const auto shownNow = [this] {
        Shown cells;
        for (const ShownCell& cell : form.Renderer().shownBoard) {
            cells.push_back(cell.kind);
            cells.push_back(cell.side);
        }
        return cells;
    };
    std::vector<Shown> painted;
    form.Board()->afterPaint = [&] {
        if (painted.empty() || painted.back() != shownNow()) painted.push_back(shownNow());
    };
    Click(39);
    Click(36);
    ASSERT_EQ(plyCount, 2);
    const Shown answered = shownNow();
    // The last four screens: the user's move alone, the answer, the user's move, the answer.
    ASSERT_GE(painted.size(), 4u);
    const size_t n = painted.size();
    EXPECT_EQ(painted[n - 1], answered);
    EXPECT_EQ(painted[n - 3], answered);
    EXPECT_EQ(painted[n - 2], painted[n - 4]);
    int squaresApart = 0;  // the engine's move changes two squares
    for (size_t k = 0; k < answered.size(); k += 2)
        squaresApart +=
            answered[k] != painted[n - 2][k] || answered[k + 1] != painted[n - 2][k + 1];
    EXPECT_EQ(squaresApart, 2);
    EXPECT_GE(frames.waited, 2 * 100) << "the flashed move and the board under it stood a while";
}

// "悔棋" and "重下" on the easy level: the moves taken back or replayed are one step on the
// screen; the threat frames drawn again after them move no piece and wait for nothing.
TEST_F(MouseEntryTest, TakingBackAndReplayingAreOneStepEach) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    FakeFrameClock frames;  // each step waits for the one before, shown just now
    levelKind = kLevelEasy;
    twoPlayerMode = 1;
    Click(39);
    Click(36);  // h2e2
    Click(119);
    Click(116);  // h7e7
    ASSERT_EQ(plyCount, 2);
    for (int32_t command : {kCommandTakeBack, kCommandReplay}) {
        SCOPED_TRACE(command);
        const int64_t waited = frames.waited;
        const int paints = form.Board()->Paints();
        RunMenuCommand(command);
        EXPECT_EQ(frames.waited - waited, kBoardStepMilliseconds);
        EXPECT_GT(form.Board()->Paints(), paints);
    }
    EXPECT_EQ(plyCount, 2);
}

// "提示": every move of the hint's line reaches the screen with the line so far in the message
// field, and then the position the hint started from.
TEST_F(MouseEntryTest, EachMoveOfTheHintReachesTheScreen) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();
    FakeFrameClock frames;
    SetFixedDepth(3);
    Click(39);
    Click(36);                      // the engine answers and predicts the user's line
    std::vector<QString> messages;  // the message field at each paint of a new board
    int boards = 0;
    uint64_t last = 0;
    form.Board()->afterPaint = [&] {
        uint64_t hash = 0;
        for (const ShownCell& cell : form.Renderer().shownBoard)
            hash = hash * 31 + cell.kind * 2 + cell.side;
        if (hash == last) return;
        last = hash;
        ++boards;
        messages.push_back(form.InfoForm()->FieldText("Message"));
    };
    RunMenuCommand(kCommandHint);
    form.Board()->afterPaint = nullptr;
    int length = 0;  // the moves the hint showed
    while (length < kLineLength && predictedLine[length].piece != Empty)
        ++length;
    ASSERT_GE(length, 1);
    EXPECT_EQ(boards, length + 1) << "each move of the line, then the start again";
    for (size_t k = 1; k < messages.size() && k < static_cast<size_t>(length); ++k)
        EXPECT_TRUE(messages[k].startsWith(messages[k - 1])) << messages[k].toStdString();
    EXPECT_GE(frames.waited, length * 100);
    EXPECT_TRUE(CanvasIsClean());
}

// While a piece is lifted the rest of the desktop keeps its mouse: nothing is grabbed. Inside
// the window the panel's and the move list's clicks and moves are the board's: the sprite stays
// at the board's edge, never under the panel or the list, and the pointer shows off the board.
TEST_F(MouseEntryTest, ALiftedPieceTakesTheWindowsMouseOnlyAndStaysOnTheBoard) {
    Click(33);
    ASSERT_TRUE(form.Sprite().Dragging());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(PointerTaken());

    QWidget* panel = form.InfoForm();
    const QPoint overPanel(100, 300);
    QMouseEvent move(QEvent::MouseMove, overPanel, panel->mapToGlobal(overPanel), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &move);
    DispatchPendingMessages();
    const QRect sprite(form.Sprite().Position(), QSize(31, 35));
    EXPECT_EQ(form.Sprite().Position(), SpriteFor(panel->mapTo(form.Board(), overPanel)));
    EXPECT_TRUE(form.Board()->rect().contains(sprite));
    EXPECT_FALSE(sprite.intersects(panel->geometry())) << "under the panel";
    EXPECT_FALSE(sprite.intersects(form.MoveList()->geometry())) << "under the move list";
    EXPECT_NE(panel->cursor().shape(), Qt::BlankCursor) << "the pointer hidden off the board";

    PointTo(CellCentre(36));
    EXPECT_EQ(form.Board()->cursor().shape(), Qt::BlankCursor);

    // A click on the move list misses the board: the piece goes back.
    QTest::mouseClick(form.MoveList()->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    DispatchPendingMessages();
    EXPECT_EQ(form.Mouse().pieceLifted, 0);
    EXPECT_FALSE(form.Sprite().Dragging());
    EXPECT_EQ(watch.warnings, std::vector<std::string>{kMissedBoardText});
    EXPECT_NE(form.Board()->cursor().shape(), Qt::BlankCursor);
    EXPECT_TRUE(CanvasIsClean());

    // With nothing lifted, the move list has its clicks again.
    watch.warnings.clear();
    QTest::mouseClick(form.MoveList()->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    DispatchPendingMessages();
    EXPECT_TRUE(watch.warnings.empty());
}

// A second click that the rules refuse shows their warning, one that misses the board shows its
// own; either way the piece is back on its square and the screen is as before, in both modes.
TEST_F(MouseEntryTest, ARefusedMoveShowsItsWarningAndPutsThePieceBack) {
    const char* opening = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w";
    const struct Row {
        const char* name;
        const char* fen;
        Square from;
        Square to;
        std::string_view warning;
    } rows[] = {
        {"a Rook does not jump", opening, 0, 18, kImpossibleMoveText},
        {"the square of the first click", opening, 33, 33, kImpossibleMoveText},
        {"another own piece", opening, 33, 39, kImpossibleMoveText},
        {"off the board", opening, 33, kOffBoard, kMissedBoardText},
        {"the Kings would face each other", "4k4/9/9/9/9/9/9/9/4R4/4K4 w", 20, 16,
         kKingLeftInCheckText},
    };
    for (uint8_t drag : {1, 0}) {
        Choose(drag ? kCommandDrag : kCommandSelect);
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (drag ? ", drag" : ", selection"));
            ShowPosition(row.fen);
            const QImage before = form.Canvas().Image().copy();
            watch.warnings.clear();
            Click(row.from);
            ASSERT_EQ(form.Mouse().pieceLifted, 1);
            EXPECT_EQ(form.Sprite().Dragging(), drag == 1);
            PointTo(CellCentre(row.to) + QPoint(7, -9));
            Click(row.to);
            EXPECT_EQ(form.Mouse().pieceLifted, 0);
            EXPECT_FALSE(form.Sprite().Dragging());
            EXPECT_EQ(watch.warnings, std::vector<std::string>{std::string(row.warning)});
            EXPECT_EQ(plyCount, 0);
            EXPECT_EQ(form.Canvas().Image(), before);
        }
    }
}

// Switching the mode while a piece is lifted keeps it lifted and changes its look: to "选择" the
// sprite leaves, the square stays empty under the inverse piece; back to "拖动" the piece leaves
// its square again and follows the pointer.
TEST_F(MouseEntryTest, SwitchingBetweenDragAndSelectionWhileAPieceIsLifted) {
    twoPlayerMode = 1;  // the engine stays out of it
    const QImage before = form.Canvas().Image().copy();
    Click(33);
    PointTo(CellCentre(33) + QPoint(60, -50));
    ASSERT_TRUE(form.Sprite().Dragging());

    Choose(kCommandSelect);
    EXPECT_FALSE(form.Sprite().Dragging());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(form.Mouse().pieceLifted, 1);
    EXPECT_EQ(form.Mouse().dragMode, 0);
    EXPECT_FALSE(form.Menus().Item("MouseDrag")->isChecked());
    EXPECT_TRUE(form.Menus().Item("MouseSelect")->isChecked());
    const QImage selected = form.Canvas().Image().copy();
    form.Renderer().DrawEmptySquare(33);
    form.Renderer().ShowSelected(33);
    EXPECT_EQ(selected, form.Canvas().Image())
        << "the inverse piece on the empty square, no sprite";
    EXPECT_NE(selected, before);
    Choose(kCommandSelect);  // again: nothing changes
    EXPECT_EQ(form.Canvas().Image(), selected);

    const QPoint pointer = CellCentre(33) + QPoint(150, -100);
    QCursor::setPos(form.Board()->mapToGlobal(pointer));
    Choose(kCommandDrag);
    EXPECT_TRUE(form.Sprite().Dragging());
    EXPECT_TRUE(PointerTaken());
    EXPECT_EQ(form.Sprite().Position(), SpriteFor(pointer));
    EXPECT_TRUE(form.Menus().Item("MouseDrag")->isChecked());
    EXPECT_FALSE(form.Menus().Item("MouseSelect")->isChecked());

    // The lifted Gunner still moves: b2 to e2.
    Click(36);
    EXPECT_EQ(plyCount, 1);
    EXPECT_EQ(form.Renderer().shownBoard[36].kind, Gunner);
    EXPECT_EQ(form.Renderer().shownBoard[33].kind, Empty);
    EXPECT_FALSE(form.Sprite().Dragging());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(CanvasIsClean());
}

// A menu item or key that changes the game or redraws the board puts a lifted piece back first:
// nothing stays lifted, no sprite's save-under is painted over the new board, and the next two
// clicks make an ordinary move. The items that leave the board alone keep the piece lifted.
TEST_F(MouseEntryTest, AMenuCommandPutsALiftedPieceBackUnlessItLeavesTheBoardAlone) {
    testing::DropChangesUnasked dropChanges;  // "新建" starts each row afresh
    const struct Row {
        const char* item;
        uint8_t dragMode;
        bool keepsPiece;
    } rows[] = {
        {"NewChessGame1", 1, false}, {"NewChessGame1", 0, false}, {"Reverse", 0, false},
        {"Reverse", 1, false},       {"Sound", 1, true},          {"CopyPosition", 0, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.item) + (row.dragMode ? " dragging" : " selected"));
        twoPlayerMode = 1;  // the engine stays out of it
        Choose(row.dragMode ? kCommandDrag : kCommandSelect);
        Choose(kCommandNewGame);
        Click(33);
        PointTo(CellCentre(33) + QPoint(60, -50));
        ASSERT_EQ(form.Mouse().pieceLifted, 1);

        form.Menus().Item(row.item)->trigger();
        DispatchPendingMessages();
        EXPECT_EQ(form.Mouse().pieceLifted, row.keepsPiece ? 1 : 0);
        EXPECT_EQ(form.Sprite().Dragging(), row.keepsPiece && row.dragMode);
        if (!row.keepsPiece) {
            EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
            EXPECT_TRUE(CanvasIsClean());
            Click(33);
        }
        Click(36);  // b2 to e2
        EXPECT_EQ(plyCount, 1);
        EXPECT_EQ(form.Renderer().shownBoard[36].kind, Gunner);
        EXPECT_FALSE(form.Sprite().Dragging());
        EXPECT_TRUE(CanvasIsClean());
        if (std::string(row.item) == "Reverse") Choose(kCommandReverseBoard);
        if (std::string(row.item) == "Sound") Choose(kCommandSound);
    }

    // Ctrl+N reaches "新建" while the mouse is captured for a drag.
    Choose(kCommandDrag);
    Click(119);
    Click(116);  // Black: h7e7
    Click(36);
    ASSERT_TRUE(form.Sprite().Dragging());
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(form.Board(), Qt::Key_N, Qt::ControlModifier);
    DispatchPendingMessages();
    EXPECT_EQ(plyCount, 0);
    EXPECT_EQ(form.Mouse().pieceLifted, 0);
    EXPECT_FALSE(form.Sprite().Dragging());
    EXPECT_TRUE(CanvasIsClean());
}

// Two people at the board: after each move the other side's pieces can be lifted, and the
// engine never moves.
TEST_F(MouseEntryTest, TwoPlayersTakeTurnsAtTheBoard) {
    twoPlayerMode = 1;
    Click(39);
    Click(36);  // Red: h2e2
    EXPECT_EQ(userSide, Black);
    Click(33);  // Red's other Gunner no longer lifts
    EXPECT_EQ(form.Mouse().pieceLifted, 0);
    Click(119);
    Click(116);  // Black: h7e7
    EXPECT_EQ(plyCount, 2);
    EXPECT_EQ(userSide, Red);
    EXPECT_EQ(computerThinking, 0);
    EXPECT_TRUE(form.Menus().Item("UndoMove")->isEnabled());
    EXPECT_TRUE(CanvasIsClean());
}

// The user's move is played, the engine answers at a fixed depth and ponders; afterwards the
// screen shows the position exactly, without a trace of the sprite.
TEST_F(MouseEntryTest, AnAcceptedMoveIsAnsweredByTheEngine) {
    SetFixedDepth(2);
    Click(39);
    PointTo(CellCentre(36) + QPoint(4, 4));
    Click(36);
    EXPECT_EQ(plyCount, 2);
    EXPECT_EQ(sideToMove, Red);
    EXPECT_EQ(computerThinking, 0);
    EXPECT_FALSE(form.Sprite().Dragging());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    for (Square square = 0; square < kBoardCells; ++square) {
        if (!IsBoardPoint(square)) continue;
        EXPECT_EQ(form.Renderer().shownBoard[square].kind, board[square].kind) << square;
    }
    EXPECT_TRUE(CanvasIsClean());
    EXPECT_TRUE(form.Menus().Item("UndoMove")->isEnabled());
}

// While the engine ponders, the user clicks the predicted reply on the board: the engine's answer
// comes from the running search, which goes on deepening instead of starting again.
struct PonderWatch {
    static inline int clickDepth = 0;
    static inline std::vector<int> answerDepths;  // iterations of the engine's timed search
    static inline TMainForm* form = nullptr;
    static void AfterIteration() {
        if (pondering && clickDepth == 0 && iterationDepth >= 2) {
            clickDepth = iterationDepth;
            const MoveRecord reply = GameRecord[-1];  // the predicted reply, on the board
            for (Square square : {reply.from, reply.to}) {
                const QPoint at = form->Renderer().SquareOrigin(square) + QPoint(18, 18);
                Message click;
                click.kind = MessageKind::LeftButtonDown;
                click.x = at.x();
                click.y = at.y();
                PostMessage(click);
            }
        } else if (timedThinking && clickDepth != 0) {
            answerDepths.push_back(iterationDepth);
        }
    }
};

TEST_F(MouseEntryTest, ClickingThePredictedReplyWhileTheEnginePondersKeepsItsSearch) {
    SetFixedDepth(5);
    PonderWatch::clickDepth = 0;
    PonderWatch::answerDepths.clear();
    PonderWatch::form = &form;
    iterationHook = PonderWatch::AfterIteration;
    Click(39);
    Click(36);
    ASSERT_NE(PonderWatch::clickDepth, 0) << "the engine pondered";
    // The user's move, the engine's, the predicted reply clicked, the engine's answer.
    EXPECT_EQ(plyCount, 4);
    ASSERT_FALSE(PonderWatch::answerDepths.empty());
    EXPECT_EQ(PonderWatch::answerDepths.front(), PonderWatch::clickDepth + 1)
        << "the answer's search went on from the pondered iteration";
    EXPECT_EQ(PonderWatch::answerDepths.back(), 5);
    EXPECT_EQ(computerThinking, 0);
    EXPECT_FALSE(form.Sprite().Dragging());
    EXPECT_TRUE(PositionIsConsistent());
    EXPECT_TRUE(CanvasIsClean());
}

// On the screen's own device pixel ratio (ctest runs these again at ratios 2 and 1.5): the board's
// canvas holds its image at that ratio's scale and the widget shows it pixel for pixel when the
// ratio is whole; a click through the widget lands on the point under it at both corners of its
// cell, also from a pointer between two pixels (a fractional ratio gives such positions).
TEST_F(MouseEntryTest, AtTheScreensRatioTheCanvasIsItsScaleAndClicksLandOnTheirPoint) {
    const qreal ratio = form.Board()->devicePixelRatioF();
    const int scale = CanvasScale(ratio);
    EXPECT_EQ(form.Canvas().Scale(), scale);
    EXPECT_EQ(form.Canvas().Image().size(), QSize(731, 666) * scale);
    EXPECT_EQ(form.Canvas().Image().devicePixelRatio(), scale);
    EXPECT_EQ(form.Board()->size(), QSize(731, 666));
    if (ratio == scale) {
        const QImage shown = form.Board()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage& canvas = form.Canvas().Image();
        ASSERT_EQ(shown.size(), canvas.size());
        // The board and its labels, left of the panel and above the move list (child widgets).
        const QRect board(QPoint(0, 0), QPoint(form.InfoForm()->x(), form.MoveList()->y()) * scale);
        QRect differing;
        for (int y = board.top(); y < board.bottom(); ++y)
            for (int x = board.left(); x < board.right(); ++x)
                if (shown.pixel(x, y) != canvas.pixel(x, y)) differing |= QRect(x, y, 1, 1);
        EXPECT_TRUE(differing.isEmpty())
            << "the widget does not show the canvas as it is in " << differing.x() << ","
            << differing.y() << " " << differing.width() << "x" << differing.height();
    }

    for (Square square : {Square{0}, Square{3}, Square{8}, Square{33}, Square{52}}) {
        const QPoint origin = form.Renderer().SquareOrigin(square);
        for (QPointF at :
             {QPointF(origin), QPointF(origin + QPoint(35, 35)),
              QPointF(origin) + QPointF(35.6, 35.6), QPointF(origin) + QPointF(0.4, 0.2)}) {
            SCOPED_TRACE("square " + std::to_string(square) + " at " + std::to_string(at.x()) +
                         "," + std::to_string(at.y()));
            QMouseEvent press(QEvent::MouseButtonPress, at, form.Board()->mapToGlobal(at),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form.Board(), &press);
            DispatchPendingMessages();
            ASSERT_EQ(form.Mouse().pieceLifted, 1);
            EXPECT_EQ(form.Mouse().fromSquare, square);
            form.Mouse().PutBackLiftedPiece();
        }
        // A real click through the platform's window, at the cell's centre; the sprite then
        // follows the pointer a little (overlapping its place) and two points up.
        QTest::mouseClick(form.Board(), Qt::LeftButton, {}, CellCentre(square));
        DispatchPendingMessages();
        ASSERT_EQ(form.Mouse().pieceLifted, 1);
        EXPECT_EQ(form.Mouse().fromSquare, square);
        for (QPoint step : {QPoint(-5, 7), QPoint(0, -72)}) {
            PointTo(CellCentre(square) + step);
            EXPECT_EQ(form.Sprite().Position(), CellCentre(square) + step - QPoint(18, 18));
        }
        form.Mouse().PutBackLiftedPiece();
    }
    EXPECT_TRUE(CanvasIsClean());
}

// On a screen of a higher density the about box's Kings and the level dialogs' button glyphs come
// at the screen's resolution (the artwork of its scale, icons with pixmaps for it), not enlarged.
TEST_F(MouseEntryTest, AtTheScreensRatioTheAboutBoxAndTheButtonGlyphsAreSharp) {
    form.RunDialogCommand(kCommandAbout);
    TAboutDlg* about = form.AboutDialog();
    const int scale = CanvasScale(about->devicePixelRatioF());
    const QPixmap king = about->findChild<QLabel*>("RedKing")->pixmap();
    EXPECT_EQ(king.devicePixelRatio(), scale);
    EXPECT_EQ(king.size(), QSize(31, 35) * scale);
    about->close();

    TInputSecPerMoveDlg dialog(&form);
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->icon().isNull()) continue;
        const QPixmap glyph = button->icon().pixmap(button->iconSize(), dialog.devicePixelRatioF());
        EXPECT_GE(glyph.width(), std::ceil(button->iconSize().width() * dialog.devicePixelRatioF()))
            << button->objectName().toStdString();
    }
}

// Moved to a screen of another density, the window draws itself again at that screen's scale: a
// lifted piece goes back, the pieces are the artwork of the new scale, clicks still land, and back
// on the first screen the canvas is exactly what it was.
TEST_F(MouseEntryTest, OnAScreenOfAnotherRatioTheWindowDrawsItselfAtItsScale) {
    const int first = form.Canvas().Scale();
    const int other = first == 1 ? 2 : 1;
    const QImage before = form.Canvas().Image().copy();
    Click(33);
    ASSERT_TRUE(form.Sprite().Dragging());

    form.SetCanvasScale(other);
    EXPECT_EQ(form.Mouse().pieceLifted, 0);
    EXPECT_FALSE(form.Sprite().Dragging());
    EXPECT_EQ(form.Canvas().Image().size(), QSize(731, 666) * other);
    EXPECT_EQ(form.EditForm()->Canvas().Scale(), other);
    PieceImages art;
    ASSERT_TRUE(art.Load(QStringLiteral(":/"), nullptr, other));
    const QPoint king = form.Renderer().SquareOrigin(4) * other;
    for (int y = 10 * other; y < 25 * other; ++y)
        for (int x = 10 * other; x < 20 * other; ++x)
            ASSERT_EQ(form.Canvas().Pixel(king.x() + x, king.y() + y),
                      art.piece[King][Red].pixel(x, y) | 0xFF000000u)
                << x << "," << y;
    Click(33);
    EXPECT_EQ(form.Mouse().pieceLifted, 1);
    EXPECT_EQ(form.Mouse().fromSquare, 33);
    form.Mouse().PutBackLiftedPiece();

    form.SetCanvasScale(first);
    EXPECT_EQ(form.Canvas().Image(), before);
}

}  // namespace
}  // namespace xq
