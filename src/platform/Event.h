// A manual-reset event shared by the user-interface thread and the receiver I/O thread: the
// transmit event and the reply events are built on it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

class CEvent {
public:
    CEvent() = default;
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    // Signals the event and releases every waiter; it stays signalled until Reset.
    void Set();
    void Reset();
    // Releases the threads waiting at this moment and leaves the event clear; a pulse with
    // nobody waiting is lost.
    void Pulse();
    // True when the event was signalled or pulsed within ms milliseconds.
    bool Wait(unsigned ms);

    // A ticket taken before starting something whose completion pulses the event: a WaitFrom
    // with that ticket also sees a pulse that came before the wait began.
    uint64_t Arm();
    bool WaitFrom(uint64_t ticket, unsigned ms);

    bool IsSet();

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_signalled = false;
    uint64_t m_pulses = 0;
};
