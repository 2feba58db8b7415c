// The program's command line: larkspur [--simulate | --port DEVICE] [--table FILE.nct] [SITE.lks]
#pragma once

#include <QString>
#include <QStringList>
#include <string>

struct AppOptions {
    bool simulate = false;
    std::string port;  // empty: search for the board's port
    std::string table; // channel table to load once the board is up
    std::string site;  // site file to open once the board is up
};

enum class CommandLineResult { Run, ExitOk, ExitError };

// Parses arguments (argv[0] first). On ExitOk or ExitError, output holds the text to print
// (help or version on stdout, the error and usage on stderr).
CommandLineResult ParseCommandLine(const QStringList& arguments, AppOptions& options,
                                   QString& output);
