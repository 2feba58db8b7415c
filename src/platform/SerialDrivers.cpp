// Serial driver listing from sysfs and the board-port search over it.
#include "platform/SerialDrivers.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {
constexpr const char* kFallbackPort = "COM1:";
constexpr const char* kMakerPrefix = "Quatech";
constexpr const char* kCardPrefix = "CF-Serial_I-O";
// How far above the tty's device the identifying strings may sit: a USB serial port sits two
// levels below the USB device (interface, then port), a CF card's tty right on the card.
constexpr int kMaxIdentifierDepth = 3;

std::string ReadLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

std::string Join(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) {
        if (p.empty()) {
            continue;
        }
        if (!out.empty()) {
            out += '-';
        }
        out += p;
    }
    return out;
}

std::string IdentifierAt(const fs::path& dir) {
    std::error_code ec;
    if (fs::exists(dir / "prod_id1", ec) || fs::exists(dir / "prod_id2", ec)) {
        return Join({ReadLine(dir / "prod_id1"), ReadLine(dir / "prod_id2"),
                     ReadLine(dir / "prod_id3"), ReadLine(dir / "prod_id4")});
    }
    if (fs::exists(dir / "manufacturer", ec) || fs::exists(dir / "product", ec)) {
        return Join({ReadLine(dir / "manufacturer"), ReadLine(dir / "product")});
    }
    return {};
}

std::string Identifier(const fs::path& device) {
    std::error_code ec;
    fs::path dir = fs::canonical(device, ec);
    if (ec) {
        return {};
    }
    for (int depth = 0; depth <= kMaxIdentifierDepth && !dir.empty(); ++depth) {
        std::string id = IdentifierAt(dir);
        if (!id.empty()) {
            return id;
        }
        if (dir == dir.parent_path()) {
            break;
        }
        dir = dir.parent_path();
    }
    return {};
}

// The name under <devRoot>/serial/by-id that leads to node, or empty.
std::string ByIdName(const fs::path& node, const fs::path& devRoot) {
    std::error_code ec;
    const fs::path target = fs::canonical(node, ec);
    if (ec) {
        return {};
    }
    std::vector<std::string> names;
    for (fs::directory_iterator it(devRoot / "serial" / "by-id", ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code linkEc;
        if (fs::canonical(it->path(), linkEc) == target && !linkEc) {
            names.push_back(it->path().string());
        }
    }
    // Directory order is arbitrary; the choice must not be.
    std::sort(names.begin(), names.end());
    return names.empty() ? std::string() : names.front();
}

// The device node sysfs names in the tty's uevent (DEVNAME=ttyUSB0), under devRoot, by its
// by-id name where it has one.
std::string DeviceName(const fs::path& tty, const fs::path& devRoot) {
    std::ifstream in(tty / "uevent");
    std::string line;
    const std::string key = "DEVNAME=";
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0 && line.size() > key.size()) {
            const std::string dev = line.substr(key.size());
            const fs::path node = dev[0] == '/' ? fs::path(dev) : devRoot / dev;
            const std::string byId = ByIdName(node, devRoot);
            return byId.empty() ? node.string() : byId;
        }
    }
    return {};
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}
} // namespace

std::vector<SerialDriver> ListSerialDrivers(const std::string& sysfsRoot,
                                            const std::string& devRoot) {
    std::vector<std::pair<std::string, SerialDriver>> found;
    std::error_code ec;
    const fs::path ttys = fs::path(sysfsRoot) / "class" / "tty";
    for (fs::directory_iterator it(ttys, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path tty = it->path();
        // Virtual terminals and pseudo-terminals have no device behind them.
        if (!fs::exists(tty / "device", ec)) {
            ec.clear();
            continue;
        }
        found.push_back({tty.filename().string(),
                         SerialDriver{Identifier(tty / "device"), DeviceName(tty, devRoot)}});
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<SerialDriver> drivers;
    drivers.reserve(found.size());
    for (auto& f : found) {
        drivers.push_back(std::move(f.second));
    }
    return drivers;
}

std::string FindBoardPort(const std::vector<SerialDriver>& drivers) {
    for (const SerialDriver& d : drivers) {
        // A card naming its maker but no device is passed over; the search goes on.
        if ((StartsWith(d.identifier, kMakerPrefix) || StartsWith(d.identifier, kCardPrefix)) &&
            !d.name.empty()) {
            return d.name;
        }
    }
    return kFallbackPort;
}

std::string FindBoardPort(const std::string& sysfsRoot, const std::string& devRoot) {
    return FindBoardPort(ListSerialDrivers(sysfsRoot, devRoot));
}
