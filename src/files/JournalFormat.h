// The survey journal's bytes: a header naming the state of the site file it belongs to, then one
// checksummed entry per change to the survey (the keep-points answer, a stored point, a delete).
// A crash can cut the last entry short; reading stops there and keeps everything before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "survey/SurveyRecord.h"

namespace journal {

// Which state of the site file the journal's changes apply to: its last-save time (header bytes
// 134 to 137) and its size when it was opened or last saved.
struct SiteState {
    uint32_t saveTime = 0;
    uint64_t size = 0;
};

inline bool operator==(const SiteState& a, const SiteState& b) {
    return a.saveTime == b.saveTime && a.size == b.size;
}

enum EntryType : uint8_t {
    kKeep = 1,   // whether the survey starts from the file's points
    kPoint = 2,  // one stored point: its records, in list order
    kDelete = 3, // the run of records at a list position was deleted at a held map position
};

struct Entry {
    EntryType type = kKeep;
    bool keep = false;                 // kKeep
    std::vector<SurveyRecord> records; // kPoint (links unused)
    int32_t position = 0;              // kDelete: 1-based list position of the run's first record
    int32_t x = 0;                     // kPoint: the point; kDelete: the deleted point
    int32_t y = 0;
    int32_t heldX = 0; // kDelete: where the surveyor pressed, the centre of the erased disc
    int32_t heldY = 0;
};

constexpr size_t kHeaderSize = 24;

void AppendHeader(const SiteState& state, std::vector<uint8_t>& out);
void AppendEntry(const Entry& entry, std::vector<uint8_t>& out);

struct Contents {
    SiteState state;
    std::vector<Entry> entries;
    // Bytes up to the end of the last whole entry; anything after it is a torn write.
    size_t validBytes = 0;
};

// False when the header is missing or damaged; otherwise every whole entry up to the first that
// is cut short, fails its checksum or makes no sense.
bool Parse(const uint8_t* data, size_t size, Contents& out);

} // namespace journal
