// A survey measured with the synthetic radio behind the in-process board, through the survey
// controller: a table by frequency programmed slot by slot, readings stored by frequency with the
// channel number their rule gives, the calibration state carried from the radio to the status
// bar, the site file and the journal; and the receiver board refusing such a table.
#include <gtest/gtest.h>

#include <algorithm>

#include "SdrSignal.h"
#include "SurveyFlowFixture.h"
#include "SynthDevice.h"
#include "files/FileMessages.h"
#include "survey/RecordList.h"

namespace {

const char* const kFrequencyTable = "3\r\n"
                                    "851.0125,12.5,FD-1\r\n"
                                    "870.03,30,cellular 1\r\n"
                                    "154.445,25,VFIRE21\r\n";

struct Expected {
    int32_t channel;
    double mhz;
    int16_t dBm;
};
const Expected kExpected[] = {{851013, 851.0125, -60}, {1, 870.03, -75}, {154445, 154.445, -90}};

// The radio calibrated (it states its own offset) or not.
class SdrSurveyFlow : public SurveyFlow, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        UseSynthModule();
        std::string error;
        ASSERT_TRUE(m_radio.Open(SynthArgs({{851.0125, -60}, {870.03, -75}, {154.445, -90}},
                                           Uncalibrated() ? "calibration=none" : ""),
                                 SdrOptions(), CCalibrationStore(), error))
            << error;
        signalSource = &m_radio;
        SurveyFlow::SetUp();
    }
    bool Uncalibrated() const { return GetParam(); }
    std::string FrequencyTable() {
        WriteText(dir.File("ps.nct"), kFrequencyTable);
        return dir.File("ps.nct");
    }

    CSdrSignal m_radio;
};

void expectScan(const std::vector<SurveyRecord>& records, size_t first, bool uncalibrated) {
    ASSERT_GE(records.size(), first + std::size(kExpected));
    for (size_t k = 0; k < std::size(kExpected); ++k) {
        const SurveyRecord& r = records[first + k];
        EXPECT_EQ(r.channel, kExpected[k].channel) << k;
        EXPECT_DOUBLE_EQ(r.frequencyMHz, kExpected[k].mhz) << k;
        EXPECT_NEAR(r.rssi, kExpected[k].dBm, 1) << k;
        EXPECT_EQ(r.uncalibrated, uncalibrated) << k;
    }
}

std::vector<SurveyRecord> recordsOf(const CRecordList& list) {
    std::vector<SurveyRecord> out;
    SurveyRecord* r = nullptr;
    for (int16_t rc = list.GetAt(r, 1); rc == RL_OK; rc = list.GetNext(r)) {
        out.push_back(*r);
    }
    return out;
}

TEST_P(SdrSurveyFlow, ATableByFrequencyIsProgrammedMeasuredAndStoredByFrequency) {
    const bool uncalibrated = Uncalibrated();
    ASSERT_TRUE(controller->LoadTableFile(FrequencyTable()));
    EXPECT_EQ(ui->messages.back(), "Table has been loaded.");

    // Each slot went to the board by its frequency: slot, Hz and bandwidth, little-endian.
    std::vector<std::vector<uint8_t>> slots;
    for (const auto& frame : board.ReceivedFrames()) {
        if (frame[0] == CReceiver::kCmdLoadFrequencySlot) {
            slots.push_back(frame);
        }
    }
    ASSERT_EQ(slots.size(), 3u);
    EXPECT_EQ(slots[0],
              (std::vector<uint8_t>{25, 0, 0x94, 0x6B, 0xB9, 0x32, 0, 0, 0, 0, 0xD4, 0x30, 0, 0}));
    EXPECT_EQ(slots[2][1], 2);

    const std::string site = MakeSite("site.lks");
    Open(site, false);
    ASSERT_TRUE(TakePoint(100, 100));
    ASSERT_TRUE(TakePoint(200, 150));
    expectScan(recordsOf(controller->Records()), 0, uncalibrated);
    ASSERT_EQ(ui->uncalibratedMarks.size(), 2u);
    EXPECT_EQ(ui->uncalibratedMarks.back(), uncalibrated) << "the status bar's mark";

    // The journal keeps the state through a crash...
    EndProgram();
    StartProgram();
    ui->paths.push_back(site);
    ui->answers.push_back(kIdYes);
    controller->OnOpenSite();
    const std::vector<SurveyRecord> recovered = recordsOf(controller->Records());
    ASSERT_EQ(recovered.size(), 6u);
    expectScan(recovered, 3, uncalibrated);
    // ...and the site file through a save.
    ui->signOffs.push_back(true);
    ASSERT_TRUE(controller->SaveSite());
    const CSiteFile saved = ReadSite(site);
    ASSERT_EQ(saved.m_records.size(), 6u);
    expectScan(saved.m_records, 0, uncalibrated);
    expectScan(saved.m_records, 3, uncalibrated);
    for (const SurveyRecord& r : saved.m_records) {
        EXPECT_STREQ(r.name, "TEST") << "the mark stays out of the name";
    }
}

INSTANTIATE_TEST_SUITE_P(Radio, SdrSurveyFlow, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Uncalibrated" : "Calibrated";
                         });

// The fixture's own board: the simulated signal, as the receiver board measures.
TEST_F(SurveyFlow, TheReceiverBoardRefusesATableByFrequency) {
    WriteText(dir.File("ps.nct"), kFrequencyTable);
    LoadTable();
    const size_t framesBefore = board.ReceivedFrames().size();
    EXPECT_FALSE(controller->LoadTableFile(dir.File("ps.nct")));
    EXPECT_EQ(ui->messages.back(), filemsg::kFrequencyTableOnBoard);
    EXPECT_EQ(board.ReceivedFrames().size(), framesBefore) << "nothing sent to the board";
    EXPECT_EQ(receiver->ChannelCount(), 3) << "the table before stays in force";
    EXPECT_TRUE(receiver->TableLoaded());
}

// A receiver made to program a slot by frequency onto the receiver board meets silence: the board
// does not know the command, and the programming stops there.
class ReceiverBoardFrequencySlot : public SurveyFlow {
protected:
    void SetUp() override {
        timings.replyWaitMs = 50;
        SurveyFlow::SetUp();
    }
};

TEST_F(ReceiverBoardFrequencySlot, IsLeftUnanswered) {
    ChannelEntry slot;
    slot.plan = kFrequencyPlan;
    slot.frequencyHz = 851012500;
    slot.bandwidthHz = 12500;
    receiver->SetChannelTable(&slot, 1);
    EXPECT_EQ(receiver->ProgramChannelTable(), TableLoad::kUnanswered);
    ASSERT_EQ(board.ReceivedFrames().back()[0], CReceiver::kCmdLoadFrequencySlot);
}

} // namespace
