// Setting up the link: the two messages a user can see, and a working line without them.
#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

#include "receiver/BoardLink.h"
#include "support/ScriptedPrompts.h"

namespace {

TEST(BoardLink, MissingDeviceShowsOneMessageAndLeavesAUsableSlot) {
    CScriptedPrompts prompts;
    CScopedPrompts use(prompts);
    CBoardLink link;
    EXPECT_FALSE(link.Setup(38400, "/dev/larkspur-no-board"));
    EXPECT_FALSE(link.IsOpen());
    ASSERT_EQ(prompts.Calls().size(), 1u);
    EXPECT_EQ(prompts.Calls()[0].text, "Cannot Open Connection To Board.");
    EXPECT_EQ(prompts.Calls()[0].flags, kMbOk);
    const uint8_t bytes[] = {1, 2, 3};
    EXPECT_TRUE(link.QueueTransmit(bytes, sizeof bytes));
    EXPECT_TRUE(link.TransmitEvent().IsSet());
}

TEST(BoardLink, RefusedLineSettingsShowTheirMessageAndCloseThePort) {
    int master = -1;
    int slave = -1;
    char name[128];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    CScriptedPrompts prompts;
    CScopedPrompts use(prompts);
    CBoardLink link;
    EXPECT_FALSE(link.Setup(12345, name));
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{"Could not SetCommState"}));

    prompts.Clear();
    EXPECT_TRUE(link.Setup(38400, name));
    EXPECT_TRUE(link.IsOpen());
    EXPECT_TRUE(prompts.Calls().empty());
    link.ClosePort(0);
    EXPECT_FALSE(link.IsOpen());
    close(master);
    close(slave);
}

TEST(BoardLink, SearchFallsBackToCom1OnAnEmptyTree) {
    CBoardLink link;
    link.SetSysfsRoot("/nonexistent-sysfs");
    EXPECT_EQ(link.FindBoardPort(), "COM1:");
}

} // namespace
