// Arrows over the board for the engines' lines: the first move of each line drawn from its piece
// to its target, the best line's arrow wide and nearly opaque, the others narrower and fainter.
// The analysis mode hands over the lines of the position on the board, the review the engine's
// move in the past position it shows. The arrows are no part of the board's canvas: the board
// widget paints them over its copy of the canvas in window pixels, so that a screen of a higher
// density draws them at its own resolution and the canvas's pixel rules stay untouched. A change
// asks the widget to repaint the squares the old and the new arrows cover.
#pragma once

#include <QLineF>
#include <QPainter>
#include <QRect>
#include <functional>
#include <optional>
#include <vector>

#include "rules/types.h"

namespace xq {

class BoardRenderer;

struct BoardArrow {
    Square from;
    Square to;
    bool operator==(const BoardArrow&) const = default;
};

// How an arrow of the line at `index` (0: the best) is drawn: its shaft's width in window
// pixels and its opacity (0..255). Each later line is at most as strong as the one before.
struct ArrowLook {
    qreal width;
    int alpha;
};
ArrowLook ArrowLookOf(size_t index);
inline constexpr QRgb kArrowColour = 0xFF1E5AE6u;  // a clear blue on every board colour

class BoardArrows {
  public:
    using Repaint = std::function<void(const QRect& changed)>;
    // `renderer` places the squares (the reversed board included); `repaint` is told what to
    // paint again. The renderer must outlive the arrows.
    BoardArrows(const BoardRenderer& renderer, Repaint repaint);

    // "显示" > "分析箭头": hidden arrows are kept and come back when switched on.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The analysis's lines, best first (empty: none).
    void SetAnalysisArrows(std::vector<BoardArrow> arrows);
    // While a past position is shown its own arrows stand instead of the analysis's (which
    // belong to the game's position); nullopt gives the board back to the analysis.
    void SetReviewArrows(std::optional<std::vector<BoardArrow>> arrows);
    // The arrows the board shows now, best first; empty while switched off.
    std::vector<BoardArrow> Shown() const;

    // The arrow's line in window pixels: from the centre of the piece's point to the target's.
    QLineF Line(const BoardArrow& arrow) const;
    // Draws the shown arrows with `painter` (in window pixels).
    void Paint(QPainter& painter) const;
    // The window pixels the shown arrows may touch.
    QRect Bounds() const;

  private:
    const std::vector<BoardArrow>& Current() const;
    void Change(const std::function<void()>& change);

    const BoardRenderer& renderer_;
    Repaint repaint_;
    bool enabled_ = true;
    std::vector<BoardArrow> analysis_;
    std::optional<std::vector<BoardArrow>> review_;
};

}  // namespace xq
