// The raster canvas, pixel by pixel: the five raster operations, pen lines without their end
// point, rectangles without their right column and bottom row, patterns anchored at the canvas
// origin, opaque text and read-back; and the same drawn at scale 2, as for a screen of twice the
// density.
#include "ui/gdi/canvas.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <functional>
#include <string>
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

// Draws the same on a canvas of scale 1 and one of scale 2.
struct TwoScales {
    TwoScales(int width, int height) : one(width, height), two(width, height, 2) {
        one.FillRect({0, 0, width, height}, Brush::Solid(kWhite));
        two.FillRect({0, 0, width, height}, Brush::Solid(kWhite));
    }
    template <typename Draw>
    void Both(Draw draw) {
        draw(one);
        draw(two);
    }
    // Whether every device pixel of `two` is the pixel of `one` it enlarges.
    bool TwoIsOneEnlarged() const {
        for (int y = 0; y < two.Image().height(); ++y)
            for (int x = 0; x < two.Image().width(); ++x)
                if (two.Pixel(x, y) != one.Pixel(x / 2, y / 2)) return false;
        return true;
    }
    Canvas one;
    Canvas two;
};

TEST(CanvasTest, AtScaleTwoTheImageHasTwiceTheDevicePixelsEachWay) {
    const Canvas canvas(7, 5, 2);
    EXPECT_EQ(canvas.Width(), 7);
    EXPECT_EQ(canvas.Height(), 5);
    EXPECT_EQ(canvas.Image().size(), QSize(14, 10));
    EXPECT_EQ(canvas.Image().devicePixelRatio(), 2.0);
    EXPECT_EQ(canvas.WindowSize(QImage(62, 71, QImage::Format_RGB32)), QSize(31, 36));
}

// Fills, patterns, straight lines, rectangles and blits in window pixels: each window pixel is a
// 2 x 2 block of the same colour.
TEST(CanvasTest, AtScaleTwoStraightDrawingIsTheWindowPixelsEnlarged) {
    QImage pattern(8, 8, QImage::Format_RGB32);
    pattern.fill(kWhite);
    pattern.setPixel(3, 5, kBlack);
    const Brush fill = Brush::Solid(kRed);
    const struct {
        const char* name;
        std::function<void(Canvas&)> draw;
    } rows[] = {
        {"pattern",
         [&](Canvas& c) {
             c.FillRect({2, 2, 20, 20}, Brush::Pattern(pattern));
         }},
        {"rightwards",
         [](Canvas& c) {
             c.Line({1, 1}, {4, 1}, kBlack);
         }},
        {"leftwards",
         [](Canvas& c) {
             c.Line({4, 1}, {1, 1}, kBlack);
         }},
        {"upwards",
         [](Canvas& c) {
             c.Line({2, 4}, {2, 1}, kBlack);
         }},
        {"downwards off the edge",
         [](Canvas& c) {
             c.Line({2, 14}, {2, 29}, kBlack);
         }},
        {"polyline",
         [](Canvas& c) {
             c.Polyline({{0, 3}, {3, 3}, {3, 0}}, kBlack);
         }},
        {"rectangle",
         [&](Canvas& c) {
             c.Rectangle({1, 1, 5, 4}, kBlack, &fill);
         }},
        {"blit",
         [](Canvas& c) {
             QImage source(6, 4, QImage::Format_RGB32);  // 3 x 2 window pixels at scale 2
             source.fill(kRed);
             if (c.Scale() == 1) source = source.scaled(3, 2);
             c.Blit({14, 15}, 2, 2, source, RasterOp::Copy);
         }},
    };
    for (const auto& row : rows) {
        TwoScales canvases(16, 16);
        canvases.Both(row.draw);
        EXPECT_TRUE(canvases.TwoIsOneEnlarged()) << row.name;
    }
}

// A slanted line is walked at the device's resolution: the pixels it paints lie along the blocks of
// the window pixels the line paints at scale 1 (in one or next to one), two to a column (as wide
// as their staircase), and no block is painted whole.
TEST(CanvasTest, AtScaleTwoASlantedLineIsASmoothBandNotAStaircaseOfBlocks) {
    const struct {
        const char* name;
        QPoint from;
        QPoint to;
    } rows[] = {
        {"diagonal", {0, 0}, {6, 6}},
        {"anti-diagonal", {6, 0}, {0, 6}},
        {"back up the diagonal", {6, 6}, {0, 0}},
    };
    for (const auto& row : rows) {
        TwoScales canvases(8, 8);
        canvases.Both([&](Canvas& c) { c.Line(row.from, row.to, kBlack); });
        const std::vector<QPoint> painted = PixelsOf(canvases.two, kBlack);
        EXPECT_GE(painted.size(), 2 * 12 - 1) << row.name;
        EXPECT_LE(painted.size(), 2 * 12) << row.name;
        const auto onStaircase = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < 16 && y < 16 &&
                   canvases.one.Pixel(x / 2, y / 2) == kBlack;
        };
        for (const QPoint& p : painted)
            EXPECT_TRUE(onStaircase(p.x(), p.y()) || onStaircase(p.x() - 1, p.y()) ||
                        onStaircase(p.x() + 1, p.y()) || onStaircase(p.x(), p.y() - 1) ||
                        onStaircase(p.x(), p.y() + 1))
                << row.name << ": astray at " << p.x() << "," << p.y();
        for (int y = 0; y < 16; y += 2)
            for (int x = 0; x < 16; x += 2)
                EXPECT_FALSE(canvases.two.Pixel(x, y) == kBlack &&
                             canvases.two.Pixel(x + 1, y) == kBlack &&
                             canvases.two.Pixel(x, y + 1) == kBlack &&
                             canvases.two.Pixel(x + 1, y + 1) == kBlack)
                    << row.name << ": a whole block at " << x << "," << y;
    }
}

// A line drawn in pieces, each clipped to a tile of its own, paints the device pixels of the line
// drawn whole, at scales 1 and 2 (a slanted band strays into the tiles beside its blocks); a
// clipped piece alone paints nothing outside its tile.
TEST(CanvasTest, ClippedPiecesOfALineAreTheWholeLine) {
    const struct {
        const char* name;
        QPoint from;
        QPoint to;
    } rows[] = {
        {"diagonal", {1, 1}, {15, 15}},
        {"rising", {1, 14}, {15, 0}},
        {"shallow", {0, 3}, {16, 9}},
        {"straight", {2, 5}, {14, 5}},
    };
    for (const int scale : {1, 2}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(std::string(row.name) + " at scale " + std::to_string(scale));
            Canvas whole(16, 16, scale), pieces(16, 16, scale), alone(16, 16, scale);
            for (Canvas* canvas : {&whole, &pieces, &alone})
                canvas->FillRect({0, 0, 16, 16}, Brush::Solid(kWhite));
            whole.Line(row.from, row.to, kBlack);
            for (int top = 0; top < 16; top += 4)
                for (int left = 0; left < 16; left += 4)
                    pieces.Line(row.from, row.to, kBlack, {left, top, left + 4, top + 4});
            EXPECT_EQ(pieces.Image(), whole.Image());
            alone.Line(row.from, row.to, kBlack, {4, 4, 8, 8});
            for (const QPoint& p : PixelsOf(alone, kBlack)) {
                EXPECT_TRUE(QRect(4 * scale, 4 * scale, 4 * scale, 4 * scale).contains(p))
                    << p.x() << "," << p.y();
            }
        }
    }
}

// Text keeps its box in window pixels and is drawn at twice its size, not enlarged: about four
// times the ink, and strokes that are not made of whole blocks.
TEST(CanvasTest, AtScaleTwoTextIsDrawnAtTwiceItsSize) {
    TwoScales canvases(80, 40);
    const QFont font = xq::SystemFont();
    Rect boxes[2];
    int index = 0;
    canvases.Both([&](Canvas& c) {
        boxes[index++] = c.TextOut({5, 5}, QString::fromUtf8("九"), font, kBlack, 0xFFC0C0C0u);
    });
    EXPECT_EQ(boxes[0].right, boxes[1].right);
    EXPECT_EQ(boxes[0].bottom, boxes[1].bottom);
    const auto ink = [](const Canvas& c) {
        int count = 0;
        for (int y = 0; y < c.Image().height(); ++y)
            for (int x = 0; x < c.Image().width(); ++x)
                count += qGray(c.Pixel(x, y)) < 96;
        return count;
    };
    EXPECT_GT(ink(canvases.two), 3 * ink(canvases.one));
    EXPECT_LT(ink(canvases.two), 5 * ink(canvases.one));
    EXPECT_FALSE(canvases.TwoIsOneEnlarged());
    // The background of the box is a whole block at its corners.
    EXPECT_EQ(canvases.two.Pixel(2 * boxes[1].left, 2 * boxes[1].top), 0xFFC0C0C0u);
    EXPECT_EQ(canvases.two.Pixel(2 * boxes[1].right - 1, 2 * boxes[1].bottom - 1), 0xFFC0C0C0u);
    EXPECT_EQ(canvases.two.Pixel(2 * boxes[1].right, 2 * boxes[1].bottom), kWhite);

    const QImage saved = canvases.two.ReadBack(boxes[1]);
    EXPECT_EQ(saved.size(),
              QSize(2 * (boxes[1].right - boxes[1].left), 2 * (boxes[1].bottom - boxes[1].top)));
    EXPECT_EQ(canvases.two.WindowSize(saved),
              QSize(boxes[1].right - boxes[1].left, boxes[1].bottom - boxes[1].top));
}

}  // namespace
}  // namespace xq::gdi
