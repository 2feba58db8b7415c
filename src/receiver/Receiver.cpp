// Receiver construction and the commands to the board.
#include "receiver/Receiver.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "receiver/BoardLink.h"
#include "receiver/FrameCodec.h"

namespace {
constexpr uint32_t kCellularLowStart = 869010000u;
constexpr uint32_t kCellularLowEnd = 870000000u;
constexpr uint32_t kCellularHighStart = 870030000u;
constexpr uint32_t kCellularHighEnd = 893970000u;
constexpr uint32_t kCellularStep = CReceiver::kCellularSpacingHz;
constexpr uint32_t kPcsStart = 1930000000u;
constexpr uint32_t kPcsEnd = 1990000000u;
constexpr uint32_t kPcsStep = 10000u;
constexpr double kCellularCentreMHz = 881.52;
constexpr double kPcsCentreMHz = 1962.5;

constexpr uint8_t kOptionScanMode = 0;
constexpr uint8_t kOptionTableMode = 4;
constexpr uint16_t kOptionWordTable = 40;
} // namespace

CReceiver::CReceiver() {
    InitBandPlans(m_plans);
}

void CReceiver::InitBandPlans(CBandPlan (&plans)[2]) {
    plans[0].AddSegment(0, kCellularLowStart, kCellularLowEnd, kCellularStep, 990);
    plans[0].AddSegment(1, kCellularHighStart, kCellularHighEnd, kCellularStep, 1);
    plans[1].AddSegment(0, kPcsStart, kPcsEnd, kPcsStep, 0);
    plans[0].SetCenterFrequency(kCellularCentreMHz);
    plans[1].SetCenterFrequency(kPcsCentreMHz);
}

CReceiver::~CReceiver() {
    StopIoThread();
}

CReceiver::Sent CReceiver::Send(uint8_t type, const uint8_t* data, size_t length) {
    uint8_t frame[kMaxFrameSize];
    const size_t n = EncodeFrame(type, data, length, frame, sizeof frame);
    CBoardLink* link = m_link.load();
    if (n == 0 || link == nullptr) {
        return Sent::kNoBoard;
    }
    if (OnIoThread()) {
        // A reply's follow-up: only this thread could read the reply, so a wait here could only
        // run out while the line went unread and a command of the program's took the slot.
        (void)WriteFrame(*link, frame, n);
        return Sent::kAnswered;
    }
    // Only a running I/O thread can bring a reply; without one the wait could only time out.
    const bool canReply = m_ioRunning.load() && type < kReplyEventCount;
    // The ticket is taken before the frame is queued so that a reply handled before this thread
    // reaches its wait still releases it. A board that goes meanwhile pulses every event.
    const uint64_t ticket = canReply ? m_replyEvents[type].Arm() : 0;
    uint64_t generation = 0;
    if (link->QueueCommand(frame, n, generation) != LinkState::kConnected || !canReply) {
        return Sent::kNoBoard;
    }
    const bool released = m_replyEvents[type].WaitFrom(ticket, m_timings.replyWaitMs);
    if (link->Generation() != generation) {
        return Sent::kNoBoard;
    }
    return released ? Sent::kAnswered : Sent::kUnanswered;
}

bool CReceiver::SendCommand(uint8_t type, const uint8_t* data, size_t length) {
    (void)Send(type, data, length);
    return true;
}

void CReceiver::RequestFirmwareVersion() {
    SendCommand(kCmdFirmware, nullptr, 0);
}

void CReceiver::RequestSerialNumber() {
    SendCommand(kCmdSerial, nullptr, 0);
}

void CReceiver::SendOptionWord(uint16_t value) {
    const uint8_t data[2] = {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
    SendCommand(kCmdOptionWord, data, sizeof data);
}

void CReceiver::SendOptionByte(uint8_t value) {
    SendCommand(kCmdOptionByte, &value, 1);
}

void CReceiver::LoadChannelSlot(uint8_t slot, uint8_t plan, uint16_t code) {
    const uint8_t data[4] = {slot, plan, static_cast<uint8_t>(code & 0xFF),
                             static_cast<uint8_t>(code >> 8)};
    SendCommand(kCmdLoadSlot, data, sizeof data);
}

void CReceiver::ReadChannelList() {
    SendCommand(kCmdReadList, nullptr, 0);
}

void CReceiver::StartMeasurement() {
    SendCommand(kCmdMeasure, nullptr, 0);
}

void CReceiver::SetChannelCount(uint8_t n) {
    {
        std::lock_guard<std::mutex> hold(m_tableLock);
        m_channelCount = n;
    }
    SendCommand(kCmdChannelCount, &n, 1);
}

uint32_t CReceiver::FrequencyHz(int index) const {
    const ChannelEntry entry = Channel(index);
    std::lock_guard<std::mutex> hold(m_tableLock);
    return EntryFrequencyHz(m_plans, entry);
}

double CReceiver::FrequencyMHz(int index) const {
    const ChannelEntry entry = Channel(index);
    std::lock_guard<std::mutex> hold(m_tableLock);
    return EntryFrequencyMHz(m_plans, entry);
}

uint16_t CReceiver::BoardCode(int index) const {
    const ChannelEntry entry = Channel(index);
    std::lock_guard<std::mutex> hold(m_tableLock);
    return EntryBoardCode(m_plans, entry);
}

uint32_t CReceiver::PcsSpacing() const {
    std::lock_guard<std::mutex> hold(m_tableLock);
    return m_plans[1].GetPcsSpacing();
}

std::vector<ChannelReading> CReceiver::CurrentReadings() const {
    std::lock_guard<std::mutex> hold(m_tableLock);
    return ReadingsLocked();
}

std::vector<ChannelReading> CReceiver::ReadingsLocked() const {
    const int count = std::min<int>(m_channelCount, kTableCapacity);
    std::vector<ChannelReading> readings(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const ChannelEntry& e = m_channels[i];
        const bool calibrated = i >= 32 || (m_uncalibratedSlots & (1u << i)) == 0;
        readings[static_cast<size_t>(i)] = {e.plan, EntryRecordChannel(m_plans, e),
                                            EntryFrequencyMHz(m_plans, e), e.rssiX16, calibrated};
    }
    return readings;
}

ReceiverTable CReceiver::GetChannelTable() const {
    ReceiverTable copy;
    std::lock_guard<std::mutex> hold(m_tableLock);
    copy.count = m_channelCount;
    std::copy(std::begin(m_channels), std::end(m_channels), std::begin(copy.entries));
    return copy;
}

ChannelEntry CReceiver::Channel(int index) const {
    std::lock_guard<std::mutex> hold(m_tableLock);
    return index >= 0 && index < kTableCapacity ? m_channels[index] : ChannelEntry{};
}

uint8_t CReceiver::ChannelCount() const {
    std::lock_guard<std::mutex> hold(m_tableLock);
    return m_channelCount;
}

void CReceiver::SetChannelTable(const ChannelEntry* entries, int count) {
    count = std::clamp(count, 0, kTableCapacity);
    std::lock_guard<std::mutex> hold(m_tableLock);
    // Slots past the new count keep their old contents, as the board's own table does.
    for (int i = 0; i < count; ++i) {
        m_channels[i].plan = entries[i].plan;
        m_channels[i].channel = entries[i].channel;
        m_channels[i].frequencyHz = entries[i].frequencyHz;
        m_channels[i].bandwidthHz = entries[i].bandwidthHz;
    }
    m_channelCount = static_cast<uint8_t>(count);
    ++m_tableGeneration;
}

void CReceiver::SetPcsSpacing(uint32_t hz) {
    std::lock_guard<std::mutex> hold(m_tableLock);
    m_plans[1].SetPcsSpacing(hz);
    ++m_tableGeneration;
}

uint64_t CReceiver::TableGeneration() const {
    std::lock_guard<std::mutex> hold(m_tableLock);
    return m_tableGeneration;
}

TableProgram CReceiver::GetTableProgram() const {
    auto command = [](uint8_t type, std::initializer_list<uint8_t> data) {
        BoardCommand c;
        c.type = type;
        for (uint8_t b : data) {
            c.data[c.length++] = b;
        }
        return c;
    };
    TableProgram program;
    std::lock_guard<std::mutex> hold(m_tableLock);
    program.generation = m_tableGeneration;
    program.commands.push_back(command(kCmdOptionByte, {kOptionScanMode}));
    program.commands.push_back(command(kCmdOptionByte, {kOptionTableMode}));
    program.commands.push_back(command(
        kCmdOptionWord, {kOptionWordTable & 0xFF, static_cast<uint8_t>(kOptionWordTable >> 8)}));
    program.commands.push_back(command(kCmdChannelCount, {m_channelCount}));
    // The count is a byte the loader sets; never read past the table whatever it holds.
    const int slots = std::min<int>(m_channelCount, kTableCapacity);
    for (int slot = 0; slot < slots; ++slot) {
        const ChannelEntry& entry = m_channels[slot];
        if (IsFrequencyPlan(entry.plan)) {
            BoardCommand c;
            c.type = kCmdLoadFrequencySlot;
            c.data[c.length++] = static_cast<uint8_t>(slot);
            for (int b = 0; b < 8; ++b) {
                c.data[c.length++] = static_cast<uint8_t>(entry.frequencyHz >> (8 * b));
            }
            for (int b = 0; b < 4; ++b) {
                c.data[c.length++] = static_cast<uint8_t>(entry.bandwidthHz >> (8 * b));
            }
            program.commands.push_back(c);
            continue;
        }
        const uint16_t code = EntryBoardCode(m_plans, m_channels[slot]);
        program.commands.push_back(command(
            kCmdLoadSlot, {static_cast<uint8_t>(slot), m_channels[slot].plan,
                           static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>(code >> 8)}));
    }
    program.commands.push_back(command(kCmdReadList, {}));
    return program;
}

void CReceiver::SetChannelRssi(int index, int16_t rssiX16) {
    std::lock_guard<std::mutex> hold(m_tableLock);
    if (index >= 0 && index < kTableCapacity) {
        m_channels[index].rssiX16 = rssiX16;
    }
}

void CReceiver::SetChannel(int index, const ChannelEntry& entry) {
    std::lock_guard<std::mutex> hold(m_tableLock);
    if (index >= 0 && index < kTableCapacity) {
        m_channels[index] = entry;
    }
}

TableLoad CReceiver::ProgramChannelTable() {
    // The table is read once: the board is programmed with one consistent table even if a reply
    // rewrites an entry meanwhile.
    const TableProgram program = GetTableProgram();
    CBoardLink* link = m_link.load();
    if (link == nullptr) {
        return TableLoad::kNoBoard;
    }
    const uint64_t generation = link->Generation();
    for (const BoardCommand& c : program.commands) {
        if (c.type == kCmdChannelCount) {
            std::lock_guard<std::mutex> hold(m_tableLock);
            m_channelCount = c.data[0];
        }
        const Sent sent = Send(c.type, c.data, c.length);
        if (sent == Sent::kUnanswered) {
            // A board that leaves one command unanswered would leave the rest too, a second
            // each: it counts as lost, and is programmed again once it answers.
            m_silentGeneration.store(generation + 1);
            (void)m_wake.Signal();
            return TableLoad::kUnanswered;
        }
        if (sent == Sent::kNoBoard) {
            return TableLoad::kNoBoard;
        }
    }
    return link->Generation() == generation && link->State() == LinkState::kConnected
               ? TableLoad::kLoaded
               : TableLoad::kNoBoard;
}

void CReceiver::SendKeepAlive() {
    static const uint8_t kKeepAlive[2] = {0x00, 0x00};
    // A command queued a moment ago must not be displaced by the keep-alive: the command keeps
    // the line alive just as well, and its sender is waiting for the reply.
    if (CBoardLink* link = m_link.load()) {
        link->QueueTransmitIfIdle(kKeepAlive, sizeof kKeepAlive);
    }
}
