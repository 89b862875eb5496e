// The raster canvas, pixel by pixel: the five raster operations, pen lines without their end
// point, rectangles without their right column and bottom row, patterns anchored at the canvas
// origin, opaque text and read-back.
#include "ui/gdi/canvas.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <vector>

#include "ui/systemfont.h"

namespace xq::gdi {
namespace {

constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr QRgb kRed = 0xFFFF0000u;

QImage OnePixel(QRgb colour) {
    QImage image(1, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, colour);
    return image;
}

TEST(CanvasTest, RasterOperationsCombineSourceAndDestination) {
    // Rows: operation, source, destination, expected (RGB; the canvas is always opaque).
    const struct {
        const char* name;
        RasterOp op;
        QRgb source;
        QRgb destination;
        QRgb expected;
    } rows[] = {
        {"copy", RasterOp::Copy, 0xFF123456u, 0xFF00FF00u, 0xFF123456u},
        {"and keeps the board under white", RasterOp::And, kWhite, 0xFF00FF00u, 0xFF00FF00u},
        {"and blacks out under black", RasterOp::And, kBlack, 0xFF00FF00u, kBlack},
        {"and mixes bits", RasterOp::And, 0xFF0F0F0Fu, 0xFF3C3C3Cu, 0xFF0C0C0Cu},
        {"xor leaves the board under black", RasterOp::Invert, kBlack, 0xFF00FF00u, 0xFF00FF00u},
        {"xor puts a piece on black", RasterOp::Invert, 0xFFC08040u, kBlack, 0xFFC08040u},
        {"xor mixes bits", RasterOp::Invert, 0xFF0F0F0Fu, 0xFF3C3C3Cu, 0xFF333333u},
        {"not-or inverts the board under black", RasterOp::NotSrcErase, kBlack, 0xFF00FF00u,
         0xFFFF00FFu},
        {"not-or inverts a piece on black", RasterOp::NotSrcErase, 0xFFC08040u, kBlack,
         0xFF3F7FBFu},
        {"src-erase", RasterOp::SrcErase, 0xFF0F0F0Fu, 0xFF3C3C3Cu, 0xFF030303u},
    };
    for (const auto& row : rows) {
        Canvas canvas(3, 3);
        canvas.FillRect({0, 0, 3, 3}, Brush::Solid(row.destination));
        canvas.Blit({1, 1}, 1, 1, OnePixel(row.source), row.op);
        EXPECT_EQ(canvas.Pixel(1, 1), row.expected) << row.name;
        EXPECT_EQ(canvas.Pixel(0, 0), row.destination | 0xFF000000u) << row.name;
        EXPECT_EQ(canvas.Pixel(2, 2), row.destination | 0xFF000000u) << row.name;
    }
}

TEST(CanvasTest, BlitUsesOnlyTheGivenSizeAndClipsAtTheEdges) {
    Canvas canvas(4, 4);
    canvas.FillRect({0, 0, 4, 4}, Brush::Solid(kWhite));
    QImage source(3, 2, QImage::Format_RGB32);
    source.fill(kRed);
    canvas.Blit({2, 3}, 2, 2, source, RasterOp::Copy);  // a 32-wide mask used 31 wide, say
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(canvas.Pixel(x, y), (x >= 2 && y == 3) ? kRed : kWhite) << x << "," << y;
}

// The pixels of `colour` in the canvas, as (x, y) pairs in row order.
std::vector<QPoint> PixelsOf(const Canvas& canvas, QRgb colour) {
    std::vector<QPoint> found;
    for (int y = 0; y < canvas.Image().height(); ++y)
        for (int x = 0; x < canvas.Image().width(); ++x)
            if (canvas.Pixel(x, y) == colour) found.emplace_back(x, y);
    return found;
}

TEST(CanvasTest, LinesPaintUpToButNotIncludingTheirEndPoint) {
    const struct {
        const char* name;
        QPoint from;
        QPoint to;
        std::vector<QPoint> painted;
    } rows[] = {
        {"rightwards", {1, 1}, {4, 1}, {{1, 1}, {2, 1}, {3, 1}}},
        {"leftwards", {4, 1}, {1, 1}, {{2, 1}, {3, 1}, {4, 1}}},
        {"upwards", {2, 4}, {2, 1}, {{2, 2}, {2, 3}, {2, 4}}},
        {"diagonal", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
        {"anti-diagonal", {3, 0}, {0, 3}, {{3, 0}, {2, 1}, {1, 2}}},
        {"a point to itself paints nothing", {2, 2}, {2, 2}, {}},
        {"cut at the bottom edge", {2, 4}, {2, 9}, {{2, 4}, {2, 5}}},
    };
    for (const auto& row : rows) {
        Canvas canvas(6, 6);
        canvas.FillRect({0, 0, 6, 6}, Brush::Solid(kWhite));
        canvas.Line(row.from, row.to, kBlack);
        EXPECT_EQ(PixelsOf(canvas, kBlack), row.painted) << row.name;
    }
}

TEST(CanvasTest, PolylineJoinsItsLinesAndLeavesItsLastPoint) {
    Canvas canvas(5, 5);
    canvas.FillRect({0, 0, 5, 5}, Brush::Solid(kWhite));
    canvas.Polyline({{0, 3}, {3, 3}, {3, 0}}, kBlack);
    EXPECT_EQ(PixelsOf(canvas, kBlack),
              (std::vector<QPoint>{{3, 1}, {3, 2}, {0, 3}, {1, 3}, {2, 3}, {3, 3}}));
}

TEST(CanvasTest, RectanglesExcludeTheirRightColumnAndBottomRow) {
    Canvas canvas(7, 7);
    canvas.FillRect({0, 0, 7, 7}, Brush::Solid(kWhite));
    const Brush fill = Brush::Solid(kRed);
    canvas.Rectangle({1, 1, 5, 4}, kBlack, &fill);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 3;
            const bool edge = inside && (x == 1 || x == 4 || y == 1 || y == 3);
            const QRgb expected = edge ? kBlack : inside ? kRed : kWhite;
            EXPECT_EQ(canvas.Pixel(x, y), expected) << x << "," << y;
        }
    }
    // Unfilled: the inside keeps what was there.
    canvas.Rectangle({0, 0, 7, 7}, kRed, nullptr);
    EXPECT_EQ(canvas.Pixel(6, 6), kRed);
    EXPECT_EQ(canvas.Pixel(2, 2), kRed);  // the earlier fill
    EXPECT_EQ(canvas.Pixel(5, 5), kWhite);
}

TEST(CanvasTest, PatternRepeatsFromTheCanvasOrigin) {
    QImage pattern(8, 8, QImage::Format_RGB32);
    pattern.fill(kWhite);
    pattern.setPixel(3, 5, kBlack);
    Canvas canvas(20, 20);
    canvas.FillRect({0, 0, 20, 20}, Brush::Solid(kRed));
    canvas.FillRect({2, 2, 20, 20}, Brush::Pattern(pattern));
    // x = 3, 11, 19 and y = 5, 13; none in the unfilled border.
    EXPECT_EQ(PixelsOf(canvas, kBlack),
              (std::vector<QPoint>{{3, 5}, {11, 5}, {19, 5}, {3, 13}, {11, 13}, {19, 13}}));
}

TEST(CanvasTest, TextSitsOnAnOpaqueBoxAndReadBackCopiesPixels) {
    Canvas canvas(80, 40);
    canvas.FillRect({0, 0, 80, 40}, Brush::Solid(kRed));
    const QFont font = xq::SystemFont();
    const Rect box = canvas.TextOut({5, 5}, QString::fromUtf8("九"), font, kBlack, 0xFFC0C0C0u);
    const QFontMetrics metrics(font);
    EXPECT_EQ(box.right - box.left, metrics.horizontalAdvance(QString::fromUtf8("九")));
    EXPECT_EQ(box.bottom - box.top, metrics.height() + metrics.leading());
    int ink = 0, background = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            EXPECT_NE(canvas.Pixel(x, y), kRed) << "the box is opaque at " << x << "," << y;
            ink += qGray(canvas.Pixel(x, y)) < 96;  // the strokes, antialiased
            background += canvas.Pixel(x, y) == 0xFFC0C0C0u;
        }
    }
    EXPECT_GT(ink, 10);
    EXPECT_GT(background, ink);
    EXPECT_EQ(canvas.Pixel(box.right, box.top), kRed);

    const QImage saved = canvas.ReadBack({box.left, box.top, box.right, box.bottom});
    ASSERT_EQ(saved.size(), QSize(box.right - box.left, box.bottom - box.top));
    canvas.FillRect({0, 0, 80, 40}, Brush::Solid(kWhite));
    canvas.Blit({box.left, box.top}, saved.width(), saved.height(), saved, RasterOp::Copy);
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            ASSERT_EQ(canvas.Pixel(x, y), saved.pixel(x - box.left, y - box.top));
}

TEST(CanvasTest, EveryOperationReportsWhatItTouched) {
    Canvas canvas(40, 40);
    QRect touched;
    canvas.SetChangeListener([&](const QRect& changed) { touched = touched.united(changed); });
    canvas.Line({10, 10}, {20, 10}, kBlack);
    EXPECT_TRUE(touched.contains(QRect(10, 10, 10, 1)));
    touched = QRect();
    canvas.Rectangle({1, 2, 5, 8}, kBlack, nullptr);
    EXPECT_EQ(touched, QRect(1, 2, 4, 6));
    touched = QRect();
    canvas.Blit({30, 30}, 31, 35, QImage(31, 35, QImage::Format_RGB32), RasterOp::And);
    EXPECT_EQ(touched, QRect(30, 30, 10, 10));  // clipped to the canvas
}

}  // namespace
}  // namespace xq::gdi
