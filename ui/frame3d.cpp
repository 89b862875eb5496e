#include "ui/frame3d.h"

#include "ui/boardrenderer.h"

namespace xq {

void DrawFrame3D(gdi::Canvas& canvas, const gdi::Rect& rect, bool filled) {
    const auto [l, t, r, b] = rect;
    const gdi::Brush grey = gdi::Brush::Solid(kLightGrey);
    canvas.Rectangle(rect, kWhite, filled ? &grey : nullptr);
    canvas.Rectangle({l + 1, t + 1, r - 1, b - 1}, kLightGrey, nullptr);
    canvas.Polyline({{l + 2, b - 3}, {r - 3, b - 3}, {r - 3, t + 2}}, kWhite);
    canvas.Polyline({{l, b - 1}, {r - 1, b - 1}, {r - 1, t}}, kDarkGrey);
    canvas.Polyline({{l + 2, b - 3}, {l + 2, t + 2}, {r - 3, t + 2}}, kDarkGrey);
}

}  // namespace xq
