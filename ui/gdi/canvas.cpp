#include "ui/gdi/canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace xq::gdi {

namespace {

constexpr QRgb kOpaque = 0xFF000000u;

QRgb Combine(QRgb source, QRgb destination, RasterOp op) {
    switch (op) {
        case RasterOp::Copy:
            return source;
        case RasterOp::And:
            return source & destination;
        case RasterOp::Invert:
            return source ^ destination;
        case RasterOp::NotSrcErase:
            return ~(source | destination);
        case RasterOp::SrcErase:
            return source & ~destination;
    }
    return destination;
}

}  // namespace

Brush Brush::Solid(QRgb colour) {
    Brush brush;
    std::fill(std::begin(brush.pattern_), std::end(brush.pattern_), colour | kOpaque);
    return brush;
}

Brush Brush::Pattern(const QImage& pattern) {
    Brush brush;
    const QImage rgb = pattern.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            brush.pattern_[y * 8 + x] = rgb.pixel(x % rgb.width(), y % rgb.height()) | kOpaque;
    return brush;
}

Canvas::Canvas(int width, int height) : image_(width, height, QImage::Format_RGB32) {
    image_.fill(Qt::black);
}

void Canvas::SetPixel(int x, int y, QRgb colour) {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = colour | kOpaque;
}

void Canvas::Changed(const QRect& rect) {
    if (listener_) listener_(rect.intersected(image_.rect()));
}

void Canvas::FillRect(const Rect& rect, const Brush& brush) {
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            SetPixel(x, y, brush.At(x, y));
    Changed(QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)));
}

// Bresenham's walk from `from`, stopping before `to`.
void Canvas::Line(QPoint from, QPoint to, QRgb pen) {
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int stepX = from.x() < to.x() ? 1 : -1;
    const int stepY = from.y() < to.y() ? 1 : -1;
    int error = dx + dy;
    int x = from.x();
    int y = from.y();
    while (x != to.x() || y != to.y()) {
        SetPixel(x, y, pen);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
    Changed(QRect(from, to).normalized());
}

void Canvas::Polyline(std::initializer_list<QPoint> points, QRgb pen) {
    const QPoint* previous = nullptr;
    for (const QPoint& point : points) {
        if (previous != nullptr) Line(*previous, point, pen);
        previous = &point;
    }
}

void Canvas::Rectangle(const Rect& rect, QRgb pen, const Brush* fill) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    if (fill != nullptr)
        FillRect({rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1}, *fill);
    const int right = rect.right - 1;
    const int bottom = rect.bottom - 1;
    for (int x = rect.left; x <= right; ++x) {
        SetPixel(x, rect.top, pen);
        SetPixel(x, bottom, pen);
    }
    for (int y = rect.top; y <= bottom; ++y) {
        SetPixel(rect.left, y, pen);
        SetPixel(right, y, pen);
    }
    Changed(QRect(QPoint(rect.left, rect.top), QPoint(right, bottom)));
}

void Canvas::Blit(QPoint at, int width, int height, const QImage& source, RasterOp op) {
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    width = std::min(width, rgb.width());
    height = std::min(height, rgb.height());
    for (int y = 0; y < height; ++y) {
        const QRgb* sourceLine = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        const int destinationY = at.y() + y;
        if (destinationY < 0 || destinationY >= image_.height()) continue;
        QRgb* destinationLine = reinterpret_cast<QRgb*>(image_.scanLine(destinationY));
        for (int x = 0; x < width; ++x) {
            const int destinationX = at.x() + x;
            if (destinationX < 0 || destinationX >= image_.width()) continue;
            destinationLine[destinationX] =
                Combine(sourceLine[x], destinationLine[destinationX], op) | kOpaque;
        }
    }
    Changed(QRect(at.x(), at.y(), width, height));
}

Rect Canvas::TextOut(QPoint at, const QString& text, const QFont& font, QRgb textColour,
                     QRgb background) {
    const QFontMetrics metrics(font);
    const Rect box{at.x(), at.y(), at.x() + metrics.horizontalAdvance(text),
                   at.y() + metrics.height() + metrics.leading()};
    FillRect(box, Brush::Solid(background));
    QPainter painter(&image_);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(textColour));
    painter.drawText(QPoint(at.x(), at.y() + metrics.ascent()), text);
    painter.end();
    Changed(QRect(QPoint(box.left, box.top), QPoint(box.right - 1, box.bottom - 1)));
    return box;
}

QImage Canvas::ReadBack(const Rect& rect) const {
    return image_.copy(QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)));
}

}  // namespace xq::gdi
