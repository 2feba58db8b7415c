// Entry point of the larkspur program.
#include <QApplication>
#include <QCoreApplication>

#include <cstdio>

#include "shell/CommandLine.h"
#include "shell/DisplayScale.h"
#include "shell/LarkspurApp.h"
#include "shell/MainFrame.h"

int main(int argc, char* argv[]) {
    SetApplicationIdentity();

    // The command line is read first, by a plain core application: it names the scale that the
    // GUI application must be built with, and --help or a mistake needs no display.
    AppOptions options;
    QString output;
    CommandLineResult parsed = CommandLineResult::Run;
    {
        QCoreApplication commandLine(argc, argv);
        parsed = ParseCommandLine(QCoreApplication::arguments(), options, output);
    }
    switch (parsed) {
    case CommandLineResult::ExitOk:
        std::fputs(output.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLineResult::ExitError:
        std::fputs(output.toLocal8Bit().constData(), stderr);
        return 2;
    case CommandLineResult::Run:
        break;
    }

    applyDisplayScale(options.scale, argc, argv);
    QApplication application(argc, argv);

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
