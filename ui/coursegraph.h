// The course of the game in the lower part of the information panel: the engine's value after
// every move played, from Red's view, Red's advantage upwards, clamped at ten Pawns (a mate at the
// limit). It reads the values the flow and the analysis keep (engine/movevalues.h) and the
// game's length from the move list; a click on it asks to see the move under the pointer, as a
// click in the move list does.
#pragma once

#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "engine/movevalues.h"

namespace xq {

// The graph's limit, in hundredths of a Pawn.
inline constexpr int32_t kCourseLimit = 1000;

// One point of the graph: the game's ply count after the move, the value clamped to the limit.
struct CoursePoint {
    int32_t ply;
    int32_t value;

    bool operator==(const CoursePoint&) const = default;
};

// A known value as the graph draws it.
int32_t CourseValue(const MoveValue& value);
// The points of the plies firstPly + 1 .. lastPly whose value is known, in order.
std::vector<CoursePoint> CoursePoints(int32_t firstPly, int32_t lastPly);

class CourseGraph : public QWidget {
  public:
    explicit CourseGraph(QWidget* parent);

    // The game's plies (after firstPly up to lastPly) and the one shown under review (-1: none).
    void SetGame(int32_t firstPly, int32_t lastPly, int32_t shownPly);
    std::vector<CoursePoint> Points() const { return CoursePoints(firstPly_, lastPly_); }
    // Where a point is drawn, and the ply whose place is nearest to x.
    QPoint PlaceOf(const CoursePoint& point) const;
    int32_t PlyAt(int x) const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QRect Plot() const;
    int32_t Span() const;
    int Y(int32_t value) const;

    int32_t firstPly_ = 0;
    int32_t lastPly_ = 0;
    int32_t shownPly_ = -1;
};

}  // namespace xq
