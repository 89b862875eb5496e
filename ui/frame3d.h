// The grooved frame of the classic grey look, drawn around the board, the window's client area
// and the editor's palette: white and grey lines that make the frame look cut into the surface.
#pragma once

#include "ui/gdi/canvas.h"

namespace xq {

// The frame along the edge of `rect`, its inside filled light grey when `filled`.
void DrawFrame3D(gdi::Canvas& canvas, const gdi::Rect& rect, bool filled);

}  // namespace xq
