// Journal encoding. Every number is little-endian; each entry is its payload length, its type, the
// payload and a CRC-32 over the three, written with one write so that it lands whole or torn.
// After a bad entry the reader looks for the next position where a whole entry with a good
// checksum begins: finding one means damage, finding none a torn tail.
#include "files/JournalFormat.h"

#include <cstring>

#include "files/ByteReader.h"
#include "files/ByteWriter.h"
#include "files/CalibrationMark.h"
#include "files/Crc32.h"
#include "files/SiteFileLayout.h"

namespace journal {

namespace {

constexpr uint8_t kMagic[4] = {'L', 'K', 'S', 'J'};
constexpr uint32_t kVersion = 2;
constexpr size_t kVersionAt = 4;
constexpr size_t kSaveTimeAt = 8;
constexpr size_t kSizeAt = 12;
constexpr size_t kBeforeSurveyAt = 20;
constexpr size_t kSurveyAt = 52;
constexpr size_t kPictureAt = 84;
constexpr size_t kHeaderCrcAt = 116;
constexpr size_t kDigestSize = 32;
constexpr size_t kNameSize = SurveyRecord::kNameSize;
constexpr size_t kEntryHead = 5;  // length, type
constexpr size_t kEntryTail = 4;  // checksum
constexpr size_t kPointHead = 42; // x, y, name, reading count
constexpr size_t kReadingSize = 14;
constexpr size_t kDeleteSize = 20;
constexpr size_t kMaxReadings = 0xFFFF;

uint32_t checksum(const std::vector<uint8_t>& bytes, size_t from) {
    return Crc32(bytes.data() + from, bytes.size() - from);
}

bool parsePoint(const CByteReader& in, size_t at, size_t length, Entry& e) {
    uint16_t count = 0;
    char name[kNameSize] = {};
    if (length < kPointHead || !in.I32(at, e.x) || !in.I32(at + 4, e.y) ||
        !in.Bytes(at + 8, name, kNameSize) || !in.U16(at + 40, count) ||
        length != kPointHead + size_t{count} * kReadingSize) {
        return false;
    }
    name[kNameSize - 1] = '\0';
    const uint32_t uncalibrated = calmark::Get(name);
    e.records.resize(count);
    for (size_t i = 0; i < count; ++i) {
        SurveyRecord& r = e.records[i];
        const size_t base = at + kPointHead + i * kReadingSize;
        r.x = e.x;
        r.y = e.y;
        std::memcpy(r.name, name, kNameSize);
        in.I32(base, r.channel);
        in.F64(base + 4, r.frequencyMHz);
        in.I16(base + 12, r.rssi);
    }
    calmark::Apply(uncalibrated, e.records.data(), e.records.size());
    return true;
}

// Whether a payload of this length can be an entry of this type; checked before the checksum,
// so that looking for the next entry after damage stays quick.
bool plausible(uint8_t type, size_t length) {
    switch (type) {
    case kKeep:
        return length == 1;
    case kPoint:
        return length >= kPointHead && length <= kPointHead + kMaxReadings * kReadingSize &&
               (length - kPointHead) % kReadingSize == 0;
    case kDelete:
        return length == kDeleteSize;
    case kSiteCopy:
        return length >= site::kHeaderSize;
    default:
        return false;
    }
}

bool parsePayload(const CByteReader& in, uint8_t type, size_t at, size_t length, Entry& e) {
    e.type = static_cast<EntryType>(type);
    switch (type) {
    case kKeep: {
        uint8_t keep = 0;
        e.keep = in.U8(at, keep) && keep == 1;
        return keep <= 1;
    }
    case kPoint:
        return parsePoint(in, at, length, e);
    case kDelete:
        return in.I32(at, e.position) && in.I32(at + 4, e.x) && in.I32(at + 8, e.y) &&
               in.I32(at + 12, e.heldX) && in.I32(at + 16, e.heldY) && e.position >= 1;
    default:
        return type == kSiteCopy;
    }
}

// A whole, sound entry at pos: its end in end.
bool entryAt(const CByteReader& in, size_t pos, Entry& e, size_t& end) {
    uint32_t length = 0;
    uint8_t type = 0;
    uint32_t stored = 0;
    if (!in.U32(pos, length) || !in.U8(pos + 4, type) || !plausible(type, length) ||
        !in.Has(pos + kEntryHead, size_t{length} + kEntryTail)) {
        return false;
    }
    const size_t payloadEnd = pos + kEntryHead + length;
    in.U32(payloadEnd, stored);
    if (stored != Crc32(in.Data() + pos, payloadEnd - pos) ||
        !parsePayload(in, type, pos + kEntryHead, length, e)) {
        return false;
    }
    end = payloadEnd + kEntryTail;
    return true;
}

// The next position after from where a change (not a site copy) parses whole; size when none.
size_t resynchronise(const CByteReader& in, size_t from) {
    for (size_t pos = from; pos < in.Size(); ++pos) {
        uint8_t type = 0;
        Entry e;
        size_t end = 0;
        if (in.U8(pos + 4, type) && type != kSiteCopy && entryAt(in, pos, e, end)) {
            return pos;
        }
    }
    return in.Size();
}

// How many entries the bad bytes from..to held, as far as their length fields tell: at least one.
size_t entriesIn(const CByteReader& in, size_t from, size_t to) {
    size_t count = 0;
    for (size_t pos = from; pos < to; ++count) {
        uint32_t length = 0;
        if (!in.U32(pos, length) || size_t{length} + kEntryHead + kEntryTail > to - pos) {
            return count + 1;
        }
        pos += kEntryHead + length + kEntryTail;
    }
    return count;
}

HeaderState readHeader(const CByteReader& in, SiteFingerprint& site) {
    if (in.Size() == 0) {
        return kEmpty;
    }
    const size_t probe = in.Size() < sizeof kMagic ? in.Size() : sizeof kMagic;
    if (std::memcmp(in.Data(), kMagic, probe) != 0) {
        return kNotAJournal;
    }
    uint32_t version = 0;
    if (in.U32(kVersionAt, version) && version != kVersion) {
        return kOtherFormat;
    }
    uint32_t sizeLow = 0;
    uint32_t sizeHigh = 0;
    uint32_t crc = 0;
    if (!in.Has(0, kHeaderSize) || !in.U32(kHeaderCrcAt, crc) ||
        crc != Crc32(in.Data(), kHeaderCrcAt)) {
        return kHeaderBroken;
    }
    in.U32(kSaveTimeAt, site.saveTime);
    in.U32(kSizeAt, sizeLow);
    in.U32(kSizeAt + 4, sizeHigh);
    site.size = uint64_t{sizeHigh} << 32 | sizeLow;
    in.Bytes(kBeforeSurveyAt, site.beforeSurvey.data(), kDigestSize);
    in.Bytes(kSurveyAt, site.survey.data(), kDigestSize);
    in.Bytes(kPictureAt, site.picture.data(), kDigestSize);
    return kHeaderOk;
}

} // namespace

int Contents::Changes() const {
    int changes = 0;
    for (const Entry& entry : entries) {
        changes += entry.type == kPoint || entry.type == kDelete ? 1 : 0;
    }
    return changes;
}

void AppendHeader(const SiteFingerprint& site, std::vector<uint8_t>& out) {
    const size_t from = out.size();
    CByteWriter w(out);
    w.Bytes(kMagic, sizeof kMagic);
    w.U32(kVersion);
    w.U32(site.saveTime);
    w.U32(static_cast<uint32_t>(site.size));
    w.U32(static_cast<uint32_t>(site.size >> 32));
    w.Bytes(site.beforeSurvey.data(), kDigestSize);
    w.Bytes(site.survey.data(), kDigestSize);
    w.Bytes(site.picture.data(), kDigestSize);
    w.U32(checksum(out, from));
}

void AppendSiteCopy(const std::vector<uint8_t>& siteFile, std::vector<uint8_t>& out) {
    const size_t from = out.size();
    CByteWriter w(out);
    w.U32(static_cast<uint32_t>(siteFile.size()));
    w.U8(kSiteCopy);
    w.Bytes(siteFile.data(), siteFile.size());
    w.U32(checksum(out, from));
}

void AppendEntry(const Entry& entry, std::vector<uint8_t>& out) {
    const size_t from = out.size();
    CByteWriter w(out);
    w.U32(0); // the payload length, patched below
    w.U8(entry.type);
    const size_t payload = out.size();
    switch (entry.type) {
    case kKeep:
        w.U8(entry.keep ? 1 : 0);
        break;
    case kPoint: {
        const size_t count =
            entry.records.size() < kMaxReadings ? entry.records.size() : kMaxReadings;
        char name[kNameSize] = {};
        if (!entry.records.empty()) {
            std::memcpy(name, entry.records.front().name, kNameSize);
            calmark::Put(name, calmark::MaskOf(entry.records.data(), entry.records.size()));
        }
        w.I32(entry.x);
        w.I32(entry.y);
        w.Bytes(name, kNameSize);
        w.U16(static_cast<uint16_t>(count));
        for (size_t i = 0; i < count; ++i) {
            w.I32(entry.records[i].channel);
            w.F64(entry.records[i].frequencyMHz);
            w.I16(entry.records[i].rssi);
        }
        break;
    }
    case kDelete:
        w.I32(entry.position);
        w.I32(entry.x);
        w.I32(entry.y);
        w.I32(entry.heldX);
        w.I32(entry.heldY);
        break;
    case kSiteCopy:
        break;
    }
    w.PatchU32(from, static_cast<uint32_t>(out.size() - payload));
    w.U32(checksum(out, from));
}

bool Parse(const uint8_t* data, size_t size, Contents& out) {
    out = Contents{};
    const CByteReader in(data, size);
    out.header = readHeader(in, out.site);
    if (out.header != kHeaderOk) {
        return false;
    }
    size_t pos = kHeaderSize;
    out.validBytes = pos;
    // Set at the first damage to a change: what follows may depend on what was lost.
    bool afterDamage = false;
    bool badBefore = false;
    while (pos < size) {
        Entry entry;
        size_t end = 0;
        if (entryAt(in, pos, entry, end)) {
            if (entry.type == kSiteCopy) {
                if (pos == kHeaderSize) {
                    out.siteCopy.assign(data + pos + kEntryHead, data + end - kEntryTail);
                }
            } else {
                (afterDamage ? out.laterEntries : out.entries).push_back(std::move(entry));
            }
            if (!badBefore) {
                out.validBytes = end;
            }
            pos = end;
            continue;
        }
        const size_t resume = resynchronise(in, pos + 1);
        const size_t lost = entriesIn(in, pos, resume);
        if (resume == size) {
            // Nothing readable follows: a torn write, unless damage came before it.
            out.tornTail = !badBefore;
            out.unreadEntries += badBefore ? lost : 0;
            break;
        }
        // A damaged copy of the site loses only the copy: the changes never depend on it.
        uint8_t type = 0;
        const bool copyLost = pos == kHeaderSize && in.U8(pos + 4, type) && type == kSiteCopy;
        afterDamage = afterDamage || !copyLost;
        badBefore = true;
        out.unreadEntries += lost;
        pos = resume;
    }
    return true;
}

} // namespace journal
