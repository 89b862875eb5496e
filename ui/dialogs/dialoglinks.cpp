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

}  // namespace

ErrorReporter dialogErrorReporter = BeepAndShowErrorDialog;

void ReportDialogError(std::string_view text) {
    dialogErrorReporter(text);
}

}  // namespace xq
