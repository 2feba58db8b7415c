// A serial device opened the way the board needs it: raw 8N1 bytes at a fixed rate, no flow
// control, reads that return at once with whatever has arrived.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CSerialPort {
public:
    CSerialPort() = default;
    ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // "COMn:" (any case, colon optional) names /dev/ttyS<n-1>; anything else is a path.
    static std::string DevicePath(const std::string& name);

    // Opens an existing device for reading and writing, for this process alone.
    bool Open(const std::string& name);
    // Baud rate, 8 data bits, no parity, 1 stop bit, no hardware or XON/XOFF flow control, raw
    // bytes (0x11 and 0x13 are frame markers here, never flow control), DTR low and RTS raised.
    // False when the line settings are refused or the rate is not one the line offers.
    bool Configure(unsigned baud);
    // Reads return at once with the bytes already buffered, possibly none.
    bool SetReadTimeouts();
    void PurgeTransmit();
    void PurgeReceive();
    void SetRts(bool raised);
    // Bytes read (0 when none are waiting or on error).
    size_t Read(uint8_t* buffer, size_t size);
    // Writes all bytes unless the line fails; returns the number written.
    size_t Write(const uint8_t* data, size_t length);
    // True when bytes are waiting, false after ms milliseconds without any.
    bool WaitReadable(int ms);
    void Close();

    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }

private:
    int m_fd = -1;
};
