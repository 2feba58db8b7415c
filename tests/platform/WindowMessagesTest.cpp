// Registered window message ids: one per name, process-wide, from any thread.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/WindowMessages.h"

namespace {

TEST(WindowMessages, SameNameSameIdDifferentNamesDifferentIds) {
    const uint32_t draw = RegisterWindowMessage("LKSS_DRAW");
    EXPECT_GE(draw, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage("LKSS_DRAW"), draw);
    EXPECT_EQ(RegisterWindowMessage(std::string("LKSS_DRAW").c_str()), draw);
    const uint32_t status = RegisterWindowMessage("LKSS_STATUS_UPDATE");
    EXPECT_NE(status, draw);
    EXPECT_NE(RegisterWindowMessage("lkss_draw"), draw) << "names are case-sensitive";
}

TEST(WindowMessages, ConcurrentRegistrationAgreesOnOneId) {
    std::vector<uint32_t> ids(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < ids.size(); ++i) {
        threads.emplace_back([&ids, i] { ids[i] = RegisterWindowMessage("LKSS_RACE_TEST"); });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(std::set<uint32_t>(ids.begin(), ids.end()).size(), 1u);
}

} // namespace
