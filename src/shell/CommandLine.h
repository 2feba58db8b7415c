// The program's command line: larkspur [--simulate | --port DEVICE | --sdr [ARGS]]
// [--table FILE.nct] [--scale N] [SITE.lks], and the names it goes by.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

struct AppOptions {
    bool simulate = false;
    std::string port; // empty: search for the board's port
    // A software-defined radio measures instead of the board: SoapySDR's device arguments
    // ("driver=rtlsdr"; empty: the first device found).
    bool sdr = false;
    std::string sdrArgs;
    std::string table; // channel table to load once the board is up
    std::string site;  // site file to open once the board is up
    double scale = 0;  // display scale; 0: chosen from the screen
    // The coverage layer on the map from the start (not a command-line option: the program sets
    // it from the scale it runs at).
    bool coverageLayer = false;
};

enum class CommandLineResult { Run, ExitOk, ExitError };

// The name of the installed desktop entry (without ".desktop"), also the program's icon name.
constexpr const char* kDesktopEntryName = "org.larkspur.Survalon";

// Names the program and its version (for --version and the window system). It sets no display
// name, which Qt would append to every window's caption after the caption's own text.
void SetApplicationIdentity();

// Parses arguments (argv[0] first). On ExitOk or ExitError, output holds the text to print
// (help or version on stdout, the error and usage on stderr).
CommandLineResult ParseCommandLine(const QStringList& arguments, AppOptions& options,
                                   QString& output);
