// Test entry for the application shell: a headless QApplication around the GoogleTest run.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

#include "shell/CommandLine.h"

int main(int argc, char** argv) {
    // Test discovery runs this binary too; without a display it must still start.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    SetApplicationIdentity();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
