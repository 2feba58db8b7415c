// The manual pages say what the programs' --help says: every option and every exit code, and
// the version the programs print.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <set>

#include "InstallRun.h"
#include "TestFiles.h"

namespace {

// The page as man shows its words: escapes for hyphens and fonts taken out.
std::string manualText(const std::string& path) {
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    return std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
}

// One section of a page, from its .SH line to the next.
std::string section(const std::string& page, const std::string& title) {
    const size_t start = page.find(".SH " + title);
    if (start == std::string::npos) {
        return std::string();
    }
    const size_t end = page.find("\n.SH ", start + 1);
    return page.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::set<std::string> exitCodesOfHelp(const std::string& help) {
    std::set<std::string> codes;
    size_t at = 0;
    while ((at = help.find("Exit codes:", at)) != std::string::npos) {
        const size_t end = help.find("\n\n", at);
        const std::string paragraph = help.substr(at, end == std::string::npos ? end : end - at);
        static const std::regex code(R"((?::|[,;]|\n)\s*(\d+)\b)");
        for (auto it = std::sregex_iterator(paragraph.begin(), paragraph.end(), code);
             it != std::sregex_iterator(); ++it) {
            codes.insert((*it)[1]);
        }
        at += 1;
    }
    return codes;
}

std::set<std::string> exitCodesOfManual(const std::string& page) {
    const std::string status = section(page, "EXIT STATUS");
    static const std::regex item(R"(\n\.B (\d+)\n)");
    std::set<std::string> codes;
    for (auto it = std::sregex_iterator(status.begin(), status.end(), item);
         it != std::sregex_iterator(); ++it) {
        codes.insert((*it)[1]);
    }
    return codes;
}

std::string versionOf(const std::string& program) {
    CTempDir scratch;
    return RunProgram(program, {"--version"}, scratch.Path(), true).out;
}

} // namespace

TEST(Manuals, SayWhatHelpSaysOptionsExitCodesAndVersion) {
    struct Program {
        const char* name;
        const char* path;
        std::function<std::string()> help; // every help text of the program, together
    } const programs[] = {
        {"larkspur", LARKSPUR_PROGRAM, [] { return larkspurHelp(); }},
        {"lks", LKS_PROGRAM,
         [] {
             std::string all = lksHelp();
             for (const std::string& command : lksCommands()) {
                 all += "\n\n" + lksHelp(command);
             }
             return all;
         }},
    };
    for (const Program& program : programs) {
        SCOPED_TRACE(program.name);
        const std::string help = program.help();
        const std::string page =
            manualText(buildFile("docs/man/" + std::string(program.name) + ".1"));
        ASSERT_FALSE(help.empty());
        ASSERT_FALSE(page.empty());

        EXPECT_EQ(optionsIn(page), optionsIn(help));
        const std::set<std::string> codes = exitCodesOfHelp(help);
        EXPECT_GE(codes.size(), 3u) << help;
        EXPECT_EQ(exitCodesOfManual(page), codes);

        // The title line names the version the program prints, and so does the package.
        const std::string printed = versionOf(program.path);
        EXPECT_EQ(printed, std::string(program.name) + " " + PROJECT_VERSION_TEXT + "\n");
        EXPECT_NE(page.find("\"" + printed.substr(0, printed.size() - 1) + "\""),
                  std::string::npos);
    }
}
