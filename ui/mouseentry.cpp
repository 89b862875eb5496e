#include "ui/mouseentry.h"

#include <QCoreApplication>
#include <utility>

#include "engine/editor.h"
#include "engine/flow.h"
#include "platform/display.h"
#include "ui/forms/editform.h"

namespace xq {

MouseEntry::MouseEntry(BoardRenderer& renderer, DragSprite& sprite, PointerPosition pointerPosition)
    : renderer_(renderer), sprite_(sprite), pointerPosition_(std::move(pointerPosition)) {}

Square MouseEntry::SquareAt(int x, int y, Side side, bool ownOnly) const {
    const Square square = renderer_.SquareAt({x, y});
    if (square < 0 || !ownOnly) return square;
    const ShownCell& shown = renderer_.shownBoard[square];
    return shown.kind != Empty && shown.side == side ? square : -1;
}

void MouseEntry::FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers /*shift*/, int x,
                               int y) {
    // 1. Only the left button counts.
    if (button != Qt::LeftButton) return;
    lastMouse = {x, y};
    // 2. The open position editor takes the click.
    if (editMode) {
        EditClick(x, y);
        return;
    }
    // 3. While the engine works, only a click its search hands over counts.
    if (!BoardTakesClicks()) return;
    // 4. The first click lifts a piece, 5. the second one names its target.
    if (pieceLifted) {
        DropPiece(x, y);
    } else {
        LiftPiece(x, y);
    }
}

void MouseEntry::FormMouseMove(Qt::KeyboardModifiers /*shift*/, int x, int y) {
    if (pieceLifted && dragMode) sprite_.DragTo({x, y});
}

void MouseEntry::LiftPiece(int x, int y) {
    const Square square = SquareAt(x, y, userSide, true);
    if (square < 0) return;  // an empty cell, the opponent's piece or off the board
    fromSquare = square;
    pieceLifted = 1;
    if (dragMode) {
        sprite_.BeginDrag(square, {x, y});
    } else {
        renderer_.ShowSelected(square);
    }
}

void MouseEntry::DropPiece(int x, int y) {
    const Square target = SquareAt(x, y, userSide, false);
    toSquare = target;
    pieceLifted = 0;
    if (target < 0) {
        if (dragMode) sprite_.EndDrag(true);
        ShowWarning(QCoreApplication::translate("MouseEntry", kMissedBoardText).toStdString());
        renderer_.ShowNormal(fromSquare);
        return;
    }
    // An accepted move is played (or, inside a search, recorded for it) by the game flow, which
    // ends the drag without a glide; a refused one has shown the rules' warning.
    if (HandleBoardMove(fromSquare, target)) return;
    if (dragMode) sprite_.EndDrag(true);
    renderer_.ShowNormal(fromSquare);
}

void MouseEntry::MouseDragClick() {
    if (!dragMode && pieceLifted) {
        renderer_.ShowNormal(fromSquare);
        sprite_.BeginDrag(fromSquare, pointerPosition_());
    }
    dragMode = 1;
    CheckMenuItem("MouseDrag", true);
    CheckMenuItem("MouseSelect", false);
}

void MouseEntry::PutBackLiftedPiece() {
    if (!pieceLifted) return;
    pieceLifted = 0;
    sprite_.EndDrag(false);
    renderer_.ShowNormal(fromSquare);
}

// The square of origin stays empty under the inverse piece: the selected look is drawn on the
// square as the drag left it. Chosen again in selection mode, the item changes nothing, since a
// second inverse drawing would put the board around the piece back to normal.
void MouseEntry::MouseSelectClick() {
    const bool wasDragging = sprite_.Dragging();
    sprite_.EndDrag(false);
    dragMode = 0;
    CheckMenuItem("MouseDrag", false);
    CheckMenuItem("MouseSelect", true);
    if (pieceLifted && wasDragging) renderer_.ShowSelected(fromSquare);
}

}  // namespace xq
