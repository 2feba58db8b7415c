// Runs the lks program as a user would, from the tests of each subcommand: its exit code and
// what it printed on stdout and stderr.
#pragma once

#include <string>

#include "TestFiles.h"

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs "lks args" through the shell, its output kept in dir.
ToolRun RunLks(const CTempDir& dir, const std::string& args);

// Exit 2, one line on stderr starting "lks: " and holding mentions, nothing on stdout.
void ExpectBadInput(const ToolRun& run, const std::string& mentions);

std::string TextOf(const std::string& path);
