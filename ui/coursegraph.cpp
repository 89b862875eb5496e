#include "ui/coursegraph.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "ui/movelist.h"

namespace xq {

namespace {

// The graph spans at least this many plies, so that the first moves do not fill its width.
constexpr int32_t kLeastSpan = 20;
constexpr int kInset = 3;
const QColor kRedArea(220, 60, 60, 110);
const QColor kBlackArea(40, 40, 40, 90);
const QColor kShownLine(0, 90, 200);

}  // namespace

int32_t CourseValue(const MoveValue& value) {
    return std::clamp(value.redValue, -kCourseLimit, kCourseLimit);
}

std::vector<CoursePoint> CoursePoints(int32_t firstPly, int32_t lastPly) {
    std::vector<CoursePoint> points;
    const auto known = static_cast<int32_t>(moveValues.size()) - 1;
    for (int32_t ply = std::max(firstPly + 1, 1); ply <= std::min(lastPly, known); ++ply) {
        const MoveValue& value = moveValues[static_cast<size_t>(ply)];
        if (value.known) points.push_back({ply, CourseValue(value)});
    }
    return points;
}

CourseGraph::CourseGraph(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CourseGraph"));
    setCursor(Qt::PointingHandCursor);
}

void CourseGraph::SetGame(int32_t firstPly, int32_t lastPly, int32_t shownPly) {
    if (firstPly == firstPly_ && lastPly == lastPly_ && shownPly == shownPly_) return;
    firstPly_ = firstPly;
    lastPly_ = lastPly;
    shownPly_ = shownPly;
    update();
}

QRect CourseGraph::Plot() const {
    return rect().adjusted(kInset, kInset, -kInset, -kInset);
}

int32_t CourseGraph::Span() const {
    return std::max(kLeastSpan, lastPly_ - firstPly_);
}

int CourseGraph::Y(int32_t value) const {
    const QRect plot = Plot();
    const int middle = plot.top() + plot.height() / 2;
    return middle - value * (plot.height() / 2) / kCourseLimit;
}

QPoint CourseGraph::PlaceOf(const CoursePoint& point) const {
    const QRect plot = Plot();
    const int x = plot.left() + (point.ply - firstPly_) * (plot.width() - 1) / Span();
    return {x, Y(point.value)};
}

int32_t CourseGraph::PlyAt(int x) const {
    const QRect plot = Plot();
    const int offset = std::max(0, x - plot.left());
    const int32_t ply = firstPly_ + (offset * Span() + (plot.width() - 1) / 2) / (plot.width() - 1);
    return std::clamp(ply, firstPly_, lastPly_);
}

void CourseGraph::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // 1. The field, sunken like the panel's others, with the even line and the half limits.
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.drawLine(0, 0, 0, height() - 1);
    const QRect plot = Plot();
    painter.setPen(QPen(QColor(200, 200, 200), 1, Qt::DotLine));
    for (const int32_t value : {kCourseLimit / 2, -kCourseLimit / 2})
        painter.drawLine(plot.left(), Y(value), plot.right(), Y(value));
    painter.setPen(QColor(150, 150, 150));
    painter.drawLine(plot.left(), Y(0), plot.right(), Y(0));
    // 2. The move shown while the player looks back over the game.
    if (shownPly_ >= firstPly_) {
        const int x = PlaceOf({shownPly_, 0}).x();
        painter.setPen(QPen(kShownLine, 1));
        painter.drawLine(x, plot.top(), x, plot.bottom());
    }
    const std::vector<CoursePoint> points = Points();
    if (points.empty()) return;
    // 3. Red's advantage filled above the even line, Black's below, then the line itself.
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath area;
    area.moveTo(PlaceOf({points.front().ply, 0}));
    for (const CoursePoint& point : points)
        area.lineTo(PlaceOf(point));
    area.lineTo(PlaceOf({points.back().ply, 0}));
    area.closeSubpath();
    const int zero = Y(0);
    painter.save();
    painter.setClipRect(QRect(plot.left(), plot.top(), plot.width(), zero - plot.top()));
    painter.fillPath(area, kRedArea);
    painter.setClipRect(QRect(plot.left(), zero, plot.width(), plot.bottom() - zero + 1));
    painter.fillPath(area, kBlackArea);
    painter.restore();
    QPolygon line;
    for (const CoursePoint& point : points)
        line << PlaceOf(point);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawPolyline(line);
    if (points.size() == 1) painter.drawEllipse(line.front(), 1, 1);
}

void CourseGraph::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || lastPly_ <= firstPly_) return;
    PostReview(PlyAt(static_cast<int>(event->position().x())));
}

}  // namespace xq
