#include "ui/systemfont.h"

#include <QStringList>

namespace xq {

// A CJK font installed with the game's dependencies, 16 pixels high like the classic system
// font; the layout reads its metrics, so another CJK font only moves the board a little.
QFont SystemFont() {
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(16);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont PanelFont() {
    QFont font = SystemFont();
    font.setFamilies(QStringList{QStringLiteral("YouYuan"), QStringLiteral("WenQuanYi Micro Hei"),
                                 QStringLiteral("AR PL UMing CN")});
    return font;
}

}  // namespace xq
