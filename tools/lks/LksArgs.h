// Command-line plumbing shared by the lks subcommands: the exit codes and the one-line error.
#pragma once

#include <string>

namespace lks {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;   // the input was fine, but the result could not be written
constexpr int kExitBadInput = 2; // bad arguments or an unusable input file

// gridtest: the report is written and the site fails the test.
constexpr int kExitTestFailed = 3;

// Prints "lks: message" on one line to stderr and returns kExitBadInput.
int BadInput(const std::string& message);
bool IsHelp(const std::string& arg);

int RunMake(int argc, char** argv);
int RunInfo(int argc, char** argv);
int RunExport(int argc, char** argv);
int RunTable(int argc, char** argv);
int RunHeatmap(int argc, char** argv);
int RunGridtest(int argc, char** argv);
int RunScan(int argc, char** argv);
int RunCalibrate(int argc, char** argv);

} // namespace lks
