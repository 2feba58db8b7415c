// Entry point of the larkspur program.
#include <QApplication>

#include <cstdio>

#include "shell/CommandLine.h"
#include "shell/LarkspurApp.h"
#include "shell/MainFrame.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("larkspur"));
    QApplication::setApplicationDisplayName(QStringLiteral("Larkspur"));
    QApplication::setApplicationVersion(QStringLiteral("2.02"));

    AppOptions options;
    QString output;
    switch (ParseCommandLine(QApplication::arguments(), options, output)) {
    case CommandLineResult::ExitOk:
        std::fputs(output.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLineResult::ExitError:
        std::fputs(output.toLocal8Bit().constData(), stderr);
        return 2;
    case CommandLineResult::Run:
        break;
    }

    CLarkspurApp app;
    if (!app.InitInstance(options)) {
        return 1;
    }
    // A window closed while the link came up has already ended the program.
    if (!app.Frame()->isVisible()) {
        return 0;
    }
    return QApplication::exec();
}
