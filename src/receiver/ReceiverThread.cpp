// The receiver I/O thread: the only code that reads or writes the board's port. It sleeps in one
// poll until a transmission is queued, the board sends something, the port hangs up or its node
// goes, or one of its own deadlines comes (keep-alive, reconnection, a reply to wait for). So it
// reads replies as they arrive, sees a lost board at once, and costs nothing on an idle line
// beyond the keep-alive.
#include "receiver/Receiver.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <poll.h>
#include <thread>

#include "receiver/BoardLink.h"
#include "receiver/FrameCodec.h"

namespace {
// The longest single sleep; the keep-alive clock is checked at least this often.
constexpr int64_t kMaxIdleWaitMs = 60000;
// A poll that fails outright (out of memory) is tried again after this pause, not at once.
constexpr int kPollFailurePauseMs = 10;

// The receiver whose I/O thread is running on this thread, if any.
thread_local const CReceiver* t_ioReceiver = nullptr;

int Earliest(int a, int b) {
    if (a < 0) {
        return b;
    }
    return b < 0 ? a : std::min(a, b);
}
} // namespace

int64_t CReceiver::NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool CReceiver::OnIoThread() const {
    return t_ioReceiver == this;
}

int64_t CReceiver::ClockTicks() const {
    // A monotonic clock: setting the wall clock back must not hold the keep-alive off.
    return NowMs() / m_timings.clockTick.count();
}

int CReceiver::MsUntilKeepAlive(int64_t mark) const {
    const int64_t tick = m_timings.clockTick.count();
    // Due on the first tick later than mark + kKeepAliveSeconds.
    if (mark < std::numeric_limits<int64_t>::min() / 4) {
        return 0;
    }
    const int64_t dueMs = (mark + kKeepAliveSeconds + 1) * tick;
    return static_cast<int>(std::clamp<int64_t>(dueMs - NowMs(), 0, kMaxIdleWaitMs));
}

int CReceiver::MsUntilLinkDeadline(const CBoardLink& link) const {
    int64_t due = -1;
    switch (link.State()) {
    case LinkState::kNoBoard:
        due = m_nextReopenMs;
        break;
    case LinkState::kConnecting:
        due = m_bringUp.DeadlineMs();
        break;
    case LinkState::kConnected:
        break;
    }
    if (due < 0) {
        return -1;
    }
    return static_cast<int>(std::clamp<int64_t>(due - NowMs(), 0, kMaxIdleWaitMs));
}

bool CReceiver::WriteFrame(CBoardLink& link, const uint8_t* frame, size_t length) {
    const bool whole =
        link.IsOpen() && link.Stream().Write(frame, length, kWriteTimeoutMs) == length;
    if (whole) {
        m_transmissions.fetch_add(1);
    }
    return whole;
}

void CReceiver::WriteTransmission(CBoardLink& link) {
    uint8_t bytes[CBoardLink::kSlotSize];
    const size_t n = link.TakeTransmission(bytes);
    // A write that fails because the device went marks the port lost; the loop sees to it.
    (void)WriteFrame(link, bytes, n);
}

unsigned CReceiver::NextByte(CBoardLink& link, uint8_t* buffer) {
    if (m_readAheadPos == m_readAheadLength) {
        m_readAheadLength = link.Stream().Read(m_readAhead, sizeof m_readAhead);
        m_readAheadPos = 0;
        if (m_readAheadLength == 0) {
            return 0;
        }
    }
    buffer[0] = m_readAhead[m_readAheadPos++];
    return 1;
}

void CReceiver::ReadFromPort(CBoardLink& link, uint8_t* buffer, unsigned& got) {
    got = NextByte(link, buffer);
    // A byte takes about 260 us on the line, so an empty read inside a frame usually means the
    // next byte is on its way: wait for it rather than give the frame up at once.
    if (got == 0 && m_parser.InFrame() &&
        link.Stream().Wait(IByteStream::kReadable, m_timings.interByteMs) != 0) {
        got = NextByte(link, buffer);
    }
}

void CReceiver::WaitIdle(CBoardLink& link, int timeoutMs) {
    if (m_readAheadPos < m_readAheadLength) {
        return;
    }
    timeoutMs = Earliest(timeoutMs, MsUntilLinkDeadline(link));
    // Without their descriptors, the transmit and stop signals are looked at every few ms.
    timeoutMs = link.TransmitWake().CapWait(m_wake.CapWait(timeoutMs));
    const int wakeFds[2] = {link.TransmitWake().Fd(), m_wake.Fd()};
    if (link.IsOpen()) {
        (void)link.Stream().Wait(IByteStream::kReadable, timeoutMs, wakeFds, 2);
    } else {
        pollfd fds[2] = {{wakeFds[0], POLLIN, 0}, {wakeFds[1], POLLIN, 0}};
        if (poll(fds, 2, timeoutMs) < 0 && errno != EINTR) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kPollFailurePauseMs));
        }
    }
    (void)m_wake.Drain();
}

void CReceiver::OnLinkLost(CBoardLink& link) {
    link.MarkLost();
    EndInterruptedScan();
    m_readAheadLength = m_readAheadPos = 0;
    SetParserState(CFrameParser::kReset);
    m_bringUp = CBoardSequence();
    // Whoever waits for a reply waits for a board that is not there.
    for (CEvent& event : m_replyEvents) {
        event.Pulse();
    }
    m_nextReopenMs = NowMs() + m_timings.reconnectMs;
    PostDraw();
}

void CReceiver::BeginBringUp(CBoardLink& link, bool identify) {
    TableProgram program;
    if (TableWanted()) {
        program = GetTableProgram();
    }
    m_bringUpTable = program.generation;
    m_bringUp.Begin(identify, program.commands, NowMs(), static_cast<int>(m_timings.replyWaitMs));
    PumpBringUp(link);
}

void CReceiver::PumpBringUp(CBoardLink& link) {
    BoardCommand command;
    if (m_bringUp.TakeCommand(command)) {
        uint8_t frame[kMaxFrameSize];
        const size_t n =
            EncodeFrame(command.type, command.data, command.length, frame, sizeof frame);
        (void)WriteFrame(link, frame, n);
    }
    switch (m_bringUp.State()) {
    case CBoardSequence::kDone: {
        // Decided under the table's lock, so that a table loaded meanwhile is either seen here
        // (and programmed) or loaded after the link is up (and programmed by its loader).
        std::unique_lock<std::mutex> hold(m_tableLock);
        const bool stale =
            m_tableWanted.load() && (!m_bringUp.Programs() || m_bringUpTable != m_tableGeneration);
        if (stale) {
            hold.unlock();
            BeginBringUp(link, false);
            return;
        }
        if (m_bringUp.Programs()) {
            m_tableLoaded.store(true);
        }
        link.MarkConnected();
        hold.unlock();
        m_bringUp = CBoardSequence();
        PostDraw();
        break;
    }
    case CBoardSequence::kFailed:
        // Something answers on the port, but not a board that identifies itself.
        OnLinkLost(link);
        break;
    default:
        break;
    }
}

void CReceiver::TendLink(CBoardLink& link) {
    const int64_t now = NowMs();
    switch (link.State()) {
    case LinkState::kNoBoard:
        if (now < m_nextReopenMs) {
            return;
        }
        m_nextReopenMs = now + m_timings.reconnectMs;
        if (link.Reopen()) {
            link.BeginConnecting();
            m_readAheadLength = m_readAheadPos = 0;
            SetParserState(CFrameParser::kReset);
            PostDraw();
            BeginBringUp(link, true);
        }
        break;
    case LinkState::kConnecting:
        m_bringUp.OnClock(now);
        PumpBringUp(link);
        break;
    case LinkState::kConnected:
        break;
    }
}

int CReceiver::ReceiverThreadProc() {
    CBoardLink* link = m_link.load();
    if (link == nullptr) {
        return 0;
    }
    t_ioReceiver = this;
    uint8_t buffer[1] = {};
    unsigned got = 0;
    // The first idle pass sends a keep-alive.
    int64_t keepAliveMark = std::numeric_limits<int64_t>::min() / 2;
    m_readAheadLength = m_readAheadPos = 0;
    m_bringUp = CBoardSequence();
    m_nextReopenMs = NowMs() + m_timings.reconnectMs;
    SetParserState(CFrameParser::kReset);
    while (!m_stopRequested.load()) {
        const bool silent = m_silentGeneration.load() == link->Generation() + 1 &&
                            link->State() == LinkState::kConnected;
        if ((link->IsOpen() && link->Stream().Gone()) || silent) {
            m_silentGeneration.store(0);
            OnLinkLost(*link);
            got = 0;
        }
        const unsigned want = ParseByte(buffer, got);
        if (link->IsOpen() && want != 0) {
            ReadFromPort(*link, buffer, got);
        } else if (!link->IsOpen()) {
            got = 0; // nothing can have been read from a port that is not there
        }
        const uint16_t state = GetParserState();
        if (got != 0 && state != CFrameParser::kReset && state != CFrameParser::kComplete) {
            continue;
        }
        // Between frames: look after the link, send what is queued, or sleep until something
        // happens. The wait returns at once while the board's bytes are waiting, so back-to-back
        // replies are read without a pause.
        TendLink(*link);
        if (!link->TransmitEvent().IsSet()) {
            const int64_t now = ClockTicks();
            if (link->IsOpen() && now > keepAliveMark + kKeepAliveSeconds) {
                keepAliveMark = now;
                SendKeepAlive();
            } else {
                WaitIdle(*link, link->IsOpen() ? MsUntilKeepAlive(keepAliveMark) : -1);
            }
        }
        if (link->TransmitEvent().IsSet()) {
            WriteTransmission(*link);
            keepAliveMark = ClockTicks();
        }
    }
    t_ioReceiver = nullptr;
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
    // Without the descriptor the thread looks at the stop flag every few milliseconds.
    (void)m_wake.Signal();
    m_ioThread.join();
    m_ioRunning.store(false);
}
