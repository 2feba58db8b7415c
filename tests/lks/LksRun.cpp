// The lks runner for the tests: std::system with stdout and stderr sent to files.
#include "LksRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>
#include <vector>

std::string TextOf(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

ToolRun RunLks(const CTempDir& dir, const std::string& args) {
    const std::string command = std::string(LKS_PROGRAM) + " " + args + " >" + dir.File("out.txt") +
                                " 2>" + dir.File("err.txt");
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = TextOf(dir.File("out.txt"));
    run.err = TextOf(dir.File("err.txt"));
    return run;
}

void ExpectBadInput(const ToolRun& run, const std::string& mentions) {
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.empty()) << run.out;
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.rfind("lks: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_NE(run.err.find(mentions), std::string::npos) << run.err;
}
