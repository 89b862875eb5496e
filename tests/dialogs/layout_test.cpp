// Every dialog as laid out with the installed CJK font: no text is cut off by its widget and no
// widget sticks out of its parent.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

#include "dialogs/dialog_catalogue.h"

namespace xq {
namespace {

// Why `widget`'s text does not fit, or empty when it does.
QString Clipping(const QWidget* widget) {
    const QFontMetrics metrics(widget->font());
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (label->text().isEmpty()) return {};
        const QRect room = label->contentsRect();
        if (label->wordWrap()) {
            const int needed = label->heightForWidth(room.width());
            return needed > room.height() ? QString("needs %1 px of height").arg(needed) : "";
        }
        const QSize needed = metrics.size(0, label->text());
        if (needed.width() > room.width() || metrics.height() > room.height())
            return QString("needs %1 x %2").arg(needed.width()).arg(metrics.height());
        return {};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        // The text, the glyph and a little room on either side (the style's minimum button
        // width is not a need).
        int needed = metrics.horizontalAdvance(button->text()) + 8;
        if (!button->icon().isNull()) needed += button->iconSize().width() + 4;
        return needed > button->width() || metrics.height() > button->height()
                   ? QString("needs %1 px").arg(needed)
                   : "";
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        const int needed = metrics.horizontalAdvance(edit->text()) + 6;
        return needed > edit->width() || metrics.height() > edit->height()
                   ? QString("needs %1 px").arg(needed)
                   : "";
    }
    return {};
}

TEST(DialogLayout, NoTextIsCutOffAndEveryWidgetIsInsideItsParent) {
    for (const auto& [name, dialog] : testing::AllDialogs()) {
        for (const QWidget* child : dialog->findChildren<QWidget*>()) {
            const QString where =
                name + "/" + child->objectName() + " (" + child->metaObject()->className() + ")";
            const QString clipping = Clipping(child);
            EXPECT_TRUE(clipping.isEmpty())
                << where.toStdString() << ": " << clipping.toStdString();
            if (child->isWindow()) continue;
            EXPECT_TRUE(child->parentWidget()->rect().contains(child->geometry()))
                << where.toStdString();
        }
    }
}

}  // namespace
}  // namespace xq
