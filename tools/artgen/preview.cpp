#include "preview.h"

#include <QPainter>

#include "piece_art.h"

namespace {

constexpr int kCell = 36;
constexpr int kMargin = 24;
const QColor kBoardGreen(0, 128, 0);

QPoint CellOrigin(int rank, int file) {
    return {kMargin + kCell * file, kMargin + kCell * (9 - rank)};
}

QPoint Crossing(int rank, int file) {
    return CellOrigin(rank, file) + QPoint(18, 18);
}

void DrawBoard(QImage& canvas) {
    QPainter painter(&canvas);
    painter.fillRect(canvas.rect(), QBrush(DrawBackgroundPattern()));
    painter.fillRect(QRect(CellOrigin(9, 0), QSize(9 * kCell, 10 * kCell)), kBoardGreen);
    painter.setPen(Qt::black);
    for (int rank = 0; rank < 10; ++rank)
        painter.drawLine(Crossing(rank, 0), Crossing(rank, 8));
    for (int file = 0; file < 9; ++file) {
        if (file == 0 || file == 8) {
            painter.drawLine(Crossing(0, file), Crossing(9, file));
        } else {
            painter.drawLine(Crossing(0, file), Crossing(4, file));
            painter.drawLine(Crossing(5, file), Crossing(9, file));
        }
    }
    for (int bottom : {0, 7}) {
        painter.drawLine(Crossing(bottom, 3), Crossing(bottom + 2, 5));
        painter.drawLine(Crossing(bottom, 5), Crossing(bottom + 2, 3));
    }
}

// The board's two-step blit: the mask ANDed in, then the bitmap XORed (normal look) or NOT-ORed
// (selected look) on top.
void DrawPiece(QImage& canvas, QPoint at, const QImage& bitmap, const QImage& mask, bool selected) {
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const QRgb board = canvas.pixel(at.x() + x, at.y() + y) & mask.pixel(x, y);
            const QRgb piece = bitmap.pixel(x, y);
            const QRgb shown = selected ? ~(piece | board) : (piece ^ board);
            canvas.setPixel(at.x() + x, at.y() + y, shown | 0xFF000000);
        }
    }
}

struct Placement {
    int kind;  // index into kPieceKinds
    int rank;
    int file;
};

// Red's half of the opening position; Black's mirrors it.
constexpr Placement kOpening[] = {
    {1, 0, 0}, {3, 0, 1}, {5, 0, 2}, {4, 0, 3}, {0, 0, 4}, {4, 0, 5}, {5, 0, 6}, {3, 0, 7},
    {1, 0, 8}, {2, 2, 1}, {2, 2, 7}, {6, 3, 0}, {6, 3, 2}, {6, 3, 4}, {6, 3, 6}, {6, 3, 8},
};

}  // namespace

QImage DrawPreview(const QFont& font, int scale) {
    QImage canvas(2 * kMargin + 9 * kCell, 2 * kMargin + 10 * kCell, QImage::Format_RGB32);
    DrawBoard(canvas);
    const QImage mask = DrawPieceMask();
    for (const Placement& p : kOpening) {
        const PieceKindArt& kind = kPieceKinds[p.kind];
        const bool selected = p.kind == 3 && p.file == 7;  // one Red Knight, as if picked up
        DrawPiece(canvas, CellOrigin(p.rank, p.file), DrawPieceBitmap(kind, PieceSide::Red, font),
                  mask, selected);
        DrawPiece(canvas, CellOrigin(9 - p.rank, 8 - p.file),
                  DrawPieceBitmap(kind, PieceSide::Black, font), mask, false);
    }
    return canvas.scaled(canvas.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}
