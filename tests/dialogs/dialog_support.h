// Helpers of the dialogs' suites: an error reporter that records instead of showing the modal
// dialog, showing a dialog as the active window, and typing into an edit the way a user does.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/dialogs/dialoglinks.h"

namespace xq::testing {

// Installed for its lifetime: every reported error is kept in `texts`.
class ErrorRecorder {
  public:
    ErrorRecorder() : previous_(dialogErrorReporter) {
        texts_ = &texts;
        dialogErrorReporter = [](std::string_view text) { texts_->emplace_back(text); };
    }
    ~ErrorRecorder() { dialogErrorReporter = previous_; }
    ErrorRecorder(const ErrorRecorder&) = delete;
    ErrorRecorder& operator=(const ErrorRecorder&) = delete;

    std::vector<std::string> texts;

  private:
    inline static std::vector<std::string>* texts_ = nullptr;
    ErrorReporter previous_;
};

// Shows `window`, makes it the active window and waits until it is.
inline bool ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// Lets queued work (the checks made when an edit is left) run.
inline void Settle() {
    QApplication::processEvents();
    QApplication::processEvents();
}

// Clicks into `edit` (what leaving the previous edit runs, runs then), replaces its text by
// typing `text`, and leaves the focus there.
inline void TypeInto(QLineEdit* edit, const QString& text) {
    QTest::mouseClick(edit, Qt::LeftButton);
    Settle();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

}  // namespace xq::testing
