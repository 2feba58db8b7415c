// lks scan and lks calibrate against the synthetic SoapySDR device, run as a user runs them: a
// table made by lks table new, levels read back from the printed lines, calibrations kept in the
// user's configuration folder and applied by the next scan.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "LksRun.h"
#include "SurveySite.h"
#include "TestFiles.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "survey/RecordList.h"

namespace {

// Every lks run of a test sees the synthetic module and a configuration folder of its own.
class LksSdr : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("SOAPY_SDR_PLUGIN_PATH", SOAPY_MODULE_DIR, 1);
        ::setenv("XDG_CONFIG_HOME", m_config.Path().c_str(), 1);
    }
    void TearDown() override { ::unsetenv("XDG_CONFIG_HOME"); }

    std::string Table(const std::string& entries) {
        const std::string path = m_dir.File("t.nct");
        const ToolRun run = RunLks(m_dir, "table new --force -o " + path + " " + entries);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return path;
    }
    ToolRun Lks(const std::string& args) { return RunLks(m_dir, args); }
    std::string CalibrationFile() const {
        return TextOf(m_config.File("larkspur/sdr-calibration.tsv"));
    }

    CTempDir m_dir;
    CTempDir m_config;
};

struct Line {
    std::string mhz;
    std::string label;
    double dBm = 0;
    bool uncalibrated = false;
};

// The channel lines of a text scan: "  851.0125 MHz  FD-1   -60.0 dBm[  uncalibrated]".
std::vector<Line> channelLines(const std::string& out) {
    std::vector<Line> lines;
    std::istringstream in(out);
    std::string text;
    while (std::getline(in, text)) {
        const size_t mhz = text.find(" MHz  ");
        const size_t dbm = text.find(" dBm");
        if (text.rfind("  ", 0) != 0 || mhz == std::string::npos || dbm == std::string::npos) {
            continue;
        }
        Line line;
        line.mhz = text.substr(text.find_first_not_of(' '), mhz - text.find_first_not_of(' '));
        const std::string middle = text.substr(mhz + 6, dbm - mhz - 6);
        const size_t level = middle.find_last_of(' ');
        line.label = middle.substr(0, middle.find_last_not_of(' ', level) + 1);
        line.dBm = std::stod(middle.substr(level + 1));
        line.uncalibrated = text.find("uncalibrated") != std::string::npos;
        lines.push_back(line);
    }
    return lines;
}

TEST_F(LksSdr, ScanPrintsEachChannelsLevelAndMarksWhatNoCalibrationCovers) {
    const std::string table =
        Table("--freq 851.0125:12.5k:FD-1 --freq 851.025:12.5k:'Fire TAC' --freq 154.445:25k");
    const std::string tones = "tones=851.0125:-60;851.025:-100;154.445:-75";
    const struct {
        std::string extra;
        bool uncalibrated;
    } devices[] = {{"", false}, {",calibration=none", true}};
    for (const auto& d : devices) {
        SCOPED_TRACE(d.extra);
        const ToolRun run = Lks("scan --sdr 'driver=larkspur-synth," + tones + d.extra +
                                "' --table " + table + " --repeat 2");
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out.rfind("device: larkspur-synth, Larkspur synthetic receiver, serial "
                                "LKS-SYNTH-0001; gain 0.0 dB, 2.400 MS/s\n",
                                0),
                  0u)
            << run.out;
        EXPECT_NE(run.out.find("scan 2: 2 tunes, 40.0 ms of device time\n"), std::string::npos)
            << run.out;
        const std::vector<Line> lines = channelLines(run.out);
        ASSERT_EQ(lines.size(), 6u) << run.out;
        const Line expected[] = {{"851.0125", "FD-1", -60, d.uncalibrated},
                                 {"851.025", "Fire TAC", -100, d.uncalibrated},
                                 {"154.445", "", -75, d.uncalibrated}};
        for (size_t i = 0; i < lines.size(); ++i) {
            const Line& e = expected[i % 3];
            EXPECT_EQ(lines[i].mhz, e.mhz);
            EXPECT_EQ(lines[i].label, e.label);
            EXPECT_NEAR(lines[i].dBm, e.dBm, 1.0) << e.mhz;
            EXPECT_EQ(lines[i].uncalibrated, e.uncalibrated) << e.mhz;
        }
    }
    const ToolRun csv =
        Lks("scan --format csv --sdr 'driver=larkspur-synth," + tones + "' --table " + table);
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find("1,851.025,")),
              "scan,frequency_mhz,label,dbm,calibrated\n"
              "1,851.0125,FD-1,-60.00,yes\n")
        << csv.out;
    EXPECT_NE(csv.out.find("\n1,154.445,,-75.00,yes\n"), std::string::npos) << csv.out;
}

TEST_F(LksSdr, ABandPlanTableIsMeasuredAtItsChannelsFrequencies) {
    const std::string table = Table("--pcs-spacing 200 0:1:cell-1 0:333 1:600:gsm");
    // Cellular 1 is 870.03 MHz, cellular 333 is 879.99 MHz, PCS 200 kHz channel 600 1947.8 MHz.
    const ToolRun run =
        Lks("scan --sdr 'driver=larkspur-synth,tones=870.03:-55;879.99:-85;1947.8:-70' --table " +
            table);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<Line> lines = channelLines(run.out);
    ASSERT_EQ(lines.size(), 3u) << run.out;
    EXPECT_EQ(lines[0].mhz, "870.03");
    EXPECT_EQ(lines[0].label, "cell-1");
    EXPECT_NEAR(lines[0].dBm, -55, 1.0);
    EXPECT_NEAR(lines[1].dBm, -85, 1.0);
    EXPECT_EQ(lines[2].mhz, "1947.8");
    EXPECT_NEAR(lines[2].dBm, -70, 1.0);
}

TEST_F(LksSdr, ACalibrationCorrectsTheScansOfThatDeviceGainAndSpan) {
    const std::string table = Table("--freq 851.0125:12.5k:in --freq 900:12.5k:out");
    // A device nobody calibrated, reading 3 dB low.
    const std::string device = "'driver=larkspur-synth,calibration=none,serial=RX-1,tones=851.0125:"
                               "-63;900:-63'";
    ToolRun run = Lks("calibrate --sdr " + device + " --freq 851.0125 --reference -60");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("offset +3.00 dB stored for 836.0125-866.0125 MHz at gain 0.0 dB"),
              std::string::npos)
        << run.out;
    run = Lks("scan --sdr " + device + " --table " + table);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<Line> lines = channelLines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;
    EXPECT_NEAR(lines[0].dBm, -60, 0.5);
    EXPECT_FALSE(lines[0].uncalibrated);
    EXPECT_NEAR(lines[1].dBm, -63, 0.5) << "outside the calibrated span";
    EXPECT_TRUE(lines[1].uncalibrated);

    // Calibrating the same span again replaces the offset; another device is not touched by it.
    ASSERT_EQ(Lks("calibrate --sdr " + device + " --freq 851.0125 --reference -62").exitCode, 0);
    const std::string file = CalibrationFile();
    EXPECT_EQ(file.find("RX-1\tlarkspur-synth\t836012500\t866012500\t0.00\t1.000\t"),
              file.rfind("RX-1"))
        << file;
    run = Lks("scan --sdr 'driver=larkspur-synth,calibration=none,serial=RX-2,tones=851.0125:-63'"
              " --table " +
              table);
    lines = channelLines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;
    EXPECT_NEAR(lines[0].dBm, -63, 0.5);
    EXPECT_TRUE(lines[0].uncalibrated);
}

TEST_F(LksSdr, ScanAndCalibrateRefuseWhatTheyCannotMeasureOrTrust) {
    const std::string table = Table("--freq 851.0125:12.5k");
    const std::string synth = "--sdr 'driver=larkspur-synth,tones=851.0125:-60' ";
    CTempDir other;
    WriteText(other.File("planless.nct"), "2\r\n30\r\n0,800,\r\n0,-1,\r\n");
    WriteText(other.File("far.nct"), "3\r\n7000,12.5,\r\n");
    const struct {
        std::string args;
        const char* mentions;
    } cases[] = {
        {"scan --table " + table, "needs --sdr"},
        {"scan " + synth, "needs --table"},
        {"scan --sdr driver=no-such-radio --table " + table, "no software-defined radio matches"},
        {"scan " + synth + "--table " + other.File("planless.nct"), "channel 800 is not a channel"},
        {"scan " + synth + "--table " + other.File("far.nct"), "7000.000000 MHz is outside"},
        {"scan " + synth + "--table " + table + " --repeat 0", "--repeat"},
        {"scan " + synth + "--table " + table + " --gain loud", "--gain"},
        {"calibrate " + synth + "--freq 851.0125", "needs --freq MHZ and --reference DBM"},
        {"calibrate " + synth + "--freq 860 --reference -60", "only"},
        {"calibrate --sdr 'driver=larkspur-synth,tones=851.0125:5' --freq 851.0125 --reference 5",
         "full scale"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        ExpectBadInput(Lks(c.args), c.mentions);
    }
    EXPECT_FALSE(std::ifstream(m_config.File("larkspur/sdr-calibration.tsv")).good())
        << "nothing stored from a refused calibration";
    // A damaged store is reported, not read as "uncalibrated".
    ASSERT_EQ(::mkdir(m_config.File("larkspur").c_str(), 0700), 0);
    WriteText(m_config.File("larkspur/sdr-calibration.tsv"), "LKS-SYNTH-0001\tx\n");
    ExpectBadInput(Lks("scan " + synth + "--table " + table), "line 1 is not a calibration record");
}

// A surveyed floor of 20 points whose first `uncalibrated` readings a radio measured without a
// calibration.
std::string radioSurvey(const CTempDir& dir, int uncalibrated) {
    std::vector<TestPoint> points;
    for (int i = 0; i < 20; ++i) {
        points.push_back({(i % 5) * 80 + 40, (i / 5) * 75 + 37, {{kCell1, X16(-70)}}});
    }
    const std::string path = MakeSurveySite(dir, "s.lks", 400, 300, points);
    CSiteFile site;
    std::string detail;
    EXPECT_EQ(CSiteFileReader::Read(path, site, detail), SF_OK) << detail;
    CRecordList list;
    for (size_t i = 0; i < site.m_records.size(); ++i) {
        SurveyRecord r = site.m_records[i];
        r.uncalibrated = static_cast<int>(i) < uncalibrated;
        EXPECT_EQ(list.AppendCopy(r), RL_OK);
    }
    EXPECT_EQ(CSiteFileWriter().Save(path, site.m_header, list, TestInkAt, kSaveTime), SF_OK);
    return path;
}

TEST(LksSdrReport, TheGridTestSaysHowManyReadingsNoCalibrationCovered) {
    for (const int uncalibrated : {0, 7}) {
        SCOPED_TRACE(uncalibrated);
        CTempDir dir;
        const std::string site = radioSurvey(dir, uncalibrated);
        const ProgramRun run =
            RunProgram(LKS_PROGRAM, {"gridtest", site, "-o", dir.File("r.pdf")}, dir.Path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const ProgramRun text =
            RunProgram("pdftotext", {"-layout", dir.File("r.pdf"), "-"}, dir.Path());
        ASSERT_EQ(text.exitCode, 0) << text.err;
        const bool warned = text.out.find(std::to_string(uncalibrated) +
                                          " of 20 readings are uncalibrated") != std::string::npos;
        EXPECT_EQ(warned, uncalibrated > 0) << text.out;
    }
}

} // namespace
