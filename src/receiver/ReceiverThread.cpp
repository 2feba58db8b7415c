// The receiver I/O thread: the only code that reads or writes the board's port.
#include "receiver/Receiver.h"

#include <limits>

#include "receiver/BoardLink.h"

int64_t CReceiver::ClockTicks() const {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count() / m_clockTick.count();
}

void CReceiver::WriteTransmission(CBoardLink& link) {
    uint8_t bytes[CBoardLink::kSlotSize];
    const size_t n = link.TakeTransmission(bytes);
    (void)link.Port().Write(bytes, n);
    m_transmissions.fetch_add(1);
}

void CReceiver::ReadFromPort(CBoardLink& link, uint8_t* buffer, unsigned& got) {
    got = static_cast<unsigned>(link.Port().Read(buffer, 1));
    // A byte takes about 260 us on the line, so an empty read inside a frame usually means the
    // next byte is on its way: wait for it rather than give the frame up at once.
    if (got == 0 && m_parser.InFrame() && link.Port().WaitReadable(kInterByteTimeoutMs)) {
        got = static_cast<unsigned>(link.Port().Read(buffer, 1));
    }
}

int CReceiver::ReceiverThreadProc() {
    CBoardLink* link = m_link.load();
    if (link == nullptr) {
        return 0;
    }
    uint8_t buffer[1] = {};
    unsigned got = 0;
    // The first idle pass sends a keep-alive.
    int64_t keepAliveMark = std::numeric_limits<int64_t>::min() / 2;
    SetParserState(CFrameParser::kReset);
    while (!m_stopRequested.load()) {
        const unsigned want = ParseByte(buffer, got);
        if (link->IsOpen() && want != 0) {
            ReadFromPort(*link, buffer, got);
        }
        const uint16_t state = GetParserState();
        if (got != 0 && state != CFrameParser::kReset && state != CFrameParser::kComplete) {
            continue;
        }
        if (link->TransmitEvent().Wait(kIdleWaitMs)) {
            WriteTransmission(*link);
            keepAliveMark = ClockTicks();
        } else {
            const int64_t now = ClockTicks();
            if (now > keepAliveMark + kKeepAliveSeconds) {
                keepAliveMark = now;
                SendKeepAlive();
            }
        }
    }
    return 0;
}

bool CReceiver::StartIoThread(CBoardLink& link) {
    if (m_ioThread.joinable()) {
        return false;
    }
    m_link.store(&link);
    m_stopRequested.store(false);
    m_ioRunning.store(true);
    m_ioThread = std::thread([this] { ReceiverThreadProc(); });
    return true;
}

void CReceiver::StopIoThread() {
    if (!m_ioThread.joinable()) {
        return;
    }
    m_stopRequested.store(true);
    m_ioThread.join();
    m_ioRunning.store(false);
}
