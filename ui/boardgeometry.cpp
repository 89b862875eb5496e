#include "ui/boardgeometry.h"

#include <algorithm>
#include <cmath>

namespace xq {

bool BoardGeometry::CellAt(QPoint point, int* file, int* rank) const {
    const int left = point.x() - CellsLeft();
    const int top = point.y() - CellsTop();
    if (left < 0 || top < 0) return false;
    *file = left / kCellSize;
    *rank = 9 - top / kCellSize;
    return *file < 9 && *rank >= 0;
}

QRect BoardGeometry::MoveListRect() const {
    const int labelsBottom = 2 * labelHeight_ + kLabelBoxesBelowBoard;
    const int top = std::max(kMoveListTop, labelsBottom + 2);
    return {kMoveListLeft, top, kMoveListWidth, kMoveListTop + kMoveListHeight - top};
}

int CanvasScale(qreal deviceRatio) {
    // A ratio a rounding error above a whole number is that number.
    const int scale = static_cast<int>(std::ceil(deviceRatio - 0.01));
    return std::clamp(scale, 1, kLargestScale);
}

QPoint WindowPixel(QPointF position) {
    return {static_cast<int>(std::floor(position.x())), static_cast<int>(std::floor(position.y()))};
}

}  // namespace xq
