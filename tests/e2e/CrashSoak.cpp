// Kills the whole program at random moments of a survey and checks what a restart recovers. Each
// run starts the program (window, controller, the simulated board on a pseudo-terminal at line
// rate) in a child process on a fresh site; the child taps points, saves now and then, and
// reports every point once its circle is painted. The child is killed with SIGKILL after a random
// time; the program is then started again on the site, accepts the recovery and must hold every
// reported reading, with the site file readable and no file of a killed save left over.
//
// Usage: larkspur_crash_soak [RUNS [SEED]]   (defaults 100 and the time)
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <poll.h>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "SurveyHarness.h"
#include "controller/SurveyController.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "shell/SignOffDlg.h"
#include "survey/RecordList.h"
#include "view/ViewCommands.h"

namespace {

constexpr const char* kChildFlag = "--soak-child";
constexpr int kSiteWidth = 1600;
constexpr int kSiteHeight = 1200;
constexpr int kPointsPerSave = 2;
// The surveyor walks to the next spot between points: the program is idle meanwhile.
constexpr int kLongestWalkMs = 400;
constexpr int kScanEndPauseMs = 200;
constexpr int kLongestLifeMs = 4000;
constexpr unsigned kSaveKillShare = 4;
constexpr unsigned kLongestSaveKillUs = 30000;
// How often the driver looks for the child's next line.
constexpr int kPollMs = 5;
constexpr int kStepTimeoutMs = 10000;
constexpr int kChannels = 10;

// "x y channel rssi": one reading as the site keeps it.
std::string reading(const SurveyRecord& r) {
    std::ostringstream out;
    out << r.x << ' ' << r.y << ' ' << r.channel << ' ' << r.rssi;
    return out.str();
}

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// The child: a surveyor who taps, waits for each point and signs a save every few points.
int runChild(const std::string& site, const std::string& table, unsigned seed) {
    SurveyHarness h;
    AppOptions options;
    options.simulate = true;
    if (!h.Start(options)) {
        return 3;
    }
    h.Controller().SetScanEndPause(kScanEndPauseMs);
    h.OpenSite(site, false);
    h.LoadTable(table);
    std::mt19937 random(seed);
    say("READY");
    for (int point = 1;; ++point) {
        const QPoint tap(static_cast<int>(random() % 200) + 20,
                         static_cast<int>(random() % 260) + 20);
        const size_t before = RecordCount(h.Controller().Records());
        say("T"); // a scan is under way
        h.Tap(tap);
        if (!WaitUntil([&] { return RecordCount(h.Controller().Records()) > before; },
                       kStepTimeoutMs)) {
            return 4;
        }
        // The circle is painted: its readings are reported.
        SurveyRecord* r = nullptr;
        for (int16_t rc = h.Controller().Records().GetAt(r, static_cast<int32_t>(before) + 1);
             rc == RL_OK; rc = h.Controller().Records().GetNext(r)) {
            say("P " + reading(*r));
        }
        if (!h.WaitForMapScreen(kStepTimeoutMs)) {
            return 5;
        }
        say("M"); // idle on the map
        QTest::qWait(static_cast<int>(random() % kLongestWalkMs));
        if (point % kPointsPerSave == 0) {
            say("S"); // the save is under way
            WhenModal(
                [](QWidget* modal) { qobject_cast<CSignOffDlg*>(modal)->SaveButton()->click(); });
            if (!h.Controller().SaveSite()) {
                return 6;
            }
            say("M");
        }
    }
}

struct RunResult {
    std::string phase; // where the kill landed
    size_t reported = 0;
    size_t missing = 0;
    bool unreadable = false;
    int leftoversBefore = 0;
    int leftoversAfter = 0;
    std::string failure;
};

int countLeftovers(const QString& folder, const QString& name) {
    return static_cast<int>(
        QDir(folder).entryList({"." + name + ".save-*"}, QDir::Files | QDir::Hidden).size());
}

// Reads the child's lines until the deadline; the kill comes then.
void readUntil(int fd, std::string& out, std::chrono::steady_clock::time_point deadline) {
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            return;
        }
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) {
            continue;
        }
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            return;
        }
        out.append(buffer, static_cast<size_t>(n));
    }
}

RunResult runOnce(const std::string& self, const QString& folder, int run, std::mt19937& random,
                  const std::string& table) {
    RunResult result;
    SurveyHarness writer;
    const QString name = QString("site-%1.lks").arg(run);
    const std::string made = writer.WriteSite(name, kSiteWidth, kSiteHeight);
    const std::string site = QDir(folder).filePath(name).toStdString();
    if (made.empty() || std::rename(made.c_str(), site.c_str()) != 0) {
        result.failure = "cannot write the site";
        return result;
    }
    int out[2];
    if (::pipe(out) != 0) {
        result.failure = "pipe";
        return result;
    }
    const unsigned childSeed = random();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        const std::string seed = std::to_string(childSeed);
        ::execl(self.c_str(), self.c_str(), kChildFlag, site.c_str(), table.c_str(), seed.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    std::string report;
    const auto start = std::chrono::steady_clock::now();
    while (report.find("READY\n") == std::string::npos &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        readUntil(out[0], report,
                  std::chrono::steady_clock::now() + std::chrono::milliseconds(kPollMs));
    }
    if (random() % kSaveKillShare == 0) {
        // A save lasts a few milliseconds: one run in kSaveKillShare aims at one.
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (report.find("\nS\n") == std::string::npos &&
               std::chrono::steady_clock::now() < limit) {
            readUntil(out[0], report,
                      std::chrono::steady_clock::now() + std::chrono::milliseconds(kPollMs));
        }
        ::usleep(static_cast<useconds_t>(random() % kLongestSaveKillUs));
    } else {
        const int lifeMs = static_cast<int>(random() % kLongestLifeMs);
        readUntil(out[0], report,
                  std::chrono::steady_clock::now() + std::chrono::milliseconds(lifeMs));
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    // What the child wrote before it died is still in the pipe.
    readUntil(out[0], report, std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
    ::close(out[0]);
    if (!WIFSIGNALED(status)) {
        result.failure = "the child ended on its own: " + std::to_string(WEXITSTATUS(status));
        return result;
    }

    std::set<std::string> reported;
    std::istringstream lines(report);
    std::string line;
    result.phase = "start-up";
    while (std::getline(lines, line)) {
        if (line.rfind("P ", 0) == 0) {
            reported.insert(line.substr(2));
            result.phase = "pause";
        } else if (line == "T") {
            result.phase = "scan";
        } else if (line == "M") {
            result.phase = "idle";
        } else if (line == "S") {
            result.phase = "save";
        } else if (line == "READY") {
            result.phase = "idle";
        }
    }
    result.reported = reported.size();

    CSiteFile file;
    std::string detail;
    result.unreadable = CSiteFileReader::Read(site, file, detail) != SF_OK;
    result.leftoversBefore = countLeftovers(folder, name);

    // The program again: recover whatever is offered, keep the file's points otherwise.
    SurveyHarness again;
    if (!again.Start()) {
        result.failure = "the program did not start again";
        return result;
    }
    for (int i = 0; i < 4; ++i) {
        again.Prompts().QueueAnswer(kIdYes);
    }
    again.OpenSite(site, true);
    std::set<std::string> recovered;
    SurveyRecord* r = nullptr;
    for (int16_t rc = again.Controller().Records().GetAt(r, 1); rc == RL_OK;
         rc = again.Controller().Records().GetNext(r)) {
        recovered.insert(reading(*r));
    }
    for (const std::string& one : reported) {
        result.missing += recovered.count(one) == 0 ? 1 : 0;
    }
    result.leftoversAfter = countLeftovers(folder, name);
    return result;
}

int runSoak(const std::string& self, int runs, unsigned seed) {
    QTemporaryDir folder;
    SurveyHarness tables;
    std::vector<std::pair<int, int>> entries;
    for (int channel = 1; channel <= kChannels; ++channel) {
        entries.emplace_back(0, channel * 30);
    }
    const std::string table = tables.WriteTable("ten.nct", entries);
    std::mt19937 random(seed);
    std::map<std::string, int> phases;
    int failures = 0;
    size_t reported = 0;
    size_t missing = 0;
    int unreadable = 0;
    int leftovers = 0;
    int leftoversAfter = 0;
    for (int run = 1; run <= runs; ++run) {
        const RunResult result = runOnce(self, folder.path(), run, random, table);
        ++phases[result.phase];
        reported += result.reported;
        missing += result.missing;
        unreadable += result.unreadable ? 1 : 0;
        leftovers += result.leftoversBefore;
        leftoversAfter += result.leftoversAfter;
        const bool bad = !result.failure.empty() || result.missing > 0 || result.unreadable ||
                         result.leftoversAfter > 0;
        failures += bad ? 1 : 0;
        std::fprintf(
            stderr, "run %3d: killed in %-8s points painted %3zu, readings not recovered %zu%s%s\n",
            run, result.phase.c_str(), result.reported / kChannels, result.missing,
            result.unreadable ? ", SITE UNREADABLE" : "",
            result.failure.empty() ? "" : (", " + result.failure).c_str());
    }
    std::printf("crash soak: %d kills (seed %u)\n", runs, seed);
    for (const auto& [phase, count] : phases) {
        std::printf("  killed in %-8s %d\n", phase.c_str(), count);
    }
    std::printf("  readings reported painted %zu, not recovered %zu\n", reported, missing);
    std::printf("  site files left unreadable %d\n", unreadable);
    std::printf("  temporary files of a killed save found %d, left after the next open %d\n",
                leftovers, leftoversAfter);
    std::printf("%d passed, %d failed\n", runs - failures, failures);
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc == 5 && std::strcmp(argv[1], kChildFlag) == 0) {
        int qtArgc = 1;
        QApplication app(qtArgc, argv);
        return runChild(argv[2], argv[3],
                        static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)));
    }
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 100;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10))
                                   : static_cast<unsigned>(std::time(nullptr));
    return runSoak(QCoreApplication::applicationFilePath().toStdString(), runs, seed);
}
