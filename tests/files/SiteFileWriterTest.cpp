// Saving a site file: the bytes equal those of the step-by-step update in place, the block rules
// keep every reading, and no failure touches the file being replaced.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "FaultyDisk.h"
#include "TestFiles.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "receiver/Receiver.h"
#include "survey/RecordList.h"
#include "survey/SurveyData.h"

namespace {

constexpr uint32_t kTime = 1700000000u;

uint32_t inkOnDiagonal(int x, int y) {
    return x == y ? 0u : 0x00FFFFFFu;
}

// The save as first described: the file opened for writing and changed in place with seeks,
// writes and a truncation. Our atomic save must leave exactly these bytes.
void updateInPlace(const std::string& path, const uint8_t (&stored)[150], const CRecordList& list,
                   uint32_t (*pixel)(int, int), uint32_t time) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    std::vector<uint8_t> header(stored, stored + 150);
    header[12] = 2;
    PutU32(header, 134, time);
    auto put = [fd](const void* p, size_t n) { ASSERT_EQ(::write(fd, p, n), ssize_t(n)); };
    auto u32 = [&put](uint32_t v) {
        const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        put(b, 4);
    };
    ::lseek(fd, 0, SEEK_SET);
    put(header.data(), 150);
    ::lseek(fd, GetU32(header, 142), SEEK_SET);
    for (int y = 99; y >= 0; --y) {
        for (int x = 0; x < 200; ++x) {
            u32(pixel(x, y));
        }
    }
    const off_t survey = GetU32(header, 146);
    ::lseek(fd, survey, SEEK_SET);
    ASSERT_EQ(::ftruncate(fd, survey), 0);
    u32(42);
    u32(14);
    auto location = [&](const SurveyRecord& r, uint16_t count) {
        u32(uint32_t(r.x));
        u32(uint32_t(r.y));
        put(r.name, 32);
        const uint8_t c[2] = {uint8_t(count), uint8_t(count >> 8)};
        put(c, 2);
    };
    auto reading = [&](const SurveyRecord& r) {
        u32(uint32_t(r.channel));
        uint64_t bits = 0;
        std::memcpy(&bits, &r.frequencyMHz, 8);
        u32(uint32_t(bits));
        u32(uint32_t(bits >> 32));
        const auto v = static_cast<uint16_t>(r.rssi * 16);
        const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
        put(b, 2);
    };
    SurveyRecord* r = nullptr;
    if (list.GetAt(r, 1) == RL_OK) {
        const SurveyRecord* open = r;
        off_t openAt = ::lseek(fd, 0, SEEK_END);
        location(*r, 0);
        uint16_t count = 0;
        if (r->channel != 0) {
            reading(*r);
            count = 1;
        }
        while (list.GetNext(r) == RL_OK) {
            if (r->x != open->x || r->y != open->y || r->channel == 0) {
                ::lseek(fd, openAt, SEEK_SET);
                location(*open, count);
                openAt = ::lseek(fd, 0, SEEK_END);
                open = r;
                location(*r, 0);
                count = 0;
                if (r->channel != 0) {
                    reading(*r);
                    count = 1;
                }
            } else {
                reading(*r);
                ++count;
            }
        }
        ::lseek(fd, openAt, SEEK_SET);
        location(*open, count);
    }
    ::close(fd);
}

// A site with readings of every kind: two blocks at one point, a point without readings, -1601.
std::vector<uint8_t> surveyedSite(SiteOffsets* o = nullptr) {
    CSurveyBytes s;
    s.Sizes()
        .Location(10, 20, "HALL", 2)
        .Reading(1, 870.03, -1216)
        .Reading(25, 1930.75, -1601)
        .Location(40, 50, "EMPTY", 0)
        .Location(10, 20, "AGAIN", 1)
        .Reading(990, 869.01, -15)
        .Location(60, 70, "END", 1)
        .Reading(5, 870.15, 32);
    SiteRecipe recipe;
    recipe.survey = s.Bytes();
    return BuildSite(recipe, o);
}

struct Loaded {
    CSiteFile site;
    CRecordList list;
};

void load(const std::string& path, Loaded& out) {
    std::string detail;
    ASSERT_EQ(CSiteFileReader::Read(path, out.site, detail), SF_OK) << detail;
    ASSERT_EQ(out.site.AppendRecordsTo(out.list), RL_OK);
}

std::vector<SurveyRecord> recordsOf(const CRecordList& list) {
    std::vector<SurveyRecord> out;
    SurveyRecord* r = nullptr;
    for (list.GetAt(r, 1); r != nullptr; list.GetNext(r)) {
        out.push_back(*r);
    }
    return out;
}

TEST(SiteFileWriter, SaveWithoutNewPointsMatchesTheUpdateInPlace) {
    CTempDir dir;
    const std::vector<uint8_t> original = surveyedSite();
    WriteAll(dir.File("a.lks"), original);
    WriteAll(dir.File("b.lks"), original);
    Loaded site;
    load(dir.File("a.lks"), site);

    uint8_t header[150];
    std::memcpy(header, site.site.m_header, 150);
    ASSERT_EQ(CSiteFileWriter().Save(dir.File("a.lks"), header, site.list, inkOnDiagonal, kTime),
              SF_OK);
    updateInPlace(dir.File("b.lks"), site.site.m_header, site.list, inkOnDiagonal, kTime);
    const std::vector<uint8_t> saved = ReadAll(dir.File("a.lks"));
    EXPECT_EQ(saved, ReadAll(dir.File("b.lks")));
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.lks", "b.lks"}));

    // The header held by the caller now says what was written.
    EXPECT_EQ(header[12], 2);
    EXPECT_EQ(GetU32(std::vector<uint8_t>(header, header + 150), 134), kTime);
    EXPECT_EQ(std::memcmp(header, saved.data(), 150), 0);
}

TEST(SiteFileWriter, ReloadKeepsEveryReadingInOrder) {
    CTempDir dir;
    SiteOffsets o;
    const std::vector<uint8_t> original = surveyedSite(&o);
    WriteAll(dir.File("a.lks"), original);
    Loaded before;
    load(dir.File("a.lks"), before);
    uint8_t header[150];
    std::memcpy(header, before.site.m_header, 150);
    ASSERT_EQ(CSiteFileWriter().Save(dir.File("a.lks"), header, before.list, nullptr, kTime),
              SF_OK);
    Loaded after;
    load(dir.File("a.lks"), after);

    const std::vector<SurveyRecord> a = recordsOf(before.list);
    const std::vector<SurveyRecord> b = recordsOf(after.list);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].x, b[i].x) << i;
        EXPECT_EQ(a[i].y, b[i].y) << i;
        EXPECT_EQ(a[i].channel, b[i].channel) << i;
        EXPECT_EQ(a[i].frequencyMHz, b[i].frequencyMHz) << i;
        EXPECT_EQ(a[i].rssi, b[i].rssi) << i;
    }
    EXPECT_EQ(b[1].rssi, -100);
    EXPECT_EQ(b[2].channel, 0); // the point without readings survives
    EXPECT_STREQ(b[2].name, "EMPTY");

    const std::vector<uint8_t> saved = ReadAll(dir.File("a.lks"));
    // Picture, opaque header bytes and the bytes between the parts are untouched.
    EXPECT_TRUE(
        std::equal(original.begin() + 150, original.begin() + o.signature, saved.begin() + 150));
    EXPECT_TRUE(std::equal(original.begin() + 13, original.begin() + 134, saved.begin() + 13));
    // -1601 was loaded as -100 dBm and is written as -1600: HALL block, second reading.
    const size_t hallSecond = o.survey + 8 + 42 + 14;
    EXPECT_EQ(GetU32(saved, hallSecond), 25u);
    EXPECT_EQ(GetI16(saved, hallSecond + 12), -1600);
}

TEST(SiteFileWriter, SignatureIsWrittenBottomRowFirstAsInkOrPaper) {
    CTempDir dir;
    SiteOffsets o;
    WriteAll(dir.File("a.lks"), BuildSite(SiteRecipe{}, &o));
    Loaded site;
    load(dir.File("a.lks"), site);
    int calls = 0;
    auto pixel = [&calls](int x, int y) -> uint32_t {
        ++calls;
        if (x == 3 && y == 0) {
            return 0; // ink at the top row
        }
        return x == 199 && y == 99 ? 0u : 0x123456u; // other colours count as paper
    };
    uint8_t header[150];
    std::memcpy(header, site.site.m_header, 150);
    ASSERT_EQ(CSiteFileWriter().Save(dir.File("a.lks"), header, site.list, pixel, kTime), SF_OK);
    EXPECT_EQ(calls, 20000);
    const std::vector<uint8_t> saved = ReadAll(dir.File("a.lks"));
    auto at = [&](int x, int y) { return GetU32(saved, o.signature + ((99 - y) * 200 + x) * 4); };
    EXPECT_EQ(at(3, 0), 0u);
    EXPECT_EQ(GetU32(saved, o.signature + 199 * 4), 0u); // (199, 99) is the file's first row
    EXPECT_EQ(at(4, 0), 0x00FFFFFFu);
    EXPECT_EQ(at(0, 50), 0x00FFFFFFu);
    size_t ink = 0;
    for (size_t i = 0; i < 20000; ++i) {
        ink += GetU32(saved, o.signature + i * 4) == 0 ? 1 : 0;
    }
    EXPECT_EQ(ink, 2u);
}

TEST(SiteFileWriter, AdjacentScansAtOnePointMergeIntoOneBlock) {
    CReceiver receiver;
    receiver.SetChannelCount(2);
    receiver.SetChannel(0, {0, 1, -800});
    receiver.SetChannel(1, {0, 2, -900});
    CRecordList list;
    CSurveyData store(list, receiver);
    store.SetLocation(5, 6, "TEST");
    store.TakeScan();
    store.TakeScan(); // same point, right after
    store.SetLocation(7, 8, "TEST");
    store.TakeScan();
    store.SetLocation(5, 6, "TEST"); // same point again, but not adjacent
    store.TakeScan();

    std::vector<uint8_t> data;
    CSiteFileWriter::AppendSurveyData(list, data);
    ASSERT_EQ(data.size(), 8u + 3 * 42 + 8 * 14);
    EXPECT_EQ(GetU32(data, 8), 5u);
    EXPECT_EQ(data[8 + 40], 4); // both scans at (5, 6)
    EXPECT_EQ(GetU32(data, 8 + 42 + 4 * 14), 7u);
    EXPECT_EQ(data[8 + 42 + 4 * 14 + 40], 2);
    EXPECT_EQ(data[8 + 2 * 42 + 6 * 14 + 40], 2);
}

TEST(SiteFileWriter, ChannelZeroRecordOpensABlockThatLaterReadingsJoin) {
    CRecordList list;
    AppendRecord(list, 1, 1, "P", 0, 0.0, -100);
    AppendRecord(list, 1, 1, "P", 7, 870.21, -60);
    AppendRecord(list, 1, 1, "P", 8, 870.24, -61);
    AppendRecord(list, 1, 1, "P", 0, 0.0, -100); // a channel-0 record always opens its own block
    std::vector<uint8_t> data;
    CSiteFileWriter::AppendSurveyData(list, data);
    ASSERT_EQ(data.size(), 8u + 2 * 42 + 2 * 14);
    EXPECT_EQ(data[8 + 40], 2);
    EXPECT_EQ(GetU32(data, 8 + 42), 7u);
    EXPECT_EQ(data[8 + 42 + 2 * 14 + 40], 0);
}

TEST(SiteFileWriter, EmptyListEndsTheFileAfterTheSizeWords) {
    CTempDir dir;
    SiteOffsets o;
    WriteAll(dir.File("a.lks"), surveyedSite(&o));
    Loaded site;
    load(dir.File("a.lks"), site);
    CRecordList empty;
    uint8_t header[150];
    std::memcpy(header, site.site.m_header, 150);
    ASSERT_EQ(CSiteFileWriter().Save(dir.File("a.lks"), header, empty, nullptr, kTime), SF_OK);
    const std::vector<uint8_t> saved = ReadAll(dir.File("a.lks"));
    ASSERT_EQ(saved.size(), o.survey + 8u);
    EXPECT_EQ(GetU32(saved, o.survey), 42u);
    EXPECT_EQ(GetU32(saved, o.survey + 4), 14u);
}

TEST(SiteFileWriter, ShortFileIsExtendedAsAnUpdateInPlaceWould) {
    CTempDir dir;
    SiteOffsets o;
    std::vector<uint8_t> original = surveyedSite(&o);
    Loaded site;
    WriteAll(dir.File("full.lks"), original);
    load(dir.File("full.lks"), site);
    original.resize(o.signature + 1000); // ends inside the signature area
    WriteAll(dir.File("a.lks"), original);
    WriteAll(dir.File("b.lks"), original);
    uint8_t header[150];
    std::memcpy(header, site.site.m_header, 150);
    ASSERT_EQ(CSiteFileWriter().Save(dir.File("a.lks"), header, site.list, inkOnDiagonal, kTime),
              SF_OK);
    updateInPlace(dir.File("b.lks"), site.site.m_header, site.list, inkOnDiagonal, kTime);
    EXPECT_EQ(ReadAll(dir.File("a.lks")), ReadAll(dir.File("b.lks")));
}

// A file moved away, replaced by another site or cut short after the open: the save rebuilds
// the whole file from the bytes the open read, exactly as updating the original would have left
// it. Without those bytes it is refused, never written with an empty picture.
TEST(SiteFileWriter, FileGoneOrReplacedIsRebuiltFromTheBytesTheOpenRead) {
    SiteRecipe otherRecipe;
    otherRecipe.width = 9;
    const std::vector<uint8_t> original = surveyedSite();
    std::vector<uint8_t> truncated = original;
    truncated.resize(500);
    const struct {
        const char* name;
        bool present;
        std::vector<uint8_t> onDisk;
    } cases[] = {{"missing", false, {}},
                 {"another site", true, BuildSite(otherRecipe)},
                 {"cut short", true, truncated}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDir dir;
        Loaded site;
        WriteAll(dir.File("a.lks"), original);
        load(dir.File("a.lks"), site);
        WriteAll(dir.File("b.lks"), original);
        updateInPlace(dir.File("b.lks"), site.site.m_header, site.list, inkOnDiagonal, kTime);
        if (c.present) {
            WriteAll(dir.File("a.lks"), c.onDisk);
        } else {
            ASSERT_EQ(::unlink(dir.File("a.lks").c_str()), 0);
        }

        uint8_t header[150];
        std::memcpy(header, site.site.m_header, 150);
        EXPECT_EQ(
            CSiteFileWriter().Save(dir.File("a.lks"), header, site.list, inkOnDiagonal, kTime),
            SF_UPDATE_FAILED);
        EXPECT_EQ(ReadAll(dir.File("a.lks")), c.onDisk);
        ASSERT_EQ(CSiteFileWriter().Save(dir.File("a.lks"), header, site.list, inkOnDiagonal, kTime,
                                         &site.site.m_snapshot.bytesBeforeSurvey),
                  SF_OK);
        EXPECT_EQ(ReadAll(dir.File("a.lks")), ReadAll(dir.File("b.lks")));
    }
}

TEST(SiteFileWriter, LongRunAtOnePointSplitsBeforeItsCountOverflows) {
    CRecordList list;
    const int total = 65535 + 3;
    for (int i = 0; i < total; ++i) {
        AppendRecord(list, 2, 3, "TEST", 1 + i % 30, 870.03, static_cast<int16_t>(-(i % 100)));
    }
    std::vector<uint8_t> data;
    CSiteFileWriter::AppendSurveyData(list, data);
    ASSERT_EQ(data.size(), 8u + 2 * 42 + size_t(total) * 14);
    EXPECT_EQ(GetI16(data, 8 + 40), -1); // 65535
    const size_t second = 8 + 42 + 65535 * 14;
    EXPECT_EQ(GetU32(data, second), 2u);
    EXPECT_EQ(data[second + 40], 3);

    SiteRecipe recipe;
    recipe.survey = data;
    const std::vector<uint8_t> file = BuildSite(recipe);
    CSiteFile site;
    std::string detail;
    ASSERT_EQ(CSiteFileReader::Parse(file.data(), file.size(), site, detail), SF_OK);
    ASSERT_EQ(site.m_records.size(), size_t(total));
    EXPECT_EQ(site.m_records.back().channel, 1 + (total - 1) % 30);
}

TEST(SiteFileWriter, RssiBeyondSixteenBitsIsClampedNotWrapped) {
    CRecordList list;
    AppendRecord(list, 0, 0, "X", 1, 870.03, 3000);
    AppendRecord(list, 0, 0, "X", 2, 870.06, -3000);
    std::vector<uint8_t> data;
    CSiteFileWriter::AppendSurveyData(list, data);
    EXPECT_EQ(GetI16(data, 8 + 42 + 12), 32767);
    EXPECT_EQ(GetI16(data, 8 + 42 + 14 + 12), -32768);
}

// Headers a save must refuse: the file, the caller's header and the folder stay as they were.
TEST(SiteFileWriter, RefusesAHeaderItCannotWriteAndChangesNothing) {
    CTempDir dir;
    SiteOffsets o;
    WriteAll(dir.File("a.lks"), surveyedSite(&o));
    Loaded site;
    load(dir.File("a.lks"), site);
    const std::vector<uint8_t> before = ReadAll(dir.File("a.lks"));
    const struct {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> spoil;
    } cases[] = {
        {"no room for the signature", [&](auto& h) { PutU32(h, 146, o.signature + 79999); }},
        {"survey data before the signature", [&](auto& h) { PutU32(h, 146, o.signature - 1); }},
        {"not a site header", [](auto& h) { h[5] = 'X'; }},
        {"another header size", [](auto& h) { h[0] = 149; }},
        {"the signature on the pixel rows",
         [&](auto& h) {
             PutU32(h, 142, o.pixels + 4);
             PutU32(h, 146, o.pixels + 4 + 80000);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> spoilt(site.site.m_header, site.site.m_header + 150);
        c.spoil(spoilt);
        uint8_t header[150];
        std::memcpy(header, spoilt.data(), 150);
        EXPECT_EQ(
            CSiteFileWriter().Save(dir.File("a.lks"), header, site.list, inkOnDiagonal, kTime),
            SF_UPDATE_FAILED);
        EXPECT_EQ(ReadAll(dir.File("a.lks")), before);
        EXPECT_EQ(std::memcmp(header, spoilt.data(), 150), 0);
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.lks"});
    }
}

TEST(SiteFileWriter, FailureAtAnyStepLeavesTheOriginalByteIdentical) {
    const struct {
        CFaultyDisk::Op step;
        size_t room; // bytes written before the disk is full (the last write short)
        int error;
    } cases[] = {
        {CFaultyDisk::kCreate, 0, EACCES},   {CFaultyDisk::kWrite, 0, ENOSPC},
        {CFaultyDisk::kWrite, 4000, ENOSPC}, {CFaultyDisk::kSync, 0, EIO},
        {CFaultyDisk::kClose, 0, EIO},       {CFaultyDisk::kRename, 0, EXDEV},
    };
    for (const auto& c : cases) {
        CTempDir dir;
        const std::vector<uint8_t> original = surveyedSite();
        WriteAll(dir.File("a.lks"), original);
        Loaded site;
        load(dir.File("a.lks"), site);
        AppendRecord(site.list, 99, 99, "NEW", 3, 870.09, -70); // something new to lose
        uint8_t header[150];
        std::memcpy(header, site.site.m_header, 150);
        CFaultyDisk fs;
        fs.Fail(c.step, c.error, dir.Path());
        fs.LeaveRoom(c.room);
        CSiteFileWriter writer(fs);
        EXPECT_EQ(writer.Save(dir.File("a.lks"), header, site.list, inkOnDiagonal, kTime),
                  SF_UPDATE_FAILED)
            << c.step;
        EXPECT_EQ(writer.LastError(), c.error) << c.step;
        EXPECT_EQ(ReadAll(dir.File("a.lks")), original) << c.step;
        EXPECT_EQ(std::memcmp(header, site.site.m_header, 150), 0) << c.step;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.lks"}) << c.step; // no temp left
    }
}

TEST(SiteFileWriter, FailsWhenTheTargetCannotBeReplaced) {
    CTempDir dir;
    WriteAll(dir.File("a.lks"), surveyedSite());
    Loaded site;
    load(dir.File("a.lks"), site);
    uint8_t header[150];
    std::memcpy(header, site.site.m_header, 150);
    const CSiteFileWriter writer;
    EXPECT_EQ(writer.Save(dir.File("missing/a.lks"), header, site.list, nullptr, kTime),
              SF_UPDATE_FAILED);
    ASSERT_EQ(::mkdir(dir.File("folder.lks").c_str(), 0755), 0);
    EXPECT_EQ(writer.Save(dir.File("folder.lks"), header, site.list, nullptr, kTime),
              SF_UPDATE_FAILED);
    EXPECT_EQ(writer.LastError(), EISDIR);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.lks", "folder.lks"}));
}

TEST(SiteFileWriter, KeepsPermissionsAndSymbolicLinks) {
    CTempDir dir;
    WriteAll(dir.File("a.lks"), surveyedSite());
    ASSERT_EQ(::chmod(dir.File("a.lks").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("a.lks", dir.File("link.lks").c_str()), 0);
    Loaded site;
    load(dir.File("link.lks"), site);
    uint8_t header[150];
    std::memcpy(header, site.site.m_header, 150);
    ASSERT_EQ(CSiteFileWriter().Save(dir.File("link.lks"), header, site.list, nullptr, kTime),
              SF_OK);
    struct stat st {};
    ASSERT_EQ(::lstat(dir.File("link.lks").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::stat(dir.File("a.lks").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadAll(dir.File("a.lks"))[12], 2);
}

} // namespace
