// A byte stream over a non-blocking descriptor (a terminal, a socket, a pipe): reads that return
// at once, writes that wait a bounded time for room, and a hang-up or an I/O error read as the
// device having gone.
#pragma once

#include "platform/ByteStream.h"

class CFdStream : public IByteStream {
public:
    CFdStream() = default;
    // Takes over fd, which must already be non-blocking.
    explicit CFdStream(int fd) { Adopt(fd); }
    ~CFdStream() override;
    CFdStream(const CFdStream&) = delete;
    CFdStream& operator=(const CFdStream&) = delete;

    // The errors with which the kernel says the device behind a descriptor has gone.
    static bool IsLossError(int error);

    bool IsOpen() const override { return m_fd >= 0; }
    size_t Read(uint8_t* buffer, size_t size) override;
    size_t Write(const uint8_t* data, size_t length, int timeoutMs) override;
    unsigned Wait(unsigned events, int ms, const int* wakeFds = nullptr,
                  size_t wakeCount = 0) override;
    bool Gone() override { return m_lost; }
    void Close(unsigned lingerMs = 0) override;

    // Takes poll() results for Fd(): a hang-up or an error means the device has gone.
    void NoteEvents(short revents);
    int Fd() const { return m_fd; }

protected:
    void Adopt(int fd);
    void NoteError(int error);
    void MarkLost() { m_lost = true; }
    // A descriptor Wait also sleeps on, readable when something about the device changed (-1:
    // none), and how often Wait must come back to ask without one (-1: never).
    virtual int ExtraWatchFd() const { return -1; }
    virtual int ExtraCheckMs() const { return -1; }
    // Called when the extra descriptor was readable or its check is due.
    virtual void CheckDevice() {}

private:
    int m_fd = -1;
    bool m_socket = false;
    bool m_lost = false;
};
