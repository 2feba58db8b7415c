// The channel table file: a small text file naming up to 30 channels to scan. It is parsed into
// a table of its own first, so that a bad file leaves the receiver's table, flag, spacing and
// board exactly as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "receiver/ChannelEntry.h"

class CReceiver;

class CChannelTableFile {
public:
    static constexpr int kMaxEntries = 30;
    static constexpr size_t kMaxValueLength = 255;
    static constexpr uint16_t kFormat = 2;
    static constexpr uint16_t kEndOfTable = 65535;
    // Far beyond any real table; a bigger file is something else picked by mistake.
    static constexpr size_t kMaxFileSize = 1 << 20;

    // Parses a whole file image. On false the table holds nothing usable.
    bool Parse(const uint8_t* data, size_t size);

    // Copies the parsed entries (plan and channel only; RSSI is the board's), the count and a
    // valid PCS spacing into the receiver. The board is not programmed here.
    void ApplyTo(CReceiver& receiver) const;

    int Count() const { return m_count; }
    const ChannelEntry& Entry(int index) const { return m_entries[index]; }
    // 30000, 50000 or 200000 Hz when the file names a valid spacing, otherwise 0 (keep).
    uint32_t PcsSpacing() const { return m_pcsSpacing; }

private:
    int m_count = 0;
    ChannelEntry m_entries[kMaxEntries] = {};
    uint32_t m_pcsSpacing = 0;
};

enum : int16_t {
    CT_LOADED = 0,
    CT_INVALID = -1,
    CT_OPEN_FAILED = -2,
};

struct ChannelTableLoad {
    int16_t status = CT_INVALID;
    // "Table has been loaded.", "Invalid Channel Table.", or the system's text for the open error
    // (shown under "File Open Error").
    std::string message;
};

// Reads and parses path into table; CT_LOADED (with "Table has been loaded.") when the whole
// file is valid. Nothing else is touched.
ChannelTableLoad ReadChannelTable(const std::string& path, CChannelTableFile& table);

// Reads and parses path; only when the whole file is valid does it fill the receiver's table,
// set the spacing, program the board (CReceiver::ProgramChannelTable: commands 8, 8, 5, 39, one
// 23 per entry, 24, each waiting for its reply) and set the loaded flag. Blocks until the board
// has answered; show the wait cursor around it.
ChannelTableLoad LoadChannelTable(const std::string& path, CReceiver& receiver);
