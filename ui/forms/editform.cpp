#include "ui/forms/editform.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include "engine/editor.h"
#include "ui/canvaswidget.h"
#include "ui/forms/mainform.h"

namespace xq {

namespace {

constexpr int kPaletteCell = kCellSize;

}  // namespace

TEditForm::TEditForm(QWidget* parent, const PieceImages& images, const gdi::Brush& pattern,
                     int scale)
    : QFrame(parent),
      images_(images),
      pattern_(pattern),
      canvas_(1, 1, scale) {  // the palette's size once the editor first opens
    setObjectName("TEditForm");
    setWindowTitle(QCoreApplication::translate("TMainForm", "澜川中国象棋"));
    setFrameShape(QFrame::NoFrame);
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_.SetChangeListener([this](const QRect& changed) { update(changed); });
}

void TEditForm::Rescale(int scale) {
    const bool drawn = canvas_.Width() > 1;
    canvas_.Reset(canvas_.Width(), canvas_.Height(), scale);
    if (drawn) FormPaint();
}

QPoint TEditForm::PieceOrigin(int index) {
    const int column = index < kPaletteRows ? 0 : 1;
    const int row = index % kPaletteRows;
    return {kPaletteMargin + kPaletteCell * column, kPaletteMargin + kPaletteCell * row};
}

int TEditForm::CellAt(int x, int y) {
    for (int index = 0; index < kPaletteSize; ++index) {
        const QPoint origin = PieceOrigin(index);
        if (x >= origin.x() && x < origin.x() + kPaletteCell && y >= origin.y() &&
            y < origin.y() + kPaletteCell)
            return index;
    }
    return -1;
}

// The canvas takes its memory (the panel's size at the screen's scale) only once the editor opens.
void TEditForm::FormPaint() {
    if (canvas_.Width() == 1)
        canvas_.Reset(kClientWidth - kClientWidth / 2, kClientHeight, canvas_.Scale());
    canvas_.FillRect({0, 0, canvas_.Width(), canvas_.Height()}, pattern_);
    DrawFrame3D(canvas_, kPaletteFrame, true);
    DrawFrame3D(canvas_, {0, 0, kClientWidth / 2, kClientHeight}, false);
    for (int index = 0; index < kPaletteSize; ++index)
        DrawPalettePiece(index, index == paletteIndex ? PieceLook::Selected : PieceLook::Normal);
}

// As the board draws a piece.
void TEditForm::DrawPalettePiece(int index, PieceLook look) {
    const PieceKind kind = PaletteKind(index);
    const QImage& piece = images_.piece[kind][PaletteSide(index)];
    if (piece.isNull()) return;
    DrawPieceImage(canvas_, PieceOrigin(index), piece, images_.mask[kind], look);
}

// Undoes the selected look in place: the mask with NOT destination brings the inverted box back
// to the background and blacks out the piece's area, the bitmap then goes in with XOR.
void TEditForm::RestoreNormalLook(int index) {
    const PieceKind kind = PaletteKind(index);
    const QImage& piece = images_.piece[kind][PaletteSide(index)];
    if (piece.isNull()) return;
    const QPoint origin = PieceOrigin(index);
    const QSize size = canvas_.WindowSize(piece);
    canvas_.Blit(origin, size.width(), size.height(), images_.mask[kind], gdi::RasterOp::SrcErase);
    canvas_.Blit(origin, size.width(), size.height(), piece, gdi::RasterOp::Invert);
}

void TEditForm::FormMouseUp(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton) return;
    const int index = CellAt(x, y);
    if (index < 0 || index == paletteIndex) return;
    RestoreNormalLook(paletteIndex);
    DrawPalettePiece(index, PieceLook::Selected);
    paletteIndex = index;
}

void TEditForm::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    PaintCanvas(painter, canvas_, event->region(), devicePixelRatioF());
}

void TEditForm::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = WindowPixel(event->position());
    FormMouseUp(event->button(), at.x(), at.y());
}

void EditClick(int x, int y) {
    if (mainForm == nullptr) return;
    EditSquare(mainForm->Renderer().SquareAt({x, y}), mainForm->EditForm()->paletteIndex);
}

}  // namespace xq
