// The window's tests need one application for the whole run, the program's own, on the offscreen
// platform unless the caller chose another.
#include <gtest/gtest.h>

#include "ui/application.h"

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    xq::XiangqiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
