#include "ui/dialogs/valuerows.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QScrollBar>

#include "ui/dialogs/dialoglinks.h"
#include "ui/dialogs/numbertext.h"

namespace xq {

std::optional<int> ReadByte(const QLineEdit& edit) {
    const std::optional<int64_t> number = ParseWholeNumber(edit.text().toStdString());
    if (!number || *number < 0 || *number > 255) return std::nullopt;
    return static_cast<int>(*number);
}

bool CheckByteRow(const ByteRow& row, int& working) {
    const std::optional<int> value = ReadByte(*row.edit);
    if (!value) {
        ReportDialogError(
            QCoreApplication::translate("ValueRows", kByteRangeErrorText).toStdString());
        row.edit->activateWindow();
        row.edit->setFocus(Qt::OtherFocusReason);
        row.edit->selectAll();
        return false;
    }
    if (*value != working) {
        working = *value;
        row.bar->setValue(*value);
    }
    return true;
}

EditLeaveWatcher::EditLeaveWatcher(const std::vector<QLineEdit*>& edits, std::function<void()> left,
                                   QObject* parent)
    : QObject(parent), left_(std::move(left)) {
    for (QLineEdit* edit : edits)
        edit->installEventFilter(this);
}

bool EditLeaveWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        switch (static_cast<QFocusEvent*>(event)->reason()) {
            case Qt::MouseFocusReason:
            case Qt::TabFocusReason:
            case Qt::BacktabFocusReason:
            case Qt::ShortcutFocusReason:
                QMetaObject::invokeMethod(this, left_, Qt::QueuedConnection);
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace xq
