// The serial link to the receiver board: finds and opens its port, sets the line up, and owns
// the one-slot transmit buffer through which every byte to the board passes. Only the receiver
// I/O thread reads or writes the port itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/Event.h"
#include "platform/SerialPort.h"

class CBoardLink {
public:
    static constexpr unsigned kDefaultBaud = 38400;
    static constexpr size_t kSlotSize = 128;
    static constexpr unsigned kClosePauseMs = 1000;

    // A link with no port yet; its transmit slot works all the same.
    CBoardLink();
    // Searches the serial drivers for the board's port and sets it up (see Setup).
    explicit CBoardLink(unsigned baud);
    virtual ~CBoardLink();
    CBoardLink(const CBoardLink&) = delete;
    CBoardLink& operator=(const CBoardLink&) = delete;

    // Opens portName (empty: the result of FindBoardPort), configures the line, sets the read
    // timeouts and purges both directions. On failure the user has been told once, the port
    // stays closed and false is returned; the link is still usable, its writes go nowhere.
    bool Setup(unsigned baud, const std::string& portName = std::string());

    // The board's port among the system's serial drivers, or "COM1:".
    std::string FindBoardPort() const;
    bool OpenPort(const std::string& name);
    bool ConfigurePort(unsigned baud);
    void SetReadTimeouts();

    // Replaces the slot's contents with up to 128 bytes and sets the transmit event. A second
    // call before the I/O thread has written the first replaces it. Always true.
    bool QueueTransmit(const uint8_t* data, size_t length);
    // Queues data only while the slot is empty; false when a transmission is already waiting
    // (which keeps the line busy by itself).
    bool QueueTransmitIfIdle(const uint8_t* data, size_t length);
    // For the I/O thread: moves the slot's bytes to out (kSlotSize bytes) and clears the
    // transmit event; returns the number of bytes.
    size_t TakeTransmission(uint8_t* out);

    // Drops RTS, lets the board see it for pauseMs, closes the port.
    void ClosePort(unsigned pauseMs = kClosePauseMs);

    CSerialPort& Port() { return m_port; }
    CEvent& TransmitEvent() { return m_transmitEvent; }
    // Readable while the transmit event is set, so the I/O thread can wait for a transmission
    // and for the board's bytes in one poll.
    int TransmitFd() const { return m_transmitFd; }
    bool IsOpen() const { return m_port.IsOpen(); }
    // Where FindBoardPort looks; tests point it at a fake tree.
    void SetSysfsRoot(const std::string& root) { m_sysfsRoot = root; }

private:
    // Puts a transmission in the slot and wakes the I/O thread; the caller holds m_slotLock.
    void FillSlotLocked(const uint8_t* data, size_t length);

    CSerialPort m_port;
    CEvent m_transmitEvent;
    std::mutex m_slotLock;
    uint8_t m_slot[kSlotSize] = {};
    size_t m_slotLength = 0;
    std::string m_sysfsRoot = "/sys";
    int m_transmitFd = -1;
};
