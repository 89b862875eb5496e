// Move entry with the mouse. A move is two left clicks on the board: the first lifts one of the
// user's pieces, the second names its target; there is no press-drag-release gesture. In drag
// mode ("拖动") the lifted piece follows the pointer as a sprite and glides back to its square
// when the move is refused; in selection mode ("选择") it stays on its square in inverse video.
// The window hands it the main window's clicks and pointer moves (also those a pondering search
// passes on) and the two menu items; the completed move goes to the game flow, which decides it.
#pragma once

#include <QPoint>
#include <Qt>
#include <cstdint>
#include <functional>

#include "rules/types.h"
#include "ui/boardrenderer.h"
#include "ui/sprite.h"

namespace xq {

// The warning of a second click that misses every cell of the board.
inline constexpr char kMissedBoardText[] = QT_TRANSLATE_NOOP("MouseEntry", "错误的移动!");

class MouseEntry {
  public:
    // Where the pointer is now, in window client coordinates.
    using PointerPosition = std::function<QPoint()>;

    // `renderer` and `sprite` must outlive the entry.
    MouseEntry(BoardRenderer& renderer, DragSprite& sprite, PointerPosition pointerPosition);

    // The square whose cell holds (x, y), the reversed board included; -1 when none. With
    // `ownOnly` only a cell that shows a piece of `side` counts.
    Square SquareAt(int x, int y, Side side, bool ownOnly) const;

    // The window's handlers of a button press and a pointer move (window client pixels). `shift`
    // holds the modifier keys, which the board ignores.
    void FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void FormMouseMove(Qt::KeyboardModifiers shift, int x, int y);

    // The menu items "拖动" and "选择": a lifted piece changes its look with the mode.
    void MouseDragClick();
    void MouseSelectClick();
    // The position editor opens: a lifted piece goes back to its square, and the next click
    // starts a new move.
    void PutBackLiftedPiece();

    // Window state.
    uint8_t pieceLifted = 0;  // the first click of a move has been made
    Square fromSquare = -1;   // the square of the first click
    Square toSquare = -1;     // the square of the second click (-1: it missed the board)
    uint8_t dragMode = 1;     // 1: the lifted piece follows the pointer; 0: it is shown selected
    QPoint lastMouse;         // the last left-button press

  private:
    void LiftPiece(int x, int y);
    void DropPiece(int x, int y);

    BoardRenderer& renderer_;
    DragSprite& sprite_;
    PointerPosition pointerPosition_;
};

}  // namespace xq
