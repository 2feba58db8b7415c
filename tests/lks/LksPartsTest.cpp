// The parts of lks that read files and options, tested directly: DAQ files, channel table
// labels, the outputs' identity, and how a plan merges a job with the command line.
#include <gtest/gtest.h>

#include <unistd.h>

#include "ChannelLabels.h"
#include "DaqFile.h"
#include "GridtestPlan.h"
#include "OutputFiles.h"
#include "TestFiles.h"

namespace {

TEST(LksParts, DaqFilesAreReadStrictly) {
    CTempDir dir;
    const struct {
        const char* text;
        bool ok;
        const char* mentions;
    } cases[] = {
        {"cell,daq_down,daq_up,talkback\r\nA1,3.4,,pass\r\n\r\nB2,,2.5,no\n", true, ""},
        {" Cell , DAQ_down , daq_up , TalkBack \nA1,4,4,YES\n", true, ""},
        {"cell,daq_down,daq_up\nA1,3,3\n", false, "needs the header"},
        {"cell,daq_down,daq_up,talkback\nA1,3,3\n", false, "line 2: needs a cell"},
        {"cell,daq_down,daq_up,talkback\nA1,0.5,3,pass\n", false, "from 1 to 5"},
        {"cell,daq_down,daq_up,talkback\nA1,3,3,maybe\n", false, "talk-back"},
        {"cell,daq_down,daq_up,talkback\nA1,3,3,\nA1,4,4,\n", false, "given twice"},
        {"", false, "holds no header"},
    };
    for (const auto& c : cases) {
        WriteText(dir.File("d.csv"), c.text);
        CellDaqMap daq;
        std::string error;
        EXPECT_EQ(lks::ReadDaqFile(dir.File("d.csv"), daq, error), c.ok) << c.text;
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
    }
    WriteText(dir.File("d.csv"), "cell,daq_down,daq_up,talkback\nA1,3.4,,pass\nB2,,2.5,no\n");
    CellDaqMap daq;
    std::string error;
    ASSERT_TRUE(lks::ReadDaqFile(dir.File("d.csv"), daq, error));
    EXPECT_EQ(daq["A1"].down, 3.4);
    EXPECT_LT(daq["A1"].up, 0.0) << "not tested";
    EXPECT_EQ(daq["B2"].talkback, Talkback::Fail);
}

TEST(LksParts, ChannelLabelsFollowTheProgramsParser) {
    CTempDir dir;
    std::vector<lks::ChannelLabel> labels;
    std::string error;
    // Line feeds alone, a label with commas, an entry without one, PCS at 50 kHz.
    WriteText(dir.File("t.nct"), "2\n50\n0,1, Fire, north wing \n1,25,\n0,65535,end\n");
    ASSERT_TRUE(lks::ReadChannelLabels(dir.File("t.nct"), labels, error)) << error;
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0].label, "Fire, north wing");
    EXPECT_EQ(labels[0].id, (ChannelId{1, 870030}));
    EXPECT_EQ(labels[1].label, "");
    EXPECT_EQ(labels[1].id, (ChannelId{25, 1931250})) << "PCS 25 at the 50 kHz spacing";
    EXPECT_EQ(lks::LabelOf(labels, {1, 870030}), "Fire, north wing");
    EXPECT_EQ(lks::LabelOf(labels, {1, 870060}), "");

    // A table by frequency: a cellular channel's frequency takes that channel's number, any other
    // its kHz, as the board's readings of them are stored.
    WriteText(dir.File("f.nct"), "3\n870.030000,25,Fire\n460.500000,12.5, Police dispatch \n");
    ASSERT_TRUE(lks::ReadChannelLabels(dir.File("f.nct"), labels, error)) << error;
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(lks::LabelOf(labels, {1, 870030}), "Fire");
    EXPECT_EQ(lks::LabelOf(labels, {460500, 460500}), "Police dispatch");

    WriteText(dir.File("long.nct"), "2\r\n30\r\n0,1," + std::string(300, 'x') + "\r\n");
    EXPECT_FALSE(lks::ReadChannelLabels(dir.File("long.nct"), labels, error));
    EXPECT_NE(error.find("longer than 255"), std::string::npos) << error;
    WriteText(dir.File("bad.nct"), "3\r\n30\r\n");
    EXPECT_FALSE(lks::ReadChannelLabels(dir.File("bad.nct"), labels, error));
    EXPECT_NE(error.find("Invalid Channel Table."), std::string::npos);
}

TEST(LksParts, OutputsAreToldApartByTheFileTheyReach) {
    CTempDir dir;
    WriteText(dir.File("site.lks"), "x");
    ASSERT_EQ(::link(dir.File("site.lks").c_str(), dir.File("hard.lks").c_str()), 0);
    ASSERT_EQ(::symlink("site.lks", dir.File("soft.lks").c_str()), 0);
    EXPECT_TRUE(lks::SameFile(dir.File("hard.lks"), dir.File("site.lks")));
    EXPECT_TRUE(lks::SameFile(dir.File("soft.lks"), dir.File("site.lks")));
    EXPECT_TRUE(lks::SameFile(dir.File("new.pdf"), dir.Path() + "/./new.pdf"));
    EXPECT_FALSE(lks::SameFile(dir.File("new.pdf"), dir.File("new.csv")));
    std::string error;
    EXPECT_FALSE(
        lks::CheckOutputs({dir.File("site.lks")}, {{"-o", dir.File("hard.lks"), {}}}, error));
    EXPECT_TRUE(lks::WriteOutputs(
        {{"-o", dir.File("a.txt"), "one"}, {"--csv", dir.File("b.txt"), "two"}}, error));
    EXPECT_EQ(ReadAll(dir.File("b.txt")), (std::vector<uint8_t>{'t', 'w', 'o'}));
}

TEST(LksParts, APlanTakesTheCommandLineOverTheJobAndSaysWhatChanged) {
    CTempDir dir;
    WriteText(dir.File("job.json"),
              R"({"profile": "ifc-ordinance", "threshold": -90, "tester": "Job",
                  "floors": [{"site": "one.lks", "scale": "4/ft"}]})");
    lks::OptionValues values;
    values.single["--job"] = {dir.File("job.json"), "--job"};
    values.single["-o"] = {dir.File("r.pdf"), "-o"};
    values.single["--tester"] = {"Command line", "--tester"};
    values.single["--max-failing"] = {"3", "--max-failing"};
    lks::GridtestPlan plan;
    std::string error;
    ASSERT_TRUE(lks::MakeGridtestPlan(values, plan, error)) << error;
    EXPECT_TRUE(plan.building);
    EXPECT_EQ(plan.record.tester, "Command line");
    EXPECT_EQ(plan.rules.thresholdDbm, -90.0) << "from the job";
    EXPECT_EQ(plan.rules.maxFailing, 3);
    EXPECT_TRUE(plan.rules.nonAdjacent) << "the profile's";
    EXPECT_EQ(plan.changes.size(), 2u) << "threshold and failing cells";
    ASSERT_EQ(plan.floors.size(), 1u);
    EXPECT_EQ(plan.floors[0].site, dir.Path() + "/one.lks") << "relative to the job file";
    EXPECT_DOUBLE_EQ(plan.floors[0].pixelsPerFoot, 4.0);
    EXPECT_EQ(plan.Inputs(),
              (std::vector<std::string>{dir.File("job.json"), dir.Path() + "/one.lks"}));
}

} // namespace
