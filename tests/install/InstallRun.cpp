// Paths, help texts and option lists for the install tests.
#include "InstallRun.h"

#include <regex>
#include <set>

#include "TestFiles.h"

std::string sourceFile(const std::string& path) {
    return std::string(SOURCE_DIR) + "/" + path;
}

std::string buildFile(const std::string& path) {
    return std::string(BUILD_DIR) + "/" + path;
}

std::string larkspurHelp() {
    CTempDir scratch;
    return RunProgram(LARKSPUR_PROGRAM, {"--help"}, scratch.Path(), true).out;
}

std::string lksHelp(const std::string& command) {
    CTempDir scratch;
    return RunProgram(LKS_PROGRAM,
                      command.empty() ? std::vector<std::string>{"--help"}
                                      : std::vector<std::string>{command, "--help"},
                      scratch.Path(), true)
        .out;
}

const std::vector<std::string>& lksCommands() {
    static const std::vector<std::string> commands = {"make",    "info",     "export", "table",
                                                      "heatmap", "gridtest", "scan",   "calibrate"};
    return commands;
}

std::vector<std::string> optionsIn(const std::string& text) {
    // An option starts a word: "--name" or "-x", never a negative number or "a-b".
    static const std::regex option(R"((?:^|[\s\[|(,])(--?[A-Za-z][A-Za-z-]*))");
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option);
         it != std::sregex_iterator(); ++it) {
        const std::string name = (*it)[1];
        if (name.size() == 2 || name.compare(0, 2, "--") == 0) {
            found.insert(name);
        }
    }
    return std::vector<std::string>(found.begin(), found.end());
}
