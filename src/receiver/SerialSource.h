// The board's serial port: the device named on the command line, or the one the serial drivers
// list for the board's card, opened and set up at the board's rate. Only the first search falls
// back to "COM1:"; once the board has gone, the search reopens only a device the drivers list
// as the board's card or one that answered as the board, and writes to no other.
#pragma once

#include <string>

#include "receiver/StreamSource.h"

class CSerialSource : public IStreamSource {
public:
    CSerialSource(unsigned baud, const std::string& portName)
        : m_baud(baud), m_portName(portName) {}

    std::unique_ptr<IByteStream> Open(bool retry, std::string& why) override;
    void Identified() override { m_identified = m_opened; }

    // The board's port among the system's serial drivers, or "COM1:".
    std::string FindBoardPort() const;
    // Where FindBoardPort looks; tests point them at fake trees.
    void SetSysfsRoot(const std::string& root) { m_sysfsRoot = root; }
    void SetDevRoot(const std::string& root) { m_devRoot = root; }

private:
    unsigned m_baud;
    std::string m_portName;
    std::string m_opened;     // the device opened last
    std::string m_identified; // the device that last answered as the board
    std::string m_sysfsRoot = "/sys";
    std::string m_devRoot = "/dev";
};
