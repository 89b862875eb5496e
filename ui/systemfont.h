// The font that plays the system font's part: the board's file labels are drawn with it and its
// line height fixes labelHeight, on which every position of the board depends.
#pragma once

#include <QFont>

namespace xq {

QFont SystemFont();

// The information panel's and the move list's font: a rounded CJK face 16 pixels high when one is
// installed, else the system font's face.
QFont PanelFont();

}  // namespace xq
