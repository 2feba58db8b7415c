// Manual-reset event on a mutex, a condition variable and a pulse counter.
#include "platform/Event.h"

#include <chrono>

void CEvent::Set() {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_signalled = true;
    }
    m_changed.notify_all();
}

void CEvent::Reset() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_signalled = false;
}

void CEvent::Pulse() {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        ++m_pulses;
        m_signalled = false;
    }
    m_changed.notify_all();
}

bool CEvent::Wait(unsigned ms) {
    return WaitFrom(Arm(), ms);
}

uint64_t CEvent::Arm() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_pulses;
}

bool CEvent::WaitFrom(uint64_t ticket, unsigned ms) {
    std::unique_lock<std::mutex> hold(m_lock);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    return m_changed.wait_until(hold, deadline, [&] { return m_signalled || m_pulses != ticket; });
}

bool CEvent::IsSet() {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_signalled;
}
