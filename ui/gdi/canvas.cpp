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

Canvas::Canvas(int width, int height, int scale)
    : width_(width),
      height_(height),
      scale_(std::max(1, scale)),
      image_(width * scale_, height * scale_, QImage::Format_RGB32),
      deviceWidth_(image_.width()),
      deviceHeight_(image_.height()) {
    image_.setDevicePixelRatio(scale_);
    image_.fill(Qt::black);
}

void Canvas::Reset(int width, int height, int scale) {
    width_ = width;
    height_ = height;
    scale_ = std::max(1, scale);
    image_ = QImage(width_ * scale_, height_ * scale_, QImage::Format_RGB32);
    image_.setDevicePixelRatio(scale_);
    deviceWidth_ = image_.width();
    deviceHeight_ = image_.height();
    image_.fill(Qt::black);
    Changed(QRect(0, 0, width_, height_));
}

void Canvas::SetDevicePixel(int x, int y, QRgb colour) {
    if (x < 0 || y < 0 || x >= deviceWidth_ || y >= deviceHeight_) return;
    reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = colour | kOpaque;
}

void Canvas::SetPixel(int x, int y, QRgb colour) {
    for (int dy = 0; dy < scale_; ++dy)
        for (int dx = 0; dx < scale_; ++dx)
            SetDevicePixel(x * scale_ + dx, y * scale_ + dy, colour);
}

void Canvas::Changed(const QRect& rect) {
    if (listener_) listener_(rect.intersected(QRect(0, 0, width_, height_)));
}

// A pattern's pixel is a block of the scale, so the pattern looks the same at every scale.
void Canvas::FillRect(const Rect& rect, const Brush& brush) {
    // The device rows, cut to the image; a brush's colours are opaque already.
    const int left = std::max(rect.left * scale_, 0);
    const int right = std::min(rect.right * scale_, deviceWidth_);
    const int bottom = std::min(rect.bottom * scale_, deviceHeight_);
    for (int y = std::max(rect.top * scale_, 0); y < bottom; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        const int patternY = y / scale_;
        for (int x = left; x < right; ++x)
            line[x] = brush.At(x / scale_, patternY);
    }
    Changed(QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)));
}

namespace {

// Bresenham's walk from `from`, stopping before `to`; `plot` gets every point.
template <typename Plot>
void WalkLine(QPoint from, QPoint to, Plot plot) {
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int stepX = from.x() < to.x() ? 1 : -1;
    const int stepY = from.y() < to.y() ? 1 : -1;
    int error = dx + dy;
    int x = from.x();
    int y = from.y();
    while (x != to.x() || y != to.y()) {
        plot(x, y);
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
}

}  // namespace

void Canvas::Line(QPoint from, QPoint to, QRgb pen) {
    Line(from, to, pen, {0, 0, width_, height_});
}

// At a scale above 1 the line is walked again between the device pixels of its ends, the scale's
// number of pixels across its main direction at every point, cut to the blocks of the window
// pixels the line paints: a straight line paints exactly those blocks, a slanted one a band as wide
// as the blocks' staircase but smooth. An end in a falling direction is the block's far pixel.
void Canvas::Line(QPoint from, QPoint to, QRgb pen, const Rect& clip) {
    const QRect window(QPoint(clip.left, clip.top), QPoint(clip.right - 1, clip.bottom - 1));
    const QRect touched = QRect(from, to).normalized().intersected(window);
    if (scale_ == 1) {
        WalkLine(from, to, [&](int x, int y) {
            if (window.contains(x, y)) SetDevicePixel(x, y, pen);
        });
        if (!touched.isEmpty()) Changed(touched);
        return;
    }
    QRect painted;
    WalkLine(from, to, [&](int x, int y) { painted |= QRect(x, y, 1, 1); });
    if (painted.isEmpty()) return;
    const QRect device = QRect(painted.topLeft() * scale_, painted.size() * scale_)
                             .intersected(QRect(window.topLeft() * scale_, window.size() * scale_));
    const int far = scale_ - 1;
    const QPoint offset(to.x() < from.x() ? far : 0, to.y() < from.y() ? far : 0);
    const bool alongX = std::abs(to.x() - from.x()) >= std::abs(to.y() - from.y());
    WalkLine(from * scale_ + offset, to * scale_ + offset, [&](int x, int y) {
        const QRect across = alongX ? QRect(x, offset.y() != 0 ? y - far : y, 1, scale_)
                                    : QRect(offset.x() != 0 ? x - far : x, y, scale_, 1);
        const QRect run = across.intersected(device);
        for (int ry = run.top(); ry <= run.bottom(); ++ry)
            for (int rx = run.left(); rx <= run.right(); ++rx)
                SetDevicePixel(rx, ry, pen);
    });
    if (!touched.isEmpty()) Changed(touched);
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

QSize Canvas::WindowSize(const QImage& source) const {
    return {(source.width() + scale_ - 1) / scale_, (source.height() + scale_ - 1) / scale_};
}

void Canvas::Blit(QPoint at, int width, int height, const QImage& source, RasterOp op) {
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    // In device pixels from here on.
    const int deviceWidth = std::min(width * scale_, rgb.width());
    const int deviceHeight = std::min(height * scale_, rgb.height());
    const QPoint deviceAt = at * scale_;
    for (int y = 0; y < deviceHeight; ++y) {
        const QRgb* sourceLine = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        const int destinationY = deviceAt.y() + y;
        if (destinationY < 0 || destinationY >= deviceHeight_) continue;
        QRgb* destinationLine = reinterpret_cast<QRgb*>(image_.scanLine(destinationY));
        for (int x = 0; x < deviceWidth; ++x) {
            const int destinationX = deviceAt.x() + x;
            if (destinationX < 0 || destinationX >= deviceWidth_) continue;
            destinationLine[destinationX] =
                Combine(sourceLine[x], destinationLine[destinationX], op) | kOpaque;
        }
    }
    Changed(QRect(at.x(), at.y(), (deviceWidth + scale_ - 1) / scale_,
                  (deviceHeight + scale_ - 1) / scale_));
}

Rect Canvas::TextOut(QPoint at, const QString& text, const QFont& font, QRgb textColour,
                     QRgb background) {
    const QFontMetrics metrics(font);
    const Rect box{at.x(), at.y(), at.x() + metrics.horizontalAdvance(text),
                   at.y() + metrics.height() + metrics.leading()};
    FillRect(box, Brush::Solid(background));
    // The image's device pixel ratio scales the painter: the text comes at the scale's size.
    QPainter painter(&image_);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(textColour));
    painter.drawText(QPoint(at.x(), at.y() + metrics.ascent()), text);
    painter.end();
    Changed(QRect(QPoint(box.left, box.top), QPoint(box.right - 1, box.bottom - 1)));
    return box;
}

QImage Canvas::ReadBack(const Rect& rect) const {
    return image_.copy(QRect(rect.left * scale_, rect.top * scale_,
                             (rect.right - rect.left) * scale_, (rect.bottom - rect.top) * scale_));
}

}  // namespace xq::gdi
