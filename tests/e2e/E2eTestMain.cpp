// Test entry for the end-to-end tests: a headless QApplication around the GoogleTest run. Started
// with "--crash-child SITE TABLE" it is instead the program a crash test kills.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

int RunCrashChild(const std::string& site, const std::string& table);

int main(int argc, char** argv) {
    // Test discovery runs this binary too; without a display it must still start.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc == 4 && std::strcmp(argv[1], "--crash-child") == 0) {
        int qtArgc = 1;
        QApplication app(qtArgc, argv);
        return RunCrashChild(argv[2], argv[3]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
