// The manual-reset event: set, reset, pulse and timed waits between threads.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/Event.h"

namespace {

TEST(Event, SetReleasesWaitersAndStaysSignalledUntilReset) {
    CEvent e;
    EXPECT_FALSE(e.Wait(10));
    std::atomic<bool> released{false};
    std::thread waiter([&] { released = e.Wait(5000); });
    e.Set();
    waiter.join();
    EXPECT_TRUE(released);
    EXPECT_TRUE(e.Wait(0)) << "a manual-reset event stays set";
    EXPECT_TRUE(e.IsSet());
    e.Reset();
    EXPECT_FALSE(e.Wait(10));
}

TEST(Event, PulseReleasesCurrentWaitersAndLeavesTheEventClear) {
    CEvent e;
    std::atomic<int> released{0};
    std::atomic<int> waiting{0};
    auto wait = [&] {
        const uint64_t ticket = e.Arm();
        ++waiting;
        if (e.WaitFrom(ticket, 5000)) {
            ++released;
        }
    };
    std::thread a(wait);
    std::thread b(wait);
    while (waiting < 2) {
        std::this_thread::yield();
    }
    e.Pulse();
    a.join();
    b.join();
    EXPECT_EQ(released, 2);
    EXPECT_FALSE(e.IsSet());
    EXPECT_FALSE(e.Wait(10));
}

TEST(Event, PulseWithNobodyWaitingIsLostButAnArmedTicketSeesIt) {
    CEvent e;
    const uint64_t ticket = e.Arm();
    e.Pulse();
    EXPECT_FALSE(e.Wait(10)) << "a later plain wait must not see an earlier pulse";
    EXPECT_TRUE(e.WaitFrom(ticket, 0)) << "the ticket taken before the pulse sees it";
    EXPECT_FALSE(e.WaitFrom(e.Arm(), 10));
}

TEST(Event, ResetAfterSetAndPulseOnASetEventClearsIt) {
    CEvent e;
    e.Set();
    e.Pulse();
    EXPECT_FALSE(e.IsSet());
    EXPECT_FALSE(e.Wait(10));
}

} // namespace
