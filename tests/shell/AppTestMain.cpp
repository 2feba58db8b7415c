// Test entry for the application shell: a headless QApplication around the GoogleTest run.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Test discovery runs this binary too; without a display it must still start.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("larkspur"));
    QApplication::setApplicationVersion(QStringLiteral("2.02"));
    return RUN_ALL_TESTS();
}
