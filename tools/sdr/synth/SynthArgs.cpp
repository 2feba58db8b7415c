// Parsing of the synthetic receiver's arguments: strict numbers, so a slip in a test's device
// string fails loudly instead of measuring a tone that is not there.
#include "SynthArgs.h"

#include "platform/TextFields.h"

#include <cerrno>
#include <cstdlib>

namespace {

constexpr double kHzPerMHz = 1e6;

bool tones(const std::string& text, std::vector<SynthTone>& out, std::string& error) {
    for (const std::string& item : SplitFields(text, ';')) {
        if (item.empty()) {
            continue;
        }
        const size_t colon = item.find(':');
        SynthTone tone;
        double mhz = 0;
        if (colon == std::string::npos || !ParseFiniteNumber(item.substr(0, colon), mhz) ||
            mhz <= 0 || !ParseFiniteNumber(item.substr(colon + 1), tone.dBm)) {
            error = "tones: '" + item + "' is not MHZ:DBM";
            return false;
        }
        tone.hz = mhz * kHzPerMHz;
        out.push_back(tone);
    }
    return true;
}

} // namespace

bool ParseSynthArgs(const std::map<std::string, std::string>& args, SynthConfig& out,
                    std::string& error) {
    SynthConfig config;
    auto it = args.find("tones");
    if (it != args.end() && !tones(it->second, config.tones, error)) {
        return false;
    }
    it = args.find("noise_seed");
    if (it != args.end()) {
        char* end = nullptr;
        errno = 0;
        const unsigned long long value = std::strtoull(it->second.c_str(), &end, 10);
        if (it->second.empty() || errno != 0 || *end != '\0' || it->second[0] == '-') {
            error = "noise_seed: '" + it->second + "' is not a whole number";
            return false;
        }
        config.noiseSeed = value;
    }
    it = args.find("serial");
    if (it != args.end() && !it->second.empty()) {
        config.serial = it->second;
    }
    it = args.find("dc");
    if (it != args.end()) {
        if (!ParseFiniteNumber(it->second, config.dcDbm)) {
            error = "dc: '" + it->second + "' is not a level in dBm";
            return false;
        }
        config.dcSpike = true;
    }
    it = args.find("calibration");
    if (it != args.end()) {
        double offset = 0;
        if (it->second != "none" && !ParseFiniteNumber(it->second, offset)) {
            error = "calibration: '" + it->second + "' is neither an offset in dB nor none";
            return false;
        }
        config.calibration = it->second == "none" ? std::string() : it->second;
    }
    it = args.find("wander");
    if (it != args.end()) {
        const size_t colon = it->second.find(':');
        if (colon == std::string::npos ||
            !ParseFiniteNumber(it->second.substr(0, colon), config.wanderDb) ||
            !ParseFiniteNumber(it->second.substr(colon + 1), config.wanderSeconds) ||
            config.wanderDb < 0 || !(config.wanderSeconds > 0)) {
            error = "wander: '" + it->second + "' is not DB:SECONDS";
            return false;
        }
    }
    out = config;
    return true;
}
