// A survey that survives a kill: a child process runs the whole program (window, controller,
// simulated board at line rate), takes three points, reports their readings and is killed with
// SIGKILL before saving. The program started again on the same site recovers and saves them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

#include <algorithm>
#include <csignal>
#include <cstdio>
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
#include "view/LarkspurView.h"
#include "view/ViewCommands.h"

namespace {

constexpr const char* kChildFlag = "--crash-child";
constexpr const char* kReady = "READY";

// "x y channel rssi" per record, in list order.
std::string describe(const CRecordList& list) {
    std::ostringstream out;
    SurveyRecord* r = nullptr;
    for (int16_t rc = list.GetAt(r, 1); rc == RL_OK; rc = list.GetNext(r)) {
        out << r->x << ' ' << r->y << ' ' << r->channel << ' ' << r->rssi << '\n';
    }
    return out.str();
}

} // namespace

// The child's part: called from the test program's main when it is started with kChildFlag.
int RunCrashChild(const std::string& site, const std::string& table) {
    SurveyHarness h;
    if (!h.Start()) {
        return 3;
    }
    h.OpenSite(site, false);
    h.LoadTable(table);
    for (const QPoint& tap : {QPoint(60, 80), QPoint(120, 160), QPoint(180, 240)}) {
        h.Tap(tap);
        if (!h.WaitForMapScreen(10000)) {
            return 4;
        }
    }
    // Three unsaved points: report them and wait for the kill.
    std::printf("%s%s\n", describe(h.Controller().Records()).c_str(), kReady);
    std::fflush(stdout);
    for (;;) {
        pause();
    }
}

TEST(CrashRecoveryE2e, AKilledProgramsPointsAreRecoveredAndSaved) {
    SurveyHarness h;
    const std::string site = h.WriteSite("site.lks", 480, 640);
    const std::string table = h.WriteTable("three.nct", {{0, 1}, {0, 334}, {1, 25}});
    ASSERT_FALSE(site.empty());

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        const std::string self = QCoreApplication::applicationFilePath().toStdString();
        execl(self.c_str(), self.c_str(), kChildFlag, site.c_str(), table.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string report;
    char buffer[256];
    ssize_t n = 0;
    while (report.find(kReady) == std::string::npos &&
           (n = read(out[0], buffer, sizeof buffer)) > 0) {
        report.append(buffer, static_cast<size_t>(n));
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(out[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended on its own: " << report;
    ASSERT_NE(report.find(kReady), std::string::npos) << report;
    const std::string readings = report.substr(0, report.find(kReady));
    ASSERT_EQ(std::count(readings.begin(), readings.end(), '\n'), 9) << readings;

    // The program again, on the same site: the recovery is offered and accepted, then saved.
    ASSERT_TRUE(h.Start());
    h.Prompts().QueuePath(site);
    h.Prompts().QueueAnswer(kIdYes);
    h.View().OnCommand(kCmdOpenSite);
    ASSERT_FALSE(h.Prompts().Messages().empty());
    EXPECT_EQ(h.Prompts().Messages().back(), "Recover 3 points that were not saved?");
    EXPECT_EQ(describe(h.Controller().Records()), readings);
    WhenModal([](QWidget* modal) { qobject_cast<CSignOffDlg*>(modal)->SaveButton()->click(); });
    ASSERT_TRUE(h.Controller().SaveSite());

    CSiteFile saved;
    std::string detail;
    ASSERT_EQ(CSiteFileReader::Read(site, saved, detail), SF_OK) << detail;
    CRecordList list;
    ASSERT_EQ(saved.AppendRecordsTo(list), RL_OK);
    EXPECT_EQ(describe(list), readings);
}
