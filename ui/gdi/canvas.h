// The board window's raster canvas: a QImage (RGB32) the size of the window's client area, drawn
// with the classic raster operations and their exact pixel rules, so that what the board code
// draws can be checked pixel by pixel:
// - rectangles are given as left, top, right, bottom with the right column and the bottom row
//   excluded, for fills and outlines alike;
// - a pen line paints from its first point up to, not including, its second;
// - a pattern brush repeats its 8 x 8 image from the canvas origin.
// Every operation reports the rectangle it touched to the change listener, which asks the widget
// to repaint it; painting itself only copies the canvas to the screen.
// Coordinates are the window's pixels. A canvas of scale N holds N x N device pixels for each of
// them (a screen of a higher density): a window pixel of a fill, a pen or a rectangle's outline
// becomes an N x N block, a slanted line is walked at the device's resolution N pixels wide, text
// is drawn at N times its size, and blitted images come at N times their window size.
#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QString>
#include <functional>
#include <initializer_list>

namespace xq::gdi {

// Left, top, right, bottom; right and bottom are outside the rectangle.
struct Rect {
    int left;
    int top;
    int right;
    int bottom;
};

// A solid colour or an 8 x 8 pattern.
class Brush {
  public:
    static Brush Solid(QRgb colour);
    // `pattern` must be at least 8 x 8; its top-left 8 x 8 pixels are used.
    static Brush Pattern(const QImage& pattern);

    QRgb At(int x, int y) const { return pattern_[(y & 7) * 8 + (x & 7)]; }

  private:
    QRgb pattern_[64] = {};
};

enum class RasterOp {
    Copy,         // source
    And,          // source AND destination
    Invert,       // source XOR destination (SRCINVERT)
    NotSrcErase,  // NOT (source OR destination)
    SrcErase,     // source AND NOT destination
};

class Canvas {
  public:
    using ChangeListener = std::function<void(const QRect& changed)>;

    // `width` x `height` window pixels at `scale` (1 or more) device pixels each way.
    Canvas(int width, int height, int scale = 1);

    // Another window size and scale, all black until drawn again.
    void Reset(int width, int height, int scale);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Scale() const { return scale_; }
    // The device pixels; the image's device pixel ratio is the scale.
    const QImage& Image() const { return image_; }
    // A device pixel.
    QRgb Pixel(int x, int y) const { return image_.pixel(x, y); }
    void SetChangeListener(ChangeListener listener) { listener_ = std::move(listener); }

    // Pattern copy of the brush into the rectangle.
    void FillRect(const Rect& rect, const Brush& brush);
    // One-pixel pen line from `from` towards `to`; `to` itself is not painted.
    void Line(QPoint from, QPoint to, QRgb pen);
    // The part of that line inside `clip`, at every scale exactly the device pixels the whole
    // line paints there: lines drawn in pieces, each clipped to its own rectangle, are the line.
    void Line(QPoint from, QPoint to, QRgb pen, const Rect& clip);
    // Lines through the points in order; the last point is not painted.
    void Polyline(std::initializer_list<QPoint> points, QRgb pen);
    // Outline with a one-pixel pen on the rectangle's outer pixels (right column and bottom row
    // excluded); the inside filled with `fill` unless it is nullptr.
    void Rectangle(const Rect& rect, QRgb pen, const Brush* fill);
    // Combines the top-left `width` x `height` window pixels of `source`, an image at the canvas's
    // scale, with the canvas at `at`.
    void Blit(QPoint at, int width, int height, const QImage& source, RasterOp op);
    // The window size of an image at the canvas's scale (rounded up).
    QSize WindowSize(const QImage& source) const;
    // Text with its top-left at `at`, on a box of the background colour as wide as the text's
    // advance and as high as the font's line height. Returns the box.
    Rect TextOut(QPoint at, const QString& text, const QFont& font, QRgb textColour,
                 QRgb background);
    // A copy of the rectangle's pixels at the canvas's scale (the save-under of a dragged piece).
    QImage ReadBack(const Rect& rect) const;

  private:
    // The device pixels of window pixel (x, y).
    void SetPixel(int x, int y, QRgb colour);
    void SetDevicePixel(int x, int y, QRgb colour);
    void Changed(const QRect& rect);

    int width_;
    int height_;
    int scale_;
    QImage image_;
    int deviceWidth_;  // the image's, read in every pixel's bounds check
    int deviceHeight_;
    ChangeListener listener_;
};

}  // namespace xq::gdi
