#include "ui/boardarrows.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/boardgeometry.h"
#include "ui/boardrenderer.h"

namespace xq {

namespace {

// The head is this many shaft widths long and wide, never wider than most of a cell.
constexpr qreal kHeadLength = 2.6;
constexpr qreal kHeadWidth = 2.4;
// The shaft starts this far from the piece's centre, so that its character stays readable.
constexpr qreal kStartGap = 9;
// How far the arrows reach past their line on every side (the head and the antialiased edge).
constexpr int kBoundsMargin = kHalfCell;

// The outline of one arrow: a shaft from `line`'s start and a head whose tip is its end. One
// closed path, so that a translucent arrow has no darker seam where the head meets the shaft.
QPainterPath ArrowPath(const QLineF& line, qreal width) {
    QPainterPath path;
    const qreal length = line.length();
    if (length <= 0) return path;
    const QPointF along = (line.p2() - line.p1()) / length;
    const QPointF across(-along.y(), along.x());
    const qreal headLength = std::min(kHeadLength * width, length * 0.6);
    const qreal headHalf = std::min(kHeadWidth * width, static_cast<qreal>(kHalfCell)) / 2;
    const QPointF neck = line.p2() - along * headLength;
    const QPointF start = line.p1() + along * std::min(kStartGap, length - headLength);
    const qreal half = width / 2;
    path.addPolygon(QPolygonF{start + across * half, neck + across * half, neck + across * headHalf,
                              line.p2(), neck - across * headHalf, neck - across * half,
                              start - across * half});
    path.closeSubpath();
    return path;
}

}  // namespace

ArrowLook ArrowLookOf(size_t index) {
    constexpr ArrowLook kLooks[] = {{7, 210}, {5, 140}, {4, 110}};
    return kLooks[std::min(index, std::size(kLooks) - 1)];
}

BoardArrows::BoardArrows(const BoardRenderer& renderer, Repaint repaint)
    : renderer_(renderer), repaint_(std::move(repaint)) {}

void BoardArrows::SetEnabled(bool enabled) {
    Change([&] { enabled_ = enabled; });
}

void BoardArrows::SetAnalysisArrows(std::vector<BoardArrow> arrows) {
    if (arrows == analysis_) return;
    Change([&] { analysis_ = std::move(arrows); });
}

void BoardArrows::SetReviewArrows(std::optional<std::vector<BoardArrow>> arrows) {
    if (arrows == review_) return;
    Change([&] { review_ = std::move(arrows); });
}

const std::vector<BoardArrow>& BoardArrows::Current() const {
    return review_ ? *review_ : analysis_;
}

std::vector<BoardArrow> BoardArrows::Shown() const {
    return enabled_ ? Current() : std::vector<BoardArrow>();
}

// The old arrows' pixels and the new ones' are painted again.
void BoardArrows::Change(const std::function<void()>& change) {
    const QRect before = Bounds();
    change();
    const QRect after = Bounds();
    if (!repaint_) return;
    if (!before.isEmpty()) repaint_(before);
    if (!after.isEmpty() && after != before) repaint_(after);
}

// The centre of a point is the middle of the pixel where its two lines cross.
QLineF BoardArrows::Line(const BoardArrow& arrow) const {
    const QPointF centre(kHalfCell + 0.5, kHalfCell + 0.5);
    return {QPointF(renderer_.SquareOrigin(arrow.from)) + centre,
            QPointF(renderer_.SquareOrigin(arrow.to)) + centre};
}

// The weaker lines first, so that the best arrow lies on top of any it crosses.
void BoardArrows::Paint(QPainter& painter) const {
    const std::vector<BoardArrow> arrows = Shown();
    if (arrows.empty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    for (size_t index = arrows.size(); index-- > 0;) {
        const ArrowLook look = ArrowLookOf(index);
        QColor colour = QColor::fromRgb(kArrowColour);
        colour.setAlpha(look.alpha);
        painter.setBrush(colour);
        painter.drawPath(ArrowPath(Line(arrows[index]), look.width));
    }
    painter.restore();
}

QRect BoardArrows::Bounds() const {
    QRect bounds;
    for (const BoardArrow& arrow : Shown()) {
        const QLineF line = Line(arrow);
        bounds |= QRectF(line.p1(), line.p2())
                      .normalized()
                      .toAlignedRect()
                      .adjusted(-kBoundsMargin, -kBoundsMargin, kBoundsMargin, kBoundsMargin);
    }
    return bounds;
}

}  // namespace xq
