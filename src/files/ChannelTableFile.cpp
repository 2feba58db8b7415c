// Channel table parsing. Format 2: line 1 the format, line 2 the PCS spacing, then
// "plan,channel,..." lines up to the 65535 terminator or 30 entries. Format 3: line 1 the format,
// then "MHz,kHz,label" lines to the end of the file.
#include "files/ChannelTableFile.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "files/FileBytes.h"
#include "files/FileMessages.h"
#include "platform/TextFields.h"
#include "receiver/BandPlan.h"
#include "receiver/Receiver.h"

namespace {

constexpr uint8_t kCr = 13;
constexpr uint8_t kLf = 10;
constexpr uint8_t kComma = ',';

bool isSpace(uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Signed decimal conversion in the manner of atoi, but defined for every input: the value wraps
// modulo 2^32, so its low bits are those of the number written.
uint32_t toNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && isSpace(static_cast<uint8_t>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10u + static_cast<uint32_t>(text[i] - '0');
    }
    return negative ? 0u - value : value;
}

class CTextCursor {
public:
    CTextCursor(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    // Line 1 or 2: text up to its line end. A line feed alone also ends the line, and the line
    // feed after a carriage return is consumed with it.
    bool Line(std::string& out) {
        out.clear();
        while (m_pos < m_size) {
            const uint8_t c = m_data[m_pos++];
            if (c == kCr || c == kLf) {
                if (c == kCr && m_pos < m_size && m_data[m_pos] == kLf) {
                    ++m_pos;
                }
                return true;
            }
            if (!Keep(out, c)) {
                return false;
            }
        }
        return false; // the file ended inside the line
    }

    // One value of an entry line: text up to the next comma, which must come before the line end.
    bool Value(std::string& out) {
        out.clear();
        while (m_pos < m_size) {
            const uint8_t c = m_data[m_pos++];
            if (c == kComma) {
                return true;
            }
            if (c == kLf || !Keep(out, c)) {
                return false;
            }
        }
        return false;
    }

    // The rest of the entry line, without its line end; the file may end here.
    void RestOfLine(std::string& out) {
        const size_t start = m_pos;
        while (m_pos < m_size && m_data[m_pos++] != kLf) {
        }
        size_t end = m_pos;
        if (end > start && m_data[end - 1] == kLf) {
            --end;
        }
        if (end > start && m_data[end - 1] == kCr) {
            --end;
        }
        out.assign(reinterpret_cast<const char*>(m_data) + start, end - start);
    }

    size_t Position() const { return m_pos; }

    // True when nothing but white space (blank lines) remains.
    bool AtCleanEnd() const {
        for (size_t i = m_pos; i < m_size; ++i) {
            if (!isSpace(m_data[i])) {
                return false;
            }
        }
        return true;
    }

private:
    static bool Keep(std::string& out, uint8_t c) {
        if (out.size() >= CChannelTableFile::kMaxValueLength) {
            return false;
        }
        out.push_back(static_cast<char>(c));
        return true;
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace

// No sign and no exponent, so that a typing slip is never taken for a value.
bool ParseFixedPoint(const std::string& text, int decimals, uint64_t& out) {
    constexpr size_t kMaxWholeDigits = 10;
    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    const bool digitsOnly = whole.find_first_not_of("0123456789") == std::string::npos &&
                            fraction.find_first_not_of("0123456789") == std::string::npos;
    if (!digitsOnly || whole.empty() || whole.size() > kMaxWholeDigits ||
        (point != std::string::npos && fraction.empty()) ||
        fraction.size() > static_cast<size_t>(decimals)) {
        return false;
    }
    uint64_t value = 0;
    for (const char c : whole + fraction) {
        value = value * 10u + static_cast<uint64_t>(c - '0');
    }
    for (size_t i = fraction.size(); i < static_cast<size_t>(decimals); ++i) {
        value *= 10u;
    }
    out = value;
    return true;
}

std::string FixedPointText(uint64_t value, int decimals) {
    std::string digits = std::to_string(value);
    if (decimals <= 0) {
        return digits;
    }
    if (digits.size() <= static_cast<size_t>(decimals)) {
        digits.insert(0, static_cast<size_t>(decimals) + 1 - digits.size(), '0');
    }
    std::string text = digits.substr(0, digits.size() - static_cast<size_t>(decimals)) + "." +
                       digits.substr(digits.size() - static_cast<size_t>(decimals));
    while (text.back() == '0' && text[text.size() - 2] != '.') {
        text.pop_back();
    }
    return text;
}

namespace {

constexpr int kMHzDecimals = CChannelTableFile::kMHzDecimals;
constexpr int kKHzDecimals = CChannelTableFile::kKHzDecimals;

// One "MHz,kHz,label" line of a format-3 table.
bool frequencyEntry(const std::string& line, FrequencyEntry& out) {
    const size_t first = line.find(',');
    const size_t second = first == std::string::npos ? first : line.find(',', first + 1);
    if (second == std::string::npos) {
        return false;
    }
    uint64_t hz = 0;
    uint64_t bandwidth = 0;
    if (!ParseFixedPoint(TrimBlanks(line.substr(0, first)), kMHzDecimals, hz) ||
        !ParseFixedPoint(TrimBlanks(line.substr(first + 1, second - first - 1)), kKHzDecimals,
                         bandwidth)) {
        return false;
    }
    if (hz == 0 || hz > CChannelTableFile::kMaxFrequencyHz ||
        bandwidth < CChannelTableFile::kMinBandwidthHz ||
        bandwidth > CChannelTableFile::kMaxBandwidthHz) {
        return false;
    }
    out.frequencyHz = hz;
    out.bandwidthHz = static_cast<uint32_t>(bandwidth);
    out.label = TrimBlanks(line.substr(second + 1));
    return out.label.size() <= CChannelTableFile::kMaxValueLength;
}

uint32_t spacingFromKHz(uint32_t kHz) {
    switch (kHz) {
    case 30:
        return CBandPlan::kPcsSpacing30k;
    case 50:
        return CBandPlan::kPcsSpacing50k;
    case 200:
        return CBandPlan::kPcsSpacing200k;
    default:
        return 0;
    }
}

} // namespace

bool CChannelTableFile::Parse(const uint8_t* data, size_t size) {
    m_format = 0;
    m_count = 0;
    m_pcsSpacing = 0;
    m_frequencies.clear();
    CTextCursor cursor(data, size);
    std::string text;
    if (!cursor.Line(text)) {
        return false;
    }
    // Only the exact "3": every other line 1 keeps the meaning format 2 has always given it.
    if (TrimBlanks(text) == std::to_string(kFrequencyFormat)) {
        return ParseFrequencies(data, size, cursor.Position());
    }
    if (static_cast<uint16_t>(toNumber(text)) != kFormat) {
        return false;
    }
    if (!cursor.Line(text)) {
        return false;
    }
    // Compared as the whole number, so that 65566 is not mistaken for 30.
    const uint32_t spacing = spacingFromKHz(toNumber(text));

    int count = 0;
    while (count < kMaxEntries) {
        if (cursor.AtCleanEnd()) {
            break; // no terminator line: the entries read so far are the table
        }
        if (!cursor.Value(text)) {
            return false;
        }
        const auto plan = static_cast<uint8_t>(toNumber(text));
        if (!cursor.Value(text)) {
            return false;
        }
        const auto channel = static_cast<uint16_t>(toNumber(text));
        if (channel == kEndOfTable) {
            break;
        }
        m_entries[count].plan = plan;
        m_entries[count].channel = channel;
        cursor.RestOfLine(m_labels[count]);
        ++count;
    }
    m_count = count;
    m_pcsSpacing = spacing;
    m_format = kFormat;
    return true;
}

bool CChannelTableFile::ParseFrequencies(const uint8_t* data, size_t size, size_t pos) {
    std::vector<FrequencyEntry> entries;
    while (pos < size) {
        size_t end = pos;
        while (end < size && data[end] != kLf) {
            ++end;
        }
        const std::string line =
            TrimBlanks(std::string(reinterpret_cast<const char*>(data) + pos, end - pos));
        pos = end + 1;
        if (line.empty()) {
            continue;
        }
        FrequencyEntry entry;
        if (static_cast<int>(entries.size()) == kMaxEntries || !frequencyEntry(line, entry)) {
            return false;
        }
        entries.push_back(std::move(entry));
    }
    m_frequencies = std::move(entries);
    m_format = kFrequencyFormat;
    return true;
}

int32_t FrequencyEntryChannel(uint64_t frequencyHz) {
    CBandPlan plans[2];
    CReceiver::InitBandPlans(plans);
    return FrequencyChannelNumber(plans, frequencyHz);
}

void CChannelTableFile::ApplyTo(CReceiver& receiver) const {
    if (m_format == kFrequencyFormat) {
        std::vector<ChannelEntry> entries(m_frequencies.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            entries[i].plan = kFrequencyPlan;
            entries[i].frequencyHz = m_frequencies[i].frequencyHz;
            entries[i].bandwidthHz = m_frequencies[i].bandwidthHz;
        }
        receiver.SetChannelTable(entries.data(), static_cast<int>(entries.size()));
        return;
    }
    if (m_pcsSpacing != 0) {
        receiver.SetPcsSpacing(m_pcsSpacing);
    }
    receiver.SetChannelTable(m_entries, m_count);
}

ChannelTableLoad ReadChannelTable(const std::string& path, CChannelTableFile& table,
                                  bool frequenciesWanted) {
    ChannelTableLoad result;
    std::vector<uint8_t> bytes;
    int error = 0;
    bool truncated = false;
    if (!ReadFileBytes(path, CChannelTableFile::kMaxFileSize, bytes, error, truncated)) {
        result.status = CT_OPEN_FAILED;
        result.message = SystemErrorText(error);
        return result;
    }
    if (truncated || !table.Parse(bytes.data(), bytes.size())) {
        result.status = CT_INVALID;
        result.message = filemsg::kInvalidChannelTable;
        return result;
    }
    if (table.Format() == CChannelTableFile::kFrequencyFormat && !frequenciesWanted) {
        result.status = CT_FREQUENCY_TABLE;
        result.message = filemsg::kFrequencyTableOnBoard;
        return result;
    }
    result.status = CT_LOADED;
    result.message = filemsg::kTableLoaded;
    return result;
}

ChannelTableLoad LoadChannelTable(const std::string& path, CReceiver& receiver) {
    CChannelTableFile table;
    ChannelTableLoad result = ReadChannelTable(path, table);
    if (result.status != CT_LOADED) {
        return result;
    }
    table.ApplyTo(receiver);
    // Each command waits for its reply; a silent board makes this take about a second a step.
    (void)receiver.ProgramChannelTable();
    receiver.SetTableLoaded(true);
    return result;
}
