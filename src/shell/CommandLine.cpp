// Command-line parsing with QCommandLineParser, kept apart from main() so that it can be tested.
#include "shell/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

#include "LarkspurVersion.h"
#include "shell/DisplayScale.h"

void SetApplicationIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("larkspur"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kLarkspurVersion));
    // The window system matches the window to the installed menu entry by this name, so the
    // task bar shows the program's own icon and name.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntryName));
}

namespace {

// --sdr takes its device arguments only when they look like them (key=value): "--sdr site.lks"
// is the first device found and a site to open.
QStringList sdrValueMadeExplicit(const QStringList& arguments) {
    QStringList out;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--sdr")) {
            const bool valued = i + 1 < arguments.size() &&
                                arguments[i + 1].contains(QLatin1Char('=')) &&
                                !arguments[i + 1].startsWith(QLatin1Char('-'));
            out << QStringLiteral("--sdr=") + (valued ? arguments[++i] : QString());
        } else {
            out << arguments[i];
        }
    }
    return out;
}

} // namespace

CommandLineResult ParseCommandLine(const QStringList& givenArguments, AppOptions& options,
                                   QString& output) {
    const QStringList arguments = sdrValueMadeExplicit(givenArguments);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Larkspur Survalon: radio site survey with a scanning receiver board."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption simulateOption(
        QStringLiteral("simulate"),
        QStringLiteral("Run a simulated receiver board on a pseudo-terminal and use it."));
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Use the board on DEVICE; skip the port search."),
        QStringLiteral("DEVICE"));
    const QCommandLineOption sdrOption(
        QStringLiteral("sdr"),
        QStringLiteral("Measure with a software-defined radio through SoapySDR: ARGS as "
                       "driver=rtlsdr or driver=hackrf,serial=...; alone, the first found."),
        QStringLiteral("ARGS"));
    const QCommandLineOption tableOption(
        QStringLiteral("table"), QStringLiteral("Load the channel table FILE.nct at start-up."),
        QStringLiteral("FILE.nct"));
    const QCommandLineOption scaleOption(
        QStringLiteral("scale"),
        QStringLiteral("Draw everything N times the handheld's size, from 1 (the handheld "
                       "exactly) to 8. Without it the scale suits the screen."),
        QStringLiteral("N"));
    parser.addOption(simulateOption);
    parser.addOption(portOption);
    parser.addOption(sdrOption);
    parser.addOption(tableOption);
    parser.addOption(scaleOption);
    parser.addPositionalArgument(QStringLiteral("SITE.lks"),
                                 QStringLiteral("Site file to open at start-up."),
                                 QStringLiteral("[SITE.lks]"));

    const QString usage = QStringLiteral(
        "Usage: larkspur [--simulate | --port DEVICE | --sdr [ARGS]] [--table FILE.nct] [--scale N]"
        " [SITE.lks]\n");
    if (!parser.parse(arguments)) {
        output = parser.errorText() + QLatin1Char('\n') + usage;
        return CommandLineResult::ExitError;
    }
    if (parser.isSet(helpOption)) {
        output =
            parser.helpText() +
            QStringLiteral("\nExit codes: 0 the window was closed, 1 the program could not start,\n"
                           "2 a bad command line or no display.\n");
        return CommandLineResult::ExitOk;
    }
    if (parser.isSet(versionOption)) {
        output = QCoreApplication::applicationName() + QLatin1Char(' ') +
                 QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return CommandLineResult::ExitOk;
    }
    if (int(parser.isSet(simulateOption)) + int(parser.isSet(portOption)) +
            int(parser.isSet(sdrOption)) >
        1) {
        output = QStringLiteral("Only one of --simulate, --port and --sdr can be used.\n") + usage;
        return CommandLineResult::ExitError;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        output = QStringLiteral("Only one site file can be opened.\n") + usage;
        return CommandLineResult::ExitError;
    }
    if (parser.isSet(portOption) && parser.value(portOption).isEmpty()) {
        output = QStringLiteral("--port needs a device name.\n") + usage;
        return CommandLineResult::ExitError;
    }

    if (parser.isSet(scaleOption)) {
        bool ok = false;
        const double scale = parser.value(scaleOption).toDouble(&ok);
        if (!ok || !(scale >= kMinScale && scale <= kMaxScale)) {
            output = QStringLiteral("--scale needs a number from 1 to 8, not \"%1\".\n")
                         .arg(parser.value(scaleOption)) +
                     usage;
            return CommandLineResult::ExitError;
        }
        options.scale = scale;
    }

    options.simulate = parser.isSet(simulateOption);
    options.sdr = parser.isSet(sdrOption);
    options.sdrArgs = parser.value(sdrOption).toStdString();
    // Paths go to POSIX calls, so they take the file-system encoding rather than plain UTF-8.
    options.port = QFile::encodeName(parser.value(portOption)).toStdString();
    options.table = QFile::encodeName(parser.value(tableOption)).toStdString();
    options.site =
        positional.isEmpty() ? std::string() : QFile::encodeName(positional.front()).toStdString();
    return CommandLineResult::Run;
}
