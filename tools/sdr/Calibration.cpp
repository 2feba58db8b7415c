// The calibration file: "#" comment lines, then one tab-separated record a line:
// serial, driver, low Hz, high Hz, gain dB, offset dB, date.
#include "Calibration.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "files/AtomicFile.h"
#include "files/FileBytes.h"
#include "files/Folders.h"
#include "platform/TextFields.h"

namespace {

const char* const kFileName = "sdr-calibration.tsv";
const char* const kHeader = "# Larkspur SDR level calibrations: dBm = dBFS + offset\n"
                            "# serial\tdriver\tlow_hz\thigh_hz\tgain_db\toffset_db\tdate\n";
constexpr size_t kMaxFileSize = 1 << 20;
constexpr size_t kFields = 7;

// Tabs and line breaks would break the record apart.
std::string field(const std::string& text) {
    std::string clean = text;
    for (char& c : clean) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return clean;
}

} // namespace

std::string CalibrationKey(const SdrIdentity& identity) {
    return identity.serial.empty() ? identity.driver + "/" + identity.label : identity.serial;
}

std::string CCalibrationStore::DefaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::string(config) + "/larkspur/" + kFileName;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.config/larkspur/" + kFileName;
    }
    return std::string();
}

bool CCalibrationStore::Load(const std::string& path, std::string& error) {
    m_records.clear();
    std::vector<uint8_t> bytes;
    int code = 0;
    bool truncated = false;
    if (!ReadFileBytes(path, kMaxFileSize, bytes, code, truncated)) {
        if (code == ENOENT) {
            return true;
        }
        error = path + ": " + SystemErrorText(code);
        return false;
    }
    const std::string text(bytes.begin(), bytes.end());
    size_t start = 0;
    for (int lineNumber = 1; start < text.size(); ++lineNumber) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::vector<std::string> f = SplitFields(line, '\t');
        CalibrationRecord r;
        if (truncated || f.size() != kFields || f[0].empty() || !ParseFiniteNumber(f[2], r.lowHz) ||
            !ParseFiniteNumber(f[3], r.highHz) || !ParseFiniteNumber(f[4], r.gainDb) ||
            !ParseFiniteNumber(f[5], r.offsetDb) || r.highHz < r.lowHz) {
            error = path + ": line " + std::to_string(lineNumber) +
                    " is not a calibration record (fix or remove it, then calibrate again)";
            m_records.clear();
            return false;
        }
        r.serial = f[0];
        r.driver = f[1];
        r.date = f[6];
        m_records.push_back(r);
    }
    return true;
}

bool CCalibrationStore::Save(const std::string& path, std::string& error) const {
    if (!MakeFolders(FolderOf(path))) {
        error = "cannot make the folder " + FolderOf(path);
        return false;
    }
    std::string text = kHeader;
    for (const CalibrationRecord& r : m_records) {
        char numbers[160];
        std::snprintf(numbers, sizeof numbers, "%.0f\t%.0f\t%.2f\t%.3f", r.lowHz, r.highHz,
                      r.gainDb, r.offsetDb);
        text +=
            field(r.serial) + "\t" + field(r.driver) + "\t" + numbers + "\t" + field(r.date) + "\n";
    }
    CAtomicFile file;
    if (!file.Begin(path) || !file.Write(text.data(), text.size()) || !file.Commit()) {
        error = "cannot write " + path + ": " + SystemErrorText(file.Error());
        return false;
    }
    return true;
}

void CCalibrationStore::Add(const CalibrationRecord& record) {
    for (auto it = m_records.begin(); it != m_records.end(); ++it) {
        if (it->serial == record.serial && it->lowHz == record.lowHz &&
            it->highHz == record.highHz &&
            std::fabs(it->gainDb - record.gainDb) < kGainToleranceDb) {
            m_records.erase(it);
            break;
        }
    }
    m_records.push_back(record);
}

const CalibrationRecord* CCalibrationStore::Find(const std::string& serial, double hz,
                                                 double gainDb) const {
    for (auto it = m_records.rbegin(); it != m_records.rend(); ++it) {
        if (it->serial == serial && hz >= it->lowHz && hz <= it->highHz &&
            std::fabs(it->gainDb - gainDb) < kGainToleranceDb) {
            return &*it;
        }
    }
    return nullptr;
}
