// A serial device opened the way the board needs it: raw 8N1 bytes at a fixed rate, no flow
// control, never blocking, and able to tell when the device has gone (an adapter unplugged, a
// board that lost power): besides hang-ups and I/O errors, a device node that disappears.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/FdStream.h"

class CSerialPort : public CFdStream {
public:
    // Where the device node cannot be watched, Wait looks at it this often.
    static constexpr int kNodeCheckMs = 150;

    CSerialPort() = default;
    ~CSerialPort() override;

    // "COMn:" (any case, colon optional) names /dev/ttyS<n-1>; anything else is a path.
    static std::string DevicePath(const std::string& name);

    // Opens an existing device for reading and writing, for this process alone. The descriptor
    // stays non-blocking, so no read or write can hang the thread that owns the port. On
    // failure errno says why.
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
    // Readable when the device node's links change (it may have been removed); -1 when the
    // node cannot be watched, and then NodeGone should be asked now and then instead.
    int NodeWatchFd() const { return m_watchFd; }
    // Empties the watch and says whether the device has gone: its node removed, or lost before.
    bool NodeGone();
    // Drops RTS and, when lingerMs is not 0, lets the board see it for that long before the
    // descriptor closes.
    void Close(unsigned lingerMs = 0) override;

protected:
    int ExtraWatchFd() const override { return m_watchFd; }
    int ExtraCheckMs() const override { return IsOpen() ? kNodeCheckMs : -1; }
    void CheckDevice() override { (void)NodeGone(); }

private:
    int m_watchFd = -1;
};
