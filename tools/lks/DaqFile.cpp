// DAQ files: plain comma-separated lines, one cell each; a cell named twice is refused rather
// than one of its rows silently winning.
#include "DaqFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "LksOptions.h"
#include "files/FileBytes.h"
#include "platform/TextFields.h"

namespace lks {

namespace {

constexpr size_t kMaxDaqFile = 1 << 20;
const char* const kHeader = "cell,daq_down,daq_up,talkback";

std::string lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool daqValue(const std::string& text, double& out) {
    if (text.empty()) {
        out = -1.0;
        return true;
    }
    return ParseFiniteNumber(text, out) && out >= kDaqLowest && out <= kDaqHighest;
}

bool talkback(const std::string& text, Talkback& out) {
    const std::string t = lower(text);
    if (t.empty()) {
        out = Talkback::NotTested;
    } else if (t == "pass" || t == "yes") {
        out = Talkback::Pass;
    } else if (t == "fail" || t == "no") {
        out = Talkback::Fail;
    } else {
        return false;
    }
    return true;
}

} // namespace

bool ReadDaqFile(const std::string& path, CellDaqMap& out, std::string& error) {
    out.clear();
    std::vector<uint8_t> bytes;
    int readError = 0;
    bool truncated = false;
    if (!ReadFileBytes(path, kMaxDaqFile, bytes, readError, truncated)) {
        error = "cannot open " + path + ": " + SystemErrorText(readError);
        return false;
    }
    if (truncated) {
        error = path + " is larger than a DAQ file can be";
        return false;
    }
    const std::string text(bytes.begin(), bytes.end());
    bool header = false;
    size_t number = 0;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = TrimBlanks(text.substr(start, end - start));
        start = end + 1;
        ++number;
        if (line.empty()) {
            continue;
        }
        const std::string where = path + " line " + std::to_string(number) + ": ";
        std::vector<std::string> fields = SplitFields(line, ',');
        for (std::string& f : fields) {
            f = TrimBlanks(f);
        }
        if (!header) {
            std::string joined;
            for (const std::string& f : fields) {
                joined += (joined.empty() ? "" : ",") + f;
            }
            if (lower(joined) != kHeader) {
                error = where + "needs the header " + kHeader;
                return false;
            }
            header = true;
            continue;
        }
        CellDaq daq;
        if (fields.size() != 4 || fields[0].empty()) {
            error = where + "needs a cell and three values: " + kHeader;
            return false;
        }
        if (!daqValue(fields[1], daq.down) || !daqValue(fields[2], daq.up)) {
            error = where + "a DAQ is a number from 1 to 5, or empty where not tested";
            return false;
        }
        if (!talkback(fields[3], daq.talkback)) {
            error = where + "talk-back is pass, fail or empty";
            return false;
        }
        if (!out.emplace(fields[0], daq).second) {
            error = where + "cell " + fields[0] + " is given twice";
            return false;
        }
    }
    if (!header) {
        error = path + " holds no header " + kHeader;
        return false;
    }
    return true;
}

} // namespace lks
