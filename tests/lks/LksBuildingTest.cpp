// lks gridtest on a building job: several floors from one JSON file, a cover with the building's
// verdict, and the command line's options over the job's; then the examples of the repository.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "LksRun.h"
#include "SurveySite.h"

namespace {

ProgramRun gridtest(const CTempDir& dir, const std::vector<std::string>& args) {
    std::vector<std::string> all = {"gridtest"};
    all.insert(all.end(), args.begin(), args.end());
    return RunProgram(LKS_PROGRAM, all, dir.Path());
}

std::string pdfText(const CTempDir& dir, const std::string& pdf) {
    const ProgramRun run = RunProgram("pdftotext", {"-layout", pdf, "-"}, dir.Path());
    EXPECT_EQ(run.exitCode, 0) << "pdftotext (poppler-utils) is needed: " << run.err;
    return run.out;
}

// A floor of 400 x 300 with a point at each of its 20 cells' centres reading dbm.
std::string floorSite(const CTempDir& dir, const std::string& name, double dbm) {
    std::vector<TestPoint> points;
    for (int i = 0; i < 20; ++i) {
        points.push_back({(i % 5) * 80 + 40, (i / 5) * 75 + 37, {{kCell1, X16(dbm)}}});
    }
    return MakeSurveySite(dir, name, 400, 300, points);
}

const char* const kJob = R"({
    "building": "Harbour Tower",
    "address": "12 Quay Street",
    "profile": "nfpa72-2013",
    "channels": [1],
    "floors": [
        {"site": "one.lks", "name": "Ground floor", "scale": "4/ft",
         "critical": [{"x": 0, "y": 0, "w": 80, "h": 75, "name": "Fire command centre"}]},
        {"site": "two.lks", "name": "First floor", "area": {"x": 0, "y": 0, "w": 400, "h": 300}}
    ]
})";

TEST(LksBuilding, AJobJudgesEveryFloorUnderACover) {
    CTempDir dir;
    floorSite(dir, "one.lks", -70.0);
    floorSite(dir, "two.lks", -97.0);
    WriteText(dir.File("job.json"), kJob);
    const std::string pdf = dir.File("r.pdf");
    ProgramRun run = gridtest(
        dir, {"--job", dir.File("job.json"), "-o", pdf, "--summary-csv", dir.File("s.csv")});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_EQ(run.out, pdf + ": FAIL: 2 floors; First floor channel 1\n");
    const std::string text = pdfText(dir, pdf);
    const std::string cover = text.substr(0, text.find('\f'));
    for (const char* part :
         {"Harbour Tower", "12 Quay Street", "FAIL", "Ground floor", "First floor", "one.lks",
          "two.lks", "NFPA 72, 2013 edition", "2 floors judged, 1 pass"}) {
        EXPECT_TRUE(cover.find(part) != std::string::npos) << part << "\n" << cover;
    }
    EXPECT_NE(text.find("Floor Ground floor of Harbour Tower"), std::string::npos);
    EXPECT_NE(TextOf(dir.File("s.csv")).find("First floor,two.lks,floor,,,,,,,,,,,FAIL\n"),
              std::string::npos);

    // The command line's options win over the job's.
    run = gridtest(dir, {"--job", dir.File("job.json"), "-o", pdf, "--threshold", "-98"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(pdfText(dir, pdf).find("custom, from NFPA 72, 2013 edition: threshold -98 dBm"),
              std::string::npos);
}

TEST(LksBuilding, BadJobsGiveOneLine) {
    CTempDir dir;
    floorSite(dir, "one.lks", -70.0);
    const std::string out = dir.File("r.pdf");
    const struct {
        const char* job;
        std::vector<std::string> extra;
        const char* mentions;
    } cases[] = {
        {R"({"floors": [{"site": "missing.lks"}]})", {}, "cannot open"},
        {R"({"floors": [{"site": "one.lks"}], "threshhold": -90})", {}, "threshhold is not a key"},
        {R"({"floors": [{"site": "one.lks", "scale": 4}]})", {}, "floors[1].scale '4'"},
        {R"({"floors": [{"name": "Roof"}]})", {}, "site is missing"},
        {R"({"floors": []})", {}, "at least one floor"},
        {R"({"floors": [{"site": "one.lks", "area": {"x": 0, "y": 0, "w": 1.5, "h": 2}}]})",
         {},
         "whole numbers"},
        {R"({"floors": [{"site": "one.lks"}], "channels": 1})", {}, "list of channel numbers"},
        {"[1, 2", {}, "not a JSON object"},
        {R"({"floors": [{"site": "one.lks"}]})", {"--area", "0,0,10,10"}, "--area belongs to a"},
        {R"({"floors": [{"site": "one.lks"}]})", {"-o", dir.File("job.json")}, "is an input"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mentions);
        WriteText(dir.File("job.json"), c.job);
        std::vector<std::string> args = {"--job", dir.File("job.json"), "-o", out};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        ExpectBadInput(gridtest(dir, args), c.mentions);
    }
}

TEST(LksBuilding, TheExamplesAreTheOnesTheirScriptsMakeAndJudgeAsDocumented) {
    CTempDir dir;
    const std::string examples = EXAMPLES_DIR;
    for (const char* floor : {"1", "2"}) {
        const std::string made = dir.File(std::string("level") + floor + ".lks");
        const std::string command = std::string(DEMO_SURVEY_PROGRAM) + " " + examples +
                                    "/demo.lks " + examples + "/demo.nct " + made + " --building " +
                                    floor + " >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(ReadAll(made), ReadAll(examples + "/building-level" + floor + ".lks"))
            << "run examples/make_building.sh after changing the example building";
    }
    const ProgramRun building =
        gridtest(dir, {"--job", examples + "/building.json", "-o", dir.File("b.pdf")});
    EXPECT_EQ(building.exitCode, 0) << building.err;
    EXPECT_EQ(building.out, dir.File("b.pdf") + ": PASS: 2 floors, every channel passes\n");
    const ProgramRun demo = gridtest(
        dir, {examples + "/demo-surveyed.lks", "-o", dir.File("d.pdf"), "--scale", "4/ft"});
    EXPECT_EQ(demo.exitCode, 3) << demo.err;
}

} // namespace
