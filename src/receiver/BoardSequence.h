// The conversation that brings a board that has come back up to date, in the order of the
// program's start-up: identification (command 1, then the 2 and the 8 that its replies send),
// then the loaded channel table programmed again. Pure logic: the I/O thread feeds it replies
// and the clock, and writes the commands it hands out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One command to the board: its number and up to four data bytes.
struct BoardCommand {
    uint8_t type = 0;
    uint8_t length = 0;
    uint8_t data[13] = {}; // the longest: a slot by frequency
};

class CBoardSequence {
public:
    enum Outcome {
        kIdle,    // nothing begun
        kRunning, // waiting for a reply
        kDone,    // every step answered
        kFailed,  // a step went unanswered: the board did not identify itself, or went silent
    };

    // Starts over: identification first when identify is set, then program (in order). Each step
    // waits up to replyWaitMs for the reply of its number.
    void Begin(bool identify, const std::vector<BoardCommand>& program, int64_t nowMs,
               int replyWaitMs);
    // A reply of type arrived; the sequence moves on when it was the one awaited.
    void OnReply(uint8_t type, int64_t nowMs);
    // Fails the sequence when the current step's wait has run out by nowMs.
    void OnClock(int64_t nowMs);
    // The command of the step just entered, once; false when there is none to write.
    bool TakeCommand(BoardCommand& out);

    Outcome State() const { return m_outcome; }
    // When the current step's wait runs out (meaningful while running).
    int64_t DeadlineMs() const { return m_deadlineMs; }
    // Whether the sequence brings a table onto the board.
    bool Programs() const { return m_programs; }

private:
    struct Step {
        bool send; // write command when the step begins
        BoardCommand command;
        uint8_t reply;
    };

    void Enter(size_t index, int64_t nowMs);

    std::vector<Step> m_steps;
    size_t m_index = 0;
    bool m_commandDue = false;
    bool m_programs = false;
    int m_replyWaitMs = 0;
    int64_t m_deadlineMs = 0;
    Outcome m_outcome = kIdle;
};
