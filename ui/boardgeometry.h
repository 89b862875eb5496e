// The window's one geometry: where the board, its file labels, the move list, the piece palette and
// the pieces lie, in the window's own pixels (96 dots per inch), and the scale at which the
// canvases hold them on the screen. Only the label height comes from the font; every other length
// is fixed here, so the renderer, the dragged piece, the mouse entry, the palette and the move list
// agree by construction. A screen of a higher density multiplies every length by the canvas scale
// in one place, the canvas, so nothing here changes with it.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QtGlobal>

#include "ui/gdi/canvas.h"

namespace xq {

// The main window's client area; the panels share its right half.
inline constexpr int kClientWidth = 731;
inline constexpr int kClientHeight = 666;

// One point of the board and the piece bitmap drawn at its top-left.
inline constexpr int kCellSize = 36;
inline constexpr int kHalfCell = kCellSize / 2;
inline constexpr int kPieceWidth = 31;
inline constexpr int kPieceHeight = 35;

// The position marks of the Gunners and Pawns: right-angled corners at kMarkNear and kMarkFar
// pixels into the cell (the two sides of its centre lines), each arm kMarkArm pixels long.
inline constexpr int kMarkNear = 13;
inline constexpr int kMarkFar = kCellSize - 1 - kMarkNear;
inline constexpr int kMarkArm = 9;

// The last move's corner brackets: how far in from the cell's corner and how long each arm is.
inline constexpr int kLastMoveInset = 2;
inline constexpr int kLastMoveArm = 7;

// The move list below the board, and where the panel's message field must stop.
inline constexpr int kMoveListLeft = 20;
inline constexpr int kMoveListTop = 448;
inline constexpr int kMoveListWidth = 327;
inline constexpr int kMoveListHeight = 200;
inline constexpr int kPanelMessageBottom = 448;
// The bottom file labels' boxes end this far below twice the label height.
inline constexpr int kLabelBoxesBelowBoard = 405;

// The position editor's palette: two columns of seven pieces inside a filled frame.
inline constexpr gdi::Rect kPaletteFrame = {0, 0, 78, 258};
inline constexpr int kPaletteRows = 7;
inline constexpr int kPaletteMargin = 3;

// The largest canvas scale the piece artwork is drawn for.
inline constexpr int kLargestScale = 3;

// The board's lengths that follow the label height (the system font's line height and a margin).
class BoardGeometry {
  public:
    explicit BoardGeometry(int labelHeight) : labelHeight_(labelHeight) {}

    int LabelHeight() const { return labelHeight_; }

    // The top-left pixel of a displayed cell: `file` 0 on the left, `rank` 0 at the bottom.
    QPoint CellOrigin(int file, int rank) const {
        return {kCellSize * file + CellsLeft(), kCellSize * (9 - rank) + CellsTop()};
    }
    // The displayed cell that holds `point`; false when no cell does.
    bool CellAt(QPoint point, int* file, int* rank) const;
    // The x of a displayed file's vertical line, where its labels are centred.
    int FileCentre(int file) const { return kCellSize * file + CellsLeft() + kHalfCell; }
    // The grooved frame round the board.
    gdi::Rect BoardFrame() const {
        return {labelHeight_, static_cast<int>(labelHeight_ * 2.5 + 5), labelHeight_ + 330,
                labelHeight_ + 399};
    }
    // The text rows of the file labels above and below the board.
    int TopLabelsY() const { return 28; }
    int BottomLabelsY() const { return labelHeight_ + 407; }
    // The move list: from kMoveListTop down, or lower when a tall font pushes the bottom labels'
    // boxes into that room; it always ends where kMoveListTop + kMoveListHeight does.
    QRect MoveListRect() const;

  private:
    int CellsLeft() const { return labelHeight_ + 3; }
    int CellsTop() const { return labelHeight_ + 36; }

    int labelHeight_;
};

// The scale a canvas is held at on a screen of `deviceRatio` device pixels per window pixel: the
// ratio itself when it is whole, the next whole number above a fractional one (the widget then
// scales the canvas down smoothly), never above kLargestScale.
int CanvasScale(qreal deviceRatio);

// The window pixel under a pointer position, which a fractional ratio gives between pixels.
QPoint WindowPixel(QPointF position);

}  // namespace xq
