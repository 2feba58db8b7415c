// Runs the lks program as a user would, from the tests of each subcommand: its exit code and
// what it printed on stdout and stderr.
#pragma once

#include <string>

#include "ProgramRun.h"
#include "TestFiles.h"

using ToolRun = ProgramRun;

// Runs "lks args" through the shell (so args is split as a user's command line), its output
// kept in dir.
ToolRun RunLks(const CTempDir& dir, const std::string& args);

// Exit 2, one line on stderr starting "lks: " and holding mentions, nothing on stdout.
void ExpectBadInput(const ToolRun& run, const std::string& mentions);

std::string TextOf(const std::string& path);
