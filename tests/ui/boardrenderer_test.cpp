// Board rendering on a canvas of the main window's size: where the cells lie (reversed too),
// which lines, diagonals and position marks a cell carries, the transparent and the inverted
// piece, and the easy level's threat frames; and the whole board at scale 2 against scale 1. The
// piece images are drawn here: a disc on black, and its mask.
#include "ui/boardrenderer.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/flow.h"
#include "engine/think.h"
#include "records/notation.h"
#include "records/settings.h"
#include "rules/board.h"
#include "rules/makemove.h"
#include "rules/record.h"
#include "support/position_fixture.h"
#include "ui/boardarrows.h"
#include "ui/systemfont.h"

namespace xq {
namespace {

constexpr QRgb kGreen = 0xFF008000u;
constexpr QRgb kPieceFace = 0xFFE0B070u;

bool InDisc(int x, int y) {
    const int dx = 2 * x - 30, dy = 2 * y - 34;  // centre (15, 17), radius 14
    return dx * dx + dy * dy <= 28 * 28;
}

PieceImages DiscImages() {
    PieceImages images;
    for (PieceKind kind = King; kind <= Pawn; ++kind) {
        QImage mask(32, 35, QImage::Format_RGB32);  // one column wider than used, as some are
        QImage piece(31, 35, QImage::Format_RGB32);
        for (int y = 0; y < 35; ++y) {
            for (int x = 0; x < 32; ++x) {
                mask.setPixel(x, y, InDisc(x, y) ? kBlack : kWhite);
                if (x < 31) piece.setPixel(x, y, InDisc(x, y) ? kPieceFace : kBlack);
            }
        }
        images.mask[kind] = mask;
        images.piece[kind][Red] = piece;
        images.piece[kind][Black] = piece;
    }
    return images;
}

class BoardRendererTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::SetUpFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w");
        Reset();
        levelKind = kLevelPerMove;
        computerSide = Black;
        canvas.FillRect({0, 0, 731, 666}, gdi::Brush::Solid(kLightGrey));
    }
    void TearDown() override { Reset(); }

    bool IsInk(QPoint origin, int dx, int dy) const {
        return canvas.Pixel(origin.x() + dx, origin.y() + dy) == kBlack;
    }

    gdi::Canvas canvas{731, 666};
    QFont font = SystemFont();
    PieceImages images = DiscImages();
    BoardRenderer renderer{canvas, font, images};
};

TEST_F(BoardRendererTest, CellsLieWhereTheLabelHeightPutsThemReversedToo) {
    const int lh = renderer.LabelHeight();
    const QFontMetrics metrics(font);
    EXPECT_EQ(lh, metrics.height() + metrics.leading() + 3);
    EXPECT_EQ(renderer.SquareOrigin(0), QPoint(lh + 3, lh + 360));
    EXPECT_EQ(renderer.SquareOrigin(152), QPoint(lh + 3 + 8 * 36, lh + 36));
    const gdi::Rect frame = renderer.BoardFrame();
    EXPECT_EQ(frame.left, lh);
    EXPECT_EQ(frame.top, static_cast<int>(lh * 2.5 + 5));
    EXPECT_EQ(frame.right, lh + 330);
    EXPECT_EQ(frame.bottom, lh + 399);

    boardReversed = 1;
    EXPECT_EQ(renderer.SquareOrigin(152), QPoint(lh + 3, lh + 360));
    EXPECT_EQ(renderer.SquareOrigin(0), QPoint(lh + 3 + 8 * 36, lh + 36));

    // Pixel -> square is the inverse, in both orientations, for every pixel of a cell's corners.
    for (uint8_t reversed : {0, 1}) {
        boardReversed = reversed;
        for (Square s : kSpiralOrder) {
            const QPoint o = renderer.SquareOrigin(s);
            EXPECT_EQ(renderer.SquareAt(o), s);
            EXPECT_EQ(renderer.SquareAt(o + QPoint(35, 35)), s);
        }
        EXPECT_EQ(renderer.SquareAt({lh + 2, lh + 40}), -1);
        EXPECT_EQ(renderer.SquareAt({lh + 3 + 9 * 36, lh + 40}), -1);
        EXPECT_EQ(renderer.SquareAt({lh + 10, lh + 36 + 10 * 36}), -1);
    }
}

// The nine file numbers above and the nine below the board: each label's box and the ink of
// its character are centred on the line of its file (the line runs through the cell's centre),
// whichever font sets the label height, in both orientations.
TEST_F(BoardRendererTest, FileLabelsAreCentredOnTheirFilesReversedToo) {
    const int lh = renderer.LabelHeight();
    const int lineHeight = lh - 3;
    for (uint8_t reversed : {0, 1}) {
        boardReversed = reversed;
        renderer.RedrawAll();
        for (int y : {28, lh + 407}) {
            for (int file = 0; file < 9; ++file) {
                SCOPED_TRACE("reversed " + std::to_string(reversed) + ", row " + std::to_string(y) +
                             ", file " + std::to_string(file));
                const int line = renderer.SquareOrigin(boardReversed ? 152 - file : file).x() + 18;
                // The box's white top edge, one row above the text.
                int left = line, right = line;
                ASSERT_EQ(canvas.Pixel(line, y - 1), kWhite);
                while (canvas.Pixel(left - 1, y - 1) == kWhite)
                    --left;
                while (canvas.Pixel(right + 1, y - 1) == kWhite)
                    ++right;
                EXPECT_LE(std::abs(left + right - 2 * line), 2) << left << ".." << right;
                // The character's ink inside the box.
                int inkLeft = right, inkRight = left;
                for (int row = y; row < y + lineHeight; ++row) {
                    for (int x = left; x <= right; ++x) {
                        if (qGray(canvas.Pixel(x, row)) >= 96) continue;
                        inkLeft = std::min(inkLeft, x);
                        inkRight = std::max(inkRight, x);
                    }
                }
                ASSERT_LE(inkLeft, inkRight) << "no character in the box";
                EXPECT_LE(std::abs(inkLeft + inkRight - 2 * line), 4)
                    << inkLeft << ".." << inkRight;
            }
        }
    }
}

// Red's file numbers run along Red's edge of the board and Black's along Black's, in Chinese
// notation and in WXF: the reversed board shows above it, file by file from the other end, the
// labels the board shows below it, and below it those it shows above.
TEST_F(BoardRendererTest, EachSidesFileNumbersFollowItsEdgeWhenReversed) {
    const BoardGeometry& geometry = renderer.Geometry();
    const int rows[2] = {geometry.TopLabelsY(), geometry.BottomLabelsY()};
    const int height = renderer.LabelHeight() + 2;
    const auto label = [&](const QImage& image, int row, int file) {
        return image.copy(renderer.FileCentre(file) - kHalfCell, rows[row] - 2, kCellSize, height);
    };
    for (const MoveStyle style : {MoveStyle::Simplified, MoveStyle::Wxf}) {
        SCOPED_TRACE(style == MoveStyle::Wxf ? "WXF" : "Chinese numerals");
        shownMoveStyle = style;
        QImage drawn[2];
        for (const uint8_t reversed : {0, 1}) {
            boardReversed = reversed;
            renderer.RedrawAll();
            drawn[reversed] = canvas.Image().copy();
        }
        for (int row = 0; row < 2; ++row)
            for (int file = 0; file < 9; ++file)
                EXPECT_EQ(label(drawn[1], row, file), label(drawn[0], 1 - row, 8 - file))
                    << "row " << row << ", file " << file;
    }
    shownMoveStyle = MoveStyle::Simplified;
}

TEST_F(BoardRendererTest, SpiralCoversTheNinetyPointsOnce) {
    const std::set<Square> points(std::begin(kSpiralOrder), std::end(kSpiralOrder));
    EXPECT_EQ(points.size(), 90u);
    for (Square s : points)
        EXPECT_TRUE(IsBoardPoint(s)) << s;
    EXPECT_EQ(kSpiralOrder[0], 0);
    EXPECT_EQ(kSpiralOrder[89], 84);
}

TEST_F(BoardRendererTest, PalaceCellsCarryTheirLinesAndDiagonals) {
    renderer.DrawEmptySquare(4);
    const QPoint c4 = renderer.SquareOrigin(4);
    EXPECT_EQ(canvas.Pixel(c4.x() + 5, c4.y() + 5), kGreen);  // the cell's fill
    for (int x = 0; x < 36; ++x)
        EXPECT_TRUE(IsInk(c4, x, 18)) << "horizontal line at " << x;
    for (int y = 0; y <= 18; ++y)
        EXPECT_TRUE(IsInk(c4, 18, y)) << "upward half line at " << y;
    for (int y = 19; y < 36; ++y)
        EXPECT_FALSE(IsInk(c4, 18, y)) << "nothing below the home rank at " << y;
    EXPECT_FALSE(IsInk(c4, 9, 9));
    EXPECT_FALSE(IsInk(c4, 27, 9));

    renderer.DrawEmptySquare(20);
    const QPoint c20 = renderer.SquareOrigin(20);
    for (int k = 0; k < 36; ++k)
        EXPECT_TRUE(IsInk(c20, k, k)) << "falling diagonal at " << k;
    for (int k = 1; k < 36; ++k)
        EXPECT_TRUE(IsInk(c20, k, 36 - k)) << "rising diagonal at " << k;
    EXPECT_FALSE(IsInk(c20, 10, 2));
}

// The board's lines run unbroken from end to end at scales 1 and 2: each line drawn again in one
// stroke over the board, the files, the ranks and the palaces' diagonals (left to right, as the
// cells draw them), paints no pixel that the cells left out. The cells are drawn again one by one
// in another order, as moves draw them, and each cell paints only inside itself.
TEST_F(BoardRendererTest, TheLinesRunUnbrokenAtScalesOneAndTwo) {
    for (const int scale : {1, 2}) {
        for (const uint8_t reversed : {0, 1}) {
            SCOPED_TRACE("scale " + std::to_string(scale) + ", reversed " +
                         std::to_string(reversed));
            boardReversed = reversed;
            gdi::Canvas scaled(731, 666, scale);
            BoardRenderer drawer(scaled, font, images);
            scaled.FillRect({0, 0, 731, 666}, gdi::Brush::Solid(kLightGrey));
            drawer.DrawBoard();
            for (auto s = std::rbegin(kSpiralOrder); s != std::rend(kSpiralOrder); ++s)
                drawer.DrawEmptySquare(*s);
            const QImage cells = scaled.Image().copy();

            // 1. The points' centres on the screen: displayed file f, displayed rank r.
            const auto centre = [&](int f, int r) {
                const Square shown = MakeSquare(r, f);
                return drawer.SquareOrigin(reversed ? 152 - shown : shown) + QPoint(18, 18);
            };
            const auto stroke = [&](QPoint from, QPoint last) {
                const QPoint step((last.x() > from.x()) - (last.x() < from.x()),
                                  (last.y() > from.y()) - (last.y() < from.y()));
                scaled.Line(from, last + step, kBlack);
            };
            // 2. The ranks, the outer files across the river, the inner ones up to it.
            for (int r = 0; r < 10; ++r)
                stroke(centre(0, r), centre(8, r));
            for (int f = 0; f < 9; ++f) {
                const bool outer = f == 0 || f == 8;
                stroke(centre(f, 9), centre(f, outer ? 0 : 5));
                if (!outer) stroke(centre(f, 4), centre(f, 0));
            }
            // 3. The palaces' diagonals.
            for (const int low : {0, 7}) {
                stroke(centre(3, low + 2), centre(5, low));
                stroke(centre(3, low), centre(5, low + 2));
            }
            int gaps = 0;
            for (int y = 0; y < cells.height(); ++y)
                for (int x = 0; x < cells.width(); ++x)
                    gaps += scaled.Pixel(x, y) != cells.pixel(x, y);
            EXPECT_EQ(gaps, 0) << "device pixels missing from the lines";

            // 4. Each cell alone on a blank canvas paints nothing outside itself.
            for (Square s : kSpiralOrder) {
                const QPoint o = drawer.SquareOrigin(s);
                scaled.FillRect({o.x() - 1, o.y() - 1, o.x() + 37, o.y() + 37},
                                gdi::Brush::Solid(kLightGrey));
                drawer.DrawEmptySquare(s);
                const QRect cell(o * scale, QSize(36, 36) * scale);
                int outside = 0;
                for (int y = cell.top() - scale; y <= cell.bottom() + scale; ++y)
                    for (int x = cell.left() - scale; x <= cell.right() + scale; ++x)
                        outside += !cell.contains(x, y) && scaled.Pixel(x, y) != kLightGrey;
                EXPECT_EQ(outside, 0) << "square " << s;
            }
        }
    }
}

TEST_F(BoardRendererTest, PositionMarksOnlyWhereGunnersAndPawnsStart) {
    for (Square s : kSpiralOrder)
        renderer.DrawEmptySquare(s);
    // The upper-left mark's vertical stroke and the upper-right mark's, per cell.
    const auto marks = [&](Square s) {
        const QPoint o = renderer.SquareOrigin(s);
        return std::pair<bool, bool>{IsInk(o, 13, 8), IsInk(o, 22, 8)};
    };
    // Display rank 3 (squares 48 ... 56): files 0, 2, 4, 6, 8, the outer ones on the inside only.
    const std::pair<bool, bool> rank3[9] = {{false, true},  {false, false}, {true, true},
                                            {false, false}, {true, true},   {false, false},
                                            {true, true},   {false, false}, {true, false}};
    for (int file = 0; file < 9; ++file)
        EXPECT_EQ(marks(48 + file), rank3[file]) << "file " << file;
    // The Gunners' points on display rank 2 carry all four marks; ranks 4 and 5 carry none.
    EXPECT_EQ(marks(33), (std::pair<bool, bool>{true, true}));
    EXPECT_EQ(marks(32), (std::pair<bool, bool>{false, false}));
    for (int file = 0; file < 9; ++file) {
        EXPECT_EQ(marks(64 + file), (std::pair<bool, bool>{false, false}))
            << "rank 4 file " << file;
        EXPECT_EQ(marks(80 + file), (std::pair<bool, bool>{false, false}))
            << "rank 5 file " << file;
    }
    // A reversed board draws the same lines: the layout follows the displayed square.
    const QImage unreversed = canvas.Image().copy();
    boardReversed = 1;
    for (Square s : kSpiralOrder)
        renderer.DrawEmptySquare(s);
    EXPECT_EQ(canvas.Image(), unreversed);
}

TEST_F(BoardRendererTest, NormalPieceKeepsTheBoardAroundItSelectedPieceInvertsItsBox) {
    const Square s = 21;  // a point with lines through the piece box
    renderer.DrawEmptySquare(s);
    const QImage empty = canvas.Image().copy();
    const QPoint o = renderer.SquareOrigin(s);

    renderer.DrawPiece(s, Rook, Red, PieceLook::Normal);
    for (int y = 0; y < 36; ++y) {
        for (int x = 0; x < 36; ++x) {
            const QRgb before = empty.pixel(o.x() + x, o.y() + y);
            const bool onPiece = x < 31 && y < 35 && InDisc(x, y);
            EXPECT_EQ(canvas.Pixel(o.x() + x, o.y() + y), onPiece ? kPieceFace : before)
                << x << "," << y;
        }
    }

    renderer.DrawEmptySquare(s);
    renderer.DrawPiece(s, Rook, Red, PieceLook::Selected);
    for (int y = 0; y < 36; ++y) {
        for (int x = 0; x < 36; ++x) {
            const QRgb before = empty.pixel(o.x() + x, o.y() + y);
            const bool inBox = x < 31 && y < 35;
            QRgb expected = before;
            if (inBox) expected = (InDisc(x, y) ? ~kPieceFace : ~before) | 0xFF000000u;
            EXPECT_EQ(canvas.Pixel(o.x() + x, o.y() + y), expected) << x << "," << y;
        }
    }

    // ShowNormal puts the normal look back from what the screen shows.
    renderer.SyncShownBoard();
    renderer.ShowNormal(s);  // square 21 is empty in the opening: the cell alone again
    EXPECT_EQ(canvas.Image(), empty);
}

TEST_F(BoardRendererTest, ChangedSquaresAreRedrawnFromTheBoardAndShownBoardFollows) {
    renderer.ClearShownBoard();
    renderer.SyncShownBoard();
    renderer.RedrawAll();
    const QImage before = canvas.Image().copy();
    // A Red Gunner from h2 to e2: two cells change, nothing else.
    board[36] = board[39];
    board[39].kind = Empty;
    renderer.RedrawChangedSquares();
    EXPECT_EQ(renderer.shownBoard[39].kind, Empty);
    EXPECT_EQ(renderer.shownBoard[36].kind, Gunner);
    int changedCells = 0;
    for (Square s : kSpiralOrder) {
        const QPoint o = renderer.SquareOrigin(s);
        if (canvas.Image().copy(o.x(), o.y(), 36, 36) != before.copy(o.x(), o.y(), 36, 36))
            ++changedCells;
    }
    EXPECT_EQ(changedCells, 2);
}

TEST_F(BoardRendererTest, EasyLevelFramesThreatenedPiecesUntilTheThreatIsGone) {
    // A Red Rook on a4 attacked by the Black Rook on a9, defended by the Red Rook on i4; a Red
    // Knight on e5 attacked by a Black Pawn on e6 and undefended.
    testing::SetUpFen("r3k4/9/9/4p4/4N4/R7R/9/9/9/4K4 w");
    levelKind = kLevelEasy;
    renderer.SyncShownBoard();
    renderer.RedrawAll();
    const QPoint rook = renderer.SquareOrigin(MakeSquare(4, 0));
    const QPoint knight = renderer.SquareOrigin(MakeSquare(5, 4));
    EXPECT_EQ(canvas.Pixel(rook.x() + 1, rook.y() + 1), kBlack);
    EXPECT_EQ(canvas.Pixel(rook.x() + 31, rook.y() + 34), kBlack);
    EXPECT_EQ(canvas.Pixel(knight.x() + 1, knight.y() + 1), kThreatRed);
    EXPECT_EQ(canvas.Pixel(knight.x() + 1, knight.y() + 20), kThreatRed);
    EXPECT_EQ(board[MakeSquare(4, 0)].threatMark, 1);
    EXPECT_EQ(board[MakeSquare(4, 8)].threatMark, 0);  // not attacked

    // The Black Rook leaves the file: the Rook's frame goes at the next redraw.
    board[MakeSquare(9, 1)] = board[MakeSquare(9, 0)];
    board[MakeSquare(9, 0)].kind = Empty;
    BuildPieceLists();
    renderer.RedrawChangedSquares();
    EXPECT_EQ(board[MakeSquare(4, 0)].threatMark, 0);
    EXPECT_NE(canvas.Pixel(rook.x() + 1, rook.y() + 1), kBlack);
    EXPECT_EQ(canvas.Pixel(knight.x() + 1, knight.y() + 1), kThreatRed);

    // ClearThreatMarks takes the rest away.
    renderer.ClearThreatMarks();
    EXPECT_EQ(board[MakeSquare(5, 4)].threatMark, 0);
    EXPECT_NE(canvas.Pixel(knight.x() + 1, knight.y() + 1), kThreatRed);
}

// "标记最后一步": off, a move looks as it always did; on, the last move's two cells carry the
// corner marks, which move on with the next move, come back with a take-back and survive a
// repaint, and switching off leaves the board exactly as it looks without the option.
TEST_F(BoardRendererTest, LastMoveMarkFollowsTheMovesShown) {
    renderer.ClearShownBoard();
    renderer.SyncShownBoard();
    renderer.RedrawAll();
    auto marked = [&](Square s) {
        const QPoint o = renderer.SquareOrigin(s);
        return canvas.Pixel(o.x() + 2, o.y() + 2) == kLastMoveYellow &&
               canvas.Pixel(o.x() + 33, o.y() + 33) == kLastMoveYellow;
    };
    // As the game plays a move: into the record, on the board, drawn, the record anchored.
    auto play = [&](const char* iccs) {
        const MoveRecord move = testing::Generated(iccs);
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
        renderer.RedrawChangedSquares();
        SlideRecord();
    };
    const Square h2 = 39, e2 = 36, h9 = 151, g7 = 118;
    play("h2e2");
    EXPECT_FALSE(marked(h2) || marked(e2)) << "off by default";
    const QImage unmarked = canvas.Image().copy();

    renderer.lastMoveMark.SetEnabled(true, renderer);
    EXPECT_TRUE(marked(h2) && marked(e2));
    int changedCells = 0;
    for (Square s : kSpiralOrder) {
        const QPoint o = renderer.SquareOrigin(s);
        if (canvas.Image().copy(o.x(), o.y(), 36, 36) != unmarked.copy(o.x(), o.y(), 36, 36))
            ++changedCells;
    }
    EXPECT_EQ(changedCells, 2);

    play("h9g7");
    EXPECT_FALSE(marked(h2) || marked(e2));
    EXPECT_TRUE(marked(h9) && marked(g7));
    const QPoint o = renderer.SquareOrigin(h2);
    EXPECT_EQ(canvas.Image().copy(o.x(), o.y(), 36, 36), unmarked.copy(o.x(), o.y(), 36, 36));

    TakeBackMove(GameRecord[recordTop]);
    renderer.RedrawChangedSquares();
    EXPECT_TRUE(marked(h2) && marked(e2));
    EXPECT_FALSE(marked(h9) || marked(g7));

    renderer.RedrawAll();
    EXPECT_TRUE(marked(h2) && marked(e2));
    renderer.lastMoveMark.SetEnabled(false, renderer);
    EXPECT_EQ(canvas.Image(), unmarked);

    // A new game's record has no move: nothing to mark.
    renderer.lastMoveMark.SetEnabled(true, renderer);
    testing::SetUpFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w");
    renderer.ClearShownBoard();
    renderer.SyncShownBoard();
    renderer.RedrawAll();
    EXPECT_FALSE(marked(h2) || marked(e2));
    renderer.lastMoveMark.SetEnabled(false, renderer);
}

// On the easy level a square that loses the mark gets its threat frame back.
TEST_F(BoardRendererTest, LastMoveMarkLeavesTheThreatFrameBehind) {
    testing::SetUpFen("r4k3/9/9/9/9/8R/9/9/9/4K4 w");
    levelKind = kLevelEasy;
    renderer.lastMoveMark.SetEnabled(true, renderer);
    renderer.SyncShownBoard();
    renderer.RedrawAll();
    for (const char* iccs : {"i4a4", "f9f8"}) {
        const MoveRecord move = testing::Generated(iccs);
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
        renderer.RedrawChangedSquares();
        SlideRecord();
    }
    const QPoint rook = renderer.SquareOrigin(MakeSquare(4, 0));  // attacked by the Black Rook
    EXPECT_EQ(canvas.Pixel(rook.x() + 1, rook.y() + 1), kThreatRed);
    EXPECT_NE(canvas.Pixel(rook.x() + 2, rook.y() + 2), kLastMoveYellow);
    const QPoint king = renderer.SquareOrigin(MakeSquare(8, 5));
    EXPECT_EQ(canvas.Pixel(king.x() + 2, king.y() + 2), kLastMoveYellow);
}

bool InPalace(Square s) {
    const int rank = RankOf(s), file = FileOf(s);
    return file >= 3 && file <= 5 && (rank <= 2 || rank >= 7);
}

// The opening drawn with the program's artwork at scale 1 and at scale 2 (a screen of twice the
// density): every cell where the same geometry puts it; outside the pieces, the palace diagonals
// and the labels' characters, the scale-2 board is the scale-1 board enlarged pixel for pixel;
// each piece is its scale-2 artwork, whose edge is finer than the scale-1 piece enlarged.
TEST_F(BoardRendererTest, AtScaleTwoTheBoardIsTheScaleOneBoardAtTwiceTheResolution) {
    PieceImages art[2];
    QString missing;
    ASSERT_TRUE(art[0].Load(QStringLiteral(":/"), &missing, 1)) << qPrintable(missing);
    ASSERT_TRUE(art[1].Load(QStringLiteral(":/"), &missing, 2)) << qPrintable(missing);
    gdi::Canvas one(731, 666), two(731, 666, 2);
    BoardRenderer atOne(one, font, art[0]), atTwo(two, font, art[1]);
    for (auto [surface, drawer] : {std::pair{&one, &atOne}, std::pair{&two, &atTwo}}) {
        surface->FillRect({0, 0, 731, 666}, gdi::Brush::Solid(kLightGrey));
        drawer->SyncShownBoard();
        drawer->RedrawAll();
    }

    // 1. The geometry is the window's at both scales.
    for (Square s : kSpiralOrder)
        ASSERT_EQ(atTwo.SquareOrigin(s), atOne.SquareOrigin(s));
    ASSERT_EQ(atTwo.LabelHeight(), atOne.LabelHeight());

    // 2. The rest of the board, enlarged.
    QImage skip(731, 666, QImage::Format_Mono);
    skip.fill(0);
    const auto skipRect = [&](const QRect& rect) {
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                skip.setPixel(x, y, 1);
    };
    for (Square s : kSpiralOrder) {
        const QPoint o = atOne.SquareOrigin(s);
        if (InPalace(s)) skipRect(QRect(o, QSize(36, 36)));
        if (board[s].kind != Empty) skipRect(QRect(o, QSize(31, 35)));
    }
    const int lineHeight = atOne.LabelHeight() - 3;
    for (int y : {atOne.Geometry().TopLabelsY(), atOne.Geometry().BottomLabelsY()})
        skipRect(QRect(0, y, 731, lineHeight));
    int compared = 0, differing = 0;
    for (int y = 0; y < 666; ++y) {
        for (int x = 0; x < 731; ++x) {
            if (skip.pixelIndex(x, y) != 0) continue;
            ++compared;
            const QRgb pixel = one.Pixel(x, y);
            differing += two.Pixel(2 * x, 2 * y) != pixel || two.Pixel(2 * x + 1, 2 * y) != pixel ||
                         two.Pixel(2 * x, 2 * y + 1) != pixel ||
                         two.Pixel(2 * x + 1, 2 * y + 1) != pixel;
        }
    }
    EXPECT_GT(compared, 731 * 666 * 3 / 4);
    EXPECT_EQ(differing, 0);

    // 3. The pieces: the scale-2 artwork inside its mask, and an edge that cuts through blocks.
    for (Square s : kSpiralOrder) {
        const BoardCell& cell = board[s];
        if (cell.kind == Empty) continue;
        SCOPED_TRACE("square " + std::to_string(s));
        const QPoint o = atTwo.SquareOrigin(s) * 2;
        const QImage& piece = art[1].piece[cell.kind][cell.side];
        const QImage& mask = art[1].mask[cell.kind];
        int wrong = 0, cutBlocks = 0;
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 62; ++x)
                if (qRed(mask.pixel(x, y)) == 0)
                    wrong += two.Pixel(o.x() + x, o.y() + y) != (piece.pixel(x, y) | 0xFF000000u);
        for (int y = 0; y < 70; y += 2) {
            for (int x = 0; x < 62; x += 2) {
                const bool inside = qRed(mask.pixel(x, y)) == 0;
                bool mixed = false;
                for (int d = 1; d < 4; ++d)
                    mixed |= (qRed(mask.pixel(x + d % 2, y + d / 2)) == 0) != inside;
                cutBlocks += mixed;
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(cutBlocks, 20) << "the piece's edge is made of whole 2 x 2 blocks";
    }
}

// The analysis's arrows: each runs from the centre of its piece's point to the centre of the
// target's, on the reversed board too.
TEST_F(BoardRendererTest, ArrowsRunBetweenTheCentresOfTheirPointsReversedToo) {
    BoardArrows arrows(renderer, nullptr);
    const struct {
        const char* name;
        Square from, to;
        bool reversed;
    } rows[] = {
        {"h2e2", 39, 36, false},         {"b0c2", 1, 34, false},          {"h9g7", 151, 118, false},
        {"h2e2 reversed", 39, 36, true}, {"a0a9 reversed", 0, 144, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        boardReversed = row.reversed ? 1 : 0;
        const QLineF line = arrows.Line({row.from, row.to});
        const QPointF centre(18.5, 18.5);
        EXPECT_EQ(line.p1(), QPointF(renderer.SquareOrigin(row.from)) + centre);
        EXPECT_EQ(line.p2(), QPointF(renderer.SquareOrigin(row.to)) + centre);
        // The point under each end is the square it stands for.
        EXPECT_EQ(renderer.SquareAt(line.p1().toPoint()), row.from);
        EXPECT_EQ(renderer.SquareAt(line.p2().toPoint()), row.to);
    }
    boardReversed = 0;
}

// Painted over a white board: the arrow covers its line up to the target's centre and nothing
// beyond it; the best arrow is both wider and more opaque than the second; switched off or
// replaced by the review's none, nothing is painted, and the old arrows' pixels are asked to be
// repainted.
TEST_F(BoardRendererTest, TheBestArrowIsDrawnStrongestAndNoneWhenSwitchedOff) {
    std::vector<QRect> repainted;
    BoardArrows arrows(renderer, [&](const QRect& changed) { repainted.push_back(changed); });
    const BoardArrow best{39, 36}, second{1, 34};  // h2e2 along a rank, b0c2 a slanted one
    auto paint = [&](qreal ratio) {
        QImage image(QSize(731, 666) * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(kWhite);
        QPainter painter(&image);
        arrows.Paint(painter);
        return image;
    };
    // How far a pixel is from white (the arrow's strength there), and the painted pixels across
    // the line's middle.
    auto strength = [](const QImage& image, QPointF at) {
        return 255 - qRed(image.pixel((at * image.devicePixelRatio()).toPoint()));
    };
    auto widthAcross = [&](const QImage& image, const QLineF& line) {
        const QPointF across = QPointF(-line.dy(), line.dx()) / line.length();
        int painted = 0;
        for (qreal step = -12; step <= 12; step += 0.5)
            painted += strength(image, line.center() + across * step) > 20;
        return painted;
    };
    const QImage blank = paint(1);
    arrows.SetAnalysisArrows({best, second});
    EXPECT_EQ(arrows.Shown(), (std::vector<BoardArrow>{best, second}));
    ASSERT_FALSE(repainted.empty());
    EXPECT_TRUE(repainted.back().contains(arrows.Line(second).p1().toPoint()));

    for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        const QImage image = paint(ratio);
        const QLineF bestLine = arrows.Line(best), secondLine = arrows.Line(second);
        EXPECT_GT(strength(image, bestLine.center()), strength(image, secondLine.center()));
        EXPECT_GT(widthAcross(image, bestLine), widthAcross(image, secondLine));
        EXPECT_GT(strength(image, secondLine.center()), 40) << "the second line is seen too";
        // Up to the target's centre, and not past it.
        const QPointF along = (bestLine.p2() - bestLine.p1()) / bestLine.length();
        EXPECT_GT(strength(image, bestLine.p2() - along * 3), 40);
        EXPECT_EQ(strength(image, bestLine.p2() + along * 4), 0);
        EXPECT_EQ(strength(image, bestLine.p1() - along * 4), 0);
        // Blue: the arrow's own colour shows through.
        const QRgb middle = image.pixel((bestLine.center() * ratio).toPoint());
        EXPECT_GT(qBlue(middle), qRed(middle));
    }

    repainted.clear();
    const QRect shownBounds = arrows.Bounds();
    arrows.SetEnabled(false);
    EXPECT_TRUE(arrows.Shown().empty());
    EXPECT_EQ(paint(1), blank);
    ASSERT_EQ(repainted.size(), 1u);
    EXPECT_EQ(repainted[0], shownBounds);
    arrows.SetEnabled(true);
    EXPECT_EQ(arrows.Shown(), (std::vector<BoardArrow>{best, second})) << "kept while hidden";

    // A past position shown: its own arrow (or none) stands instead of the analysis's.
    arrows.SetReviewArrows(std::vector<BoardArrow>{});
    EXPECT_EQ(paint(1), blank);
    arrows.SetReviewArrows(std::vector<BoardArrow>{second});
    EXPECT_EQ(arrows.Shown(), std::vector<BoardArrow>{second});
    arrows.SetReviewArrows(std::nullopt);
    EXPECT_EQ(arrows.Shown(), (std::vector<BoardArrow>{best, second}));
}

}  // namespace
}  // namespace xq
