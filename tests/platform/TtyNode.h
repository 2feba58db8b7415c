// A device node of a serial terminal that a test can remove while the terminal lives on, as udev
// removes /dev/ttyUSB0 when an adapter is pulled. Made with mknod beside the system's own node, so
// it needs root and a serial port that opens; tests skip without one.
#pragma once

#include <string>

class CTtyNode {
public:
    // Tries the system's serial ports in turn; Path() is empty when none could be copied.
    explicit CTtyNode(const std::string& path);
    ~CTtyNode();
    CTtyNode(const CTtyNode&) = delete;
    CTtyNode& operator=(const CTtyNode&) = delete;

    const std::string& Path() const { return m_path; }
    // Unlinks the node; the terminal behind it is untouched.
    bool Remove();

private:
    std::string m_path;
};
