// CBoardLink: port set-up, the transmit slot, the link's state and closing.
#include "receiver/BoardLink.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/Prompts.h"
#include "platform/SerialDrivers.h"
#include "platform/SerialPermission.h"

namespace {
constexpr const char* kOpenFailedText = "Cannot Open Connection To Board.";
constexpr const char* kConfigFailedText = "Could not SetCommState";

// A port the user may not open is named with what to do about it.
void tellOpenFailed(const std::string& name, int error) {
    const std::string denied = serialPermissionText(name, error);
    ThePrompts().MessageBox(denied.empty() ? kOpenFailedText : denied, "", kMbOk);
}
} // namespace

CBoardLink::CBoardLink() = default;

CBoardLink::CBoardLink(unsigned baud) : CBoardLink() {
    Setup(baud);
}

CBoardLink::~CBoardLink() {
    ClosePort();
}

bool CBoardLink::Setup(unsigned baud, const std::string& portName) {
    m_wanted = true;
    m_portName = portName;
    m_baud = baud;
    const bool ok = OpenAndConfigure(portName.empty() ? FindBoardPort() : portName, baud, false);
    std::lock_guard<std::mutex> hold(m_slotLock);
    m_state.store(ok ? LinkState::kConnected : LinkState::kNoBoard);
    return ok;
}

bool CBoardLink::Reopen() {
    return m_wanted &&
           OpenAndConfigure(m_portName.empty() ? FindBoardPort() : m_portName, m_baud, true);
}

bool CBoardLink::OpenAndConfigure(const std::string& name, unsigned baud, bool quiet) {
    if (!m_port.Open(name)) {
        if (!quiet) {
            tellOpenFailed(name, errno);
        }
        return false;
    }
    if (!m_port.Configure(baud)) {
        if (!quiet) {
            ThePrompts().MessageBox(kConfigFailedText, "", kMbOk);
        }
        m_port.Close();
        return false;
    }
    // Read timeouts are part of the line settings. Driver queue sizes (4096 in, 1024 out on the
    // handheld) have no POSIX counterpart; the kernel's tty buffers are larger than both.
    m_port.PurgeTransmit();
    m_port.PurgeReceive();
    return true;
}

std::string CBoardLink::FindBoardPort() const {
    return ::FindBoardPort(m_sysfsRoot, m_devRoot);
}

bool CBoardLink::OpenPort(const std::string& name) {
    if (!m_port.Open(name)) {
        tellOpenFailed(name, errno);
        return false;
    }
    return true;
}

bool CBoardLink::ConfigurePort(unsigned baud) {
    if (!m_port.Configure(baud)) {
        ThePrompts().MessageBox(kConfigFailedText, "", kMbOk);
        return false;
    }
    return true;
}

void CBoardLink::FillSlotLocked(const uint8_t* data, size_t length) {
    m_slotLength = std::min(length, kSlotSize);
    std::memcpy(m_slot, data, m_slotLength);
    m_transmitEvent.Set();
    // Without the descriptor the I/O thread polls the event every few milliseconds instead.
    (void)m_transmitWake.Signal();
}

void CBoardLink::ClearSlotLocked() {
    m_slotLength = 0;
    m_transmitEvent.Reset();
    (void)m_transmitWake.Drain();
}

bool CBoardLink::QueueTransmit(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> hold(m_slotLock);
    FillSlotLocked(data, length);
    return true;
}

bool CBoardLink::QueueTransmitIfIdle(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> hold(m_slotLock);
    if (m_slotLength != 0) {
        return false;
    }
    FillSlotLocked(data, length);
    return true;
}

LinkState CBoardLink::QueueCommand(const uint8_t* data, size_t length, uint64_t& generation) {
    std::lock_guard<std::mutex> hold(m_slotLock);
    const LinkState state = m_state.load();
    generation = m_generation.load();
    // Without a port the slot is harmless (a reopened port starts with it empty); while a
    // board is being brought up, a command would land in the middle of that conversation.
    if (state != LinkState::kConnecting) {
        FillSlotLocked(data, length);
    }
    return state;
}

size_t CBoardLink::TakeTransmission(uint8_t* out) {
    std::lock_guard<std::mutex> hold(m_slotLock);
    const size_t n = m_slotLength;
    std::memcpy(out, m_slot, n);
    ClearSlotLocked();
    return n;
}

void CBoardLink::MarkLost() {
    m_port.Close();
    std::lock_guard<std::mutex> hold(m_slotLock);
    ClearSlotLocked();
    m_generation.fetch_add(1);
    m_state.store(LinkState::kNoBoard);
}

void CBoardLink::BeginConnecting() {
    std::lock_guard<std::mutex> hold(m_slotLock);
    ClearSlotLocked();
    m_state.store(LinkState::kConnecting);
}

void CBoardLink::MarkConnected() {
    std::lock_guard<std::mutex> hold(m_slotLock);
    m_state.store(LinkState::kConnected);
}

void CBoardLink::ClosePort(unsigned pauseMs) {
    if (m_port.IsOpen()) {
        m_port.SetRts(false);
        std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        m_port.Close();
    }
    std::lock_guard<std::mutex> hold(m_slotLock);
    m_state.store(LinkState::kNoBoard);
}
