// The simulated board's thread: the line, the pace, and the plugging.
#include "BoardHost.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int64_t kNsPerMs = 1000000;
// How long Vanish and Reappear wait for the board thread to carry them out.
constexpr int kRequestWaitMs = 5000;
// While nobody has the line open, the board looks again this often.
constexpr int kIdleLineMs = 10;
} // namespace

bool CBoardHost::Start(const BoardSimOptions& options, ISignalSource* source) {
    if (m_thread.joinable()) {
        return false;
    }
    m_options = options;
    m_source = source;
    if (m_options.baud == 0) {
        m_options.baud = 38400;
    }
    m_pacer = CLinePacer(m_options.instant ? 0 : m_options.baud);
    // Stop and the plugging requests need the wake-up descriptor.
    if (!m_wake.Valid()) {
        return false;
    }
    if (!m_options.logPath.empty()) {
        m_log = std::fopen(m_options.logPath.c_str(), "w");
        if (m_log == nullptr) {
            return false;
        }
    }
    // A board started again is a new board: nothing of the last run carries over.
    m_model.Reset(m_options, source, m_log);
    if (!PlugIn()) {
        Stop();
        return false;
    }
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_reappearances = 0;
    }
    Announce(true, false);
    m_reappearAtNs = 0;
    m_vanishAtNs =
        m_options.vanishAfterMs > 0 ? CLinePacer::NowNs() + m_options.vanishAfterMs * kNsPerMs : 0;
    m_stop.store(false);
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CBoardHost::Stop() {
    if (m_thread.joinable()) {
        m_stop.store(true);
        (void)m_wake.Signal();
        m_thread.join();
    }
    Unplug();
    m_line = -1;
    Announce(false, false);
    if (m_log != nullptr) {
        std::fclose(m_log);
        m_log = nullptr;
    }
}

bool CBoardHost::Vanish() {
    return Ask(Request::kVanish);
}

bool CBoardHost::Reappear() {
    return Ask(Request::kReappear);
}

bool CBoardHost::Present() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_present;
}

uint64_t CBoardHost::Reappearances() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_reappearances;
}

bool CBoardHost::WaitPresent(bool present, unsigned ms) const {
    std::unique_lock<std::mutex> hold(m_lock);
    return m_changed.wait_for(hold, std::chrono::milliseconds(ms),
                              [&] { return m_present == present; });
}

void CBoardHost::Announce(bool present, bool back) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_present = present;
        m_reappearances += back ? 1 : 0;
    }
    m_changed.notify_all();
}

bool CBoardHost::Ask(Request request) {
    std::unique_lock<std::mutex> hold(m_lock);
    if (!m_thread.joinable() || (request == Request::kVanish && !m_present) ||
        (request == Request::kReappear && m_present)) {
        return false;
    }
    m_request = request;
    m_requestDone = false;
    m_requestFailed = false;
    (void)m_wake.Signal();
    m_changed.wait_for(hold, std::chrono::milliseconds(kRequestWaitMs),
                       [this] { return m_requestDone; });
    return m_requestDone && !m_requestFailed;
}

void CBoardHost::ServeRequest() {
    Request request;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        request = m_request;
        m_request = Request::kNone;
    }
    const int64_t now = CLinePacer::NowNs();
    const bool present = m_line >= 0;
    bool failed = false;
    if (request == Request::kReconnect) {
        Serve(request);
    } else if (present &&
               (request == Request::kVanish || (m_vanishAtNs != 0 && now >= m_vanishAtNs))) {
        m_vanishAtNs = 0;
        DoVanish();
    } else if (!present &&
               (request == Request::kReappear || (m_reappearAtNs != 0 && now >= m_reappearAtNs))) {
        m_reappearAtNs = 0;
        failed = !DoReappear();
    }
    if (request != Request::kNone) {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_requestDone = true;
            m_requestFailed = m_requestFailed || failed;
        }
        m_changed.notify_all();
    }
}

void CBoardHost::DoVanish() {
    // Away before the line closes: whoever sees the hang-up finds the board gone.
    Announce(false, false);
    Unplug();
    m_line = -1;
    if (m_options.reappearAfterMs >= 0) {
        m_reappearAtNs =
            CLinePacer::NowNs() + std::max<int64_t>(1, m_options.reappearAfterMs * kNsPerMs);
    }
}

bool CBoardHost::DoReappear() {
    m_model.PowerUp(!m_options.forgetTable);
    if (!PlugIn()) {
        return false;
    }
    Announce(true, true);
    return true;
}

void CBoardHost::AwaitDelivery() {
    // A hang-up discards what the program has not read yet, so wait (a little) until it has. The
    // bytes reach the far end's input queue only after the kernel has passed them on, so give it
    // a moment before asking how much is left there.
    constexpr int kHandOverMs = 20;
    constexpr int kMaxWaitMs = 500;
    pollfd pause = {m_wake.Fd(), POLLIN, 0};
    (void)poll(&pause, 1, kHandOverMs);
    for (int waited = 0; waited < kMaxWaitMs && !m_stop.load() && Undelivered() > 0; ++waited) {
        pollfd stop = {m_wake.Fd(), POLLIN, 0};
        (void)poll(&stop, 1, 1);
    }
}

int CBoardHost::MsUntilTimer() const {
    const int64_t due = m_line >= 0 ? m_vanishAtNs : m_reappearAtNs;
    if (due == 0) {
        return -1;
    }
    return static_cast<int>(
        std::max<int64_t>(0, (due - CLinePacer::NowNs() + kNsPerMs - 1) / kNsPerMs));
}

void CBoardHost::Run() {
    uint8_t buf[256];
    while (!m_stop.load()) {
        ServeRequest();
        pollfd fds[2] = {{m_wake.Fd(), POLLIN, 0}, {m_line, POLLIN, 0}};
        // While the board is away only the wake-up and its timers matter (poll skips fd -1).
        if (poll(fds, 2, MsUntilTimer()) < 0 && errno != EINTR) {
            return;
        }
        if (fds[0].revents != 0) {
            (void)m_wake.Drain();
            continue; // Stop or a request: seen at the top
        }
        if ((fds[1].revents & POLLIN) == 0) {
            if ((fds[1].revents & (POLLHUP | POLLERR)) != 0) {
                // Nobody has the line open; look again shortly.
                pollfd stop = {m_wake.Fd(), POLLIN, 0};
                (void)poll(&stop, 1, kIdleLineMs);
            }
            continue;
        }
        const ssize_t n = read(m_line, buf, sizeof buf);
        for (ssize_t i = 0; i < n && !m_stop.load(); ++i) {
            // The program's bytes are handed over at once; on the real line each takes its ten
            // bit times to arrive.
            m_pacer.NoteByteIn();
            m_model.Feed(buf[i], *this);
            if (m_model.CutOff()) {
                // What the board sent reaches the program; what else was on its way to the
                // board is lost with it.
                AwaitDelivery();
                DoVanish();
                break;
            }
        }
    }
}

void CBoardHost::Send(const std::vector<uint8_t>& bytes) {
    m_pacer.AwaitInput();
    (void)m_pacer.Emit(bytes.data(), bytes.size(), [this](const uint8_t* data, size_t length) {
        return WriteAll(data, length);
    });
}

bool CBoardHost::WriteAll(const uint8_t* data, size_t length) {
    size_t done = 0;
    while (done < length) {
        if (m_stop.load() || m_line < 0) {
            return false;
        }
        // A socket's reader may be gone: that must end the write, not the process.
        ssize_t w = send(m_line, data + done, length - done, MSG_NOSIGNAL);
        if (w < 0 && errno == ENOTSOCK) {
            w = write(m_line, data + done, length - done);
        }
        if (w > 0) {
            done += static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        // The program is not reading: wait a little for room, then look at the stop flag again.
        pollfd room = {m_line, POLLOUT, 0};
        (void)poll(&room, 1, 10);
    }
    return true;
}
