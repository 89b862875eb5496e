#include "platform/linedda.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

namespace xq {
namespace {

using Points = std::vector<std::pair<int32_t, int32_t>>;

Points Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    Points points;
    LineDda(x1, y1, x2, y2, [&](int32_t x, int32_t y) { points.emplace_back(x, y); });
    return points;
}

TEST(LineDda, PointsFromTheStartUpToButNotIncludingTheEnd) {
    EXPECT_EQ(Line(5, 5, 5, 5), Points{});
    EXPECT_EQ(Line(0, 0, 3, 0), (Points{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(Line(0, 0, 0, -2), (Points{{0, 0}, {0, -1}}));
    EXPECT_EQ(Line(0, 0, 4, 2), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_EQ(Line(10, 10, 8, 14), (Points{{10, 10}, {10, 11}, {9, 12}, {9, 13}}));
}

// Over random lines: one point per pixel of the longer axis, each next to the one before, each
// the pixel nearest the ideal line, and the last one next to the end.
TEST(LineDda, EveryPointIsTheNearestPixelOfTheLine) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int32_t> coordinate(-300, 300);
    for (int line = 0; line < 2000; ++line) {
        const int32_t x1 = coordinate(random), y1 = coordinate(random);
        const int32_t x2 = coordinate(random), y2 = coordinate(random);
        const Points points = Line(x1, y1, x2, y2);
        const int32_t dx = x2 - x1, dy = y2 - y1;
        ASSERT_EQ(points.size(), static_cast<size_t>(std::max(std::abs(dx), std::abs(dy))));
        if (points.empty()) continue;
        EXPECT_EQ(points.front(), std::make_pair(x1, y1));
        auto [lastX, lastY] = points.back();
        EXPECT_LE(std::max(std::abs(x2 - lastX), std::abs(y2 - lastY)), 1);
        for (size_t i = 0; i < points.size(); ++i) {
            const auto [x, y] = points[i];
            if (i > 0) {
                EXPECT_LE(std::abs(x - points[i - 1].first), 1);
                EXPECT_LE(std::abs(y - points[i - 1].second), 1);
            }
            // Distance from the ideal line along the shorter axis: at most half a pixel.
            if (std::abs(dx) >= std::abs(dy)) {
                const double ideal = y1 + static_cast<double>(dy) * (x - x1) / dx;
                EXPECT_LE(std::abs(y - ideal), 0.5) << x1 << "," << y1 << " " << x2 << "," << y2;
            } else {
                const double ideal = x1 + static_cast<double>(dx) * (y - y1) / dy;
                EXPECT_LE(std::abs(x - ideal), 0.5) << x1 << "," << y1 << " " << x2 << "," << y2;
            }
        }
    }
}

}  // namespace
}  // namespace xq
