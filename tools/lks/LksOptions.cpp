// Option values for the lks subcommands, parsed strictly: "5px" or "" is not a number.
#include "LksOptions.h"

#include "platform/TextFields.h"

#include "analysis/SpotTable.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace lks {

OptionTake TakeOption(int argc, char** argv, int& i, const char* name, std::string& value) {
    const char* arg = argv[i];
    const size_t length = std::strlen(name);
    if (std::strncmp(arg, name, length) != 0) {
        return OptionTake::NotThis;
    }
    if (arg[length] == '=') {
        value = arg + length + 1;
        return OptionTake::Taken;
    }
    if (arg[length] != '\0') {
        return OptionTake::NotThis;
    }
    if (i + 1 >= argc) {
        return OptionTake::MissingValue;
    }
    value = argv[++i];
    return OptionTake::Taken;
}

bool ParseWhole(const std::string& text, unsigned long max, unsigned long& out) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    unsigned long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    if (value > max) {
        return false;
    }
    out = value;
    return true;
}

bool ParseRect(const std::string& text, PlanRect& rect) {
    const std::vector<std::string> parts = SplitFields(text, ',');
    unsigned long v[4] = {};
    if (parts.size() != 4) {
        return false;
    }
    for (size_t i = 0; i < 4; ++i) {
        if (!ParseWhole(parts[i], INT32_MAX, v[i]) || (i >= 2 && v[i] == 0)) {
            return false;
        }
    }
    rect = {static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1]), static_cast<int32_t>(v[2]),
            static_cast<int32_t>(v[3])};
    return true;
}

bool ParseScale(const std::string& text, double& pixelsPerFoot) {
    const size_t slash = text.rfind('/');
    if (slash == std::string::npos) {
        return false;
    }
    std::string number = text.substr(0, slash);
    const std::string unit = text.substr(slash + 1);
    if (number.size() > 2 && number.compare(number.size() - 2, 2, "px") == 0) {
        number.resize(number.size() - 2);
    }
    double perUnit = 0.0;
    if (!ParseFiniteNumber(number, perUnit) || perUnit <= 0.0 || (unit != "m" && unit != "ft")) {
        return false;
    }
    const double perFoot = unit == "m" ? perUnit / kFeetPerMetre : perUnit;
    if (perFoot < kMinPixelsPerFoot || perFoot > kMaxPixelsPerFoot) {
        return false;
    }
    pixelsPerFoot = perFoot;
    return true;
}

bool ParseChannelRequests(const std::string& text, std::vector<ChannelRequest>& out) {
    constexpr unsigned long kLastChannel = 65534; // 65535 ends a channel table
    for (const std::string& item : SplitFields(text, ',')) {
        const size_t at = item.find('@');
        ChannelRequest request;
        unsigned long channel = 0;
        if (!ParseWhole(item.substr(0, at), kLastChannel, channel) || channel == 0) {
            return false;
        }
        request.channel = static_cast<int32_t>(channel);
        if (at != std::string::npos &&
            (!ParseFiniteNumber(item.substr(at + 1), request.mhz) || request.mhz <= 0.0)) {
            return false;
        }
        request.text = item;
        const bool repeat = std::any_of(out.begin(), out.end(), [&](const ChannelRequest& r) {
            return r.channel == request.channel && r.mhz == request.mhz;
        });
        if (!repeat) {
            out.push_back(request);
        }
    }
    return true;
}

bool ResolveChannelRequest(const ChannelRequest& request, const CSpotTable& table,
                           const std::string& site, size_t& index, std::string& error) {
    std::vector<size_t> found;
    for (size_t c = 0; c < table.Channels().size(); ++c) {
        const SurveyChannel& ch = table.Channels()[c];
        if (ch.id.channel == request.channel &&
            (request.mhz == 0.0 || std::fabs(ch.frequencyMHz - request.mhz) < 0.0005)) {
            found.push_back(c);
        }
    }
    if (found.size() == 1) {
        index = found.front();
        return true;
    }
    if (found.empty()) {
        error = "channel " + request.text + " was not read in " + site;
        return false;
    }
    error = "channel " + std::to_string(request.channel) + " was read at";
    for (size_t i = 0; i < found.size(); ++i) {
        error += (i == 0 ? " " : " and ") + MhzText(table.Channels()[found[i]].frequencyMHz);
    }
    error += " MHz in " + site + ": name one as " + std::to_string(request.channel) + "@MHZ";
    return false;
}

} // namespace lks
