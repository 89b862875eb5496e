#include "ui/sprite.h"

#include <algorithm>
#include <utility>
#include <vector>

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
                       PointerCapture pointerCapture, ShowGlideStep showGlideStep)
    : canvas_(canvas),
      renderer_(renderer),
      images_(images),
      pointerCapture_(std::move(pointerCapture)),
      showGlideStep_(std::move(showGlideStep)) {}

QRect DragSprite::Board() const {
    const gdi::Rect frame = renderer_.BoardFrame();
    return {QPoint(frame.left, frame.top), QPoint(frame.right - 1, frame.bottom - 1)};
}

QPoint DragSprite::SpriteAt(QPoint point) const {
    const QRect area = Board();
    const QPoint held(std::clamp(point.x(), area.left(), area.right()),
                      std::clamp(point.y(), area.top(), area.bottom()));
    return held - QPoint(kPointerOffset, kPointerOffset);
}

int DragSprite::GlideJumps(int points) const {
    return points > glideCounter_ ? (points - glideCounter_ - 1) / 3 + 1 : 0;
}

void DragSprite::BeginDrag(Square square, QPoint point) {
    const BoardCell& cell = board[square];
    if (cell.kind == Empty) return;  // nothing to carry
    // 1. The sprite's top-left, the pointer inside it.
    const bool overBoard = Board().contains(point);
    point = SpriteAt(point);
    // 2. Where it comes from and what it looks like.
    origin_ = renderer_.SquareOrigin(square);
    sprite_ = images_.piece[cell.kind][cell.side];
    spriteMask_ = images_.mask[cell.kind];
    // 3. No pointer over the board, and every click and pointer move in the window comes to the
    //    board until the drag ends.
    if (pointerCapture_) pointerCapture_(true, overBoard);
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
    if (pointerCapture_) pointerCapture_(true, Board().contains(point));
    point = SpriteAt(point);
    current_ = point;
    MoveSprite(point);
}

void DragSprite::EndDrag(bool glideBack) {
    // 1. Nothing on the screen.
    if (!dragging_) return;
    // 2. The glide back to the square of origin, its end point excluded.
    if (glideBack) {
        std::vector<QPoint> points;
        LineDda(current_.x(), current_.y(), origin_.x(), origin_.y(),
                [&points](int32_t x, int32_t y) { points.emplace_back(x, y); });
        glideJumps_ = GlideJumps(static_cast<int>(points.size()));
        glideJumped_ = 0;
        for (QPoint point : points)
            GlideStep(point.x(), point.y());
        glideJumps_ = 0;
    }
    // 3. The board as it was under the sprite; the pointer back.
    RestoreUnder();
    if (pointerCapture_) pointerCapture_(false, false);
    dragging_ = false;
}

void DragSprite::GlideStep(int32_t x, int32_t y) {
    if (glideCounter_ > 0) {
        --glideCounter_;
        return;
    }
    glideCounter_ = kInitialGlideCounter;
    MoveSprite({x, y});
    // The glide's time shared out over its jumps, the remainders spread so that they add up.
    if (!showGlideStep_) return;
    int hold = 0;
    if (glideJumped_ < glideJumps_) {
        hold = kGlideMilliseconds * (glideJumped_ + 1) / glideJumps_ -
               kGlideMilliseconds * glideJumped_ / glideJumps_;
        ++glideJumped_;
    }
    showGlideStep_(hold);
}

void DragSprite::SaveUnder(QPoint point) {
    savedAt_ = point;
    saveUnder_ = canvas_.ReadBack(RectAt(point, Size()));
}

void DragSprite::RestoreUnder() {
    const QSize saved = canvas_.WindowSize(saveUnder_);
    canvas_.Blit(savedAt_, saved.width(), saved.height(), saveUnder_, gdi::RasterOp::Copy);
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
    gdi::Canvas work(width, height, canvas_.Scale());
    work.Blit({0, 0}, width, height, canvas_.ReadBack(both), gdi::RasterOp::Copy);
    // The old sprite leaves the copy.
    const QSize saved = canvas_.WindowSize(saveUnder_);
    work.Blit(savedAt_ - unionOrigin, saved.width(), saved.height(), saveUnder_,
              gdi::RasterOp::Copy);
    // What the new sprite will cover, then the new sprite.
    const QPoint freshInWork = point - unionOrigin;
    saveUnder_ = work.ReadBack(RectAt(freshInWork, Size()));
    DrawPieceImage(work, freshInWork, sprite_, spriteMask_, PieceLook::Normal);
    canvas_.Blit(unionOrigin, width, height, work.Image(), gdi::RasterOp::Copy);
    savedAt_ = point;
}

}  // namespace xq
