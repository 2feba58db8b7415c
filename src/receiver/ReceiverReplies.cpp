// The board's replies: what each one changes in the receiver and whom it notifies.
#include "receiver/Receiver.h"

#include <cstring>

#include "platform/PlayWaveResource.h"

namespace {
constexpr size_t kRssiBoardDataLong = 24;
constexpr size_t kRssiBoardDataShort = 12;
constexpr uint8_t kBoardDataLongKind = 2;
constexpr int kListEntries = 30;

uint32_t DrawMessage() {
    static const uint32_t id = RegisterWindowMessage("LKSS_DRAW");
    return id;
}
} // namespace

void CReceiver::StoreText(char* dest, size_t size, const uint8_t* payload, size_t count) {
    // A text longer than its buffer is cut to fit; the buffer always ends in a terminator.
    size_t n = 0;
    while (n < count && n + 1 < size && payload[n] != 0) {
        ++n;
    }
    std::lock_guard<std::mutex> hold(m_textLock);
    if (n > 0) {
        std::memcpy(dest, payload, n);
    }
    dest[n] = '\0';
}

void CReceiver::GetFirmwareVersion(char* out) const {
    std::lock_guard<std::mutex> hold(m_textLock);
    std::memcpy(out, m_firmwareVersion, std::strlen(m_firmwareVersion) + 1);
}

void CReceiver::GetSerialNumber(char* out) const {
    std::lock_guard<std::mutex> hold(m_textLock);
    std::memcpy(out, m_serialNumber, std::strlen(m_serialNumber) + 1);
}

BoardIdentity CReceiver::GetIdentity() const {
    std::lock_guard<std::mutex> hold(m_textLock);
    return {m_firmwareVersion, m_serialNumber, std::string()};
}

void CReceiver::GetBoardData(uint8_t* out) const {
    std::lock_guard<std::mutex> hold(m_textLock);
    std::memcpy(out, m_boardData, sizeof m_boardData);
}

void CReceiver::PostDraw() {
    if (IMessageTarget* view = m_viewWnd.load()) {
        view->Post(DrawMessage(), 0, 0);
    }
}

void CReceiver::HandleReply(uint8_t type, const uint8_t* payload, size_t count) {
    // Bytes a frame did not carry read as 0, as in the parser's zeroed buffer.
    auto at = [&](size_t i) -> uint8_t { return i < count ? payload[i] : 0; };
    bool post = false;
    switch (type) {
    case kCmdFirmware:
        StoreText(m_firmwareVersion, sizeof m_firmwareVersion, payload, count);
        if (OnIoThread()) {
            // Something on this line speaks the board's protocol: the link may keep to it.
            m_link.load()->NoteIdentified();
        }
        RequestSerialNumber();
        break;
    case kCmdSerial:
        StoreText(m_serialNumber, sizeof m_serialNumber, payload, count);
        SendOptionByte(0);
        post = true;
        break;
    case kReplyBoardData: {
        const size_t n = at(0) == kBoardDataLongKind ? kRssiBoardDataLong : kRssiBoardDataShort;
        std::lock_guard<std::mutex> hold(m_textLock);
        for (size_t i = 0; i < n; ++i) {
            m_boardData[i] = at(1 + i);
        }
        break;
    }
    case kCmdOptionByte:
    case kReplyStatus:
        m_boardStatus.store(at(0));
        break;
    case kCmdReadList: {
        std::lock_guard<std::mutex> hold(m_tableLock);
        for (int i = 0; i < kListEntries; ++i) {
            const size_t base = 1 + 3 * static_cast<size_t>(i);
            m_channels[i].plan = at(base);
            m_channels[i].channel = static_cast<uint16_t>(at(base + 1) | at(base + 2) << 8);
        }
        break;
    }
    case kReplyRssi:
        OnScanReading(at(0), static_cast<int16_t>(static_cast<uint16_t>(at(1) | at(2) << 8)));
        post = true;
        break;
    case kCmdMeasure:
        OnScanStarted();
        PlayWaveResource("CLICK");
        post = true;
        break;
    case kReplyComplete:
        // A board measuring with a software-defined radio adds which slots it measured without
        // a calibration; the receiver board sends none, and all of its readings are its own.
        OnScanComplete(static_cast<uint32_t>(at(0) | at(1) << 8 | at(2) << 16) |
                       static_cast<uint32_t>(at(3)) << 24);
        post = true;
        break;
    default:
        break;
    }
    if (type < kReplyEventCount) {
        m_replyEvents[type].Pulse();
    }
    if (post) {
        PostDraw();
    }
    if (OnIoThread() && m_bringUp.State() == CBoardSequence::kRunning) {
        m_bringUp.OnReply(type, NowMs());
        PumpBringUp(*m_link.load());
    }
}
