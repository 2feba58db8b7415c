// CSerialSource: finding, opening and setting up the board's serial port.
#include "receiver/SerialSource.h"

#include <cerrno>

#include "platform/SerialDrivers.h"
#include "platform/SerialPermission.h"
#include "platform/SerialPort.h"

IStreamSource::~IStreamSource() = default;

namespace {
constexpr const char* kConfigFailedText = "Could not SetCommState";
// What the search gives when no driver is the board's.
constexpr const char* kFallbackName = "COM1:";
} // namespace

std::string CSerialSource::FindBoardPort() const {
    return ::FindBoardPort(m_sysfsRoot, m_devRoot);
}

std::unique_ptr<IByteStream> CSerialSource::Open(bool retry, std::string& why) {
    std::string name = m_portName;
    if (name.empty()) {
        name = FindBoardPort();
        if (retry && name == kFallbackName) {
            // Nothing is listed as the board's card: whatever else sits at the fallback (a
            // modem, another instrument) must not be sent the board's frames or a raised RTS.
            name = m_identified;
        }
    }
    why = kOpenFailedText;
    if (name.empty()) {
        return nullptr;
    }
    m_opened = name;
    auto port = std::make_unique<CSerialPort>();
    if (!port->Open(name)) {
        // A port the user may not open is named with what to do about it.
        const std::string denied = serialPermissionText(name, errno);
        if (!denied.empty()) {
            why = denied;
        }
        return nullptr;
    }
    if (!port->Configure(m_baud)) {
        why = kConfigFailedText;
        return nullptr;
    }
    // Read timeouts are part of the line settings. Driver queue sizes (4096 in, 1024 out on the
    // handheld) have no POSIX counterpart; the kernel's tty buffers are larger than both.
    port->PurgeTransmit();
    port->PurgeReceive();
    return port;
}
