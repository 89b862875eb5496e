// The dragged piece: while the user carries a lifted piece in drag mode, its bitmap follows the
// pointer over the board as a sprite. The sprite keeps a copy of the canvas under itself (the
// save-under), so every move and the end of the drag put back exactly the pixels it covered.
// When a move is refused the piece glides back to its square along a straight line, jumping
// along every third point of it; each jump reaches the screen at once, and however long the way,
// the whole glide takes kGlideMilliseconds, slow enough to be followed and quick enough not to
// keep the player waiting. While the pointer is away from the board the sprite waits at the
// board's edge, so it is never hidden under the panel or the move list.
// It draws on the main window's canvas and asks the renderer only where a square lies and how an
// empty square looks; the game itself is never touched.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <functional>

#include "rules/types.h"
#include "ui/boardrenderer.h"
#include "ui/gdi/canvas.h"
#include "ui/pieceimages.h"

namespace xq {

// The window's clicks and pointer moves come to the board (dragging) for exactly as long as a
// sprite is on the screen, and the pointer is hidden while it is over the board (told at the
// start and after every move of the pointer); the end gives the pointer its shape back and the
// clicks to where they fall.
using PointerCapture = std::function<void(bool dragging, bool overBoard)>;
// One jump of the glide has been drawn: it reaches the screen now and stays for `hold` ms.
using ShowGlideStep = std::function<void(int hold)>;

class DragSprite {
  public:
    // The pointer sits this far right of and below the sprite's top-left corner.
    static constexpr int kPointerOffset = kHalfCell;
    static constexpr int kInitialGlideCounter = 2;
    static constexpr int kGlideMilliseconds = 120;

    // `canvas`, `renderer` and `images` must outlive the sprite.
    DragSprite(gdi::Canvas& canvas, BoardRenderer& renderer, const PieceImages& images,
               PointerCapture pointerCapture, ShowGlideStep showGlideStep = {});

    bool Dragging() const { return dragging_; }
    // Where the sprite's top-left is drawn now (valid while dragging).
    QPoint Position() const { return savedAt_; }

    // Lifts the piece of `square` (as the board cell holds it) with the pointer at `point`: the
    // square is drawn empty and the sprite appears under the pointer (or, for a pointer away
    // from the board, at the board's edge nearest to it).
    void BeginDrag(Square square, QPoint point);
    // The pointer has moved to `point`.
    void DragTo(QPoint point);
    // Takes the sprite off the screen, after gliding it back to its square when `glideBack`. The
    // square of origin stays empty: the caller draws it again (or the move redraws it).
    void EndDrag(bool glideBack);

    // One point of the glide back: every third call moves the sprite, and that jump is shown.
    // The counter carries over from one glide to the next.
    void GlideStep(int32_t x, int32_t y);

  private:
    QPoint Size() const {
        const QSize size = canvas_.WindowSize(sprite_);
        return {size.width(), size.height()};
    }
    QRect Board() const;
    // The sprite's top-left for the pointer at `point`, the pointer held inside the board.
    QPoint SpriteAt(QPoint point) const;
    // How many jumps a glide over `points` points makes, the counter as it stands.
    int GlideJumps(int points) const;
    void SaveUnder(QPoint point);
    void RestoreUnder();
    void DrawSprite(QPoint point);
    void MoveSprite(QPoint point);

    gdi::Canvas& canvas_;
    BoardRenderer& renderer_;
    const PieceImages& images_;
    PointerCapture pointerCapture_;
    ShowGlideStep showGlideStep_;

    bool dragging_ = false;
    QPoint origin_;   // the top-left of the square the piece came from
    QPoint current_;  // the last pointer position less the pointer offset: where a glide starts
    QImage sprite_;
    QImage spriteMask_;
    QImage saveUnder_;  // the canvas under the sprite, the size of the piece bitmaps
    QPoint savedAt_;    // where saveUnder_ was taken, the sprite's position
    int32_t glideCounter_ = kInitialGlideCounter;
    int glideJumps_ = 0;  // of the glide under way
    int glideJumped_ = 0;
};

}  // namespace xq
