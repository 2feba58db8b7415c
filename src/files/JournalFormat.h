// The survey journal's bytes: a header naming the site file it belongs to (its digests and
// today's save time and size), a copy of that file as it was opened, then one checksummed entry
// per change to the survey (the keep-points answer, a stored point, a delete). A crash can cut
// the last entry short; damage anywhere else is told apart from that by the readable entries
// after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "files/SiteIdentity.h"
#include "survey/SurveyRecord.h"

namespace journal {

enum EntryType : uint8_t {
    kKeep = 1,     // whether the survey starts from the file's points
    kPoint = 2,    // one stored point: its records, in list order
    kDelete = 3,   // the run of records at a list position was deleted at a held map position
    kSiteCopy = 4, // the site file as opened, first after the header: a deleted site comes back
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

constexpr size_t kHeaderSize = 120;

void AppendHeader(const SiteFingerprint& site, std::vector<uint8_t>& out);
// A change. kSiteCopy goes through AppendSiteCopy.
void AppendEntry(const Entry& entry, std::vector<uint8_t>& out);
void AppendSiteCopy(const std::vector<uint8_t>& siteFile, std::vector<uint8_t>& out);

enum HeaderState : int8_t {
    kHeaderOk = 0,
    kEmpty,        // no bytes at all
    kNotAJournal,  // bytes, but not a journal's
    kOtherFormat,  // a journal of a format this program does not read
    kHeaderBroken, // a journal whose header is cut short or fails its checksum
};

struct Contents {
    HeaderState header = kEmpty;
    SiteFingerprint site;
    // The whole site file as it was opened; empty when the journal holds no readable copy.
    std::vector<uint8_t> siteCopy;
    // Every change before the first that could not be read.
    std::vector<Entry> entries;
    // Where the journal can go on: the end of the last of those entries. Bytes after it are a
    // torn tail (tornTail) or damage (unreadEntries).
    size_t validBytes = 0;
    // A last entry cut short, or unreadable with nothing readable after it: a write that a crash
    // stopped. It may be cut off.
    bool tornTail = false;
    // Entries that could not be read, when readable bytes follow them: not a torn write but
    // damage, and a journal with bytes past its valid part is never cut or deleted.
    size_t unreadEntries = 0;
    // Changes that could be read after the damage. They are not in entries: a delete among them
    // names a list position that a lost change may have moved.
    std::vector<Entry> laterEntries;

    bool Damaged() const { return unreadEntries > 0; }
    // The points and deletes among entries.
    int Changes() const;
};

// Reads a journal image. False unless the header is sound (out.header says what it is then);
// otherwise every readable entry, as described above.
bool Parse(const uint8_t* data, size_t size, Contents& out);

} // namespace journal
