// The board model: decoder, table, scan, replies and the line's faults.
#include "BoardModel.h"

#include <chrono>

#include "BoardMix.h"
#include "receiver/ChannelEntry.h"
#include "receiver/Receiver.h"

IBoardOutput::~IBoardOutput() = default;

namespace {
constexpr uint8_t kDc1 = 0x11;
constexpr uint8_t kDc2 = 0x12;
constexpr uint8_t kDc3 = 0x13;
constexpr uint8_t kDc4 = 0x14;
constexpr uint8_t kSpoiledEnd = 0x15;

std::vector<uint8_t> encode(uint8_t type, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> f = {kDc1, kDc2};
    auto put = [&f](uint8_t b) {
        f.push_back(b);
        if (b == kDc1) {
            f.push_back(kDc4);
        }
    };
    put(type);
    for (uint8_t b : payload) {
        put(b);
    }
    f.push_back(kDc1);
    f.push_back(kDc3);
    return f;
}
} // namespace

CBoardModel::CBoardModel() {
    CReceiver::InitBandPlans(m_plans);
}

void CBoardModel::Reset(const BoardSimOptions& options, ISignalSource* source, std::FILE* log) {
    m_options = options;
    m_simulated = CSimulatedSignal(options.seed);
    m_source = source != nullptr ? source : &m_simulated;
    m_log = log;
    m_random = boardMix(m_options.seed ^ 0xB0A2Dull);
    m_replyFrames = 0;
    m_commands = 0;
    PowerUp(false);
    std::lock_guard<std::mutex> hold(m_lock);
    m_frames.clear();
    m_keepAlives = m_sent = m_scans = 0;
}

void CBoardModel::PowerUp(bool keepTable) {
    m_rx = Rx::kOutside;
    m_zeroRun = 0;
    m_cutOff = false;
    m_quiet = false;
    if (!keepTable) {
        std::fill(std::begin(m_table), std::end(m_table), Slot{});
        m_channelCount = 0;
        m_optionByte = 0;
        m_optionWord = 0;
    }
}

std::vector<std::vector<uint8_t>> CBoardModel::ReceivedFrames() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_frames;
}

bool CBoardModel::WaitForFrames(size_t count, unsigned ms) const {
    std::unique_lock<std::mutex> hold(m_lock);
    return m_arrived.wait_for(hold, std::chrono::milliseconds(ms),
                              [&] { return m_frames.size() >= count; });
}

uint64_t CBoardModel::KeepAlives() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_keepAlives;
}

uint64_t CBoardModel::FramesSent() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_sent;
}

uint64_t CBoardModel::Scans() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_scans;
}

void CBoardModel::Feed(uint8_t b, IBoardOutput& out) {
    switch (m_rx) {
    case Rx::kOutside:
        if (b == kDc1) {
            m_rx = Rx::kStart;
        } else if (b == 0) {
            if (++m_zeroRun == 2) {
                m_zeroRun = 0;
                std::lock_guard<std::mutex> hold(m_lock);
                ++m_keepAlives;
            }
            return;
        }
        break;
    case Rx::kStart:
        if (b == kDc2) {
            m_rx = Rx::kFrame;
            m_raw = {kDc1, kDc2};
            m_decoded.clear();
        } else if (b != kDc1) {
            m_rx = Rx::kOutside;
        }
        break;
    case Rx::kFrame:
        m_raw.push_back(b);
        if (b == kDc1) {
            m_rx = Rx::kEscape;
        } else {
            m_decoded.push_back(b);
        }
        break;
    case Rx::kEscape:
        m_raw.push_back(b);
        if (b == kDc3) {
            m_rx = Rx::kOutside;
            if (!m_decoded.empty()) {
                OnFrame(m_raw, m_decoded, out);
            }
        } else if (b == kDc4) {
            m_decoded.push_back(kDc1);
            m_rx = Rx::kFrame;
        } else if (b == kDc2) {
            m_raw = {kDc1, kDc2};
            m_decoded.clear();
            m_rx = Rx::kFrame;
        } else {
            m_rx = Rx::kOutside;
        }
        break;
    }
    m_zeroRun = 0;
}

void CBoardModel::OnFrame(const std::vector<uint8_t>& raw, const std::vector<uint8_t>& d,
                          IBoardOutput& out) {
    if (m_log != nullptr) {
        for (size_t i = 0; i < raw.size(); ++i) {
            std::fprintf(m_log, i == 0 ? "%02X" : " %02X", raw[i]);
        }
        std::fputc('\n', m_log);
        std::fflush(m_log);
    }
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_frames.push_back(d);
    }
    m_arrived.notify_all();

    const uint8_t type = d[0];
    auto arg = [&d](size_t i) -> uint8_t { return i + 1 < d.size() ? d[i + 1] : 0; };
    ++m_commands;
    m_cutOff = m_options.vanishAfterCommands > 0 && m_commands == m_options.vanishAfterCommands;
    m_quiet = m_quiet || m_commands == m_options.silentAfterCommands;
    switch (type) {
    case CReceiver::kCmdOptionWord:
        m_optionWord = static_cast<uint16_t>(arg(0) | arg(1) << 8);
        break;
    case CReceiver::kCmdOptionByte:
        m_optionByte = arg(0);
        break;
    case CReceiver::kCmdChannelCount:
        m_channelCount = arg(0) < kSlots ? arg(0) : kSlots;
        break;
    case CReceiver::kCmdLoadSlot:
        if (arg(0) < kSlots) {
            m_table[arg(0)] = Slot{true, arg(1), static_cast<uint16_t>(arg(2) | arg(3) << 8)};
        }
        break;
    case CReceiver::kCmdLoadFrequencySlot:
        // The receiver board does not know the command, and says nothing.
        if (!LoadFrequencySlot(d)) {
            return;
        }
        break;
    default:
        break;
    }
    if (m_options.silent || m_quiet ||
        (m_cutOff && (type != CReceiver::kCmdMeasure || m_options.vanishSilently))) {
        return;
    }
    switch (type) {
    case CReceiver::kCmdFirmware:
    case CReceiver::kCmdSerial: {
        const std::string& text =
            type == CReceiver::kCmdFirmware ? m_options.firmware : m_options.serial;
        std::vector<uint8_t> payload(text.begin(), text.end());
        payload.push_back(0);
        Reply(type, payload, out);
        break;
    }
    case CReceiver::kCmdOptionByte:
        Reply(type, {m_optionByte}, out);
        break;
    case CReceiver::kCmdReadList:
        Reply(type, ListReply(), out);
        break;
    case CReceiver::kCmdMeasure:
        Measure(out);
        break;
    default:
        Reply(type, {}, out);
        break;
    }
}

void CBoardModel::Measure(IBoardOutput& out) {
    uint64_t scan;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        scan = ++m_scans;
    }
    Reply(CReceiver::kCmdMeasure, {}, out);
    const uint32_t pcsSpacing = InferPcsSpacing();
    std::vector<SourceChannel> channels(m_channelCount);
    for (int k = 0; k < m_channelCount; ++k) {
        channels[k] = SlotChannel(m_table[k], pcsSpacing);
    }
    std::vector<int16_t> readings;
    if (!m_source->Measure(channels, scan, readings)) {
        // Its receiver failed: the board goes as one unplugged mid-scan does, and comes back
        // when its host plugs it in again.
        m_cutOff = true;
        return;
    }
    readings.resize(channels.size());
    // A board unplugged mid-scan gets half the readings out.
    const size_t sent = m_cutOff ? readings.size() / 2 : readings.size();
    for (size_t k = 0; k < sent && !out.Stopping(); ++k) {
        const auto rssi = static_cast<uint16_t>(readings[k]);
        Reply(CReceiver::kReplyRssi,
              {static_cast<uint8_t>(k), static_cast<uint8_t>(rssi & 0xFF),
               static_cast<uint8_t>(rssi >> 8)},
              out);
    }
    if (!m_cutOff) {
        // Only a source that measures without a calibration adds which slots it did so for.
        const uint32_t uncalibrated = m_source->UncalibratedSlots();
        std::vector<uint8_t> payload;
        if (uncalibrated != 0) {
            for (int b = 0; b < 4; ++b) {
                payload.push_back(static_cast<uint8_t>(uncalibrated >> (8 * b)));
            }
        }
        Reply(CReceiver::kReplyComplete, payload, out);
    }
}

SourceChannel CBoardModel::SlotChannel(const Slot& slot, uint32_t pcsSpacing) const {
    if (IsFrequencyPlan(slot.plan)) {
        return {slot.plan, 0, slot.frequencyHz, slot.bandwidthHz};
    }
    return {slot.plan, slot.code, CodeToFrequency(slot),
            IsPcsPlan(slot.plan) ? pcsSpacing : CReceiver::kCellularSpacingHz};
}

bool CBoardModel::LoadFrequencySlot(const std::vector<uint8_t>& d) {
    constexpr size_t kPayload = 13; // slot, Hz (8 bytes), bandwidth (4 bytes)
    if (!m_source->TunesAnyFrequency() || d.size() < 1 + kPayload || d[1] >= kSlots) {
        return false;
    }
    Slot slot;
    slot.loaded = true;
    slot.plan = kFrequencyPlan;
    for (int b = 0; b < 8; ++b) {
        slot.frequencyHz |= static_cast<uint64_t>(d[2 + b]) << (8 * b);
    }
    for (int b = 0; b < 4; ++b) {
        slot.bandwidthHz |= static_cast<uint32_t>(d[10 + b]) << (8 * b);
    }
    m_table[d[1]] = slot;
    return true;
}

uint32_t CBoardModel::InferPcsSpacing() const {
    if (m_options.pcsSpacingHz != 0) {
        return m_options.pcsSpacingHz;
    }
    // The board is never told the spacing: take the coarsest grid on which every PCS code it
    // holds is a channel.
    for (uint32_t spacing :
         {CBandPlan::kPcsSpacing200k, CBandPlan::kPcsSpacing50k, CBandPlan::kPcsSpacing30k}) {
        CBandPlan pcs = m_plans[1];
        pcs.SetPcsSpacing(spacing);
        bool fits = true;
        for (int i = 0; i < m_channelCount && fits; ++i) {
            if (m_table[i].loaded && IsPcsPlan(m_table[i].plan)) {
                const uint32_t ch = pcs.StepIndexToPcsChannel(m_table[i].code);
                fits = pcs.PcsChannelToStepIndex(ch) == m_table[i].code;
            }
        }
        if (fits) {
            return spacing;
        }
    }
    return CBandPlan::kPcsSpacing30k;
}

uint32_t CBoardModel::CodeToFrequency(const Slot& slot) const {
    return m_plans[IsPcsPlan(slot.plan) ? 1 : 0].StepIndexToFrequency(slot.code);
}

uint16_t CBoardModel::CodeToChannel(const Slot& slot, uint32_t pcsSpacing) const {
    if (IsPcsPlan(slot.plan)) {
        CBandPlan pcs = m_plans[1];
        pcs.SetPcsSpacing(pcsSpacing);
        return static_cast<uint16_t>(pcs.StepIndexToPcsChannel(slot.code));
    }
    const CBandPlan& cellular = m_plans[0];
    return static_cast<uint16_t>(
        cellular.FrequencyToChannel(cellular.StepIndexToFrequency(slot.code)));
}

std::vector<uint8_t> CBoardModel::ListReply() const {
    std::vector<uint8_t> p(kListReplySize, 0);
    p[0] = m_channelCount;
    const uint32_t spacing = InferPcsSpacing();
    for (int i = 0; i < kListEntries && i < m_channelCount; ++i) {
        if (!m_table[i].loaded) {
            continue;
        }
        const uint16_t ch =
            IsFrequencyPlan(m_table[i].plan) ? 0 : CodeToChannel(m_table[i], spacing);
        p[1 + 3 * i] = m_table[i].plan;
        p[2 + 3 * i] = static_cast<uint8_t>(ch & 0xFF);
        p[3 + 3 * i] = static_cast<uint8_t>(ch >> 8);
    }
    return p;
}

uint32_t CBoardModel::NextRandom() {
    m_random = boardMix(m_random);
    return static_cast<uint32_t>(m_random >> 32);
}

void CBoardModel::Reply(uint8_t type, const std::vector<uint8_t>& payload, IBoardOutput& out) {
    std::vector<uint8_t> frame = encode(type, payload);
    const uint64_t n = ++m_replyFrames;
    if (m_options.noise) {
        // Stray bytes never include the escape byte: a line glitch that looks like a frame
        // start is a different fault (a corrupted frame).
        std::vector<uint8_t> junk(1 + NextRandom() % 3);
        for (uint8_t& b : junk) {
            do {
                b = static_cast<uint8_t>(NextRandom());
            } while (b == kDc1);
        }
        out.Send(junk);
    }
    if (m_options.dropEvery > 0 && n % static_cast<uint64_t>(m_options.dropEvery) == 0) {
        return;
    }
    if (m_options.corruptEvery > 0 && n % static_cast<uint64_t>(m_options.corruptEvery) == 0) {
        frame.back() = kSpoiledEnd;
    }
    out.Send(frame);
    std::lock_guard<std::mutex> hold(m_lock);
    ++m_sent;
}
