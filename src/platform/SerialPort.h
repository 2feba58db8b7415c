// A serial device opened the way the board needs it: raw 8N1 bytes at a fixed rate, no flow
// control, never blocking, and able to tell when the device has gone (an adapter unplugged, a
// board that lost power).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CSerialPort {
public:
    // How long a write waits for room in the driver's buffer before it gives up.
    static constexpr int kWriteTimeoutMs = 500;

    CSerialPort() = default;
    ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // "COMn:" (any case, colon optional) names /dev/ttyS<n-1>; anything else is a path.
    static std::string DevicePath(const std::string& name);
    // The errors with which the kernel says the device behind a descriptor has gone.
    static bool IsLossError(int error);

    // Opens an existing device for reading and writing, for this process alone. The descriptor
    // stays non-blocking, so no read or write can hang the thread that owns the port.
    bool Open(const std::string& name);
    // Baud rate, 8 data bits, no parity, 1 stop bit, no hardware or XON/XOFF flow control, raw
    // bytes (0x11 and 0x13 are frame markers here, never flow control), reads that return at
    // once (VMIN 0, VTIME 0), all in one change that is read back to check it took; then DTR
    // low and RTS raised. False when the settings are refused or the rate is not one the line
    // offers.
    bool Configure(unsigned baud);
    void PurgeTransmit();
    void PurgeReceive();
    void SetRts(bool raised);
    // Bytes read: 0 when none are waiting, on error, or once the device has gone (see Lost).
    size_t Read(uint8_t* buffer, size_t size);
    // Writes all bytes, waiting for room up to timeoutMs; returns the number written.
    size_t Write(const uint8_t* data, size_t length, int timeoutMs = kWriteTimeoutMs);
    // True when bytes are waiting, false after ms milliseconds without any (or on a loss).
    bool WaitReadable(int ms);
    // Takes poll() results for Fd(): a hang-up or an error means the device has gone.
    void NoteEvents(short revents);
    // Readable when the device node's links change (it may have been removed); -1 when the
    // node cannot be watched, and then NodeGone should be asked now and then instead.
    int NodeWatchFd() const { return m_watchFd; }
    // Empties the watch and says whether the device has gone: its node removed, or lost before.
    bool NodeGone();
    // A read, write, poll or the node watch has shown that the device has gone; only Close
    // (and a new Open) clears it.
    bool Lost() const { return m_lost; }
    void Close();

    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }

private:
    void NoteError(int error);

    int m_fd = -1;
    int m_watchFd = -1;
    bool m_lost = false;
};
