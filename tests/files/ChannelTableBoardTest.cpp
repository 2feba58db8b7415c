// Loading a channel table programs the simulated board: the commands, their order and payloads as
// the board receives them, and no command at all for a bad file.
#include <gtest/gtest.h>

#include <vector>

#include "InProcessBoard.h"
#include "TestFiles.h"
#include "files/ChannelTableFile.h"
#include "receiver/BoardLink.h"
#include "receiver/Receiver.h"

namespace {

using Frame = std::vector<uint8_t>;

class ChannelTableBoard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_board.Start(CInProcessBoard::Instant()));
        ASSERT_TRUE(m_link.Setup(m_board.Source()));
        ASSERT_TRUE(m_receiver.StartIoThread(m_link));
    }
    void TearDown() override {
        m_receiver.StopIoThread();
        m_link.ClosePort(0);
        m_board.Stop();
    }

    ChannelTableLoad Load(const std::string& text) {
        WriteText(m_dir.File("t.nct"), text);
        return LoadChannelTable(m_dir.File("t.nct"), m_receiver);
    }

    CTempDir m_dir;
    CInProcessBoard m_board;
    CBoardLink m_link;
    CReceiver m_receiver;
};

TEST_F(ChannelTableBoard, ProgramsTheBoardInTheFixedOrder) {
    const ChannelTableLoad result = Load("2\r\n30\r\n0,1,x\r\n1,25,y\r\n0,-1,\r\n");
    ASSERT_EQ(result.status, CT_LOADED);
    EXPECT_TRUE(m_receiver.TableLoaded());

    ASSERT_TRUE(m_board.WaitForFrames(7, 2000));
    const uint16_t pcsCode = m_receiver.BoardCode(1);
    const std::vector<Frame> expected = {
        {8, 0},
        {8, 4},
        {5, 40, 0},
        {39, 2},
        {23, 0, 0, 34, 0}, // cellular channel 1 is board code 34
        {23, 1, 1, static_cast<uint8_t>(pcsCode), static_cast<uint8_t>(pcsCode >> 8)},
        {24},
    };
    EXPECT_EQ(m_board.ReceivedFrames(), expected);
    // The board's report of its list (reply 24) agrees with the table that was sent.
    EXPECT_EQ(m_receiver.ChannelCount(), 2);
    EXPECT_EQ(m_receiver.Channel(0).channel, 1);
    EXPECT_EQ(m_receiver.Channel(1).plan, 1);
    EXPECT_EQ(m_receiver.Channel(1).channel, 25);
}

TEST_F(ChannelTableBoard, EmptyTableStillProgramsCountZero) {
    ASSERT_EQ(Load("2\r\n30\r\n0,-1,\r\n").status, CT_LOADED);
    ASSERT_TRUE(m_board.WaitForFrames(5, 2000));
    const std::vector<Frame> expected = {{8, 0}, {8, 4}, {5, 40, 0}, {39, 0}, {24}};
    EXPECT_EQ(m_board.ReceivedFrames(), expected);
    EXPECT_TRUE(m_receiver.TableLoaded());
}

TEST_F(ChannelTableBoard, RefusedFileSendsNothingToTheBoard) {
    EXPECT_EQ(Load("2\r\n30\r\n0,1\r\n0,-1,\r\n").status, CT_INVALID);
    EXPECT_EQ(Load("3\r\n30\r\n0,1,\r\n0,-1,\r\n").status, CT_INVALID);
    EXPECT_FALSE(m_board.WaitForFrames(1, 300));
    EXPECT_FALSE(m_receiver.TableLoaded());
}

} // namespace
