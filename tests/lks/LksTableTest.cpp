// lks table: the files "new" writes load in the program unchanged, "new" refuses what the program
// could not use, and "show" refuses a file exactly when the program's loader does.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "LksRun.h"
#include "TestFiles.h"
#include "files/ChannelTableFile.h"
#include "receiver/Receiver.h"

namespace {

// The program's load, on a receiver with no board attached: its commands return at once.
ChannelTableLoad programLoad(const std::string& path, CReceiver& receiver) {
    return LoadChannelTable(path, receiver);
}

TEST(LksTable, NewWritesTheFormatTheProgramLoads) {
    CTempDir dir;
    const ToolRun run = RunLks(dir, "table new -o " + dir.File("t.nct") +
                                        " --pcs-spacing 50 0:1:control 1:0 '0:991:A: extended'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_EQ(TextOf(dir.File("t.nct")), "2\r\n50\r\n"
                                         "0,1,control\r\n"
                                         "1,0,\r\n"
                                         "0,991,A: extended\r\n"
                                         "0,65535,\r\n");
}

TEST(LksTable, ATableMadeByNewLoadsInTheProgramWithTheSameEntries) {
    const struct {
        unsigned spacingKHz;
        uint32_t spacingHz;
        uint16_t pcsFirst;
    } spacings[] = {{30, 30000, 1}, {50, 50000, 0}, {200, 200000, 512}};
    for (const auto& s : spacings) {
        SCOPED_TRACE(s.spacingKHz);
        CTempDir dir;
        // A full table: 30 entries, both plans, both ends of each band.
        std::string args =
            "table new -o " + dir.File("t.nct") + " --pcs-spacing " + std::to_string(s.spacingKHz);
        std::vector<ChannelEntry> expected;
        for (uint16_t k = 0; k < 15; ++k) {
            const uint16_t cellular = k < 5 ? static_cast<uint16_t>(990 + k) : 700 + k;
            const auto pcs = static_cast<uint16_t>(s.pcsFirst + k);
            expected.push_back({0, cellular, 0});
            expected.push_back({1, pcs, 0});
            args += " 0:" + std::to_string(cellular) + ":cell" + std::to_string(k) +
                    " 1:" + std::to_string(pcs);
        }
        ASSERT_EQ(RunLks(dir, args).exitCode, 0);

        CReceiver receiver;
        const ChannelTableLoad load = programLoad(dir.File("t.nct"), receiver);
        ASSERT_EQ(load.status, CT_LOADED) << load.message;
        ASSERT_EQ(receiver.ChannelCount(), 30);
        EXPECT_EQ(receiver.PcsSpacing(), s.spacingHz);
        for (int i = 0; i < 30; ++i) {
            EXPECT_EQ(receiver.Channel(i).plan, expected[i].plan) << i;
            EXPECT_EQ(receiver.Channel(i).channel, expected[i].channel) << i;
        }

        // show agrees with the loaded program on every frequency and board code.
        const ToolRun shown = RunLks(dir, "table show --format json " + dir.File("t.nct"));
        ASSERT_EQ(shown.exitCode, 0) << shown.err;
        const QJsonObject doc =
            QJsonDocument::fromJson(QByteArray::fromStdString(shown.out)).object();
        EXPECT_EQ(doc["pcs_spacing_khz"].toInt(), static_cast<int>(s.spacingKHz));
        const QJsonArray rows = doc["entries"].toArray();
        ASSERT_EQ(rows.size(), 30);
        for (int i = 0; i < 30; ++i) {
            const QJsonObject row = rows[i].toObject();
            EXPECT_EQ(row["slot"].toInt(), i);
            EXPECT_EQ(row["channel"].toInt(), receiver.Channel(i).channel);
            EXPECT_NEAR(row["frequency_mhz"].toDouble(), receiver.FrequencyMHz(i), 0.0005) << i;
            EXPECT_EQ(row["board_code"].toInt(), receiver.BoardCode(i)) << i;
        }
    }
}

TEST(LksTable, NewWritesAFrequencyTableTheProgramReadsAndTheBoardRefuses) {
    CTempDir dir;
    const ToolRun run =
        RunLks(dir, "table new -o " + dir.File("f.nct") +
                        " --freq 851.0125:12.5k:FD-1 --freq=154.445:25000 "
                        "--freq '460.5:0.0125M:UHF tac 2' --freq 869.01:30k --freq 5800:10M");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(TextOf(dir.File("f.nct")), "3\r\n"
                                         "851.0125,12.5,FD-1\r\n"
                                         "154.445,25.0,\r\n"
                                         "460.5,12.5,UHF tac 2\r\n"
                                         "869.01,30.0,\r\n"
                                         "5800.0,10000.0,\r\n");
    CChannelTableFile table;
    ASSERT_EQ(ReadChannelTable(dir.File("f.nct"), table, true).status, CT_LOADED);
    ASSERT_EQ(table.Frequencies().size(), 5u);
    EXPECT_EQ(table.Frequencies()[2].frequencyHz, 460500000u);
    EXPECT_EQ(table.Frequencies()[2].bandwidthHz, 12500u);
    CReceiver receiver;
    EXPECT_EQ(programLoad(dir.File("f.nct"), receiver).status, CT_FREQUENCY_TABLE);
    EXPECT_EQ(receiver.ChannelCount(), 0);

    const ToolRun text = RunLks(dir, "table show " + dir.File("f.nct"));
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("the receiver board refuses this table"), std::string::npos);
    EXPECT_NE(text.out.find("slot  frequency MHz  bandwidth kHz  stored as channel  label\n"
                            "   0       851.0125           12.5             851013  FD-1\n"
                            "   1        154.445           25.0             154445\n"),
              std::string::npos)
        << text.out;
    const ToolRun json = RunLks(dir, "table show --format json " + dir.File("f.nct"));
    const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(doc["format"].toInt(), 3);
    const QJsonArray rows = doc["entries"].toArray();
    ASSERT_EQ(rows.size(), 5);
    const struct {
        double mhz;
        double kHz;
        int channel; // a cellular frequency keeps its channel number
        const char* label;
    } expected[] = {{851.0125, 12.5, 851013, "FD-1"},
                    {154.445, 25, 154445, ""},
                    {460.5, 12.5, 460500, "UHF tac 2"},
                    {869.01, 30, 990, ""},
                    {5800, 10000, 5800000, ""}};
    for (int i = 0; i < 5; ++i) {
        const QJsonObject row = rows[i].toObject();
        EXPECT_DOUBLE_EQ(row["frequency_mhz"].toDouble(), expected[i].mhz) << i;
        EXPECT_DOUBLE_EQ(row["bandwidth_khz"].toDouble(), expected[i].kHz) << i;
        EXPECT_EQ(row["channel"].toInt(), expected[i].channel) << i;
        EXPECT_EQ(row["label"].toString().toStdString(), expected[i].label) << i;
    }
}

TEST(LksTable, NewRefusesWhatTheProgramCouldNotUseOrMeasure) {
    CTempDir dir;
    std::string thirtyOne;
    std::string thirtyOneFrequencies;
    for (int k = 1; k <= 31; ++k) {
        thirtyOne += " 0:" + std::to_string(k);
        thirtyOneFrequencies += " --freq " + std::to_string(850 + k) + ":12.5k";
    }
    const struct {
        std::string args;
        const char* mentions;
    } cases[] = {
        {thirtyOne, "at most 30"},
        {"2:5", "plan must be 0"},
        {"-1:5", "unexpected argument"},
        {"0:800", "no channel 800 (its channels: 990-1023, 1-799)"},
        {"0:0", "no channel 0"},
        {"0:1024", "no channel 1024"},
        {"1:0", "no channel 0 (its channels: 1-1999)"},
        {"1:2000", "no channel 2000"},
        {"--pcs-spacing 200 1:511", "no channel 511 (its channels: 512-810)"},
        {"--pcs-spacing 50 1:1201", "no channel 1201 (its channels: 0-1200)"},
        {"0:65535", "65535 ends a channel table"},
        {"0:65536", "whole number from 0 to 65534"},
        {"0:-1", "whole number"},
        {"0:1:a,b", "comma or a line break"},
        {"\"$(printf '0:1:a\\nb')\"", "comma or a line break"},
        {"\"$(printf '0:1:a\\rb')\"", "comma or a line break"},
        {"0:1 0:333 0:1", "already in the table"},
        {"0:1:" + std::string(65, 'x'), "at most 64 characters"},
        {"0", "PLAN:CHANNEL"},
        {"", "no entries"},
        {"--pcs-spacing 25 0:1", "30, 50 or 200"},
        {"--pcs-spacing 0:1", "30, 50 or 200"},
        {"--freq 851.0125", "MHZ:BANDWIDTH"},
        {"--freq 851.0125:12.5", "bandwidth must be 1k to 10M"},
        {"--freq 851.0125:12.5kHz", "bandwidth must be"},
        {"--freq 851.0125:10.0001M", "bandwidth must be"},
        {"--freq 851.0125:1e4", "bandwidth must be"},
        {"--freq 851.00000001:12.5k", "to the Hz at most"},
        {"--freq -851:12.5k", "the frequency must be in MHz"},
        {"--freq 0:12.5k", "above 0"},
        {"--freq 10000.000001:12.5k", "up to 10000"},
        {"--freq 851:12.5k:a,b", "comma or a line break"},
        {"--freq 851:12.5k:" + std::string(65, 'x'), "at most 64 characters"},
        {"--freq 851:12.5k --freq 851.000:25k", "already in the table"},
        {"--freq 851:12.5k 0:1", "not both"},
        {"--pcs-spacing 50 --freq 851:12.5k", "not both"},
        {thirtyOneFrequencies, "at most 30"},
        {"--freq", "needs MHZ:BANDWIDTH"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        ExpectBadInput(RunLks(dir, "table new -o " + dir.File("t.nct") + " " + c.args), c.mentions);
    }
    ExpectBadInput(RunLks(dir, "table new 0:1"), "needs -o");
    EXPECT_TRUE(dir.Entries().empty()) << "nothing written for a refused table";

    // An existing file is replaced only when asked to.
    WriteText(dir.File("t.nct"), "keep me");
    ExpectBadInput(RunLks(dir, "table new -o " + dir.File("t.nct") + " 0:1"), "already exists");
    EXPECT_EQ(TextOf(dir.File("t.nct")), "keep me");
    ASSERT_EQ(RunLks(dir, "table new --force -o " + dir.File("t.nct") + " 0:1").exitCode, 0);
    EXPECT_EQ(TextOf(dir.File("t.nct")), "2\r\n30\r\n0,1,\r\n0,65535,\r\n");
}

TEST(LksTable, ShowRefusesExactlyWhenTheProgramDoes) {
    const std::string longValue(CChannelTableFile::kMaxValueLength + 1, '1');
    std::string noTerminator = "2\r\n30\r\n";
    for (int k = 1; k <= 31; ++k) {
        noTerminator += "0," + std::to_string(k) + ",\r\n";
    }
    const std::string files[] = {
        "2\r\n30\r\n0,1,x\r\n1,25,y\r\n0,-1,\r\n",
        "3\r\n30\r\n0,1,x\r\n0,-1,\r\n",
        "65538\r\n30\r\n0,-1,\r\n", // 2 in its low 16 bits
        "2\r\n30\r\n0,1\r\n0,-1,\r\n",
        "2\n30\n0,1,\n0,-1,\n",
        "2\r\n25\r\n1,25,\r\n0,-1,\r\n",
        "2\r\n30\r\n7,333,\r\n0,800,\r\n0,-1,\r\n",
        "2\r\n30\r\n0,1,\r\n",
        "2\r\n30\r\n0,1,\r\n0,",
        "2\r\n30",
        "2\r\n",
        "",
        "2\r\n30\r\n0," + longValue + ",\r\n0,-1,\r\n",
        noTerminator,
        "2\r\n30\r\n0,-1,\r\n" + std::string(CChannelTableFile::kMaxFileSize, ' '),
    };
    for (const std::string& text : files) {
        SCOPED_TRACE(text.substr(0, 40));
        CTempDir dir;
        WriteText(dir.File("t.nct"), text);
        CReceiver receiver;
        const bool loads = programLoad(dir.File("t.nct"), receiver).status == CT_LOADED;
        const ToolRun run = RunLks(dir, "table show " + dir.File("t.nct"));
        if (loads) {
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_NE(run.out.find("entries: " + std::to_string(receiver.ChannelCount()) + "\n"),
                      std::string::npos)
                << run.out;
        } else {
            ExpectBadInput(run, "Invalid Channel Table.");
        }
    }
    CTempDir dir;
    ExpectBadInput(RunLks(dir, "table show " + dir.File("missing.nct")), "cannot open");
    ExpectBadInput(RunLks(dir, "table show " + dir.Path()), "cannot open");
}

TEST(LksTable, ShowListsPlanChannelFrequencyAndBoardCode) {
    CTempDir dir;
    WriteText(dir.File("t.nct"), "2\r\n30\r\n0,1,x\r\n1,25,y, z\r\n0,800,\r\n0,-1,\r\n");
    const ToolRun text = RunLks(dir, "table show " + dir.File("t.nct"));
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out, "table: " + dir.File("t.nct") +
                            "\n"
                            "PCS spacing: 30 kHz\n"
                            "entries: 3\n"
                            "slot  plan  band      channel  frequency MHz  board code    label\n"
                            "   0     0  cellular        1        870.030          34    x\n"
                            "   1     1  PCS            25       1930.770          77    y, z\n"
                            "   2     0  cellular      800           none       48662 *\n"
                            "* not a channel of its band plan; the program loads it all the "
                            "same, with this frequency and code\n");

    const ToolRun csv = RunLks(dir, "table show --format=csv " + dir.File("t.nct"));
    EXPECT_EQ(csv.out, "slot,plan,channel,frequency_mhz,board_code,pcs_spacing_khz,label\n"
                       "0,0,1,870.030,34,30,x\n"
                       "1,1,25,1930.770,77,30,\"y, z\"\n"
                       "2,0,800,,48662,30,\n");
    const ToolRun json = RunLks(dir, "table show --format json " + dir.File("t.nct"));
    const QJsonArray rows =
        QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object()["entries"].toArray();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1].toObject()["label"].toString(), "y, z");

    // A spacing the program does not know leaves its own; the PCS row shows a fresh program's.
    WriteText(dir.File("u.nct"), "2\r\n25\r\n1,25,\r\n0,-1,\r\n");
    const ToolRun unnamed = RunLks(dir, "table show " + dir.File("u.nct"));
    EXPECT_NE(unnamed.out.find("PCS spacing: none named"), std::string::npos) << unnamed.out;
    EXPECT_NE(unnamed.out.find("1930.200"), std::string::npos) << unnamed.out;

    ExpectBadInput(RunLks(dir, "table show " + dir.File("t.nct") + " --format xml"),
                   "unknown format");
    ExpectBadInput(RunLks(dir, "table show"), "no table file");
    ExpectBadInput(RunLks(dir, "table"), "new or show");
    ExpectBadInput(RunLks(dir, "table edit"), "unknown action");
}

} // namespace
