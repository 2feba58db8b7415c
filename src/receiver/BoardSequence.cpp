// The reconnection conversation, step by step.
#include "receiver/BoardSequence.h"

namespace {
constexpr uint8_t kFirmware = 1;
constexpr uint8_t kSerial = 2;
constexpr uint8_t kOptionByte = 8;
} // namespace

void CBoardSequence::Begin(bool identify, const std::vector<BoardCommand>& program, int64_t nowMs,
                           int replyWaitMs) {
    m_steps.clear();
    if (identify) {
        BoardCommand firmware;
        firmware.type = kFirmware;
        // The replies to 1 and 2 send 2 and 8 themselves, as they do at start-up.
        m_steps.push_back({true, firmware, kFirmware});
        m_steps.push_back({false, BoardCommand{}, kSerial});
        m_steps.push_back({false, BoardCommand{}, kOptionByte});
    }
    for (const BoardCommand& command : program) {
        m_steps.push_back({true, command, command.type});
    }
    m_programs = !program.empty();
    m_replyWaitMs = replyWaitMs;
    Enter(0, nowMs);
}

void CBoardSequence::Enter(size_t index, int64_t nowMs) {
    m_index = index;
    if (m_index >= m_steps.size()) {
        m_outcome = kDone;
        m_commandDue = false;
        return;
    }
    m_outcome = kRunning;
    m_commandDue = m_steps[m_index].send;
    m_deadlineMs = nowMs + m_replyWaitMs;
}

void CBoardSequence::OnReply(uint8_t type, int64_t nowMs) {
    if (m_outcome == kRunning && type == m_steps[m_index].reply) {
        Enter(m_index + 1, nowMs);
    }
}

void CBoardSequence::OnClock(int64_t nowMs) {
    if (m_outcome != kRunning || nowMs < m_deadlineMs) {
        return;
    }
    // A board that leaves a step unanswered is not one to talk to: it is tried again as one
    // that went, rather than sent the rest of the table a second at a time.
    m_outcome = kFailed;
    m_commandDue = false;
}

bool CBoardSequence::TakeCommand(BoardCommand& out) {
    if (!m_commandDue) {
        return false;
    }
    m_commandDue = false;
    out = m_steps[m_index].command;
    return true;
}
