// The conversation that brings a returning board up to date, step by step, without a line: which
// command goes out when, which reply moves it on, and what a silence costs.
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

TEST(BoardSequence, IdentifiesThenProgramsOneReplyAtATime) {
    CBoardSequence s;
    const std::vector<BoardCommand> program = {Command(8, 0), Command(39, 2), Command(24, 0)};
    s.Begin(true, program, 0, kWait);
    EXPECT_TRUE(s.Programs());
    // Each step: the reply that ends it, and the command the next step sends (0: none, its
    // command comes from the previous reply's handler, as at start-up).
    const struct {
        uint8_t reply;
        std::vector<int> next;
    } steps[] = {{1, {}}, {2, {}}, {8, {8}}, {8, {39}}, {39, {24}}, {24, {}}};
    EXPECT_EQ(Taken(s), std::vector<int>{1});
    int64_t now = 0;
    for (const auto& step : steps) {
        EXPECT_EQ(s.State(), CBoardSequence::kRunning);
        s.OnReply(35, now); // a stray reply moves nothing
        EXPECT_TRUE(Taken(s).empty());
        now += 5;
        s.OnReply(step.reply, now);
        EXPECT_EQ(Taken(s), step.next) << "after reply " << int(step.reply);
    }
    EXPECT_EQ(s.State(), CBoardSequence::kDone);
    s.OnReply(24, now);
    EXPECT_EQ(s.State(), CBoardSequence::kDone);
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

TEST(BoardSequence, AnUnansweredTableStepCostsItsWaitAndTheNextGoesOut) {
    CBoardSequence s;
    s.Begin(false, {Command(8, 0), Command(8, 4), Command(24, 0)}, 0, kWait);
    EXPECT_EQ(Taken(s), std::vector<int>{8});
    EXPECT_EQ(s.DeadlineMs(), kWait);
    s.OnClock(kWait + 30); // the thread woke a little late
    EXPECT_EQ(Taken(s), std::vector<int>{8});
    EXPECT_EQ(s.DeadlineMs(), 2 * kWait + 30) << "the wait counts from when the command left";
    s.OnReply(8, kWait + 40);
    EXPECT_EQ(Taken(s), std::vector<int>{24});
    s.OnClock(5 * kWait);
    EXPECT_EQ(s.State(), CBoardSequence::kDone) << "a silent list reply is passed over too";
}

TEST(BoardSequence, WithoutATableIdentificationIsAll) {
    CBoardSequence s;
    s.Begin(true, {}, 0, kWait);
    EXPECT_FALSE(s.Programs());
    Taken(s);
    for (uint8_t reply : {1, 2, 8}) {
        s.OnReply(reply, 1);
    }
    EXPECT_EQ(s.State(), CBoardSequence::kDone);
    CBoardSequence idle;
    EXPECT_EQ(idle.State(), CBoardSequence::kIdle);
    idle.OnClock(1000000);
    EXPECT_EQ(idle.State(), CBoardSequence::kIdle);
}

} // namespace
