#include "ui/systemfont.h"

namespace xq {

// A CJK font installed with the game's dependencies, 16 pixels high like the classic system
// font; the layout reads its metrics, so another CJK font only moves the board a little.
QFont SystemFont() {
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(16);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace xq
