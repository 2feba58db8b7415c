// A descriptor through which one thread wakes another that sleeps in poll(): the transmit and
// stop signals of the receiver's I/O thread and of the simulated board.
#pragma once

class CWakeFd {
public:
    // Without a descriptor (the process ran out of them) a waiter polls this often instead, so
    // nothing is lost, only slower.
    static constexpr int kFallbackPollMs = 10;

    CWakeFd();
    ~CWakeFd();
    CWakeFd(const CWakeFd&) = delete;
    CWakeFd& operator=(const CWakeFd&) = delete;

    bool Valid() const { return m_fd >= 0; }
    // For poll(); -1 (ignored by poll) when there is none.
    int Fd() const { return m_fd; }
    // Makes the descriptor readable; false when there is none or the kernel refused.
    bool Signal();
    // Makes it unreadable again; false when it could not be read.
    bool Drain();
    // The longest a poll that relies on this descriptor may sleep.
    int CapWait(int ms) const;

private:
    int m_fd = -1;
};
