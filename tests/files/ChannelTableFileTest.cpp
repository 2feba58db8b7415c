// Channel table files: what a valid file loads, and that every refused file changes nothing.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <iterator>
#include <string>

#include "TestFiles.h"
#include "files/ChannelTableFile.h"
#include "receiver/Receiver.h"

namespace {

bool parse(CChannelTableFile& table, const std::string& text) {
    return table.Parse(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// A receiver that already holds a loaded three-entry table at 200 kHz spacing.
void loadPrevious(CReceiver& r) {
    r.SetPcsSpacing(CBandPlan::kPcsSpacing200k);
    r.SetChannel(0, {0, 100, -800});
    r.SetChannel(1, {1, 200, -900});
    r.SetChannel(2, {0, 300, -1000});
    r.SetChannelCount(3);
    r.SetTableLoaded(true);
}

void expectPreviousTable(const CReceiver& r) {
    EXPECT_EQ(r.PcsSpacing(), CBandPlan::kPcsSpacing200k);
    EXPECT_EQ(r.ChannelCount(), 3);
    EXPECT_TRUE(r.TableLoaded());
    EXPECT_EQ(r.Channel(0).channel, 100);
    EXPECT_EQ(r.Channel(1).plan, 1);
    EXPECT_EQ(r.Channel(1).channel, 200);
    EXPECT_EQ(r.Channel(2).channel, 300);
}

ChannelTableLoad loadText(CReceiver& r, const std::string& text) {
    CTempDir dir;
    WriteText(dir.File("t.nct"), text);
    return LoadChannelTable(dir.File("t.nct"), r);
}

const char* const kExample = "2\r\n30\r\n0,1,x\r\n1,25,y\r\n0,-1,\r\n";

TEST(ChannelTableFile, ExampleLoadsTwoEntriesAndThirtyKilohertz) {
    CReceiver r;
    const ChannelTableLoad result = loadText(r, kExample);
    EXPECT_EQ(result.status, CT_LOADED);
    EXPECT_EQ(result.message, "Table has been loaded.");
    EXPECT_EQ(r.ChannelCount(), 2);
    EXPECT_EQ(r.Channel(0).plan, 0);
    EXPECT_EQ(r.Channel(0).channel, 1);
    EXPECT_EQ(r.Channel(1).plan, 1);
    EXPECT_EQ(r.Channel(1).channel, 25);
    EXPECT_EQ(r.PcsSpacing(), CBandPlan::kPcsSpacing30k);
    EXPECT_TRUE(r.TableLoaded());
}

// The text after the second comma is the entry's label and changes nothing of the entry.
TEST(ChannelTableFile, TextAfterTheSecondCommaIsTheLabelAlone) {
    CChannelTableFile with;
    CChannelTableFile without;
    ASSERT_TRUE(parse(with, "2\r\n30\r\n0,1,first floor, east\r\n1,25,\r\n0,2,bare\n0,3,last"));
    ASSERT_TRUE(parse(without, "2\r\n30\r\n0,1,\r\n1,25,\r\n0,2,\r\n0,3,\r\n"));
    ASSERT_EQ(with.Count(), 4);
    ASSERT_EQ(with.Count(), without.Count());
    for (int i = 0; i < with.Count(); ++i) {
        EXPECT_EQ(with.Entry(i).plan, without.Entry(i).plan);
        EXPECT_EQ(with.Entry(i).channel, without.Entry(i).channel);
    }
    EXPECT_EQ(with.Label(0), "first floor, east");
    EXPECT_EQ(with.Label(1), "");
    EXPECT_EQ(with.Label(2), "bare");
    EXPECT_EQ(with.Label(3), "last");
    EXPECT_EQ(with.Format(), CChannelTableFile::kFormat);
    EXPECT_TRUE(with.Frequencies().empty());
}

TEST(ChannelTableFile, SpacingsOfFiftyAndTwoHundredAndUnknownOnes) {
    CChannelTableFile t;
    ASSERT_TRUE(parse(t, "2\r\n50\r\n0,-1,\r\n"));
    EXPECT_EQ(t.PcsSpacing(), CBandPlan::kPcsSpacing50k);
    ASSERT_TRUE(parse(t, "2\r\n200\r\n0,-1,\r\n"));
    EXPECT_EQ(t.PcsSpacing(), CBandPlan::kPcsSpacing200k);
    ASSERT_TRUE(parse(t, "2\r\n65566\r\n0,-1,\r\n")); // low 16 bits are 30, the number is not
    EXPECT_EQ(t.PcsSpacing(), 0u);

    CReceiver r;
    r.SetPcsSpacing(CBandPlan::kPcsSpacing50k);
    const ChannelTableLoad result = loadText(r, "2\r\n25\r\n0,1,\r\n0,-1,\r\n");
    EXPECT_EQ(result.status, CT_LOADED);
    EXPECT_EQ(r.PcsSpacing(), CBandPlan::kPcsSpacing50k);
    EXPECT_EQ(r.ChannelCount(), 1);
}

TEST(ChannelTableFile, NumbersConvertAsSignedDecimals) {
    CChannelTableFile t;
    // Leading blanks, a plus sign, trailing junk; plan keeps 8 bits, channel 16 bits.
    ASSERT_TRUE(parse(t, "  +2xyz\r\n30\r\n 257 , 65537abc,\r\nfoo,bar,\r\n0,131071,\r\n"));
    ASSERT_EQ(t.Count(), 2);
    EXPECT_EQ(t.Entry(0).plan, 1);
    EXPECT_EQ(t.Entry(0).channel, 1);
    EXPECT_EQ(t.Entry(1).plan, 0); // text without digits is 0
    EXPECT_EQ(t.Entry(1).channel, 0);
    // The format number is compared on its low 16 bits.
    EXPECT_TRUE(parse(t, "65538\r\n30\r\n0,-1,\r\n"));
    EXPECT_FALSE(parse(t, "-2\r\n30\r\n0,-1,\r\n"));
}

TEST(ChannelTableFile, EitherSpellingOfTheTerminatorEndsTheTable) {
    CChannelTableFile t;
    ASSERT_TRUE(parse(t, "2\r\n30\r\n0,5,\r\n0,65535,\r\n0,6,\r\n"));
    EXPECT_EQ(t.Count(), 1);
    ASSERT_TRUE(parse(t, "2\r\n30\r\n0,5,\r\n1,-1,\r\ngarbage without commas"));
    EXPECT_EQ(t.Count(), 1);
}

TEST(ChannelTableFile, ThirtyEntriesEndTheTableWithoutTerminator) {
    std::string text = "2\r\n30\r\n";
    for (int i = 1; i <= 35; ++i) {
        text += "0," + std::to_string(i) + ",\r\n";
    }
    CReceiver r;
    ASSERT_EQ(loadText(r, text).status, CT_LOADED);
    EXPECT_EQ(r.ChannelCount(), 30);
    EXPECT_EQ(r.Channel(29).channel, 30);
    EXPECT_EQ(r.Channel(30).channel, 0);
}

TEST(ChannelTableFile, TerminatorFirstLoadsAnEmptyTable) {
    CReceiver r;
    loadPrevious(r);
    const ChannelTableLoad result = loadText(r, "2\r\n30\r\n0,-1,\r\n");
    EXPECT_EQ(result.status, CT_LOADED);
    EXPECT_EQ(result.message, "Table has been loaded.");
    EXPECT_EQ(r.ChannelCount(), 0);
    EXPECT_TRUE(r.TableLoaded());
}

TEST(ChannelTableFile, ShorterTableKeepsOldSlotsAndEveryRssi) {
    CReceiver r;
    loadPrevious(r);
    ASSERT_EQ(loadText(r, "2\r\n30\r\n1,7,\r\n0,-1,\r\n").status, CT_LOADED);
    EXPECT_EQ(r.ChannelCount(), 1);
    EXPECT_EQ(r.Channel(0).plan, 1);
    EXPECT_EQ(r.Channel(0).channel, 7);
    EXPECT_EQ(r.Channel(0).rssiX16, -800); // the board's value, never the file's
    EXPECT_EQ(r.Channel(1).channel, 200);
    EXPECT_EQ(r.Channel(2).channel, 300);
}

TEST(ChannelTableFile, FileEndingAfterCompleteEntriesLoadsThem) {
    CChannelTableFile t;
    ASSERT_TRUE(parse(t, "2\r\n30\r\n0,1,\r\n1,2,\r\n"));
    EXPECT_EQ(t.Count(), 2);
    ASSERT_TRUE(parse(t, "2\r\n30\r\n0,1,\r\n1,2,tail")); // last line without its line end
    EXPECT_EQ(t.Count(), 2);
    ASSERT_TRUE(parse(t, "2\r\n30\r\n0,1,\r\n\r\n\r\n")); // blank lines at the end
    EXPECT_EQ(t.Count(), 1);
    ASSERT_TRUE(parse(t, "2\r\n30\r\n"));
    EXPECT_EQ(t.Count(), 0);
}

TEST(ChannelTableFile, BareLineFeedsAlsoEndLines) {
    CChannelTableFile t;
    ASSERT_TRUE(parse(t, "2\n30\n0,1,x\n1,25,y\n0,-1,\n"));
    ASSERT_EQ(t.Count(), 2);
    EXPECT_EQ(t.Entry(1).channel, 25);
    EXPECT_EQ(t.PcsSpacing(), CBandPlan::kPcsSpacing30k);
}

TEST(ChannelTableFile, ValuesUpToTwoHundredFiftyFiveCharacters) {
    CChannelTableFile t;
    const std::string longest(254, ' ');
    const std::string shorter(253, ' ');
    ASSERT_TRUE(parse(t, longest + "2\r\n" + shorter + "30\r\n" + longest + "1," + longest +
                             "9,\r\n0,-1,\r\n"));
    ASSERT_EQ(t.Count(), 1);
    EXPECT_EQ(t.Entry(0).plan, 1);
    EXPECT_EQ(t.Entry(0).channel, 9);
    EXPECT_EQ(t.PcsSpacing(), CBandPlan::kPcsSpacing30k);
}

// Every malformed file is refused, and the receiver keeps its table, flag and spacing.
class RefusedTable : public ::testing::TestWithParam<std::string> {};

TEST_P(RefusedTable, IsInvalidAndChangesNothing) {
    CReceiver r;
    loadPrevious(r);
    const ChannelTableLoad result = loadText(r, GetParam());
    EXPECT_EQ(result.status, CT_INVALID);
    EXPECT_EQ(result.message, "Invalid Channel Table.");
    expectPreviousTable(r);
}

const std::string kTooLong(256, '1');

INSTANTIATE_TEST_SUITE_P(
    ChannelTableFile, RefusedTable,
    ::testing::Values(std::string("3\r\n30\r\n0,1,\r\n0,-1,\r\n"),       // wrong format
                      std::string(""),                                   // empty file
                      std::string("2"),                                  // ends inside line 1
                      std::string("2\r\n30"),                            // ends inside line 2
                      std::string("2\r\n30\r\n0,1\r\n0,-1,\r\n"),        // one comma in a line
                      std::string("2\r\n30\r\n0\r\n1,2,\r\n0,-1,\r\n"),  // no comma in a line
                      std::string("2\r\n30\r\n0,1,\r\n0,2"),             // ends inside an entry
                      std::string("2\r\n30\r\n0,1,\r\n\r\n0,2,\r\n"),    // blank line mid-table
                      "2\r\n" + kTooLong + "\r\n0,-1,\r\n",              // line 2 too long
                      "0" + kTooLong.substr(1) + "2\r\n30\r\n0,-1,\r\n", // line 1 too long
                      "2\r\n30\r\n" + kTooLong + ",1,\r\n0,-1,\r\n",     // plan too long
                      "2\r\n30\r\n0," + kTooLong + ",\r\n0,-1,\r\n"));   // channel too long

TEST(ChannelTableFile, OversizedFileIsNotATable) {
    std::string text = "2\r\n30\r\n0,1,";
    text.append(CChannelTableFile::kMaxFileSize, 'x');
    CReceiver r;
    loadPrevious(r);
    EXPECT_EQ(loadText(r, text).status, CT_INVALID);
    expectPreviousTable(r);
}

// Format 3: frequencies with a bandwidth and a label, exact to the Hz.
TEST(ChannelTableFile, FrequencyTableEntriesAreExact) {
    CChannelTableFile t;
    ASSERT_TRUE(parse(t, "3\r\n851.0125,12.5,FD-1\r\n\r\n 154.445 , 25 , Fire dispatch, north "
                         "\n869.987654,6.25,\n5800,10000.000,\r\n\r\n"));
    EXPECT_EQ(t.Format(), CChannelTableFile::kFrequencyFormat);
    EXPECT_EQ(t.Count(), 0) << "nothing for the board";
    const struct {
        uint64_t hz;
        uint32_t bandwidth;
        const char* label;
    } expected[] = {{851012500, 12500, "FD-1"},
                    {154445000, 25000, "Fire dispatch, north"},
                    {869987654, 6250, ""},
                    {5800000000ull, 10000000, ""}};
    ASSERT_EQ(t.Frequencies().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(t.Frequencies()[i].frequencyHz, expected[i].hz) << i;
        EXPECT_EQ(t.Frequencies()[i].bandwidthHz, expected[i].bandwidth) << i;
        EXPECT_EQ(t.Frequencies()[i].label, expected[i].label) << i;
    }
    // A second parse of another format leaves nothing of the first behind.
    ASSERT_TRUE(parse(t, kExample));
    EXPECT_TRUE(t.Frequencies().empty());
    ASSERT_TRUE(parse(t, "3\r\n"));
    EXPECT_EQ(t.Format(), CChannelTableFile::kFrequencyFormat);
    EXPECT_TRUE(t.Frequencies().empty());
}

TEST(ChannelTableFile, FrequencyTableRefusesAnythingNotExactlyAnEntry) {
    std::string thirtyOne = "3\r\n";
    for (int k = 0; k < 31; ++k) {
        thirtyOne += std::to_string(851 + k) + ",12.5,\r\n";
    }
    const std::string cases[] = {
        "3\r\n851.0125,12.5\r\n",                          // no label field
        "3\r\n851.0125\r\n",                               // no bandwidth
        "3\r\n-851.0125,12.5,\r\n",                        // sign
        "3\r\n8.51e2,12.5,\r\n",                           // exponent
        "3\r\n851.01255,12.5,x\r\n851.0000001,12.5,\r\n",  // finer than a Hz
        "3\r\n851.0125,12.5005,\r\n",                      // finer than a Hz of bandwidth
        "3\r\n851.,12.5,\r\n",                             // point without decimals
        "3\r\n.5,12.5,\r\n",                               // decimals without a whole part
        "3\r\n0,12.5,\r\n",                                // no frequency
        "3\r\n10000.000001,12.5,\r\n",                     // beyond 10 GHz
        "3\r\n851,0.999,\r\n",                             // narrower than 1 kHz
        "3\r\n851,10000.001,\r\n",                         // wider than 10 MHz
        "3\r\n851,12k5,\r\n",                              // a unit
        "3\r\n851,12.5," + std::string(256, 'x') + "\r\n", // label too long
        thirtyOne,
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 40));
        CChannelTableFile t;
        EXPECT_FALSE(parse(t, text));
    }
    CChannelTableFile t;
    EXPECT_TRUE(parse(t, thirtyOne.substr(0, thirtyOne.rfind("881,"))));
    EXPECT_EQ(t.Frequencies().size(), 30u);
}

TEST(ChannelTableFile, TheBoardRefusesAFrequencyTableAndKeepsItsOwn) {
    const std::string frequencies = "3\r\n851.0125,12.5,FD-1\r\n";
    CReceiver r;
    loadPrevious(r);
    const ChannelTableLoad result = loadText(r, frequencies);
    EXPECT_EQ(result.status, CT_FREQUENCY_TABLE);
    EXPECT_NE(result.message.find("software-defined radio"), std::string::npos) << result.message;
    expectPreviousTable(r);

    // A reader that measures frequencies takes it.
    CTempDir dir;
    WriteText(dir.File("t.nct"), frequencies);
    CChannelTableFile table;
    EXPECT_EQ(ReadChannelTable(dir.File("t.nct"), table, true).status, CT_LOADED);
    ASSERT_EQ(table.Frequencies().size(), 1u);
    EXPECT_EQ(table.Frequencies()[0].label, "FD-1");
}

TEST(ChannelTableFile, AFrequencyStoresItsCellularChannelOrItsKilohertz) {
    const struct {
        uint64_t hz;
        int32_t channel;
    } cases[] = {
        {870030000, 1},      // cellular channel 1
        {869010000, 990},    // the band's first channel
        {893970000, 799},    // and its last
        {870045000, 870045}, // between two cellular channels
        {851012500, 851013}, // half a kHz rounds up
        {851006249, 851006},
        {1930050000, 1930050},    // PCS: no spacing named, so kHz
        {5800000000ull, 5800000}, // beyond 32 bits of Hz
        {1000, 1},                // never 0, which marks a point without readings
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FrequencyEntryChannel(c.hz), c.channel) << c.hz;
    }
}

TEST(ChannelTableFile, UnopenableFileGivesTheSystemText) {
    CTempDir dir;
    CReceiver r;
    loadPrevious(r);
    ChannelTableLoad result = LoadChannelTable(dir.File("missing.nct"), r);
    EXPECT_EQ(result.status, CT_OPEN_FAILED);
    EXPECT_EQ(result.message, std::strerror(ENOENT));
    result = LoadChannelTable(dir.Path(), r);
    EXPECT_EQ(result.status, CT_OPEN_FAILED);
    EXPECT_EQ(result.message, std::strerror(EISDIR));
    expectPreviousTable(r);
}

} // namespace
