// Line interpolation: the points of a digital straight line, as the glide-back of a dragged piece
// walks them.
#pragma once

#include <cstdint>
#include <functional>

namespace xq {

// Calls `point` for every point of the Bresenham line from (x1, y1) towards (x2, y2): the start
// included, the end excluded, so a line from a point to itself calls nothing. Along the longer
// axis every step moves one pixel; the other coordinate follows the nearest pixel of the ideal
// line (a tie rounds towards the start's side).
void LineDda(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
             const std::function<void(int32_t x, int32_t y)>& point);

}  // namespace xq
