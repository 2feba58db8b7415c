// The channel table file: a small text file naming up to 30 channels to scan. It is parsed into
// a table of its own first, so that a bad file leaves the receiver's table, flag, spacing and
// board exactly as they were.
//
// Format 2 names band-plan channels, the only kind the receiver board scans. Format 3 names
// frequencies in MHz with a bandwidth and a label, for any band a software-defined radio tunes:
//   3
//   851.0125,12.5,FD-1        frequency MHz (up to 6 decimals), bandwidth kHz (up to 3), label
// one entry a line (CR LF or LF), at most 30, the file's end ending the table; blank lines are
// ignored. It is read strictly: an entry that is not exactly so refuses the whole file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "receiver/ChannelEntry.h"

class CReceiver;

// One channel of a format-3 table.
struct FrequencyEntry {
    uint64_t frequencyHz = 0;
    uint32_t bandwidthHz = 0;
    std::string label;
};

class CChannelTableFile {
public:
    static constexpr int kMaxEntries = 30;
    static constexpr size_t kMaxValueLength = 255;
    static constexpr uint16_t kFormat = 2;
    static constexpr uint16_t kFrequencyFormat = 3;
    static constexpr uint16_t kEndOfTable = 65535;
    // Far beyond any real table; a bigger file is something else picked by mistake.
    static constexpr size_t kMaxFileSize = 1 << 20;
    // The limits of a format-3 entry.
    static constexpr uint64_t kMaxFrequencyHz = 10000000000ull;
    static constexpr uint32_t kMinBandwidthHz = 1000;
    static constexpr uint32_t kMaxBandwidthHz = 10000000;
    // Frequencies are written in MHz to the Hz, bandwidths in kHz to the Hz.
    static constexpr int kMHzDecimals = 6;
    static constexpr int kKHzDecimals = 3;

    // Parses a whole file image of either format. On false the table holds nothing usable.
    bool Parse(const uint8_t* data, size_t size);

    // kFormat or kFrequencyFormat after a successful parse.
    uint16_t Format() const { return m_format; }

    // Copies the parsed entries (plan and channel only, or for a format-3 table each frequency
    // and bandwidth; RSSI is the board's), the count and a valid PCS spacing into the receiver.
    // The board is not programmed here.
    void ApplyTo(CReceiver& receiver) const;

    int Count() const { return m_count; }
    const ChannelEntry& Entry(int index) const { return m_entries[index]; }
    // The text after an entry's second comma, without its line end: a label the loader ignores.
    const std::string& Label(int index) const { return m_labels[index]; }
    // 30000, 50000 or 200000 Hz when the file names a valid spacing, otherwise 0 (keep).
    uint32_t PcsSpacing() const { return m_pcsSpacing; }

    // A format-3 table's entries; Count() stays 0 for it, so it never reaches the board.
    const std::vector<FrequencyEntry>& Frequencies() const { return m_frequencies; }

private:
    bool ParseFrequencies(const uint8_t* data, size_t size, size_t pos);

    uint16_t m_format = 0;
    int m_count = 0;
    ChannelEntry m_entries[kMaxEntries] = {};
    std::string m_labels[kMaxEntries];
    uint32_t m_pcsSpacing = 0;
    std::vector<FrequencyEntry> m_frequencies;
};

// A format-3 number: decimal digits with at most `decimals` after the point and no sign or
// exponent, as a whole number of 10^-decimals units ("851.0125" with 6 gives 851012500).
bool ParseFixedPoint(const std::string& text, int decimals, uint64_t& out);

// The inverse: "851.0125" for 851012500 with 6; trailing zeros dropped, one decimal kept.
std::string FixedPointText(uint64_t value, int decimals);

// The channel number a reading of a format-3 entry stores (FrequencyChannelNumber on the
// receiver's own plans: the cellular channel, or the frequency in kHz).
int32_t FrequencyEntryChannel(uint64_t frequencyHz);

enum : int16_t {
    CT_LOADED = 0,
    CT_INVALID = -1,
    CT_OPEN_FAILED = -2,
    // A format-3 table: the board cannot scan frequencies.
    CT_FREQUENCY_TABLE = -3,
};

struct ChannelTableLoad {
    int16_t status = CT_INVALID;
    // "Table has been loaded.", "Invalid Channel Table.", or the system's text for the open error
    // (shown under "File Open Error").
    std::string message;
};

// Reads and parses path into table; CT_LOADED (with "Table has been loaded.") when the whole
// file is valid. A format-3 table parses into table but gives CT_FREQUENCY_TABLE, with a message
// saying why the board refuses it, unless frequenciesWanted. Nothing else is touched.
ChannelTableLoad ReadChannelTable(const std::string& path, CChannelTableFile& table,
                                  bool frequenciesWanted = false);

// Reads and parses path; only when the whole file is valid does it fill the receiver's table,
// set the spacing, program the board (CReceiver::ProgramChannelTable: commands 8, 8, 5, 39, one
// 23 per entry, 24, each waiting for its reply) and set the loaded flag. Blocks until the board
// has answered; show the wait cursor around it.
ChannelTableLoad LoadChannelTable(const std::string& path, CReceiver& receiver);
