// The lks runner for the tests: a shell command line through the one program runner.
#include "LksRun.h"

#include <gtest/gtest.h>

#include <vector>

std::string TextOf(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    return std::string(bytes.begin(), bytes.end());
}

ToolRun RunLks(const CTempDir& dir, const std::string& args) {
    return RunProgram("/bin/sh", {"-c", std::string(LKS_PROGRAM) + " " + args}, dir.Path());
}

void ExpectBadInput(const ToolRun& run, const std::string& mentions) {
    EXPECT_EQ(run.exitCode, 2) << mentions;
    EXPECT_TRUE(run.out.empty()) << run.out;
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.rfind("lks: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_NE(run.err.find(mentions), std::string::npos) << run.err;
}
