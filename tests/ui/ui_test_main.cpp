// The window's tests need one application for the whole run, the program's own, on the offscreen
// platform unless the caller chose another.
//
// Qt keeps the folder of its own settings (the file dialogs' last folder and sizes) from their
// first use for the life of the process. The tests give each test a settings folder of its own,
// which is gone when the next one opens a file dialog; so Qt's folder is fixed here first, in a
// folder of the run's own that is removed when the run ends.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "ui/application.h"

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir qtSettings;
    qputenv("XDG_CONFIG_HOME", qtSettings.path().toUtf8());
    xq::XiangqiApplication application(argc, argv);
    QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
