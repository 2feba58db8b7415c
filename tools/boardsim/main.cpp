// larkspur-boardsim: runs the simulated receiver board on a pseudo-terminal until interrupted.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "BoardSimulator.h"

namespace {
void Usage() {
    std::fprintf(stderr,
                 "usage: larkspur-boardsim [--link PATH] [--baud N] [--instant] [--silent]\n"
                 "       [--drop-every N] [--corrupt-every N] [--noise] [--seed N] [--log FILE]\n"
                 "       [--firmware TEXT] [--serial TEXT] [--pcs-spacing KHZ]\n"
                 "       [--vanish-after-ms N] [--vanish-after-commands N]\n"
                 "       [--reappear-after-ms N] [--forget-table]\n"
                 "Prints the pseudo-terminal's device path on the first line, then answers\n"
                 "the program's commands until interrupted. The vanish options unplug the\n"
                 "board once (the last command is cut off); it comes back on a new\n"
                 "pseudo-terminal after --reappear-after-ms, behind the same --link, without\n"
                 "its channel table if --forget-table is given.\n");
}

bool Number(const char* text, unsigned long max, unsigned long& out) {
    char* end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v > max || text[0] == '-') {
        return false;
    }
    out = v;
    return true;
}
} // namespace

int main(int argc, char** argv) {
    BoardSimOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        unsigned long n = 0;
        if (a == "--instant") {
            options.instant = true;
        } else if (a == "--silent") {
            options.silent = true;
        } else if (a == "--noise") {
            options.noise = true;
        } else if (a == "--forget-table") {
            options.forgetTable = true;
        } else if (a == "--link" && hasValue) {
            options.linkPath = argv[++i];
        } else if (a == "--log" && hasValue) {
            options.logPath = argv[++i];
        } else if (a == "--firmware" && hasValue) {
            options.firmware = argv[++i];
        } else if (a == "--serial" && hasValue) {
            options.serial = argv[++i];
        } else if (a == "--baud" && hasValue && Number(argv[++i], 4000000, n) && n > 0) {
            options.baud = static_cast<unsigned>(n);
        } else if (a == "--drop-every" && hasValue && Number(argv[++i], 1000000, n)) {
            options.dropEvery = static_cast<int>(n);
        } else if (a == "--corrupt-every" && hasValue && Number(argv[++i], 1000000, n)) {
            options.corruptEvery = static_cast<int>(n);
        } else if (a == "--vanish-after-ms" && hasValue && Number(argv[++i], 86400000, n)) {
            options.vanishAfterMs = static_cast<int>(n);
        } else if (a == "--vanish-after-commands" && hasValue && Number(argv[++i], 1000000, n)) {
            options.vanishAfterCommands = static_cast<int>(n);
        } else if (a == "--reappear-after-ms" && hasValue && Number(argv[++i], 86400000, n)) {
            options.reappearAfterMs = static_cast<int>(n);
        } else if (a == "--seed" && hasValue && Number(argv[++i], 0xFFFFFFFFul, n)) {
            options.seed = static_cast<uint32_t>(n);
        } else if (a == "--pcs-spacing" && hasValue && Number(argv[++i], 200, n) &&
                   (n == 30 || n == 50 || n == 200)) {
            options.pcsSpacingHz = static_cast<uint32_t>(n * 1000);
        } else if (a == "--help" || a == "-h") {
            Usage();
            return 0;
        } else {
            std::fprintf(stderr, "larkspur-boardsim: bad argument '%s'\n", argv[i]);
            Usage();
            return 2;
        }
    }

    // Block the stop signals before any thread starts, so only sigwait below sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    CBoardSimulator board;
    if (!board.Start(options)) {
        // The link is replaced only when it is an earlier link, never a file of the user's.
        std::fprintf(stderr,
                     "larkspur-boardsim: cannot open a pseudo-terminal, the log or the "
                     "link: %s\n",
                     std::strerror(errno));
        return 1;
    }
    std::printf("%s\n", board.SlavePath().c_str());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    board.Stop();
    return 0;
}
