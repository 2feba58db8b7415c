// Journal encoding. Every number is little-endian; each entry is its payload length, its type, the
// payload and a CRC-32 over the three, written with one write so that it lands whole or torn.
#include "files/JournalFormat.h"

#include <cstring>

#include "files/ByteReader.h"
#include "files/ByteWriter.h"
#include "files/CalibrationMark.h"
#include "files/Crc32.h"

namespace journal {

namespace {

constexpr uint8_t kMagic[4] = {'L', 'K', 'S', 'J'};
constexpr uint32_t kVersion = 1;
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

bool parseEntry(const CByteReader& in, uint8_t type, size_t at, size_t length, Entry& e) {
    e.type = static_cast<EntryType>(type);
    switch (type) {
    case kKeep: {
        uint8_t keep = 0;
        e.keep = length == 1 && in.U8(at, keep) && keep != 0;
        return length == 1 && keep <= 1;
    }
    case kPoint:
        return parsePoint(in, at, length, e);
    case kDelete:
        return length == kDeleteSize && in.I32(at, e.position) && in.I32(at + 4, e.x) &&
               in.I32(at + 8, e.y) && in.I32(at + 12, e.heldX) && in.I32(at + 16, e.heldY) &&
               e.position >= 1;
    default:
        return false;
    }
}

} // namespace

void AppendHeader(const SiteState& state, std::vector<uint8_t>& out) {
    const size_t from = out.size();
    CByteWriter w(out);
    w.Bytes(kMagic, sizeof kMagic);
    w.U32(kVersion);
    w.U32(state.saveTime);
    w.U32(static_cast<uint32_t>(state.size));
    w.U32(static_cast<uint32_t>(state.size >> 32));
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
    }
    w.PatchU32(from, static_cast<uint32_t>(out.size() - payload));
    w.U32(checksum(out, from));
}

bool Parse(const uint8_t* data, size_t size, Contents& out) {
    out = Contents{};
    const CByteReader in(data, size);
    uint32_t version = 0;
    uint32_t sizeLow = 0;
    uint32_t sizeHigh = 0;
    uint32_t crc = 0;
    if (!in.Has(0, kHeaderSize) || std::memcmp(data, kMagic, sizeof kMagic) != 0 ||
        !in.U32(4, version) || version != kVersion || !in.U32(8, out.state.saveTime) ||
        !in.U32(12, sizeLow) || !in.U32(16, sizeHigh) || !in.U32(20, crc) ||
        crc != Crc32(data, kHeaderSize - 4)) {
        return false;
    }
    out.state.size = uint64_t{sizeHigh} << 32 | sizeLow;
    size_t pos = kHeaderSize;
    out.validBytes = pos;
    for (;;) {
        uint32_t length = 0;
        uint8_t type = 0;
        if (!in.U32(pos, length) || !in.U8(pos + 4, type) ||
            !in.Has(pos + kEntryHead, size_t{length} + kEntryTail)) {
            break;
        }
        const size_t end = pos + kEntryHead + length;
        uint32_t stored = 0;
        in.U32(end, stored);
        Entry entry;
        if (stored != Crc32(data + pos, end - pos) ||
            !parseEntry(in, type, pos + kEntryHead, length, entry)) {
            break;
        }
        out.entries.push_back(std::move(entry));
        pos = end + kEntryTail;
        out.validBytes = pos;
    }
    return true;
}

} // namespace journal
