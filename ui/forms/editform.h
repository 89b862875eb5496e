// The position editor's piece palette: a borderless child window in the place of the information
// panel, in front of it while the editor is open. It shows the 14 pieces on its own canvas and
// keeps the one chosen (paletteIndex), which a click on the board in the editor puts down
// (EditClick). It changes nothing in the game itself.
#pragma once

#include <QFrame>
#include <QPoint>
#include <cstdint>

#include "ui/boardrenderer.h"
#include "ui/gdi/canvas.h"
#include "ui/pieceimages.h"

namespace xq {

class TEditForm : public QFrame {
  public:
    // Paints with the main window's piece `images` and background `pattern`, at the canvas `scale`
    // of the images; both must outlive the palette and may still be empty when it is created.
    TEditForm(QWidget* parent, const PieceImages& images, const gdi::Brush& pattern, int scale = 1);

    const gdi::Canvas& Canvas() const { return canvas_; }
    // The palette at another canvas scale (the main window's images already loaded at it).
    void Rescale(int scale);

    // The whole palette afresh: the background pattern, the filled palette frame, the panel's
    // frame and the 14 pieces, the chosen one in the selected look.
    void FormPaint();
    // A mouse button released at (x, y): a left click on another piece's cell chooses it.
    void FormMouseUp(Qt::MouseButton button, int x, int y);

    // The top-left pixel of the piece of palette entry `index`, and the entry whose cell holds
    // (x, y) (-1 when none).
    static QPoint PieceOrigin(int index);
    static int CellAt(int x, int y);

    // The chosen piece, 0..13 (kind index % 7 + 1, Black from 7 on). Kept while the window lives,
    // so the editor opens again with the same piece.
    int32_t paletteIndex = 0;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void DrawPalettePiece(int index, PieceLook look);
    void RestoreNormalLook(int index);

    const PieceImages& images_;
    const gdi::Brush& pattern_;
    gdi::Canvas canvas_;
};

// A left click on the board at (x, y) while the editor is open: the point under it is edited with
// the palette's piece.
void EditClick(int x, int y);

}  // namespace xq
