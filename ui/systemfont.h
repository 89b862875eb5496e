// The font that plays the system font's part: the board's file labels are drawn with it and its
// line height fixes labelHeight, on which every position of the board depends.
#pragma once

#include <QFont>

namespace xq {

QFont SystemFont();

}  // namespace xq
