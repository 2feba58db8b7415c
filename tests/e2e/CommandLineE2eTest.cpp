// The program's command line end to end: a board on a named port, a missing board, and a site
// and channel table opened at start-up.
#include <gtest/gtest.h>

#include "BoardSimulator.h"
#include "SurveyHarness.h"
#include "controller/SurveyController.h"
#include "receiver/Receiver.h"
#include "survey/SurveyData.h"
#include "view/LarkspurView.h"

TEST(CommandLineE2e, PortOptionTalksToTheBoardOnThatDevice) {
    CBoardSimulator board;
    BoardSimOptions boardOptions;
    boardOptions.firmware = "9.87Z";
    boardOptions.serial = "PORT42";
    ASSERT_TRUE(board.Start(boardOptions));

    SurveyHarness h;
    AppOptions options;
    options.port = board.SlavePath();
    ASSERT_TRUE(h.Start(options));
    char firmware[CReceiver::kFirmwareSize];
    char serial[CReceiver::kSerialSize];
    h.Receiver().GetFirmwareVersion(firmware);
    h.Receiver().GetSerialNumber(serial);
    EXPECT_STREQ(firmware, "9.87Z");
    EXPECT_STREQ(serial, "PORT42");
    EXPECT_TRUE(h.Prompts().Messages().empty());
}

TEST(CommandLineE2e, AMissingBoardIsReportedOnceAndTheProgramCarriesOn) {
    SurveyHarness h;
    AppOptions options;
    options.port = "/dev/no-such-board";
    ASSERT_TRUE(h.Start(options));
    const std::vector<std::string> messages = h.Prompts().Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Cannot Open Connection To Board.");
    EXPECT_EQ(h.View().ScreenMode(), CLarkspurView::kStartScreen);
    char firmware[CReceiver::kFirmwareSize];
    h.Receiver().GetFirmwareVersion(firmware);
    EXPECT_STREQ(firmware, "0.00");
}

TEST(CommandLineE2e, SiteAndTableArgumentsOpenAsTheirCommandsDo) {
    SurveyHarness files; // only for its folder and file writers
    const std::string site = files.WriteSite("start.lks", 480, 640);
    const std::string table = files.WriteTable("start.nct", {{0, 1}, {1, 25}});
    ASSERT_FALSE(site.empty());
    ASSERT_FALSE(table.empty());

    SurveyHarness h;
    h.Prompts().QueueAnswer(kIdYes); // keep existing data points
    AppOptions options;
    options.simulate = true;
    options.site = site;
    options.table = table;
    ASSERT_TRUE(h.Start(options));
    const std::vector<std::string> messages = h.Prompts().Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Do you wish to keep existing data points?");
    EXPECT_EQ(messages[1], "Table has been loaded.");
    ASSERT_NE(h.Controller().Survey(), nullptr);
    EXPECT_EQ(h.Controller().SitePath(), site);
    EXPECT_EQ(h.View().ScreenMode(), CLarkspurView::kMapScreen);
    EXPECT_TRUE(h.Receiver().TableLoaded());
    EXPECT_EQ(h.Receiver().ChannelCount(), 2);
    EXPECT_EQ(h.FramesOfType(CReceiver::kCmdChannelCount).size(), 1u);
}
