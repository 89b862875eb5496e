#include "piece_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

// The round face fills the box's width; the wood's thickness shows below it, down to the box's
// bottom edge.
constexpr QPointF kFaceCentre(15.5, 15.5);
constexpr qreal kFaceRadius = 15.5;
constexpr qreal kThickness = kPieceHeight - 2 * kFaceRadius;
constexpr qreal kInkRingRadius = 12.0;
// The brush strokes are widened by this much so that they stay solid at this small size.
constexpr qreal kInkSpread = 0.4;
constexpr int kCharacterPixels = 20;  // chosen by eye: legible, and just inside the ring

const QColor kOutline(72, 40, 18);
const QColor kFaceLight(250, 232, 190);
const QColor kFaceDark(214, 172, 108);
const QColor kSideLight(170, 112, 56);
const QColor kSideDark(112, 66, 28);
const QColor kRedInk(200, 16, 16);
const QColor kBlackInk(24, 24, 24);

// The outline of the whole piece, face and side, shrunk by `inset` pixels.
QPainterPath Silhouette(qreal inset) {
    const qreal r = kFaceRadius - inset;
    const QPointF bottom = kFaceCentre + QPointF(0, kThickness);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addEllipse(kFaceCentre, r, r);
    path.addEllipse(bottom, r, r);
    path.addRect(QRectF(kFaceCentre.x() - r, kFaceCentre.y(), 2 * r, kThickness));
    return path.simplified();
}

// The character as an outline, centred on the face. Drawing the outline rather than text keeps the
// result independent of the font engine's hinting settings.
QPainterPath CharacterPath(const QString& character, const QFont& font) {
    QPainterPath path;
    path.addText(0, 0, font, character);
    const QRectF box = path.boundingRect();
    path.translate(kFaceCentre - box.center());
    return path;
}

bool InsidePiece(const QImage& mask, int x, int y) {
    return qRed(mask.pixel(x, y)) == 0;
}

// The piece in the piece box's coordinates, over a silhouette already filled with the outline.
void PaintPiece(QPainter& painter, const PieceKindArt& kind, PieceSide side, const QFont& font) {
    const QColor ink = side == PieceSide::Red ? kRedInk : kBlackInk;
    const QString character =
        QString::fromUtf8(side == PieceSide::Red ? kind.redCharacter : kind.blackCharacter);
    painter.setRenderHint(QPainter::Antialiasing);

    // The side of the disc, lit from above.
    QLinearGradient sideShade(0, kFaceCentre.y(), 0, kPieceHeight);
    sideShade.setColorAt(0, kSideLight);
    sideShade.setColorAt(1, kSideDark);
    painter.fillPath(Silhouette(1.0), sideShade);

    // The face, lit from the upper left.
    QRadialGradient faceShade(kFaceCentre, kFaceRadius, kFaceCentre - QPointF(5, 6));
    faceShade.setColorAt(0, kFaceLight);
    faceShade.setColorAt(1, kFaceDark);
    painter.setBrush(faceShade);
    painter.setPen(QPen(kOutline, 0.8));
    painter.drawEllipse(kFaceCentre, kFaceRadius - 1.2, kFaceRadius - 1.2);

    // The engraved ring and the character, in the side's ink.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, 1.0));
    painter.drawEllipse(kFaceCentre, kInkRingRadius, kInkRingRadius);
    const QPainterPath glyph = CharacterPath(character, font);
    painter.fillPath(glyph, ink);
    painter.strokePath(glyph, QPen(ink, kInkSpread));
}

}  // namespace

QFont CharacterFont(const QString& family) {
    QFont font(family);
    font.setPixelSize(kCharacterPixels);
    font.setStyleStrategy(QFont::NoFontMerging);  // a missing glyph must not come from elsewhere
    return font;
}

QImage DrawPieceMask(int scale) {
    const int width = kPieceWidth * scale;
    const int height = kPieceHeight * scale;
    QImage coverage(width, height, QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    {
        QPainter painter(&coverage);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        painter.fillPath(Silhouette(0), Qt::black);
    }
    QImage mask(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inside = qAlpha(coverage.pixel(x, y)) >= 128;
            mask.setPixel(x, y, inside ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    return mask;
}

QImage DrawPieceBitmap(const PieceKindArt& kind, PieceSide side, const QFont& font, int scale) {
    // Every pixel the mask keeps starts as the dark outline, so the binary edge of the mask never
    // shows a half-drawn pixel.
    const int width = kPieceWidth * scale;
    const int height = kPieceHeight * scale;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kOutline);
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        PaintPiece(painter, kind, side, font);
    }

    const QImage mask = DrawPieceMask(scale);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!InsidePiece(mask, x, y)) {
                image.setPixel(x, y, qRgb(0, 0, 0));
            } else if ((image.pixel(x, y) & 0xFFFFFF) == 0) {
                image.setPixel(x, y, qRgb(1, 1, 1));  // black would read as "outside the piece"
            }
        }
    }
    return image;
}

QImage DrawBackgroundPattern() {
    QImage pattern(kPatternSize, kPatternSize, QImage::Format_RGB32);
    pattern.fill(QColor(192, 192, 192));
    for (int y = 0; y < kPatternSize; y += 2) {
        for (int x = 0; x < kPatternSize; x += 2)
            pattern.setPixel(x, y, qRgb(255, 255, 255));
    }
    return pattern;
}

QImage DrawIcon(int size, const QFont& font) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal scale = size / static_cast<qreal>(kPieceHeight);
    painter.translate((size - kPieceWidth * scale) / 2, 0);
    painter.scale(scale, scale);
    painter.fillPath(Silhouette(0), kOutline);
    PaintPiece(painter, kPieceKinds[0], PieceSide::Red, font);
    return icon;
}
