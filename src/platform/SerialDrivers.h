// The active serial drivers as the system lists them under sysfs, and the search for the port
// of the board's CompactFlash serial card among them.
#pragma once

#include <string>
#include <vector>

struct SerialDriver {
    // What the card or adapter calls itself: its maker's and product's strings joined by '-'
    // (PCMCIA/CF prod_id strings, USB manufacturer and product); empty when it says nothing.
    std::string identifier;
    // The device to open, e.g. "/dev/ttyUSB0"; empty when sysfs gives no device name. Where
    // <devRoot>/serial/by-id holds a name for the same device, that name: it stays the same
    // when a replugged adapter comes back under another number.
    std::string name;
};

// Every tty under <sysfsRoot>/class/tty that has a device behind it, in name order, with device
// names under devRoot.
std::vector<SerialDriver> ListSerialDrivers(const std::string& sysfsRoot,
                                            const std::string& devRoot = "/dev");

// The first driver whose identifier starts with "Quatech", or failing that with "CF-Serial_I-O"
// (both case-sensitive), and that has a device name; "COM1:" when none does.
std::string FindBoardPort(const std::vector<SerialDriver>& drivers);
std::string FindBoardPort(const std::string& sysfsRoot = "/sys",
                          const std::string& devRoot = "/dev");
