// The program's own receiver and link, brought up through the entry point the application
// calls and left running: the link is torn down by itself at exit, before the receiver.
#include <gtest/gtest.h>

#include "BoardSimulator.h"
#include "RecordingTarget.h"
#include "receiver/ReceiverLink.h"
#include "support/ScriptedPrompts.h"

namespace {

TEST(ProgramLink, OpensOnANamedPortIdentifiesAndIsLeftRunningUntilExit) {
    // Built before the link, so they are destroyed after it has stopped its thread.
    static CRecordingTarget target(TheReceiver());
    static CBoardSimulator board;
    BoardSimOptions o;
    o.instant = true;
    ASSERT_TRUE(board.Start(o));

    CScriptedPrompts prompts;
    CScopedPrompts use(prompts);
    TheReceiver().m_viewWnd = &target;
    ASSERT_TRUE(OpenReceiverLink(board.SlavePath()));
    StartReceiverThread();
    StartReceiverThread(); // a second call changes nothing
    EXPECT_TRUE(TheReceiver().IoThreadRunning());
    EXPECT_TRUE(OpenReceiverLink("/dev/other")) << "the port is not swapped under the thread";
    TheReceiver().RequestFirmwareVersion();
    ASSERT_TRUE(target.WaitForCount(1, 5000));
    char text[CReceiver::kSerialSize];
    TheReceiver().GetSerialNumber(text);
    EXPECT_STREQ(text, "SIM001");
    EXPECT_TRUE(prompts.Calls().empty());
}

TEST(ProgramLink, AnAbsentBoardIsReportedOnceAndTheProgramCarriesOn) {
    StopReceiverLink(); // in case the test above ran in this process
    CScriptedPrompts prompts;
    CScopedPrompts use(prompts);
    EXPECT_FALSE(OpenReceiverLink("/dev/larkspur-absent"));
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{"Cannot Open Connection To Board."}));
    StartReceiverThread();
    EXPECT_TRUE(TheReceiver().IoThreadRunning());
    StopReceiverLink();
    EXPECT_FALSE(TheReceiver().IoThreadRunning());
}

} // namespace
