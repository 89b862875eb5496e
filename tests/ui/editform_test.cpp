// The position editor in the main window on Qt's offscreen platform: the editor's bar and the
// palette in front while it is open, the palette's painting and its click, the board click, and
// the error dialog of a refused "完成".
#include "ui/forms/editform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "engine/commands.h"
#include "engine/editor.h"
#include "engine/flow.h"
#include "engine/think.h"
#include "platform/messages.h"
#include "records/settings.h"
#include "rules/board.h"
#include "support/window_fixture.h"
#include "ui/canvaswidget.h"
#include "ui/dialogs/messagedialogs.h"
#include "ui/forms/infoform.h"
#include "ui/forms/mainform.h"
#include "ui/mouseentry.h"
#include "ui/qteventsource.h"

namespace xq {
namespace {

class EditFormTest : public testing::WindowTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WindowTest::SetUp());
        form = std::make_unique<TMainForm>();
        form->show();
        soundOn = 0;
    }
    void TearDown() override {
        if (editMode) LeaveEditMode();
        form.reset();
        WindowTest::TearDown();
    }

    void Command(int32_t command) {
        PostToMainWindow(MessageKind::Command, command);
        DispatchPendingMessages();
    }
    // The item's caption with its check mark, as the menu shows it.
    QStringList Bar() const {
        QStringList lines;
        for (QAction* action : form->menuBar()->actions()) {
            lines.append(action->objectName());
            if (action->menu() == nullptr) continue;
            for (QAction* item : action->menu()->actions())
                lines.append("  " + item->objectName() + (item->isChecked() ? " [x]" : " [ ]"));
        }
        return lines;
    }
    // Which of the two panels is in front: the later sibling is drawn over the earlier.
    bool PaletteInFront() const {
        const QObjectList& stack = form->Board()->children();
        return stack.indexOf(form->EditForm()) > stack.indexOf(form->InfoForm());
    }
    void ReleaseOnPalette(Qt::MouseButton button, QPoint at) {
        QTest::mouseRelease(form->EditForm(), button, Qt::NoModifier, at);
    }

    // The artwork the window draws with.
    static const PieceImages& images() {
        static const PieceImages loaded = [] {
            PieceImages images;
            QString missing;
            EXPECT_TRUE(images.Load(QStringLiteral(":/"), &missing)) << qPrintable(missing);
            return images;
        }();
        return loaded;
    }

    std::unique_ptr<TMainForm> form;
};

// Every pixel of a palette piece's 31 x 35 box: the piece or the light grey palette, both
// inverted in the selected look.
void ExpectPalettePiece(const TEditForm& palette, const PieceImages& images, int index,
                        bool selected) {
    const PieceKind kind = PaletteKind(index);
    const QImage& piece = images.piece[kind][PaletteSide(index)];
    const QPoint origin = TEditForm::PieceOrigin(index);
    int wrong = 0;
    for (int y = 0; y < piece.height(); ++y) {
        for (int x = 0; x < piece.width(); ++x) {
            const bool inPiece = (images.mask[kind].pixel(x, y) & 0xFFFFFF) == 0;
            QRgb expected = inPiece ? piece.pixel(x, y) : qRgb(192, 192, 192);
            if (selected) expected = ~expected;
            if ((palette.Canvas().Pixel(origin.x() + x, origin.y() + y) & 0xFFFFFF) !=
                (expected & 0xFFFFFF))
                ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0) << "palette entry " << index << (selected ? " selected" : " normal");
}

TEST_F(EditFormTest, OpeningShowsTheEditorBarAndThePaletteLeavingBringsThemBack) {
    EXPECT_FALSE(PaletteInFront());
    userSide = Black;
    Command(kCommandEdit);
    EXPECT_TRUE(PaletteInFront());
    EXPECT_EQ(Bar(),
              (QStringList{"Done", "Clear", "Turn", "  RedTurn [ ]", "  BlackTurn [x]", "Cancel"}));
    // The items of the bar run the editor's commands.
    form->Menus().Item("RedTurn")->trigger();
    DispatchPendingMessages();
    EXPECT_EQ(Bar(),
              (QStringList{"Done", "Clear", "Turn", "  RedTurn [x]", "  BlackTurn [ ]", "Cancel"}));
    EXPECT_EQ(userSide, Red);
    form->Menus().Item("Done")->trigger();
    DispatchPendingMessages();
    EXPECT_EQ(editMode, 0);
    EXPECT_FALSE(PaletteInFront());
    EXPECT_EQ(form->Menus().Current(), MenuBarKind::Normal);
    EXPECT_EQ(form->menuBar()->actions().first()->objectName(), QString("Game"));
}

// At the easy level Red's Knights start framed (the Black Gunners attack them); the editor shows
// the board without frames and they come back when it closes.
TEST_F(EditFormTest, ThreatFramesGoWhileTheEditorIsOpen) {
    ASSERT_EQ(levelKind, kLevelEasy);
    const QPoint knight = form->Renderer().SquareOrigin(MakeSquare(0, 1));
    auto frameEdge = [&] { return form->Canvas().Pixel(knight.x() + 1, knight.y() + 1); };
    EXPECT_EQ(frameEdge(), qRgb(0, 0, 0));
    Command(kCommandEdit);
    EXPECT_EQ(frameEdge(), qRgb(0, 128, 0));
    Command(kCommandEditCancel);
    EXPECT_EQ(frameEdge(), qRgb(0, 0, 0));
}

TEST_F(EditFormTest, PalettePaintsItsFramesAndFourteenPiecesWithTheChosenOneInverted) {
    Command(kCommandEdit);
    const TEditForm& palette = *form->EditForm();
    ASSERT_EQ(palette.paletteIndex, 0);
    for (int index = 0; index < kPaletteSize; ++index)
        ExpectPalettePiece(palette, images(), index, index == 0);
    const gdi::Canvas& canvas = palette.Canvas();
    // The filled palette frame: white outer edge, grey inside it, light grey between the pieces.
    EXPECT_EQ(canvas.Pixel(0, 100), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.Pixel(77, 100), qRgb(128, 128, 128));
    EXPECT_EQ(canvas.Pixel(36, 100), qRgb(192, 192, 192));
    EXPECT_EQ(canvas.Pixel(72, 256), qRgb(192, 192, 192));
    // The panel's own frame, unfilled, around the board's half of the client width.
    EXPECT_EQ(canvas.Pixel(200, 0), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.Pixel(364, 300), qRgb(128, 128, 128));
    EXPECT_EQ(canvas.Pixel(200, 665), qRgb(128, 128, 128));
    // The background pattern elsewhere, as on the main window.
    for (int x = 8; x < 16; ++x)
        EXPECT_EQ(canvas.Pixel(x, 600), form->Canvas().Pixel(x, 600));
    // The widget shows the canvas.
    const QImage shown = form->EditForm()->grab().toImage();
    EXPECT_EQ(shown.pixel(36, 100), canvas.Pixel(36, 100));
}

TEST_F(EditFormTest, PaletteClickRedrawsOnlyTheOldAndTheNewCell) {
    Command(kCommandEdit);
    TEditForm& palette = *form->EditForm();
    const QImage before = palette.Canvas().Image().copy();
    // Outside every cell, the chosen cell itself, or a right button: nothing changes.
    for (QPoint at : {QPoint(76, 10), QPoint(10, 255), QPoint(200, 100), QPoint(3, 3)})
        ReleaseOnPalette(Qt::LeftButton, at);
    ReleaseOnPalette(Qt::RightButton, QPoint(40, 40));
    EXPECT_EQ(palette.paletteIndex, 0);
    EXPECT_EQ(palette.Canvas().Image(), before);

    // Black's Bishop: column 1, row 5; the click area's last pixel still belongs to it.
    ReleaseOnPalette(Qt::LeftButton, QPoint(74, 218));
    EXPECT_EQ(palette.paletteIndex, 12);
    ExpectPalettePiece(palette, images(), 0, false);
    ExpectPalettePiece(palette, images(), 12, true);
    const QImage after = palette.Canvas().Image().copy();
    // Exactly what painting the palette afresh gives.
    palette.FormPaint();
    EXPECT_EQ(after, palette.Canvas().Image());
    // Nothing outside the two boxes was touched.
    int changedOutside = 0;
    const QRect oldBox(TEditForm::PieceOrigin(0), QSize(31, 35));
    const QRect newBox(TEditForm::PieceOrigin(12), QSize(31, 35));
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y) && !oldBox.contains(x, y) &&
                !newBox.contains(x, y))
                ++changedOutside;
    EXPECT_EQ(changedOutside, 0);
}

TEST_F(EditFormTest, PaletteKeepsItsChoiceWhenTheEditorOpensAgain) {
    Command(kCommandEdit);
    ReleaseOnPalette(Qt::LeftButton, QPoint(10, 3 + 36 * 4));  // Red's Assist
    Command(kCommandEditCancel);
    Command(kCommandEdit);
    EXPECT_EQ(form->EditForm()->paletteIndex, 4);
    ExpectPalettePiece(*form->EditForm(), images(), 4, true);
    ExpectPalettePiece(*form->EditForm(), images(), 0, false);
}

TEST_F(EditFormTest, BoardClickEditsThePointUnderThePointerOnEitherSideOfTheBoard) {
    Command(kCommandEdit);
    ReleaseOnPalette(Qt::LeftButton, QPoint(50, 3 + 36 * 3));  // Black's Knight
    BoardRenderer& renderer = form->Renderer();
    for (uint8_t reversed : {0, 1}) {
        SCOPED_TRACE(reversed ? "reversed" : "unreversed");
        boardReversed = reversed;
        renderer.RedrawAll();
        const Square square = MakeSquare(4, 1);
        const QPoint origin = renderer.SquareOrigin(square);
        EditClick(origin.x() + 35, origin.y() + 35);  // the cell's last pixel
        EXPECT_EQ(board[square].kind, Knight);
        EXPECT_EQ(board[square].side, Black);
        EXPECT_EQ(renderer.shownBoard[square].kind, Knight) << "drawn at once";
        EditClick(origin.x(), origin.y());
        EXPECT_EQ(board[square].kind, Empty);
        EXPECT_EQ(renderer.shownBoard[square].kind, Empty);
    }
    // A real click on the board reaches the editor, not the move entry.
    boardReversed = 0;
    const QPoint rook = renderer.SquareOrigin(0);
    QTest::mouseClick(form->Board(), Qt::LeftButton, Qt::NoModifier, rook + QPoint(18, 18));
    DispatchPendingMessages();
    EXPECT_EQ(board[0].kind, Empty);
    EXPECT_EQ(form->Mouse().pieceLifted, 0);
    QTest::mouseClick(form->Board(), Qt::LeftButton, Qt::NoModifier, rook + QPoint(18, 18));
    DispatchPendingMessages();
    EXPECT_EQ(board[0].kind, Knight) << "the palette's piece, not the Rook that was there";
    EditClick(rook.x(), rook.y());
    ReleaseOnPalette(Qt::LeftButton, QPoint(10, 3 + 36));  // Red's Rook back on its corner
    EditClick(rook.x(), rook.y());
    EXPECT_EQ(board[0].kind, Rook);
    EXPECT_EQ(board[0].side, Red);
    // Beside the board only the modified mark is set.
    Command(kCommandEditDone);  // the opening array again: checked and accepted
    Command(kCommandEdit);
    EXPECT_EQ(editModified, 0);
    EditClick(5, 5);
    EXPECT_EQ(editModified, 1);
}

// The normal bar's keys rest while the editor's bar is shown: no new game, hint or take-back
// reaches the board being edited.
TEST_F(EditFormTest, TheNormalBarsKeysRestWhileTheEditorIsOpen) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Command(kCommandEdit);
    Command(kCommandEditClear);
    for (QKeyCombination key :
         {Qt::CTRL | Qt::Key_N, Qt::CTRL | Qt::Key_Z, QKeyCombination(Qt::Key_F2)})
        QTest::keyClick(form.get(), key.key(), key.keyboardModifiers());
    DispatchPendingMessages();
    EXPECT_EQ(editMode, 1);
    EXPECT_EQ(form->Menus().Current(), MenuBarKind::Edit);
    for (Square square = 0; square < kBoardCells; ++square)
        ASSERT_EQ(board[square].kind, Empty) << square;
}

// A piece lifted for a move when the editor opens goes back to its square, in either mode.
TEST_F(EditFormTest, OpeningPutsBackALiftedPiece) {
    BoardRenderer& renderer = form->Renderer();
    const QPoint cell = renderer.SquareOrigin(MakeSquare(2, 1));
    const QPoint cannon = cell + QPoint(15, 17);
    // The Cannon's cell and its neighbours (the Knights' threat frames lie outside).
    const QRect around(cell - QPoint(36, 36), QSize(3 * 36, 3 * 36));
    const QImage unlifted = form->Canvas().Image().copy(around);
    for (int32_t mode : {kCommandSelect, kCommandDrag}) {
        SCOPED_TRACE(mode == kCommandDrag ? "drag" : "select");
        Command(mode);
        QTest::mouseClick(form->Board(), Qt::LeftButton, Qt::NoModifier, cannon);
        DispatchPendingMessages();
        ASSERT_EQ(form->Mouse().pieceLifted, 1);
        ASSERT_NE(form->Canvas().Image().copy(around), unlifted);
        form->Menus().Item("MovePiece")->trigger();  // "摆子" as the user chooses it
        DispatchPendingMessages();
        EXPECT_EQ(form->Mouse().pieceLifted, 0);
        EXPECT_EQ(form->Canvas().Image().copy(around), unlifted);
        Command(kCommandEditDone);
        // The next click lifts a piece again instead of ending the old move.
        QTest::mouseClick(form->Board(), Qt::LeftButton, Qt::NoModifier, cannon);
        DispatchPendingMessages();
        EXPECT_EQ(form->Mouse().pieceLifted, 1);
        EXPECT_EQ(form->Mouse().fromSquare, MakeSquare(2, 1));
        form->Mouse().PutBackLiftedPiece();
    }
}

TEST_F(EditFormTest, RefusedDoneShowsTheErrorDialogAndKeepsTheEditorOpen) {
    Command(kCommandEdit);
    Command(kCommandEditClear);
    QString shown;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* error = dynamic_cast<TChessErrorDlg*>(QApplication::activeModalWidget());
        if (error == nullptr) return;
        shown = error->Message()->text();
        QTest::mouseClick(error->OkButton(), Qt::LeftButton);
    });
    answer.start(5);
    Command(kCommandEditDone);
    answer.stop();
    EXPECT_EQ(shown, QString::fromUtf8("帅将的数目不正确"));
    EXPECT_EQ(editMode, 1);
    EXPECT_TRUE(PaletteInFront());
    EXPECT_EQ(form->Menus().Current(), MenuBarKind::Edit);
    // Every point drawn empty.
    for (const ShownCell& cell : form->Renderer().shownBoard)
        ASSERT_EQ(cell.kind, Empty);
}

}  // namespace
}  // namespace xq
