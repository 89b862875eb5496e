// What the dialogs need from the rest of the program and reach through an installed function, so
// that the dialogs do not depend on the main window: how an error is reported. The main window
// installs its own at start-up; tests install recorders.
#pragma once

#include <string_view>

namespace xq {

// Reports an invalid entry. The default beeps when sound is on, then shows the modal error
// dialog with `text` and returns once it is closed; the main window installs ReportError, which
// ends in the same dialog through its ShowError message.
using ErrorReporter = void (*)(std::string_view text);
extern ErrorReporter dialogErrorReporter;
void ReportDialogError(std::string_view text);

}  // namespace xq
