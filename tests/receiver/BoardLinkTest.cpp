// Setting up the link: the two messages a user can see, a working line without them, and the
// ports the search may open again once the board has gone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <pty.h>
#include <unistd.h>

#include "receiver/BoardLink.h"
#include "receiver/SerialSource.h"
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

TEST(BoardLink, TriesAfterALossOpenOnlyTheBoardsCardOrAPortThatAnsweredAsTheBoard) {
    namespace fs = std::filesystem;
    int master = -1;
    int slave = -1;
    char name[128];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    const fs::path pts(name);
    char pattern[] = "/tmp/larkspur-sysfs-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    // The drivers list the board's card on the pseudo-terminal.
    const fs::path card = root / "devices" / "pcmcia-board";
    const fs::path node = root / "class" / "tty" / "board";
    fs::create_directories(card);
    fs::create_directories(node);
    fs::create_directory_symlink(card, node / "device");
    std::ofstream(card / "prod_id1") << "Quatech\n";
    std::ofstream(node / "uevent") << "DEVNAME=" << pts.filename().string() << "\n";

    std::string why;
    CSerialSource stranger(38400, "");
    stranger.SetSysfsRoot("/nonexistent-sysfs");
    EXPECT_EQ(stranger.FindBoardPort(), "COM1:") << "the first search falls back to it";
    EXPECT_EQ(stranger.Open(true, why), nullptr)
        << "with no card listed, a retry opens nothing at all, not the COM1: fallback";

    CSerialSource source(38400, "");
    source.SetSysfsRoot(root.string());
    source.SetDevRoot(pts.parent_path().string());
    EXPECT_NE(source.Open(false, why), nullptr) << "the card the drivers list";
    source.Identified();
    fs::remove_all(node); // the adapter is unplugged: its listing goes
    EXPECT_NE(source.Open(true, why), nullptr) << "the port that answered as the board";
    fs::remove_all(root);
    close(master);
    close(slave);
}

} // namespace
