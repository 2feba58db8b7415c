// Starting larkspur where there is no display to draw on: one line that says so and how to run it
// headless, exit status 2, instead of Qt's abort. Help and version need no display at all.
#include <gtest/gtest.h>

#include "InstallRun.h"
#include "TestFiles.h"

TEST(Start, WithoutADisplaySaysHowToRunHeadless) {
    struct Case {
        const char* what;
        std::vector<std::string> environment; // for env(1), after the display's own are gone
        std::vector<std::string> args;
        int exitCode;
        bool oneLineOnStderr;
    } const cases[] = {
        {"no display at all", {}, {}, 2, true},
        {"a display no server answers", {"DISPLAY=:4242"}, {}, 2, true},
        {"a Wayland display that is not there", {"QT_QPA_PLATFORM=wayland"}, {}, 2, true},
        {"asked for help", {}, {"--help"}, 0, false},
        {"asked for the version", {}, {"--version"}, 0, false},
    };
    for (const Case& c : cases) {
        CTempDir scratch;
        std::vector<std::string> args = {"-u",
                                         "DISPLAY",
                                         "-u",
                                         "WAYLAND_DISPLAY",
                                         "-u",
                                         "QT_QPA_PLATFORM",
                                         "XDG_RUNTIME_DIR=" + scratch.Path()};
        args.insert(args.end(), c.environment.begin(), c.environment.end());
        args.push_back(LARKSPUR_PROGRAM);
        args.insert(args.end(), c.args.begin(), c.args.end());
        const ProgramRun run = RunProgram("env", args, scratch.Path());
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what << "\n" << run.err;
        if (c.oneLineOnStderr) {
            EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << c.what << "\n" << run.err;
            EXPECT_NE(run.err.find("QT_QPA_PLATFORM=offscreen"), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("xvfb-run"), std::string::npos) << run.err;
            EXPECT_EQ(run.out, "");
        } else {
            EXPECT_FALSE(run.out.empty()) << c.what;
        }
    }
}
