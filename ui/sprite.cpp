#include "ui/sprite.h"

#include <algorithm>
#include <utility>

#include "platform/linedda.h"
#include "rules/board.h"

namespace xq {

namespace {

gdi::Rect RectAt(QPoint topLeft, QPoint size) {
    return {topLeft.x(), topLeft.y(), topLeft.x() + size.x(), topLeft.y() + size.y()};
}

// Right and bottom excluded, as every rectangle of the canvas.
bool Contains(const gdi::Rect& rect, QPoint point) {
    return point.x() >= rect.left && point.x() < rect.right && point.y() >= rect.top &&
           point.y() < rect.bottom;
}

}  // namespace

DragSprite::DragSprite(gdi::Canvas& canvas, BoardRenderer& renderer, const PieceImages& images,
                       PointerCapture pointerCapture)
    : canvas_(canvas),
      renderer_(renderer),
      images_(images),
      pointerCapture_(std::move(pointerCapture)) {}

void DragSprite::BeginDrag(Square square, QPoint point) {
    const BoardCell& cell = board[square];
    if (cell.kind == Empty) return;  // nothing to carry
    // 1. The sprite's top-left, the pointer inside it.
    point -= QPoint(kPointerOffset, kPointerOffset);
    // 2. Where it comes from and what it looks like.
    origin_ = renderer_.SquareOrigin(square);
    sprite_ = images_.piece[cell.kind][cell.side];
    spriteMask_ = images_.mask[cell.kind];
    // 3. No pointer over the sprite, and every pointer move comes to the board until it ends.
    if (pointerCapture_) pointerCapture_(true);
    // 4. The piece leaves its square.
    renderer_.DrawEmptySquare(square);
    // 5. The sprite appears.
    current_ = point;
    SaveUnder(point);
    DrawSprite(point);
    dragging_ = true;
}

void DragSprite::DragTo(QPoint point) {
    if (!dragging_) return;
    point -= QPoint(kPointerOffset, kPointerOffset);
    current_ = point;
    MoveSprite(point);
}

void DragSprite::EndDrag(bool glideBack) {
    // 1. Nothing on the screen.
    if (!dragging_) return;
    // 2. The glide back to the square of origin, its end point excluded.
    if (glideBack) {
        LineDda(current_.x(), current_.y(), origin_.x(), origin_.y(),
                [this](int32_t x, int32_t y) { GlideStep(x, y); });
    }
    // 3. The board as it was under the sprite; the pointer back.
    RestoreUnder();
    if (pointerCapture_) pointerCapture_(false);
    dragging_ = false;
}

void DragSprite::GlideStep(int32_t x, int32_t y) {
    if (glideCounter_ > 0) {
        --glideCounter_;
        return;
    }
    glideCounter_ = kInitialGlideCounter;
    MoveSprite({x, y});
}

void DragSprite::SaveUnder(QPoint point) {
    savedAt_ = point;
    saveUnder_ = canvas_.ReadBack(RectAt(point, Size()));
}

void DragSprite::RestoreUnder() {
    canvas_.Blit(savedAt_, saveUnder_.width(), saveUnder_.height(), saveUnder_,
                 gdi::RasterOp::Copy);
    saveUnder_ = QImage();
}

void DragSprite::DrawSprite(QPoint point) {
    DrawPieceImage(canvas_, point, sprite_, spriteMask_, PieceLook::Normal);
}

// Without an overlap the old place is restored and the sprite drawn at the new one. With an
// overlap that would show the board for a moment between the two, so the whole change is
// composed off the screen and reaches the canvas in one blit.
void DragSprite::MoveSprite(QPoint point) {
    // 1. The new and the old rectangle.
    const gdi::Rect fresh = RectAt(point, Size());
    const gdi::Rect old = RectAt(savedAt_, Size());
    // 2. Apart: restore, save, draw.
    const bool overlaps =
        Contains(old, {fresh.left, fresh.top}) || Contains(old, {fresh.left, fresh.bottom}) ||
        Contains(old, {fresh.right, fresh.bottom}) || Contains(old, {fresh.right, fresh.top});
    if (!overlaps) {
        RestoreUnder();
        SaveUnder(point);
        DrawSprite(point);
        return;
    }
    // 3. Overlapping: the union composed in a work bitmap.
    const gdi::Rect both{std::min(fresh.left, old.left), std::min(fresh.top, old.top),
                         std::max(fresh.right, old.right), std::max(fresh.bottom, old.bottom)};
    const QPoint unionOrigin(both.left, both.top);
    const int width = both.right - both.left;
    const int height = both.bottom - both.top;
    gdi::Canvas work(width, height);
    work.Blit({0, 0}, width, height, canvas_.ReadBack(both), gdi::RasterOp::Copy);
    // The old sprite leaves the copy.
    work.Blit(savedAt_ - unionOrigin, saveUnder_.width(), saveUnder_.height(), saveUnder_,
              gdi::RasterOp::Copy);
    // What the new sprite will cover, then the new sprite.
    const QPoint freshInWork = point - unionOrigin;
    saveUnder_ = work.ReadBack(RectAt(freshInWork, Size()));
    DrawPieceImage(work, freshInWork, sprite_, spriteMask_, PieceLook::Normal);
    canvas_.Blit(unionOrigin, width, height, work.Image(), gdi::RasterOp::Copy);
    savedAt_ = point;
}

}  // namespace xq
