// What each reply of the board changes in the receiver and whom it notifies, and the exact
// frames the commands queue on the link.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "RecordingTarget.h"
#include "receiver/BoardLink.h"
#include "receiver/Receiver.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Replies : public ::testing::Test {
protected:
    Replies() : m_target(m_rx) { m_rx.SetViewWindow(&m_target); }

    void Reply(uint8_t type, const Bytes& payload) {
        m_rx.HandleReply(type, payload.data(), payload.size());
    }
    std::string Serial() {
        char buf[CReceiver::kSerialSize];
        m_rx.GetSerialNumber(buf);
        return buf;
    }
    std::string Firmware() {
        char buf[CReceiver::kFirmwareSize];
        m_rx.GetFirmwareVersion(buf);
        return buf;
    }
    size_t DrawPosts() const {
        size_t n = 0;
        for (const RecordedPost& p : m_target.Posts()) {
            EXPECT_EQ(p.id, RegisterWindowMessage("LKSS_DRAW"));
            EXPECT_EQ(p.wParam, 0u);
            EXPECT_EQ(p.lParam, 0);
            ++n;
        }
        return n;
    }

    CReceiver m_rx;
    CRecordingTarget m_target;
};

// Replies 1 and 2 in turn: each keeps its text up to its terminator, cut to fit and terminated,
// and only the serial number posts.
TEST_F(Replies, IdentityTextsAreStoredCutToFitAndOnlyTheSerialPosts) {
    EXPECT_EQ(Firmware(), "0.00") << "until the board answers";
    EXPECT_EQ(Serial(), "XXXXXX");
    const Bytes longText(60, 'F'); // no terminator either
    const std::string firmwareCut(CReceiver::kFirmwareSize - 1, 'F');
    const std::string serialCut(CReceiver::kSerialSize - 1, 'F');
    const struct {
        uint8_t type;
        Bytes payload;
        std::string firmware;
        std::string serial;
        size_t posts; // so far
    } cases[] = {
        {1, {'3', '.', '1', '4', 0, 'x'}, "3.14", "XXXXXX", 0},
        {2, {'A', 'B', 'C', '1', '2', '3', 0}, "3.14", "ABC123", 1},
        {1, longText, firmwareCut, "ABC123", 1},
        {2, longText, firmwareCut, serialCut, 2},
        {2, {}, firmwareCut, "", 3}, // an empty reply is an empty text
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "reply " << int{c.type} << ", " << c.payload.size() << " bytes");
        Reply(c.type, c.payload);
        EXPECT_EQ(Firmware(), c.firmware);
        EXPECT_EQ(Serial(), c.serial);
        EXPECT_EQ(DrawPosts(), c.posts);
    }
}

TEST_F(Replies, RssiReplySetsThatEntryClearsCompleteAndPosts) {
    Reply(36, {});
    Reply(34, {0x02, 0x50, 0xFB});
    EXPECT_EQ(m_rx.Channel(2).rssiX16, -1200);
    EXPECT_EQ(m_rx.RssiDbm(2), -75);
    EXPECT_FALSE(m_rx.MeasurementComplete());
    EXPECT_EQ(m_rx.Channel(1).rssiX16, 0);
    EXPECT_EQ(DrawPosts(), 2u);
    Reply(34, {0x00, 0x40, 0xFB});
    EXPECT_EQ(m_rx.Channel(0).rssiX16, -1216);
    Reply(34, {0x27, 0xF0, 0x7F});
    EXPECT_EQ(m_rx.Channel(39).rssiX16, 0x7FF0) << "the last slot of the table";
}

TEST_F(Replies, RssiReplyPastTheTableIsIgnoredButStillCounts) {
    const ReceiverTable before = m_rx.GetChannelTable();
    Reply(36, {});
    Reply(34, {40, 0x50, 0xFB});
    Reply(34, {255, 0x50, 0xFB});
    const ReceiverTable after = m_rx.GetChannelTable();
    EXPECT_EQ(std::memcmp(before.entries, after.entries, sizeof before.entries), 0);
    EXPECT_FALSE(m_rx.MeasurementComplete());
    EXPECT_EQ(DrawPosts(), 3u);
}

TEST_F(Replies, MeasurementAcknowledgeAndCompleteDriveTheFlags) {
    Reply(36, {});
    EXPECT_TRUE(m_rx.MeasurementComplete());
    Reply(35, {});
    EXPECT_FALSE(m_rx.MeasurementComplete());
    Reply(36, {});
    EXPECT_TRUE(m_rx.MeasurementComplete());
    EXPECT_FALSE(m_rx.MeasurementPending()) << "only a scan begun sets pending";
    EXPECT_EQ(DrawPosts(), 3u);
}

// Each scan is its own: its readings are handed over once, to its identity, and a scan that a
// newer one or EndScan ended never completes, whatever the board still sends.
TEST_F(Replies, AScansReadingsGoOnceToItsOwnIdentity) {
    m_rx.SetChannelTable(std::vector<ChannelEntry>{{0, 1, 0}, {1, 600, 0}}.data(), 2);
    m_rx.SetPcsSpacing(CBandPlan::kPcsSpacing30k);
    struct Case {
        const char* what;
        bool endFirst;      // EndScan before the board completes
        bool beginSecond;   // a newer scan begun before it completes
        ScanState expected; // of the first scan once reply 36 has come
    } cases[] = {
        {"completed", false, false, ScanState::kComplete},
        {"ended by a site change", true, false, ScanState::kEnded},
        {"replaced by a newer scan", false, true, ScanState::kEnded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const uint64_t first = m_rx.BeginScan();
        EXPECT_EQ(m_rx.GetScanState(first), ScanState::kRunning);
        Reply(35, {});
        Reply(34, {0, 0x40, 0xFB});
        if (c.endFirst) {
            m_rx.EndScan();
        }
        const uint64_t second = c.beginSecond ? m_rx.BeginScan() : 0;
        Reply(34, {1, 0x10, 0xFB});
        Reply(36, {});
        EXPECT_EQ(m_rx.GetScanState(first), c.expected);
        std::vector<ChannelReading> readings;
        EXPECT_EQ(m_rx.TakeScan(first, readings), c.expected == ScanState::kComplete);
        if (c.expected == ScanState::kComplete) {
            ASSERT_EQ(readings.size(), 2u);
            EXPECT_EQ(readings[0].rssiX16, -1216);
            EXPECT_EQ(readings[1].rssiX16, -1264);
            EXPECT_EQ(readings[1].channel, 600);
            EXPECT_DOUBLE_EQ(readings[1].frequencyMHz, (600 + 64334) * 0.03);
            EXPECT_FALSE(m_rx.TakeScan(first, readings)) << "taken once";
            EXPECT_FALSE(m_rx.MeasurementPending());
        }
        if (second != 0) {
            EXPECT_EQ(m_rx.GetScanState(second), ScanState::kComplete);
            EXPECT_TRUE(m_rx.TakeScan(second, readings));
        }
        EXPECT_EQ(m_rx.GetScanState(0), ScanState::kNone);
    }
}

TEST_F(Replies, ChannelListRewritesPlanAndChannelOfThirtyEntries) {
    for (int i = 0; i < CReceiver::kTableCapacity; ++i) {
        m_rx.SetChannel(i, ChannelEntry{1, 777, static_cast<int16_t>(-100 - i)});
    }
    m_rx.SetChannelCount(7);
    Bytes list(91, 0);
    for (int i = 0; i < 30; ++i) {
        list[1 + 3 * i] = static_cast<uint8_t>(i % 2);
        list[2 + 3 * i] = static_cast<uint8_t>(i + 1);
        list[3 + 3 * i] = static_cast<uint8_t>(i / 10);
    }
    Reply(24, list);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(m_rx.Channel(i).plan, i % 2) << i;
        EXPECT_EQ(m_rx.Channel(i).channel, (i + 1) + 256 * (i / 10)) << i;
        EXPECT_EQ(m_rx.Channel(i).rssiX16, -100 - i) << "RSSI untouched";
    }
    EXPECT_EQ(m_rx.Channel(30).channel, 777) << "only 30 entries are listed";
    EXPECT_EQ(m_rx.ChannelCount(), 7);
    EXPECT_EQ(DrawPosts(), 0u);

    Reply(24, {0, 1, 0x22, 0x00});
    EXPECT_EQ(m_rx.Channel(0).plan, 1);
    EXPECT_EQ(m_rx.Channel(0).channel, 0x22);
    EXPECT_EQ(m_rx.Channel(1).plan, 0) << "bytes a short reply lacks read as 0";
    EXPECT_EQ(m_rx.Channel(29).channel, 0);
}

TEST_F(Replies, StatusAndBoardDataAreStored) {
    Reply(8, {0x5A});
    EXPECT_EQ(m_rx.BoardStatus(), 0x5A);
    Reply(11, {0x07});
    EXPECT_EQ(m_rx.BoardStatus(), 0x07);
    Bytes data = {2};
    for (int i = 0; i < 24; ++i) {
        data.push_back(static_cast<uint8_t>(0xA0 + i));
    }
    Reply(3, data);
    uint8_t block[CReceiver::kBoardDataSize];
    m_rx.GetBoardData(block);
    EXPECT_EQ(block[0], 0xA0);
    EXPECT_EQ(block[23], 0xA0 + 23);
    Reply(3, {1, 9, 9});
    m_rx.GetBoardData(block);
    EXPECT_EQ(block[0], 9);
    EXPECT_EQ(block[2], 0) << "missing bytes read as 0";
    EXPECT_EQ(block[12], 0xA0 + 12) << "a short block only rewrites its 12 bytes";
    EXPECT_EQ(DrawPosts(), 0u);
}

TEST_F(Replies, OtherTypesChangeNothingAndPostNothing) {
    Reply(99, {1, 2, 3});
    Reply(49, {});
    Reply(0, {});
    EXPECT_EQ(DrawPosts(), 0u);
    EXPECT_EQ(Serial(), "XXXXXX");
    EXPECT_FALSE(m_rx.MeasurementComplete());
}

// Commands queued on a link that has no port and no I/O thread: the frame lands in the slot.
class Commands : public ::testing::Test {
protected:
    Commands() { m_rx.AttachLink(&m_link); }
    Bytes Sent() {
        uint8_t out[CBoardLink::kSlotSize];
        const size_t n = m_link.TakeTransmission(out);
        return Bytes(out, out + n);
    }
    CBoardLink m_link;
    CReceiver m_rx;
};

TEST_F(Commands, EachCommandQueuesItsFrame) {
    m_rx.RequestFirmwareVersion();
    EXPECT_TRUE(m_link.TransmitEvent().IsSet());
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x01, 0x11, 0x13}));
    EXPECT_FALSE(m_link.TransmitEvent().IsSet());
    m_rx.RequestSerialNumber();
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x02, 0x11, 0x13}));
    m_rx.SendOptionWord(40);
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x05, 0x28, 0x00, 0x11, 0x13}));
    m_rx.SendOptionWord(0x1134);
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x05, 0x34, 0x11, 0x14, 0x11, 0x13}));
    m_rx.SendOptionByte(4);
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x08, 0x04, 0x11, 0x13}));
    m_rx.LoadChannelSlot(0, 0, 34);
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x17, 0x00, 0x00, 0x22, 0x00, 0x11, 0x13}));
    m_rx.LoadChannelSlot(17, 1, 0x1234);
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x17, 0x11, 0x14, 0x01, 0x34, 0x12, 0x11, 0x13}));
    m_rx.ReadChannelList();
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x18, 0x11, 0x13}));
    m_rx.StartMeasurement();
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x23, 0x11, 0x13}));
    m_rx.SendKeepAlive();
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x00}));
}

TEST_F(Commands, SetChannelCountStoresTheCountFirst) {
    m_rx.SetChannelCount(9);
    m_rx.SetChannelCount(0);
    EXPECT_EQ(m_rx.ChannelCount(), 0);
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x27, 0x00, 0x11, 0x13}));
}

TEST_F(Commands, OneSlotOnlyTheLastQueuedTransmissionGoesOut) {
    m_rx.RequestFirmwareVersion();
    m_rx.RequestSerialNumber();
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x02, 0x11, 0x13}));
    EXPECT_EQ(Sent(), Bytes{}) << "nothing left after it was taken";
    const Bytes big(200, 0x42);
    m_link.QueueTransmit(big.data(), big.size());
    EXPECT_EQ(Sent().size(), CBoardLink::kSlotSize) << "the slot holds 128 bytes at most";
}

TEST_F(Commands, AKeepAliveNeverDisplacesAQueuedCommand) {
    m_rx.StartMeasurement();
    m_rx.SendKeepAlive();
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x23, 0x11, 0x13}));
    m_rx.SendKeepAlive();
    EXPECT_EQ(Sent(), (Bytes{0x00, 0x00}));
    m_rx.SendKeepAlive();
    m_rx.StartMeasurement();
    EXPECT_EQ(Sent(), (Bytes{0x11, 0x12, 0x23, 0x11, 0x13})) << "a command replaces a keep-alive";
}

TEST_F(Commands, WithoutAnIoThreadCommandsReturnAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 5; ++i) {
        m_rx.StartMeasurement();
    }
    // Five 1000 ms waits would take five seconds; nothing could answer them.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
}

} // namespace
