// Bash completion of lks and larkspur, run by bash with the system's completion library: the
// options and values each --help names, the commands, and the files each place expects.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>
#include <sys/stat.h>

#include "InstallRun.h"
#include "TestFiles.h"

namespace {

// The candidates bash offers for line (the cursor at its end), in folder, sorted.
std::vector<std::string> complete(const std::string& line, const std::string& folder = "/") {
    // As bash itself calls a completion: the words of the line, the cursor, the function.
    static const char* const kScript = R"(
source /usr/share/bash-completion/bash_completion
source "$3"; source "$4"; cd "$2"
COMP_LINE=$1; COMP_POINT=${#COMP_LINE}
read -ra COMP_WORDS <<< "$COMP_LINE"
[[ $COMP_LINE == *' ' ]] && COMP_WORDS+=('')
COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
_${COMP_WORDS[0]}
printf '%s\n' "${COMPREPLY[@]}")";
    CTempDir scratch;
    const ProgramRun run =
        RunProgram("bash",
                   {"-c", kScript, "bash", line, folder, sourceFile("resources/completion/lks"),
                    sourceFile("resources/completion/larkspur")},
                   scratch.Path());
    EXPECT_EQ(run.exitCode, 0) << line << "\n" << run.err;
    std::istringstream lines(run.out);
    std::vector<std::string> words;
    for (std::string word; std::getline(lines, word);) {
        words.push_back(word);
    }
    std::sort(words.begin(), words.end());
    return words;
}

std::vector<std::string> sorted(std::vector<std::string> words) {
    std::sort(words.begin(), words.end());
    return words;
}

} // namespace

TEST(Completion, OffersTheOptionsEachHelpNames) {
    struct Case {
        std::vector<std::string> lines; // completed together
        std::string help;
    } const cases[] = {
        {{"larkspur -"}, larkspurHelp()},
        // lks's own help lists the commands' options too; its usage lines are its own.
        {{"lks -"}, lksHelp().substr(0, lksHelp().find("\n\n"))},
        {{"lks make -"}, lksHelp("make")},
        {{"lks info -"}, lksHelp("info")},
        {{"lks export -"}, lksHelp("export")},
        {{"lks table new -", "lks table show -"}, lksHelp("table")},
        {{"lks heatmap -"}, lksHelp("heatmap")},
        {{"lks gridtest -"}, lksHelp("gridtest")},
    };
    for (const Case& c : cases) {
        std::set<std::string> offered;
        for (const std::string& line : c.lines) {
            const std::vector<std::string> words = complete(line);
            offered.insert(words.begin(), words.end());
        }
        std::set<std::string> named;
        for (const std::string& option : optionsIn(c.help)) {
            named.insert(option);
        }
        named.insert("--help"); // every command takes it, though only the first help says so
        EXPECT_EQ(offered, named) << c.lines.front();
    }
}

TEST(Completion, OffersTheValuesEachHelpLists) {
    // "--name a|b|c" in a help text: the option takes one of those words.
    static const std::regex choice(R"([\s\[](--[a-z-]+) ([a-z0-9]+(?:\|[a-z0-9]+)+)[\s\]])");
    int checked = 0;
    for (const std::string& command : lksCommands()) {
        const std::string help = lksHelp(command);
        for (auto it = std::sregex_iterator(help.begin(), help.end(), choice);
             it != std::sregex_iterator(); ++it) {
            std::vector<std::string> values;
            const std::string list = (*it)[2];
            for (size_t at = 0; at <= list.size();) {
                const size_t bar = std::min(list.find('|', at), list.size());
                values.push_back(list.substr(at, bar - at));
                at = bar + 1;
            }
            // table's --format belongs to show, its other options to new.
            const std::string option = (*it)[1];
            const std::string prefix = command != "table"     ? "lks " + command + " "
                                       : option == "--format" ? "lks table show "
                                                              : "lks table new ";
            command == "table" ? "lks table show " : "lks " + command + " ";
            EXPECT_EQ(complete(prefix + option + " "), sorted(values))
                << command << " " << (*it)[1];
            ++checked;
        }
    }
    EXPECT_GE(checked, 7); // format twice, pcs-spacing, method, profile, mode, paper
}

TEST(Completion, OffersTheCommandsAndTheFilesEachPlaceExpects) {
    CTempDir folder;
    for (const char* name : {"a.lks", "B.LKS", "t.nct", "plan.png", "photo.jpg", "x.txt"}) {
        WriteText(folder.File(name), "");
    }
    ASSERT_EQ(::mkdir(folder.File("sub").c_str(), 0755), 0);
    struct Case {
        const char* line;
        std::vector<std::string> offered;
    } const cases[] = {
        {"lks ", sorted(lksCommands())},
        {"lks table ", {"new", "show"}},
        {"lks info ", {"B.LKS", "a.lks", "sub"}},
        {"lks gridtest ", {"B.LKS", "a.lks", "sub"}},
        {"lks table show ", {"sub", "t.nct"}},
        {"lks make ", {"photo.jpg", "plan.png", "sub"}},
        {"lks make plan.png -o ", {"B.LKS", "a.lks", "sub"}},
        {"lks heatmap a.lks -o ", {"plan.png", "sub"}},
        {"larkspur ", {"B.LKS", "a.lks", "sub"}},
        {"larkspur --table ", {"sub", "t.nct"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(complete(c.line, folder.Path()), c.offered) << c.line;
    }
}
