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

using Words = std::set<std::string>;

// The candidates bash offers for each line (the cursor at its end), in folder: one bash for all
// of them, since the completion library takes a while to load.
std::vector<Words> complete(const std::vector<std::string>& lines, const std::string& folder) {
    // As bash itself calls a completion: the words of the line, the cursor, the function.
    static const char* const kScript = R"(
source /usr/share/bash-completion/bash_completion
cd "$1"; source "$2"; source "$3"; shift 3
for COMP_LINE in "$@"; do
    COMP_POINT=${#COMP_LINE}
    read -ra COMP_WORDS <<< "$COMP_LINE"
    [[ $COMP_LINE == *' ' ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _${COMP_WORDS[0]}
    printf '%s\n' "${COMPREPLY[@]}" /
done)";
    std::vector<std::string> args = {"-c",
                                     kScript,
                                     "bash",
                                     folder,
                                     sourceFile("resources/completion/lks"),
                                     sourceFile("resources/completion/larkspur")};
    args.insert(args.end(), lines.begin(), lines.end());
    CTempDir scratch;
    const ProgramRun run = RunProgram("bash", args, scratch.Path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // Each line's candidates end with "/", which no candidate is.
    std::vector<Words> offered(1);
    std::istringstream out(run.out);
    for (std::string word; std::getline(out, word);) {
        if (word == "/") {
            offered.emplace_back();
        } else if (!word.empty()) {
            offered.back().insert(word);
        }
    }
    offered.pop_back();
    EXPECT_EQ(offered.size(), lines.size()) << run.out;
    offered.resize(lines.size());
    return offered;
}

// The lines to complete and what each must offer (the lines of one entry together), checked in
// one run of bash.
struct Expectations {
    std::vector<std::vector<std::string>> lines;
    std::vector<Words> offered;
    void Add(std::vector<std::string> together, Words words) {
        lines.push_back(std::move(together));
        offered.push_back(std::move(words));
    }
    void Check(const std::string& folder = "/") const {
        std::vector<std::string> all;
        for (const auto& together : lines) {
            all.insert(all.end(), together.begin(), together.end());
        }
        const std::vector<Words> got = complete(all, folder);
        auto next = got.begin();
        for (size_t i = 0; i < lines.size(); ++i) {
            Words words;
            for (size_t n = 0; n < lines[i].size() && next != got.end(); ++n, ++next) {
                words.insert(next->begin(), next->end());
            }
            EXPECT_EQ(words, offered[i]) << "'" << lines[i].front() << "'";
        }
    }
};

Words optionsOf(const std::string& help, std::initializer_list<const char*> more = {}) {
    const std::vector<std::string> options = optionsIn(help);
    Words words(options.begin(), options.end());
    words.insert(more.begin(), more.end());
    return words;
}

} // namespace

TEST(Completion, OffersTheOptionsAndValuesEachHelpNames) {
    Expectations expect;
    expect.Add({"larkspur -"}, optionsOf(larkspurHelp()));
    // lks's own help lists the commands' options too; its usage lines are its own.
    const std::string lks = lksHelp();
    expect.Add({"lks -"}, optionsOf(lks.substr(0, lks.find("\n\n"))));
    // "--name a|b|c" in a help text: the option takes one of those words.
    static const std::regex choice(R"([\s\[](--[a-z-]+) ([a-z0-9]+(?:\|[a-z0-9]+)+)[\s\]])");
    for (const std::string& command : lksCommands()) {
        const std::string help = lksHelp(command);
        // Every command takes --help, though only lks's own help says so; table's help serves
        // both its commands.
        expect.Add(command == "table"
                       ? std::vector<std::string>{"lks table new -", "lks table show -"}
                       : std::vector<std::string>{"lks " + command + " -"},
                   optionsOf(help, {"--help"}));
        for (auto it = std::sregex_iterator(help.begin(), help.end(), choice);
             it != std::sregex_iterator(); ++it) {
            const std::string option = (*it)[1];
            Words values;
            std::istringstream list(
                std::regex_replace(std::string((*it)[2]), std::regex("\\|"), "\n"));
            for (std::string value; std::getline(list, value);) {
                values.insert(value);
            }
            const std::string prefix = command != "table"     ? "lks " + command + " "
                                       : option == "--format" ? "lks table show "
                                                              : "lks table new ";
            expect.Add({prefix + option + " "}, values);
        }
    }
    // format twice, pcs-spacing, method, mode, paper, besides the eight option lists
    EXPECT_GE(expect.lines.size(), 8u + 6u);
    expect.Check();
}

TEST(Completion, OffersTheCommandsAndTheFilesEachPlaceExpects) {
    CTempDir folder;
    for (const char* name : {"a.lks", "B.LKS", "t.nct", "plan.png", "photo.jpg", "x.txt"}) {
        WriteText(folder.File(name), "");
    }
    ASSERT_EQ(::mkdir(folder.File("sub").c_str(), 0755), 0);
    Expectations expect;
    expect.Add({"lks "}, Words(lksCommands().begin(), lksCommands().end()));
    expect.Add({"lks table "}, {"new", "show"});
    expect.Add({"lks info "}, {"B.LKS", "a.lks", "sub"});
    expect.Add({"lks gridtest "}, {"B.LKS", "a.lks", "sub"});
    expect.Add({"lks table show "}, {"sub", "t.nct"});
    expect.Add({"lks make "}, {"photo.jpg", "plan.png", "sub"});
    expect.Add({"lks make plan.png -o "}, {"B.LKS", "a.lks", "sub"});
    expect.Add({"lks heatmap a.lks -o "}, {"plan.png", "sub"});
    expect.Add({"larkspur "}, {"B.LKS", "a.lks", "sub"});
    expect.Add({"larkspur --table "}, {"sub", "t.nct"});
    expect.Check(folder.Path());
}
