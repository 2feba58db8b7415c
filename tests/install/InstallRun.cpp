// Paths, help texts and option lists for the install tests.
#include "InstallRun.h"

#include <map>
#include <regex>
#include <set>

#include "TestFiles.h"

std::string sourceFile(const std::string& path) {
    return std::string(SOURCE_DIR) + "/" + path;
}

std::string buildFile(const std::string& path) {
    return std::string(BUILD_DIR) + "/" + path;
}

namespace {

// Each help text once per test program: the tests ask for them again and again.
std::string helpOf(const std::string& program, const std::vector<std::string>& args) {
    static std::map<std::vector<std::string>, std::string> known;
    std::vector<std::string> key = args;
    key.insert(key.begin(), program);
    auto found = known.find(key);
    if (found == known.end()) {
        CTempDir scratch;
        found = known.emplace(key, RunProgram(program, args, scratch.Path(), true).out).first;
    }
    return found->second;
}

} // namespace

std::string larkspurHelp() {
    return helpOf(LARKSPUR_PROGRAM, {"--help"});
}

std::string lksHelp(const std::string& command) {
    return command.empty() ? helpOf(LKS_PROGRAM, {"--help"})
                           : helpOf(LKS_PROGRAM, {command, "--help"});
}

const std::vector<std::string>& lksCommands() {
    static const std::vector<std::string> commands = {"make",  "info",    "export",
                                                      "table", "heatmap", "gridtest"};
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
