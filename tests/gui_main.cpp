// GoogleTest entry point for window tests: a QApplication, set up as the
// program sets it up. Runs on the offscreen platform when no display is set.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/startup.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    lumora::app::InitialiseApplication(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
