// What to tell a Linux user whose serial port exists but may not be opened: the device, the group
// it belongs to, and how to join that group (serial adapters belong to "dialout" on Debian and
// Ubuntu, to "uucp" or "lock" elsewhere; the device itself says which).
#pragma once

#include <string>

// The text for a failed open of the port name ("COMn:" or a path) with errno error: empty unless
// the failure is a lack of permission, so the caller keeps its own message for the other cases.
std::string serialPermissionText(const std::string& name, int error);
