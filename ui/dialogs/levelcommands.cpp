#include "ui/dialogs/levelcommands.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <cmath>
#include <optional>
#include <string>

#include "engine/think.h"
#include "platform/display.h"
#include "records/menucommands.h"
#include "records/settings.h"
#include "ui/dialogs/dialoglinks.h"
#include "ui/dialogs/levelinputdlgs.h"
#include "ui/dialogs/numbertext.h"

namespace xq {
namespace {

std::string Translated(const char* text) {
    return QCoreApplication::translate("LevelCommands", text).toStdString();
}

static_assert(kLongestLevelTime == 1000, "the texts of a time too long name the bound");

void AcceptTime(std::string_view text, uint8_t level, const char* tooLongText) {
    const double value = ParseLeadingReal(text);
    if (ChooseTimeLevel(level, value)) return;
    const bool tooLong = std::isfinite(value) && value > kLongestLevelTime;
    ReportDialogError(Translated(tooLong ? tooLongText : kBadTimeText));
}

// The edit shows the current time value with two decimals, in either time dialog; a value that
// two decimals would change shows whole, so that OK without an edit keeps it.
QString TimeText() {
    return QString::fromStdString(LevelTimeText(levelTime, 2));
}

std::string EditText(const QLineEdit* edit) {
    return edit->text().toStdString();
}

}  // namespace

void AcceptSecondsPerMove(std::string_view text) {
    AcceptTime(text, kLevelPerMove, kTooManySecondsText);
}

void AcceptMinutesPerGame(std::string_view text) {
    AcceptTime(text, kLevelPerGame, kTooManyMinutesText);
}

void AcceptPlies(std::string_view text) {
    const std::optional<int64_t> plies = ParseWholeNumber(text);
    if (!plies) {
        const QString message =
            QCoreApplication::translate("LevelCommands", "\"%1\" 不是有效的整数。")
                .arg(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        MessageBox(message.toStdString(),
                   QCoreApplication::translate("TMainForm", "澜川中国象棋").toStdString(),
                   BoxIcon::Error);
        return;
    }
    if (!ChooseDepthLevel(*plies)) ReportDialogError(Translated(kBadDepthText));
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
