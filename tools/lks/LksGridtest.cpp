// lks gridtest: the signed grid-test report of a surveyed floor or building. Exit 0 when the report
// is written and everything passes, 3 when written and something fails, 2 for bad input, 1 when
// it cannot be written.
#include <QGuiApplication>
#include <QHashSeed>

#include <cstdio>
#include <string>

#include "GridtestArgs.h"
#include "GridtestPlan.h"
#include "GridtestRun.h"
#include "LksArgs.h"

namespace lks {

namespace {

// Qt's own chatter (missing runtime folders and the like) would break the one-line rule for
// messages; lks reports everything that matters itself.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "lks: gridtest: %s\n", message.toLocal8Bit().constData());
    }
}

} // namespace

int RunGridtest(int argc, char** argv) {
    OptionValues values;
    std::string error;
    switch (ParseGridtestArgs(argc, argv, values, error)) {
    case ArgsOutcome::Help:
        std::fputs(kGridtestUsage, stdout);
        return kExitOk;
    case ArgsOutcome::Bad:
        return BadInput(error);
    case ArgsOutcome::Run:
        break;
    }

    // The report needs fonts but never a screen: run headless unless told otherwise. Qt comes
    // first, as the job file is read with its JSON reader.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler(quietQt);
    // Qt's PDF writer keeps the report's fonts in a hash and writes them in its order; with a
    // random seed each run would order the file differently. gridtest hashes nothing that comes
    // from its input, so the fixed seed costs no protection.
    QHashSeed::setDeterministicGlobalSeed();
    int qtArgc = 1;
    char name[] = "lks";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    GridtestPlan plan;
    if (!MakeGridtestPlan(values, plan, error)) {
        return BadInput(error);
    }
    std::string verdict;
    switch (RunGridtestPlan(plan, error, verdict)) {
    case GridtestStatus::Pass:
        std::printf("%s\n", verdict.c_str());
        return kExitOk;
    case GridtestStatus::Fail:
        std::printf("%s\n", verdict.c_str());
        return kExitTestFailed;
    case GridtestStatus::BadInput:
        return BadInput(error);
    case GridtestStatus::WriteFailed:
        break;
    }
    std::fprintf(stderr, "lks: %s\n", error.c_str());
    return kExitFailed;
}

} // namespace lks
