#include "platform/linedda.h"

#include <cstdlib>

namespace xq {

void LineDda(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
             const std::function<void(int32_t x, int32_t y)>& point) {
    // Walk the longer axis ("major") one pixel a step; the error term tracks twice the distance
    // of the ideal line from the current pixel along the shorter ("minor") axis.
    const int32_t dx = std::abs(x2 - x1);
    const int32_t dy = std::abs(y2 - y1);
    const int32_t stepX = x2 >= x1 ? 1 : -1;
    const int32_t stepY = y2 >= y1 ? 1 : -1;
    const bool xMajor = dx >= dy;
    const int32_t major = xMajor ? dx : dy;
    const int32_t minor = xMajor ? dy : dx;
    int32_t x = x1;
    int32_t y = y1;
    int32_t error = 2 * minor - major;
    for (int32_t n = 0; n < major; ++n) {
        point(x, y);
        if (error > 0) {
            (xMajor ? y : x) += xMajor ? stepY : stepX;
            error -= 2 * major;
        }
        error += 2 * minor;
        (xMajor ? x : y) += xMajor ? stepX : stepY;
    }
}

}  // namespace xq
