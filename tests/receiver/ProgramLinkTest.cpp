// The receiver's link as the program brings it up: opened on a named port, identified, and torn
// down with the link object, which stops the I/O thread before anything it uses goes away.
#include <gtest/gtest.h>

#include "BoardSimulator.h"
#include "RecordingTarget.h"
#include "receiver/ReceiverLink.h"
#include "support/ScriptedPrompts.h"

namespace {

TEST(ProgramLink, OpensOnANamedPortIdentifiesAndStopsWithTheLink) {
    CReceiver receiver;
    CRecordingTarget target(receiver);
    CBoardSimulator board;
    BoardSimOptions o;
    o.instant = true;
    ASSERT_TRUE(board.Start(o));

    CScriptedPrompts prompts;
    CScopedPrompts use(prompts);
    receiver.SetViewWindow(&target);
    {
        CReceiverLink link(receiver);
        ASSERT_TRUE(link.Open(board.SlavePath()));
        link.StartThread();
        link.StartThread(); // a second call changes nothing
        EXPECT_TRUE(receiver.IoThreadRunning());
        EXPECT_TRUE(link.Open("/dev/other")) << "the port is not swapped under the thread";
        receiver.RequestFirmwareVersion();
        ASSERT_TRUE(target.WaitForCount(1, 5000));
        char text[CReceiver::kSerialSize];
        receiver.GetSerialNumber(text);
        EXPECT_STREQ(text, "SIM001");
    }
    EXPECT_FALSE(receiver.IoThreadRunning());
    // Commands after the link has gone are neither sent nor waited for.
    const size_t frames = board.ReceivedFrames().size();
    receiver.RequestFirmwareVersion();
    EXPECT_EQ(board.ReceivedFrames().size(), frames);
    EXPECT_TRUE(prompts.Calls().empty());
}

TEST(ProgramLink, AnAbsentBoardIsReportedOnceAndTheProgramCarriesOn) {
    CReceiver receiver;
    CScriptedPrompts prompts;
    CScopedPrompts use(prompts);
    CReceiverLink link(receiver);
    EXPECT_FALSE(link.Open("/dev/larkspur-absent"));
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{"Cannot Open Connection To Board."}));
    link.StartThread();
    EXPECT_TRUE(receiver.IoThreadRunning());
    link.Stop();
    EXPECT_FALSE(receiver.IoThreadRunning());
}

} // namespace
