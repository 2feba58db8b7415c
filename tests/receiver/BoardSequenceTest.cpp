// The conversation that brings a returning board up to date, without a line: what a silence costs
// (the board's order on the wire is shown against the simulated board).
#include <gtest/gtest.h>

#include <vector>

#include "receiver/BoardSequence.h"

namespace {

constexpr int kWait = 1000;

BoardCommand Command(uint8_t type, uint8_t value) {
    BoardCommand c;
    c.type = type;
    c.length = 1;
    c.data[0] = value;
    return c;
}

// What the sequence hands out now, as command numbers.
std::vector<int> Taken(CBoardSequence& s) {
    std::vector<int> out;
    BoardCommand c;
    while (s.TakeCommand(c)) {
        out.push_back(c.type);
    }
    return out;
}

TEST(BoardSequence, ABoardThatDoesNotIdentifyItselfFailsTheSequence) {
    for (const uint8_t answered : {0, 1, 2}) {
        SCOPED_TRACE(answered);
        CBoardSequence s;
        s.Begin(true, {Command(8, 0)}, 200, kWait);
        const uint8_t replies[] = {1, 2};
        for (uint8_t i = 0; i < answered; ++i) {
            s.OnReply(replies[i], 200);
        }
        s.OnClock(200 + kWait - 1);
        EXPECT_EQ(s.State(), CBoardSequence::kRunning) << "still within its wait";
        s.OnClock(200 + kWait);
        EXPECT_EQ(s.State(), CBoardSequence::kFailed);
        Taken(s);
        BoardCommand c;
        EXPECT_FALSE(s.TakeCommand(c)) << "a failed sequence sends nothing more";
    }
}

TEST(BoardSequence, AnUnansweredTableStepFailsTheSequenceAfterItsOwnWait) {
    CBoardSequence s;
    s.Begin(false, {Command(8, 0), Command(8, 4), Command(24, 0)}, 0, kWait);
    EXPECT_EQ(Taken(s), std::vector<int>{8});
    s.OnReply(8, 30);
    EXPECT_EQ(Taken(s), std::vector<int>{8});
    EXPECT_EQ(s.DeadlineMs(), 30 + kWait) << "the wait counts from when the command left";
    s.OnClock(30 + kWait - 1);
    EXPECT_EQ(s.State(), CBoardSequence::kRunning);
    s.OnClock(30 + kWait);
    EXPECT_EQ(s.State(), CBoardSequence::kFailed) << "the rest of the table is not sent";
    EXPECT_EQ(Taken(s), std::vector<int>{});
}

} // namespace
