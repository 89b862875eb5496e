#include "ui/dialogs/dialoglinks.h"

#include "engine/flow.h"
#include "platform/display.h"
#include "ui/dialogs/messagedialogs.h"

namespace xq {
namespace {

void BeepAndShowErrorDialog(std::string_view text) {
    if (soundOn) Beep();
    ShowErrorDialog(text);
}

void NoMenu(uint8_t, uint8_t) {}

}  // namespace

ErrorReporter dialogErrorReporter = BeepAndShowErrorDialog;
LevelCheckMover levelCheckMover = NoMenu;

void ReportDialogError(std::string_view text) {
    dialogErrorReporter(text);
}

}  // namespace xq
