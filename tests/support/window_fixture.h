// The common ground of the window tests: settings and log in a folder of the test's own, the
// settings at their built-in values at the start, and every game-wide flag a test may change put
// back when it ends, so the window tests pass in one process in any order.
//
// A fixture that holds its TMainForm as a member gets it constructed after `home`; the form reads
// the settings only when shown, so showing it after WindowTest::SetUp finds the environment set.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "engine/enginechoice.h"
#include "engine/externalthink.h"
#include "engine/think.h"
#include "platform/messages.h"
#include "records/menucommands.h"
#include "records/settings.h"
#include "rules/game.h"
#include "ui/gamefiledialogs.h"
#include "ui/language.h"

namespace xq::testing {

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        setenv("XDG_CONFIG_HOME", qPrintable(home.filePath("config")), 1);
        setenv("XDG_STATE_HOME", qPrintable(home.filePath("state")), 1);
        std::remove(SettingsFile().c_str());
        Reset();
    }
    void TearDown() override {
        Reset();
        EndAddedEngine();
        addedEngines.clear();
        libraryLoaded = false;
        savedGameName.clear();
        ForgetFileFolder();
    }

    // The command as a click on its menu item gives it: posted, then taken from the queue.
    static void RunMenuCommand(int32_t command) {
        Message message;
        message.kind = MessageKind::Command;
        message.command = command;
        PostMessage(message);
        DispatchPendingMessages();
    }

    QTemporaryDir home;
};

// While it lives, a command that would ask "棋局已改变，保存吗？" goes on as after "不保存",
// without the question: for tests of other things that start a new game over a changed one.
class DropChangesUnasked {
  public:
    DropChangesUnasked() : ask_(askToSaveChanges) {
        askToSaveChanges = [] { return SaveAnswer::Discard; };
    }
    ~DropChangesUnasked() { askToSaveChanges = ask_; }
    DropChangesUnasked(const DropChangesUnasked&) = delete;
    DropChangesUnasked& operator=(const DropChangesUnasked&) = delete;

  private:
    SaveQuestion ask_;
};

// While it lives, the window speaks `language`, its texts translated again at once; Simplified
// Chinese comes back at its end, however the test ends.
class InLanguage {
  public:
    explicit InLanguage(Language language) { Switch(language); }
    ~InLanguage() { Switch(Language::SimplifiedChinese); }
    InLanguage(const InLanguage&) = delete;
    InLanguage& operator=(const InLanguage&) = delete;

  private:
    static void Switch(Language language) {
        EXPECT_TRUE(SetLanguage(language));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }
};

// Answers a file dialog as a user does: the file's path typed into the name field, then "OK".
// selectFile() would leave the field alone once it has the focus, which it takes as soon as the
// dialog is active, and the dialog would wait on. The accept comes from the event loop, so that
// a question it asks (replace the file?) can be answered in turn.
inline void ChooseInFileDialog(QFileDialog* dialog, const QString& file) {
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr) << "Qt's own file dialog";
    name->setText(file);
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
}

}  // namespace xq::testing
