#include "ui/boardrenderer.h"

#include <QFontMetrics>

#include "engine/editor.h"
#include "engine/flow.h"
#include "engine/think.h"
#include "records/notation.h"
#include "records/settings.h"
#include "rules/attacks.h"
#include "rules/board.h"

namespace xq {

// clang-format off
const Square kSpiralOrder[90] = {
    0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 145, 146, 147, 148, 149, 150, 151, 152,
    136, 120, 104, 88, 72, 56, 40, 24, 8, 7, 6, 5, 4, 3, 2, 1,
    17, 33, 49, 65, 81, 97, 113, 129, 130, 131, 132, 133, 134, 135,
    119, 103, 87, 71, 55, 39, 23, 22, 21, 20, 19, 18,
    34, 50, 66, 82, 98, 114, 115, 116, 117, 118, 102, 86, 70, 54, 38, 37, 36, 35,
    51, 67, 83, 99, 100, 101, 85, 69, 53, 52, 68, 84,
};
// clang-format on

namespace {

// Black's file numbers and Red's, each indexed by the file counted from Red's left.
const char* const kBlackLabels[9] = {"１", "２", "３", "４", "５", "６", "７", "８", "９"};
const char* const kRedLabels[9] = {"九", "八", "七", "六", "五", "四", "三", "二", "一"};

int LineHeight(const QFont& font) {
    const QFontMetrics metrics(font);
    return metrics.height() + metrics.leading();
}

bool CarriesPositionMarks(int rank, int file) {
    if ((rank == 2 || rank == 7) && (file == 1 || file == 7)) return true;
    return (rank == 3 || rank == 6) && file % 2 == 0;
}

}  // namespace

BoardRenderer::BoardRenderer(gdi::Canvas& canvas, const QFont& font, const PieceImages& images)
    : canvas_(canvas),
      font_(font),
      images_(images),
      squareBrush_(gdi::Brush::Solid(qRgb(0, 128, 0))),
      lineHeight_(LineHeight(font)),
      geometry_(lineHeight_ + 3) {}

int BoardRenderer::DisplayedSquare(Square square) const {
    return boardReversed ? 152 - square : square;
}

QPoint BoardRenderer::SquareOrigin(Square square) const {
    const int shown = DisplayedSquare(square);
    return geometry_.CellOrigin(FileOf(shown), RankOf(shown));
}

Square BoardRenderer::SquareAt(QPoint point) const {
    int file = 0, rank = 0;
    if (!geometry_.CellAt(point, &file, &rank)) return -1;
    return DisplayedSquare(MakeSquare(rank, file));
}

gdi::Rect BoardRenderer::BoardFrame() const {
    return geometry_.BoardFrame();
}

// Each cell paints exactly the pixels of the board's lines that lie inside it, so that the lines
// run unbroken whichever cells are drawn again and in whatever order. A pen line leaves its
// second point unpainted: a line that ends inside the cell is given the point one step beyond.
void BoardRenderer::DrawEmptySquare(Square square) {
    // 1. Where the cell lies and which lines it carries: both depend on the displayed square.
    const QPoint origin = SquareOrigin(square);
    const int shown = DisplayedSquare(square);

    // 2. The cell.
    canvas_.FillRect({origin.x(), origin.y(), origin.x() + kCellSize, origin.y() + kCellSize},
                     squareBrush_);

    // 3. The lines, the palace diagonals and the position marks.
    DrawCellLines(origin, RankOf(shown), FileOf(shown));
    DrawPalaceLines(origin, RankOf(shown), FileOf(shown));
    if (CarriesPositionMarks(RankOf(shown), FileOf(shown)))
        DrawPositionMarks(origin, FileOf(shown));
}

// The file's and the rank's line through the cell's centre: the outer files and ranks end at the
// centre, the outer files cross the river, the inner ones stop at it.
void BoardRenderer::DrawCellLines(QPoint origin, int rank, int file) {
    const int x = origin.x(), y = origin.y();
    const int centreX = x + kHalfCell, centreY = y + kHalfCell;
    const int left = file == 0 ? centreX : x;
    const int right = file == 8 ? centreX + 1 : x + kCellSize;
    canvas_.Line({left, centreY}, {right, centreY}, kBlack);
    const bool outerFile = file == 0 || file == 8;
    const bool endsAbove = rank == 9 || (!outerFile && rank == 4);
    const bool endsBelow = rank == 0 || (!outerFile && rank == 5);
    const int top = endsAbove ? centreY : y;
    const int bottom = endsBelow ? centreY + 1 : y + kCellSize;
    canvas_.Line({centreX, top}, {centreX, bottom}, kBlack);
}

// The palaces' two diagonals, on the displayed ranks 0 to 2 and 7 to 9 of files 3 to 5: each of
// the palace's cells draws both whole, clipped to itself, so that the cells together paint each
// diagonal's pixels as one stroke would (at a higher scale a slanted stroke's band strays into
// the cells beside it, and the rising diagonal crosses the cells' corners in the cells beside).
void BoardRenderer::DrawPalaceLines(QPoint origin, int rank, int file) {
    if (file < 3 || file > 5 || (rank > 2 && rank < 7)) return;
    // 1. The palace's centre: the centre of its middle cell.
    const int row = rank % 7;  // 0 the palace's lowest displayed rank, 2 its highest
    const QPoint centre =
        origin + QPoint(kCellSize * (4 - file) + kHalfCell, kCellSize * (row - 1) + kHalfCell);
    // 2. Both diagonals left to right, out to the corner points' centres included.
    const gdi::Rect cell{origin.x(), origin.y(), origin.x() + kCellSize, origin.y() + kCellSize};
    constexpr int kReach = kCellSize;
    canvas_.Line(centre + QPoint(-kReach, -kReach), centre + QPoint(kReach + 1, kReach + 1), kBlack,
                 cell);
    canvas_.Line(centre + QPoint(-kReach, kReach), centre + QPoint(kReach + 1, -kReach - 1), kBlack,
                 cell);
}

// The position marks of the Gunners and Pawns, only on the board's inner side: right-angled
// corners round the centre, each drawn from its corner outwards.
void BoardRenderer::DrawPositionMarks(QPoint origin, int file) {
    const int nearX = origin.x() + kMarkNear, farX = origin.x() + kMarkFar;
    const int nearY = origin.y() + kMarkNear, farY = origin.y() + kMarkFar;
    if (file != 0) {
        canvas_.Line({nearX, nearY}, {nearX, nearY - kMarkArm}, kBlack);
        canvas_.Line({nearX, nearY}, {nearX - kMarkArm, nearY}, kBlack);
        canvas_.Line({nearX, farY}, {nearX - kMarkArm, farY}, kBlack);
        canvas_.Line({nearX, farY}, {nearX, farY + kMarkArm}, kBlack);
    }
    if (file != 8) {
        canvas_.Line({farX, nearY}, {farX, nearY - kMarkArm}, kBlack);
        canvas_.Line({farX, nearY}, {farX + kMarkArm, nearY}, kBlack);
        canvas_.Line({farX, farY}, {farX + kMarkArm, farY}, kBlack);
        canvas_.Line({farX, farY}, {farX, farY + kMarkArm}, kBlack);
    }
}

// The mask blacks out the piece's area; the bitmap, black outside the piece, then leaves the board
// around it as it was (XOR) or inverts the whole box around an inverted piece (NOT OR).
void BoardRenderer::DrawPiece(Square square, PieceKind kind, Side side, PieceLook look) {
    if (kind == Empty) return;
    DrawPieceImage(canvas_, SquareOrigin(square), images_.piece[kind][side], images_.mask[kind],
                   look);
}

void DrawPieceImage(gdi::Canvas& canvas, QPoint at, const QImage& piece, const QImage& mask,
                    PieceLook look) {
    const QSize size = canvas.WindowSize(piece);
    canvas.Blit(at, size.width(), size.height(), mask, gdi::RasterOp::And);
    canvas.Blit(at, size.width(), size.height(), piece,
                look == PieceLook::Normal ? gdi::RasterOp::Invert : gdi::RasterOp::NotSrcErase);
}

void BoardRenderer::DrawBoard() {
    DrawFrame3D(BoardFrame(), false);
    for (Square square : kSpiralOrder)
        DrawEmptySquare(square);
}

// The box frames a text `width` pixels wide drawn at (x, y): a white outline one pixel outside
// it on the left and two on the right, the grey shadow along its right and bottom edges.
void BoardRenderer::DrawLabelBox(int x, int y, int width) {
    const int right = x + width + 2;
    const int bottom = y + lineHeight_ + 1;
    const gdi::Brush grey = gdi::Brush::Solid(kLightGrey);
    canvas_.Rectangle({x - 2, y - 1, right, bottom}, kWhite, &grey);
    canvas_.Polyline({{x - 1, bottom}, {right, bottom}, {right, y}}, kDarkGrey);
}

// Each label is centred on the line of its file. Its box takes the text's own advance: a CJK
// font's full-width digit is narrower than twice its average character width, which a box of
// that width would leave hanging to the right of the file.
void BoardRenderer::DrawFileLabel(const char* text, int file, int y) {
    const QString label = QString::fromUtf8(text);
    const int width = QFontMetrics(font_).horizontalAdvance(label);
    const int x = FileCentre(file) - width / 2;
    DrawLabelBox(x, y, width);
    canvas_.TextOut({x, y}, label, font_, kBlack, kLightGrey);
}

int BoardRenderer::FileCentre(int displayFile) const {
    return geometry_.FileCentre(displayFile);
}

// Each side's numbers run along its own edge of the board: Red's below it, or above it when the
// board is reversed.
void BoardRenderer::DrawFileLabels() {
    const int redY = boardReversed ? geometry_.TopLabelsY() : geometry_.BottomLabelsY();
    const int blackY = boardReversed ? geometry_.BottomLabelsY() : geometry_.TopLabelsY();
    for (int i = 0; i < kFiles; ++i) {
        const int file = boardReversed ? 8 - i : i;  // from Red's left
        DrawFileLabel(kBlackLabels[file], i, blackY);
        // Red's files in WXF are the same digits as Black's, counted from Red's right.
        DrawFileLabel(shownMoveStyle == MoveStyle::Wxf ? kBlackLabels[8 - file] : kRedLabels[file],
                      i, redY);
    }
}

void DrawFrame3D(gdi::Canvas& canvas, const gdi::Rect& rect, bool filled) {
    const auto [l, t, r, b] = rect;
    const gdi::Brush grey = gdi::Brush::Solid(kLightGrey);
    canvas.Rectangle(rect, kWhite, filled ? &grey : nullptr);
    canvas.Rectangle({l + 1, t + 1, r - 1, b - 1}, kLightGrey, nullptr);
    canvas.Polyline({{l + 2, b - 3}, {r - 3, b - 3}, {r - 3, t + 2}}, kWhite);
    canvas.Polyline({{l, b - 1}, {r - 1, b - 1}, {r - 1, t}}, kDarkGrey);
    canvas.Polyline({{l + 2, b - 3}, {l + 2, t + 2}, {r - 3, t + 2}}, kDarkGrey);
}

void BoardRenderer::DrawFrame3D(const gdi::Rect& rect, bool filled) {
    xq::DrawFrame3D(canvas_, rect, filled);
}

bool BoardRenderer::ThreatsShown() const {
    // No threat frames in the editor, nor on a position of the game's past.
    return levelKind == kLevelEasy && !editMode && cells_ == nullptr;
}

const BoardCell* BoardRenderer::Cells() const {
    return cells_ != nullptr ? *cells_ : board;
}

void BoardRenderer::ShowCells(const Board* cells) {
    cells_ = cells;
    SyncShownBoard();
    RedrawAll();
}

void BoardRenderer::RedrawAll() {
    DrawBoard();
    for (Square square : kSpiralOrder)
        DrawPiece(square, shownBoard[square].kind, shownBoard[square].side, PieceLook::Normal);
    DrawFileLabels();
    if (ThreatsShown()) MarkThreats();
    lastMoveMark.Refresh(*this, true);
}

bool BoardRenderer::RedrawChangedSquares() {
    bool redrawn = false;
    const BoardCell* cells = Cells();
    for (Square square : kSpiralOrder) {
        const BoardCell& cell = cells[square];
        ShownCell& shown = shownBoard[square];
        const bool changed =
            cell.kind != shown.kind || (cell.kind != Empty && cell.side != shown.side);
        if (!changed) continue;
        if (shown.kind != Empty) DrawEmptySquare(square);
        shown = {cell.kind, cell.side};
        DrawPiece(square, cell.kind, cell.side, PieceLook::Normal);
        redrawn = true;
    }
    if (ThreatsShown()) MarkThreats();
    lastMoveMark.Refresh(*this, false);
    return redrawn;
}

void BoardRenderer::ClearShownBoard() {
    for (ShownCell& shown : shownBoard)
        shown.kind = Empty;
}

void BoardRenderer::SyncShownBoard() {
    const BoardCell* cells = Cells();
    for (Square square : kSpiralOrder)
        shownBoard[square] = {cells[square].kind, cells[square].side};
}

void BoardRenderer::ShowSelected(Square square) {
    DrawPiece(square, shownBoard[square].kind, shownBoard[square].side, PieceLook::Selected);
}

void BoardRenderer::ShowNormal(Square square) {
    DrawEmptySquare(square);
    DrawPiece(square, shownBoard[square].kind, shownBoard[square].side, PieceLook::Normal);
    const auto& marked = lastMoveMark.Marked();
    if (square == marked[0] || square == marked[1]) DrawLastMoveMark(square);
}

void BoardRenderer::MarkThreats() {
    const Side defender = Opponent(computerSide);
    for (Square square : kSpiralOrder) {
        BoardCell& cell = board[square];
        if (IsAttacked(computerSide, square) && cell.kind != Empty && cell.side != computerSide) {
            cell.threatMark = 1;
            FrameSquare(square, IsAttacked(defender, square) != 0);
        } else if (cell.threatMark == 1) {
            cell.threatMark = 0;
            DrawEmptySquare(square);
            DrawPiece(square, cell.kind, cell.side, PieceLook::Normal);
        }
    }
}

void BoardRenderer::FrameSquare(Square square, bool defended) {
    const QPoint origin = SquareOrigin(square);
    // One pixel inside the piece's box on the left and top, one outside it on the right.
    canvas_.Rectangle(
        {origin.x() + 1, origin.y() + 1, origin.x() + kPieceWidth + 1, origin.y() + kPieceHeight},
        defended ? kBlack : kThreatRed, nullptr);
}

// Four corner brackets, two pixels wide, where the round piece leaves the cell free and inside
// the easy level's threat frame.
void BoardRenderer::DrawLastMoveMark(Square square) {
    constexpr int kInset = kLastMoveInset;
    constexpr int kArm = kLastMoveArm;
    const QPoint origin = SquareOrigin(square);
    for (const int right : {0, 1}) {
        for (const int bottom : {0, 1}) {
            // The corner's outermost pixel, and the directions its two arms go.
            const int cx = origin.x() + kInset + right * (kCellSize - 1 - 2 * kInset);
            const int cy = origin.y() + kInset + bottom * (kCellSize - 1 - 2 * kInset);
            const int sx = right ? -1 : 1;
            const int sy = bottom ? -1 : 1;
            for (const int width : {0, 1}) {
                canvas_.Line({cx, cy + sy * width}, {cx + sx * kArm, cy + sy * width},
                             kLastMoveYellow);
                canvas_.Line({cx + sx * width, cy}, {cx + sx * width, cy + sy * kArm},
                             kLastMoveYellow);
            }
        }
    }
}

void BoardRenderer::RedrawSquare(Square square) {
    DrawEmptySquare(square);
    DrawPiece(square, shownBoard[square].kind, shownBoard[square].side, PieceLook::Normal);
    if (ThreatsShown() && board[square].threatMark == 1)
        FrameSquare(square, IsAttacked(Opponent(computerSide), square) != 0);
}

void BoardRenderer::ClearThreatMarks() {
    for (Square square : kSpiralOrder) {
        BoardCell& cell = board[square];
        if (cell.threatMark != 1) continue;
        cell.threatMark = 0;
        DrawEmptySquare(square);
        DrawPiece(square, cell.kind, cell.side, PieceLook::Normal);
    }
}

}  // namespace xq
