#include "ui/dialogs/levelcommands.h"

#include <QLineEdit>
#include <optional>
#include <string>

#include "engine/think.h"
#include "platform/display.h"
#include "records/menucommands.h"
#include "ui/dialogs/dialoglinks.h"
#include "ui/dialogs/levelinputdlgs.h"
#include "ui/dialogs/numbertext.h"

namespace xq {
namespace {

void AcceptTime(std::string_view text, uint8_t level) {
    if (!ChooseTimeLevel(level, ParseLeadingReal(text))) ReportDialogError(kBadTimeText);
}

// The edit shows the current time value with two decimals, in either time dialog.
QString TimeText() {
    return QString::number(levelTime, 'f', 2);
}

std::string EditText(const QLineEdit* edit) {
    return edit->text().toStdString();
}

}  // namespace

void AcceptSecondsPerMove(std::string_view text) {
    AcceptTime(text, kLevelPerMove);
}

void AcceptMinutesPerGame(std::string_view text) {
    AcceptTime(text, kLevelPerGame);
}

void AcceptPlies(std::string_view text) {
    const std::optional<int64_t> plies = ParseWholeNumber(text);
    if (!plies) {
        const std::string message = "\"" + std::string(text) + "\" 不是有效的整数。";
        MessageBox(message, "澜川中国象棋", BoxIcon::Error);
        return;
    }
    if (!ChooseDepthLevel(*plies)) ReportDialogError(kBadDepthText);
}

void MoveTimeCommand(TInputSecPerMoveDlg& dialog) {
    dialog.Edit1()->setText(TimeText());
    if (dialog.exec() == QDialog::Accepted) AcceptSecondsPerMove(EditText(dialog.Edit1()));
}

void TotalTimeCommand(TInputMinPerGameDlg& dialog) {
    dialog.Edit1()->setText(TimeText());
    if (dialog.exec() == QDialog::Accepted) AcceptMinutesPerGame(EditText(dialog.Edit1()));
}

void PlyCommand(TInputPlyDlg& dialog) {
    dialog.Edit1()->setText(QString::number(maxDepth));
    if (dialog.exec() == QDialog::Accepted) AcceptPlies(EditText(dialog.Edit1()));
}

}  // namespace xq
