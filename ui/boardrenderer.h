// Draws the board and the pieces into the left half of the main window's canvas: the grooved
// frame, the 90 points with their lines, palace diagonals and position marks, the file numbers,
// the pieces through their masks, the easy level's threat frames and the inverse look of a
// selected piece. It keeps shownBoard, what the screen shows on every square, so that after a
// move only the changed squares are drawn again. It reads the position and the level from the
// core and never changes the game; the only board bytes it writes are the cells' threat marks.
#pragma once

#include <QFont>
#include <QPoint>
#include <cstdint>

#include "rules/board.h"
#include "rules/types.h"
#include "ui/boardgeometry.h"
#include "ui/gdi/canvas.h"
#include "ui/lastmovemark.h"
#include "ui/pieceimages.h"

namespace xq {

enum class PieceLook { Normal, Selected };

struct ShownCell {
    uint8_t kind;
    uint8_t side;
};

// The pens and fills of the board, as the window's classic grey look has them.
inline constexpr QRgb kBlack = 0xFF000000u;
inline constexpr QRgb kWhite = 0xFFFFFFFFu;
inline constexpr QRgb kLightGrey = 0xFFC0C0C0u;
inline constexpr QRgb kDarkGrey = 0xFF808080u;
inline constexpr QRgb kThreatRed = 0xFFC00000u;
inline constexpr QRgb kLastMoveYellow = 0xFFFFFF00u;  // clear on the board's usual colours

// The grooved 3-D frame on `canvas` (white and grey lines), inside filled light grey when `filled`.
// The board, the main window and the information panel all wear it.
void DrawFrame3D(gdi::Canvas& canvas, const gdi::Rect& rect, bool filled);
// A piece bitmap with its mask at `at` on `canvas`: the mask blacks out the piece's area, the
// bitmap then shows the piece over the untouched background (XOR) or the piece and its box
// inverted (NOT OR) for the selected look.
void DrawPieceImage(gdi::Canvas& canvas, QPoint at, const QImage& piece, const QImage& mask,
                    PieceLook look);

class BoardRenderer {
  public:
    // Draws on `canvas` with `font` (the system font: it fixes labelHeight and the labels) and
    // `images`; both must outlive the renderer.
    BoardRenderer(gdi::Canvas& canvas, const QFont& font, const PieceImages& images);

    int LabelHeight() const { return geometry_.LabelHeight(); }
    const BoardGeometry& Geometry() const { return geometry_; }
    void SetSquareColour(QRgb colour) { squareBrush_ = gdi::Brush::Solid(colour); }

    // The top-left pixel of the cell of `square`, the reversed board included; and the square
    // whose cell holds `point` (-1 when none). The one place of the pixel <-> square mapping.
    QPoint SquareOrigin(Square square) const;
    Square SquareAt(QPoint point) const;
    gdi::Rect BoardFrame() const;
    // The x of the vertical line of a displayed file (0: the left one), where its labels centre.
    int FileCentre(int displayFile) const;

    void DrawEmptySquare(Square square);
    void DrawPiece(Square square, PieceKind kind, Side side, PieceLook look);
    void DrawBoard();
    void DrawFileLabels();
    void DrawFrame3D(const gdi::Rect& rect, bool filled);

    void RedrawAll();
    // True when some square showed another piece than the board holds, and was drawn anew.
    bool RedrawChangedSquares();
    // The cells the board shows from now on: a copy of a position of the game's past while the
    // player looks back over it (no threat frames then), or nullptr for the game's own board. The
    // board is drawn afresh from them.
    void ShowCells(const Board* cells);
    bool ShowsGameBoard() const { return cells_ == nullptr; }
    void ClearShownBoard();
    void SyncShownBoard();
    void ShowSelected(Square square);
    void ShowNormal(Square square);

    void MarkThreats();
    void FrameSquare(Square square, bool defended);
    void ClearThreatMarks();

    // The last move's corner marks ("标记最后一步", off until switched on); every redraw of the
    // board takes them along.
    LastMoveMark lastMoveMark;
    void DrawLastMoveMark(Square square);
    // The cell as the screen shows it without a last-move mark: empty square, piece, threat frame.
    void RedrawSquare(Square square);

    ShownCell shownBoard[kBoardCells] = {};

  private:
    int DisplayedSquare(Square square) const;
    void DrawCellLines(QPoint origin, int rank, int file);
    void DrawPalaceLines(QPoint origin, int rank, int file);
    void DrawPositionMarks(QPoint origin, int file);
    const BoardCell* Cells() const;
    void DrawLabelBox(int x, int y, int width);
    void DrawFileLabel(const char* text, int displayFile, int y);
    bool ThreatsShown() const;

    gdi::Canvas& canvas_;
    QFont font_;
    const PieceImages& images_;
    gdi::Brush squareBrush_;
    int lineHeight_ = 0;
    BoardGeometry geometry_;
    const Board* cells_ = nullptr;  // what the board shows instead of the game's board
};

// The order in which DrawBoard draws the 90 points: a clockwise spiral from Red's left corner
// inwards.
extern const Square kSpiralOrder[90];

}  // namespace xq
