// CBoardLink: port set-up, the transmit slot and closing.
#include "receiver/BoardLink.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

#include "platform/Prompts.h"
#include "platform/SerialDrivers.h"

namespace {
constexpr const char* kOpenFailedText = "Cannot Open Connection To Board.";
constexpr const char* kConfigFailedText = "Could not SetCommState";
} // namespace

CBoardLink::CBoardLink() : m_transmitFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

CBoardLink::CBoardLink(unsigned baud) : CBoardLink() {
    Setup(baud);
}

CBoardLink::~CBoardLink() {
    ClosePort();
    if (m_transmitFd >= 0) {
        close(m_transmitFd);
    }
}

bool CBoardLink::Setup(unsigned baud, const std::string& portName) {
    const std::string name = portName.empty() ? FindBoardPort() : portName;
    if (!OpenPort(name)) {
        return false;
    }
    if (!ConfigurePort(baud)) {
        m_port.Close();
        return false;
    }
    SetReadTimeouts();
    // Driver queue sizes (4096 in, 1024 out on the handheld) have no POSIX counterpart; the
    // kernel's tty buffers are larger than both.
    m_port.PurgeTransmit();
    m_port.PurgeReceive();
    return true;
}

std::string CBoardLink::FindBoardPort() const {
    return ::FindBoardPort(m_sysfsRoot);
}

bool CBoardLink::OpenPort(const std::string& name) {
    if (!m_port.Open(name)) {
        ThePrompts().MessageBox(kOpenFailedText, "", kMbOk);
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

void CBoardLink::SetReadTimeouts() {
    (void)m_port.SetReadTimeouts();
}

void CBoardLink::FillSlotLocked(const uint8_t* data, size_t length) {
    m_slotLength = std::min(length, kSlotSize);
    std::memcpy(m_slot, data, m_slotLength);
    m_transmitEvent.Set();
    const uint64_t one = 1;
    (void)!write(m_transmitFd, &one, sizeof one);
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

size_t CBoardLink::TakeTransmission(uint8_t* out) {
    std::lock_guard<std::mutex> hold(m_slotLock);
    const size_t n = m_slotLength;
    std::memcpy(out, m_slot, n);
    m_slotLength = 0;
    m_transmitEvent.Reset();
    uint64_t count;
    (void)!read(m_transmitFd, &count, sizeof count);
    return n;
}

void CBoardLink::ClosePort(unsigned pauseMs) {
    if (!m_port.IsOpen()) {
        return;
    }
    m_port.SetRts(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
    m_port.Close();
}
