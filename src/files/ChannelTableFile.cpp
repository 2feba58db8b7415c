// Channel table parsing: line 1 the format, line 2 the PCS spacing, then "plan,channel,..." lines
// up to the 65535 terminator or 30 entries.
#include "files/ChannelTableFile.h"

#include <vector>

#include "files/FileBytes.h"
#include "files/FileMessages.h"
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

    // Drops the rest of the entry line; the file may end here.
    void SkipLine() {
        while (m_pos < m_size && m_data[m_pos++] != kLf) {
        }
    }

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
    m_count = 0;
    m_pcsSpacing = 0;
    CTextCursor cursor(data, size);
    std::string text;
    if (!cursor.Line(text) || static_cast<uint16_t>(toNumber(text)) != kFormat) {
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
        ++count;
        cursor.SkipLine();
    }
    m_count = count;
    m_pcsSpacing = spacing;
    return true;
}

void CChannelTableFile::ApplyTo(CReceiver& receiver) const {
    if (m_pcsSpacing != 0) {
        receiver.SetPcsSpacing(m_pcsSpacing);
    }
    receiver.SetChannelTable(m_entries, m_count);
}

ChannelTableLoad ReadChannelTable(const std::string& path, CChannelTableFile& table) {
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
