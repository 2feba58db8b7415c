// The simulated board: pseudo-terminal, decoder, replies, pacing, faults, unplugging.
#include "BoardSimulator.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "receiver/Receiver.h"

namespace {
constexpr uint8_t kDc1 = 0x11;
constexpr uint8_t kDc2 = 0x12;
constexpr uint8_t kDc3 = 0x13;
constexpr uint8_t kDc4 = 0x14;
constexpr uint8_t kSpoiledEnd = 0x15;
constexpr int kBitsPerByte = 10; // start, 8 data, stop
constexpr int kStrongestDbm = -40;
constexpr int kWeakestDbm = -110;
constexpr int64_t kNsPerMs = 1000000;
// How long Vanish and Reappear wait for the board thread to carry them out.
constexpr int kRequestWaitMs = 5000;

int64_t NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void SleepUntilNs(int64_t deadline) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(deadline / 1000000000);
    ts.tv_nsec = static_cast<long>(deadline % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::vector<uint8_t> Encode(uint8_t type, const std::vector<uint8_t>& payload) {
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

CBoardSimulator::CBoardSimulator() {
    CReceiver::InitBandPlans(m_plans);
}

CBoardSimulator::~CBoardSimulator() {
    Stop();
}

int16_t CBoardSimulator::RssiX16(uint32_t seed, int slot, uint64_t scan) {
    // Each slot has its own level; each scan moves it by up to +-6 dBm.
    const uint64_t base = Mix(static_cast<uint64_t>(seed) << 8 | static_cast<uint64_t>(slot));
    const int level = -48 - static_cast<int>(base % 55);
    const uint64_t wobble = Mix(base ^ (scan * 0x2545F4914F6CDD1Dull));
    int x16 = level * 16 + static_cast<int>(wobble % 193) - 96;
    if (x16 > kStrongestDbm * 16) {
        x16 = kStrongestDbm * 16;
    }
    if (x16 < kWeakestDbm * 16) {
        x16 = kWeakestDbm * 16;
    }
    return static_cast<int16_t>(x16);
}

bool CBoardSimulator::Start(const BoardSimOptions& options) {
    if (m_thread.joinable()) {
        return false;
    }
    m_options = options;
    if (m_options.baud == 0) {
        m_options.baud = 38400;
    }
    // Stop and the plugging requests need the wake-up descriptor.
    if (!m_wake.Valid() || !OpenTerminal()) {
        return false;
    }
    if (!m_options.logPath.empty()) {
        m_log = std::fopen(m_options.logPath.c_str(), "w");
    }
    if ((!m_options.logPath.empty() && m_log == nullptr) || !PointLink()) {
        Stop();
        return false;
    }
    Announce(false);
    m_random = Mix(m_options.seed ^ 0xB0A2Dull);
    // A board started again is a new board: nothing of the last run carries over.
    ForgetTable();
    m_replyFrames = 0;
    m_rx = Rx::kOutside;
    m_zeroRun = 0;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_frames.clear();
        m_keepAlives = m_sent = m_scans = m_reappearances = 0;
    }
    m_commands = 0;
    m_reappearAtNs = 0;
    m_vanishAtNs = m_options.vanishAfterMs > 0 ? NowNs() + m_options.vanishAfterMs * kNsPerMs : 0;
    m_stop.store(false);
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CBoardSimulator::Stop() {
    if (m_thread.joinable()) {
        m_stop.store(true);
        (void)m_wake.Signal();
        m_thread.join();
    }
    CloseTerminal();
    char target[256];
    if (!m_options.linkPath.empty() &&
        readlink(m_options.linkPath.c_str(), target, sizeof target) >= 0) {
        unlink(m_options.linkPath.c_str());
    }
    if (m_log != nullptr) {
        std::fclose(m_log);
        m_log = nullptr;
    }
}

std::string CBoardSimulator::SlavePath() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_slavePath;
}

bool CBoardSimulator::OpenTerminal() {
    termios raw{};
    cfmakeraw(&raw);
    char name[128] = {};
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, name, &raw, nullptr) != 0) {
        return false;
    }
    const int flags = fcntl(master, F_GETFL);
    if (flags < 0 || fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0 ||
        fcntl(master, F_SETFD, FD_CLOEXEC) != 0 || fcntl(slave, F_SETFD, FD_CLOEXEC) != 0) {
        close(master);
        close(slave);
        return false;
    }
    m_master = master;
    // Held open so that the master never reads a hang-up while the program has the line closed.
    m_slave = slave;
    std::lock_guard<std::mutex> hold(m_lock);
    m_slavePath = name;
    return true;
}

void CBoardSimulator::Announce(bool back) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_present = true;
        m_reappearances += back ? 1 : 0;
    }
    m_arrived.notify_all();
}

void CBoardSimulator::CloseTerminal() {
    for (int* fd : {&m_master, &m_slave}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_present = false;
    }
    m_arrived.notify_all();
}

bool CBoardSimulator::PointLink() const {
    const std::string& link = m_options.linkPath;
    if (link.empty()) {
        return true;
    }
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        return false; // somebody's file, not a link of ours
    }
    // Made beside it and renamed over it, so the link never dangles for a reader in between.
    const std::string fresh = link + ".new";
    unlink(fresh.c_str());
    return symlink(SlavePath().c_str(), fresh.c_str()) == 0 &&
           rename(fresh.c_str(), link.c_str()) == 0;
}

bool CBoardSimulator::Vanish() {
    return Ask(Request::kVanish);
}

bool CBoardSimulator::Reappear() {
    return Ask(Request::kReappear);
}

bool CBoardSimulator::Present() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_present;
}

uint64_t CBoardSimulator::Reappearances() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_reappearances;
}

bool CBoardSimulator::WaitPresent(bool present, unsigned ms) const {
    std::unique_lock<std::mutex> hold(m_lock);
    return m_arrived.wait_for(hold, std::chrono::milliseconds(ms),
                              [&] { return m_present == present; });
}

bool CBoardSimulator::Ask(Request request) {
    std::unique_lock<std::mutex> hold(m_lock);
    const bool wantPresent = request == Request::kReappear;
    if (!m_thread.joinable() || m_present == wantPresent) {
        return false;
    }
    m_request = request;
    m_requestDone = false;
    (void)m_wake.Signal();
    m_arrived.wait_for(hold, std::chrono::milliseconds(kRequestWaitMs),
                       [this] { return m_requestDone; });
    return m_requestDone && m_present == wantPresent;
}

void CBoardSimulator::ServeRequest() {
    Request request;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        request = m_request;
        m_request = Request::kNone;
    }
    const int64_t now = NowNs();
    const bool present = m_master >= 0;
    if (present && (request == Request::kVanish || (m_vanishAtNs != 0 && now >= m_vanishAtNs))) {
        m_vanishAtNs = 0;
        DoVanish();
    } else if (!present &&
               (request == Request::kReappear || (m_reappearAtNs != 0 && now >= m_reappearAtNs))) {
        m_reappearAtNs = 0;
        (void)DoReappear();
    }
    if (request != Request::kNone) {
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_requestDone = true;
        }
        m_arrived.notify_all();
    }
}

void CBoardSimulator::DoVanish() {
    CloseTerminal();
    char target[256];
    if (!m_options.linkPath.empty() &&
        readlink(m_options.linkPath.c_str(), target, sizeof target) >= 0) {
        unlink(m_options.linkPath.c_str());
    }
    m_rx = Rx::kOutside;
    m_zeroRun = 0;
    m_cutOff = false;
    if (m_options.reappearAfterMs >= 0) {
        m_reappearAtNs = NowNs() + std::max<int64_t>(1, m_options.reappearAfterMs * kNsPerMs);
    }
}

bool CBoardSimulator::DoReappear() {
    if (m_options.forgetTable) {
        ForgetTable();
    }
    if (!OpenTerminal()) {
        return false;
    }
    // The link first: whoever sees the board back finds it behind its name.
    (void)PointLink();
    Announce(true);
    return true;
}

void CBoardSimulator::AwaitDelivery() {
    // A hang-up discards what the program has not read yet, so wait (a little) until it has. The
    // bytes reach the far end's input queue only after the kernel has passed them on, so give it
    // a moment before asking how much is left there.
    constexpr int kHandOverMs = 20;
    constexpr int kMaxWaitMs = 500;
    pollfd pause = {m_wake.Fd(), POLLIN, 0};
    (void)poll(&pause, 1, kHandOverMs);
    for (int waited = 0; waited < kMaxWaitMs && !m_stop.load(); ++waited) {
        int unread = 0;
        if (ioctl(m_slave, FIONREAD, &unread) != 0 || unread == 0) {
            return;
        }
        pollfd stop = {m_wake.Fd(), POLLIN, 0};
        (void)poll(&stop, 1, 1);
    }
}

void CBoardSimulator::ForgetTable() {
    std::fill(std::begin(m_table), std::end(m_table), Slot{});
    m_channelCount = 0;
    m_optionByte = 0;
    m_optionWord = 0;
}

int CBoardSimulator::MsUntilTimer() const {
    const int64_t due = m_master >= 0 ? m_vanishAtNs : m_reappearAtNs;
    if (due == 0) {
        return -1;
    }
    return static_cast<int>(std::max<int64_t>(0, (due - NowNs() + kNsPerMs - 1) / kNsPerMs));
}

std::vector<std::vector<uint8_t>> CBoardSimulator::ReceivedFrames() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_frames;
}

bool CBoardSimulator::WaitForFrames(size_t count, unsigned ms) const {
    std::unique_lock<std::mutex> hold(m_lock);
    return m_arrived.wait_for(hold, std::chrono::milliseconds(ms),
                              [&] { return m_frames.size() >= count; });
}

uint64_t CBoardSimulator::KeepAlives() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_keepAlives;
}

uint64_t CBoardSimulator::FramesSent() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_sent;
}

uint64_t CBoardSimulator::Scans() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_scans;
}

void CBoardSimulator::Run() {
    uint8_t buf[256];
    while (!m_stop.load()) {
        ServeRequest();
        pollfd fds[2] = {{m_wake.Fd(), POLLIN, 0}, {m_master, POLLIN, 0}};
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
                (void)poll(&stop, 1, 10);
            }
            continue;
        }
        const ssize_t n = read(m_master, buf, sizeof buf);
        for (ssize_t i = 0; i < n && !m_stop.load(); ++i) {
            if (!m_options.instant) {
                // A pseudo-terminal hands over the program's bytes at once; on the real line
                // each takes its 10 bit times to arrive.
                m_lastByteInNs = std::max(NowNs(), m_lastByteInNs) + ByteNs();
            }
            Feed(buf[i]);
            if (m_cutOff) {
                // What the board sent reaches the program; what else was on its way to the
                // board is lost with it.
                AwaitDelivery();
                DoVanish();
                break;
            }
        }
    }
}

void CBoardSimulator::Feed(uint8_t b) {
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
                OnFrame(m_raw, m_decoded);
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

void CBoardSimulator::OnFrame(const std::vector<uint8_t>& raw, const std::vector<uint8_t>& d) {
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
    m_cutOff = m_options.vanishAfterCommands > 0 && ++m_commands == m_options.vanishAfterCommands;
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
    default:
        break;
    }
    if (m_options.silent || (m_cutOff && type != CReceiver::kCmdMeasure)) {
        return;
    }
    if (!m_options.instant) {
        SleepUntilNs(m_lastByteInNs);
    }
    switch (type) {
    case CReceiver::kCmdFirmware:
    case CReceiver::kCmdSerial: {
        const std::string& text =
            type == CReceiver::kCmdFirmware ? m_options.firmware : m_options.serial;
        std::vector<uint8_t> payload(text.begin(), text.end());
        payload.push_back(0);
        Reply(type, payload);
        break;
    }
    case CReceiver::kCmdOptionByte:
        Reply(type, {m_optionByte});
        break;
    case CReceiver::kCmdReadList:
        Reply(type, ListReply());
        break;
    case CReceiver::kCmdMeasure: {
        uint64_t scan;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            scan = ++m_scans;
        }
        Reply(CReceiver::kCmdMeasure, {});
        // A board unplugged mid-scan gets half the readings out.
        const int readings = m_cutOff ? m_channelCount / 2 : m_channelCount;
        for (int k = 0; k < readings && !m_stop.load(); ++k) {
            const auto rssi = static_cast<uint16_t>(RssiX16(m_options.seed, k, scan));
            Reply(CReceiver::kReplyRssi,
                  {static_cast<uint8_t>(k), static_cast<uint8_t>(rssi & 0xFF),
                   static_cast<uint8_t>(rssi >> 8)});
        }
        if (!m_cutOff) {
            Reply(CReceiver::kReplyComplete, {});
        }
        break;
    }
    default:
        Reply(type, {});
        break;
    }
}

uint32_t CBoardSimulator::InferPcsSpacing() const {
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

uint16_t CBoardSimulator::CodeToChannel(const Slot& slot, uint32_t pcsSpacing) const {
    if (IsPcsPlan(slot.plan)) {
        CBandPlan pcs = m_plans[1];
        pcs.SetPcsSpacing(pcsSpacing);
        return static_cast<uint16_t>(pcs.StepIndexToPcsChannel(slot.code));
    }
    const CBandPlan& cellular = m_plans[0];
    return static_cast<uint16_t>(
        cellular.FrequencyToChannel(cellular.StepIndexToFrequency(slot.code)));
}

std::vector<uint8_t> CBoardSimulator::ListReply() {
    std::vector<uint8_t> p(kListReplySize, 0);
    p[0] = m_channelCount;
    const uint32_t spacing = InferPcsSpacing();
    for (int i = 0; i < kListEntries && i < m_channelCount; ++i) {
        if (!m_table[i].loaded) {
            continue;
        }
        const uint16_t ch = CodeToChannel(m_table[i], spacing);
        p[1 + 3 * i] = m_table[i].plan;
        p[2 + 3 * i] = static_cast<uint8_t>(ch & 0xFF);
        p[3 + 3 * i] = static_cast<uint8_t>(ch >> 8);
    }
    return p;
}

int64_t CBoardSimulator::ByteNs() const {
    return static_cast<int64_t>(kBitsPerByte) * 1000000000 / m_options.baud;
}

uint32_t CBoardSimulator::NextRandom() {
    m_random = Mix(m_random);
    return static_cast<uint32_t>(m_random >> 32);
}

void CBoardSimulator::Reply(uint8_t type, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> frame = Encode(type, payload);
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
        Emit(junk);
    }
    if (m_options.dropEvery > 0 && n % static_cast<uint64_t>(m_options.dropEvery) == 0) {
        return;
    }
    if (m_options.corruptEvery > 0 && n % static_cast<uint64_t>(m_options.corruptEvery) == 0) {
        frame.back() = kSpoiledEnd;
    }
    Emit(frame);
    std::lock_guard<std::mutex> hold(m_lock);
    ++m_sent;
}

void CBoardSimulator::Emit(const std::vector<uint8_t>& bytes) {
    if (m_options.instant) {
        WriteAll(bytes.data(), bytes.size());
        return;
    }
    // Each byte is due at an absolute time, so sleeping late never makes the rate drift.
    const int64_t byteNs = ByteNs();
    const int64_t now = NowNs();
    if (m_nextByteNs < now) {
        m_nextByteNs = now;
    }
    for (uint8_t b : bytes) {
        SleepUntilNs(m_nextByteNs);
        if (!WriteAll(&b, 1)) {
            return;
        }
        m_nextByteNs += byteNs;
    }
}

bool CBoardSimulator::WriteAll(const uint8_t* data, size_t length) {
    size_t done = 0;
    while (done < length) {
        if (m_stop.load()) {
            return false;
        }
        const ssize_t w = write(m_master, data + done, length - done);
        if (w > 0) {
            done += static_cast<size_t>(w);
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        // The program is not reading: wait a little for room, then look at the stop flag again.
        pollfd room = {m_master, POLLOUT, 0};
        (void)poll(&room, 1, 10);
    }
    return true;
}
