// The survey journal at the file layer: bound to the bytes of its site, damage told from a torn
// tail and never cut, every journal set aside named for why, journalling that moves to the state
// folder when its place fails, and a deleted site written again from its journal.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "FaultyDisk.h"
#include "TestFiles.h"
#include "files/JournalCheck.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "files/SurveyJournal.h"

namespace {

constexpr size_t kPointEntry = 9 + 42 + 3 * 14;
constexpr size_t kKeepEntry = 10;

CSiteFile openSite(const std::string& path) {
    CSiteFile site;
    std::string detail;
    EXPECT_EQ(CSiteFileReader::Read(path, site, detail), SF_OK) << detail;
    return site;
}

journal::Entry pointAt(int32_t x, int32_t y) {
    journal::Entry e;
    e.type = journal::kPoint;
    e.x = x;
    e.y = y;
    for (int k = 0; k < 3; ++k) {
        SurveyRecord r;
        r.x = x;
        r.y = y;
        r.channel = 1 + k;
        r.frequencyMHz = 870.03 + 0.03 * k;
        r.rssi = static_cast<int16_t>(-50 - k);
        e.records.push_back(r);
    }
    return e;
}

class Journal : public ::testing::Test {
protected:
    // A 7 x 3 site never saved, as a desktop program leaves it.
    std::string MakeSite(const std::string& name, uint8_t firstPixel = 0) {
        SiteOffsets o;
        std::vector<uint8_t> bytes = BuildSite(SiteRecipe(), &o);
        bytes[o.pixels] = firstPixel;
        WriteAll(dir.File(name), bytes);
        return dir.File(name);
    }

    // The journal a surveyor leaves after points (the keep answer first), not removed.
    std::string Survey(const std::string& site, int points, IFileSystem& fs) {
        CSurveyJournal journal(fs);
        EXPECT_TRUE(journal.Begin(site, openSite(site).m_snapshot, true));
        for (int i = 0; i < points; ++i) {
            EXPECT_TRUE(journal.Append(pointAt(10 * i, 20 * i)));
        }
        return journal.Path();
    }
    std::string Survey(const std::string& site, int points) {
        return Survey(site, points, ThePosixFileSystem());
    }

    CTempDir dir;
    CStateHome state{dir.File("state")};
};

TEST_F(Journal, OnlyATornTailIsCutOffAndDamageKeepsEveryByte) {
    const size_t siteSize = BuildSite(SiteRecipe()).size();
    const size_t firstPoint = journal::kHeaderSize + 9 + siteSize + kKeepEntry;
    const struct {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> spoil;
        int16_t reason;
        int changes;   // recovered, before any damage
        size_t unread; // entries that could not be read, with readable ones after them
        size_t later;  // readable changes after the damage
        bool torn;     // cut off, and the journal goes on
    } cases[] = {
        {"whole", [](std::vector<uint8_t>&) {}, JR_SOUND, 3, 0, 0, false},
        {"last entry cut short", [](std::vector<uint8_t>& b) { b.resize(b.size() - 7); }, JR_SOUND,
         2, 0, 0, true},
        {"flipped byte in the last entry", [](std::vector<uint8_t>& b) { b[b.size() - 20] ^= 1; },
         JR_SOUND, 2, 0, 0, true},
        {"zeros after the last entry", [](std::vector<uint8_t>& b) { b.resize(b.size() + 64); },
         JR_SOUND, 3, 0, 0, true},
        {"flipped byte in the first point",
         [&](std::vector<uint8_t>& b) { b[firstPoint + 20] ^= 0x10; }, JR_DAMAGED, 0, 1, 2, false},
        {"flipped byte in the second point",
         [&](std::vector<uint8_t>& b) { b[firstPoint + kPointEntry + 20] ^= 0x10; }, JR_DAMAGED, 1,
         1, 1, false},
        {"length of the second point spoilt",
         [&](std::vector<uint8_t>& b) { b[firstPoint + kPointEntry + 1] = 0x7F; }, JR_DAMAGED, 1, 1,
         1, false},
        {"flipped byte in the copy of the site",
         [&](std::vector<uint8_t>& b) { b[journal::kHeaderSize + 500] ^= 0x10; }, JR_DAMAGED, 3, 1,
         0, false},
    };
    const std::string site = MakeSite("site.lks");
    const SiteFingerprint print = openSite(site).m_snapshot.identity.print;
    const std::string path = Survey(site, 3);
    const std::vector<uint8_t> whole = ReadAll(path);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes = whole;
        c.spoil(bytes);
        WriteAll(path, bytes);

        const JournalCheck check = CheckJournal(path, &print);
        EXPECT_EQ(check.reason, c.reason);
        EXPECT_EQ(check.contents.Changes(), c.changes);
        EXPECT_EQ(check.contents.unreadEntries, c.unread);
        EXPECT_EQ(check.contents.laterEntries.size(), c.later);
        EXPECT_EQ(check.contents.tornTail, c.torn);
        EXPECT_EQ(check.Offerable(), c.changes > 0);
        ASSERT_EQ(check.Continuable(), c.reason == JR_SOUND);
        if (check.Continuable()) {
            // New entries go after the good ones, never behind bad bytes.
            CSurveyJournal journal;
            ASSERT_TRUE(journal.Resume(site, path, check.contents));
            ASSERT_TRUE(journal.Append(pointAt(99, 99)));
            const JournalCheck after = CheckJournal(path, &print);
            EXPECT_EQ(after.reason, JR_SOUND);
            EXPECT_FALSE(after.contents.tornTail);
            EXPECT_EQ(after.contents.Changes(), c.changes + 1);
        } else {
            std::string aside;
            ASSERT_TRUE(SetAsideJournal(path, check.reason, aside));
            EXPECT_EQ(aside, path + ".damaged");
            EXPECT_EQ(ReadAll(aside), bytes) << "set aside whole, never cut";
            ASSERT_EQ(std::rename(aside.c_str(), path.c_str()), 0);
        }
    }
}

// Whatever is found where a journal should be is judged without hanging, and set aside under a
// name that says what it was, next to any set aside before.
TEST_F(Journal, EachJournalSetAsideIsNamedForWhatItWas) {
    const std::string site = MakeSite("site.lks");
    const SiteFingerprint print = openSite(site).m_snapshot.identity.print;
    const std::string path = CSurveyJournal::PathBeside(site);
    const std::vector<uint8_t> real = ReadAll(Survey(site, 1));
    ASSERT_EQ(::unlink(path.c_str()), 0);
    std::vector<uint8_t> otherFormat = real;
    otherFormat[4] = 9;
    const struct {
        const char* name;
        std::function<void()> make;
        int16_t reason;
        const char* word;
    } cases[] = {
        {"empty", [&] { WriteAll(path, {}); }, JR_EMPTY, "empty"},
        {"garbage", [&] { WriteText(path, "not a journal at all"); }, JR_NOT_A_JOURNAL,
         "not-a-journal"},
        {"folder", [&] { ::mkdir(path.c_str(), 0755); }, JR_NOT_A_FILE, "not-a-file"},
        {"pipe", [&] { ::mkfifo(path.c_str(), 0644); }, JR_NOT_A_FILE, "not-a-file"},
        {"another format", [&] { WriteAll(path, otherFormat); }, JR_OTHER_FORMAT, "other-format"},
        {"header cut short",
         [&] { WriteAll(path, std::vector<uint8_t>(real.begin(), real.begin() + 60)); }, JR_DAMAGED,
         "damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* suffix : {"", ".2"}) {
            c.make();
            const JournalFinding finding = FindJournals(site, &print);
            ASSERT_EQ(finding.journals.size(), 1u);
            EXPECT_EQ(finding.journals[0].reason, c.reason);
            EXPECT_EQ(finding.offered, -1);
            std::string aside;
            ASSERT_TRUE(SetAsideJournal(path, finding.journals[0].reason, aside));
            EXPECT_EQ(aside, path + "." + c.word + suffix);
        }
        for (const char* suffix : {"", ".2"}) {
            ASSERT_EQ(std::remove((path + "." + c.word + suffix).c_str()), 0);
        }
    }
}

// A read that fails part way (a bad sector) still gives what came before it, and the journal is
// never continued or cut where it could not be read.
TEST_F(Journal, AnUnreadableJournalStillOffersWhatCouldBeRead) {
    const std::string site = MakeSite("site.lks");
    const SiteSnapshot opened = openSite(site).m_snapshot;
    const SiteFingerprint& print = opened.identity.print;
    std::vector<uint8_t> bytes;
    journal::AppendHeader(print, bytes);
    journal::AppendSiteCopy(opened.WholeFile(), bytes);
    for (int i = 0; i < 1000; ++i) {
        journal::AppendEntry(pointAt(i, i), bytes);
    }
    const std::string path = CSurveyJournal::PathBeside(site);
    WriteAll(path, bytes);
    CFaultyDisk disk;
    disk.Fail(CFaultyDisk::kRead, EIO, path, 2); // two chunks of 64 KiB, then the error
    const JournalCheck check = CheckJournal(path, &print, disk);
    EXPECT_EQ(check.reason, JR_UNREADABLE);
    EXPECT_EQ(check.error, EIO);
    EXPECT_TRUE(check.Offerable());
    EXPECT_GT(check.contents.Changes(), 100);
    EXPECT_LT(check.contents.Changes(), 1000);
    EXPECT_FALSE(check.Continuable());
    EXPECT_FALSE(check.contents.tornTail);
}

// A full, broken or pulled stick at any write: everything since the open goes to a fresh journal
// in the state folder, and the survey goes on there.
TEST_F(Journal, AFailedWriteMovesEveryChangeToTheStateFolder) {
    const struct {
        const char* name;
        CFaultyDisk::Op op;
        int error;
        int pointsBefore; // points journalled beside the site before the failure
    } cases[] = {
        {"full stick", CFaultyDisk::kWrite, ENOSPC, 2},
        {"broken stick", CFaultyDisk::kSyncData, EIO, 2},
        {"pulled stick", CFaultyDisk::kWrite, ENODEV, 2},
        {"read-only at the start", CFaultyDisk::kOpen, EROFS, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDir plans;
        const std::string site = plans.File("site.lks");
        WriteAll(site, BuildSite(SiteRecipe()));
        const CSiteFile opened = openSite(site);
        CFaultyDisk disk;
        CSurveyJournal journal(disk);
        if (c.pointsBefore == 0) {
            disk.Fail(c.op, c.error, plans.Path());
        }
        ASSERT_TRUE(journal.Begin(site, opened.m_snapshot, true));
        for (int i = 0; i < c.pointsBefore; ++i) {
            ASSERT_TRUE(journal.Append(pointAt(i, i)));
        }
        EXPECT_EQ(journal.MovedBecause(), c.pointsBefore == 0 ? c.error : 0);
        disk.Fail(c.op, c.error, plans.Path());
        ASSERT_TRUE(journal.Append(pointAt(50, 50)));
        ASSERT_TRUE(journal.Append(pointAt(60, 60)));
        EXPECT_EQ(journal.MovedBecause(), c.error);
        EXPECT_EQ(journal.Path(), CSurveyJournal::PathInStateFolder(site));

        const SiteFingerprint print = opened.m_snapshot.identity.print;
        const JournalFinding finding = FindJournals(site, &print, disk);
        ASSERT_NE(finding.Offered(), nullptr);
        EXPECT_EQ(finding.Offered()->path, journal.Path());
        EXPECT_EQ(finding.Offered()->contents.Changes(), c.pointsBefore + 2);
        EXPECT_EQ(finding.journals.size(), 1u) << "the one left behind held nothing more";
    }
}

TEST_F(Journal, WhenNoPlaceTakesAChangeTheNextOneTakesItAlong) {
    const std::string site = MakeSite("site.lks");
    const CSiteFile opened = openSite(site);
    CFaultyDisk disk;
    CSurveyJournal journal(disk);
    ASSERT_TRUE(journal.Begin(site, opened.m_snapshot, false));
    disk.Fail(CFaultyDisk::kWrite, ENOSPC, dir.Path()); // the site's folder and the state folder
    EXPECT_FALSE(journal.Append(pointAt(1, 1)));
    EXPECT_EQ(journal.Error(), ENOSPC);
    disk.Heal();
    ASSERT_TRUE(journal.Append(pointAt(2, 2)));
    const SiteFingerprint print = opened.m_snapshot.identity.print;
    const JournalFinding finding = FindJournals(site, &print);
    ASSERT_NE(finding.Offered(), nullptr);
    const std::vector<journal::Entry>& entries = finding.Offered()->contents.entries;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_FALSE(entries[0].keep);
    EXPECT_EQ(entries[1].x, 1) << "the change no place took at first";
    EXPECT_EQ(entries[2].x, 2);
}

// A deleted site is written again byte for byte from the copy its journal keeps (the recovery
// that follows is the controller's), and never over a file, nor from a copy that does not match.
TEST_F(Journal, ASiteIsWrittenAgainOnlyWhereItIsMissingAndOnlyFromAWholeCopy) {
    const std::string site = MakeSite("site.lks");
    const std::vector<uint8_t> original = ReadAll(site);
    Survey(site, 2);
    const JournalCheck journal = CheckJournal(CSurveyJournal::PathBeside(site), nullptr);
    int error = 0;
    EXPECT_EQ(RebuildSite(journal.contents, site, error), RB_SITE_EXISTS);
    ASSERT_EQ(::unlink(site.c_str()), 0);
    journal::Contents spoilt = journal.contents;
    spoilt.siteCopy[300] ^= 1;
    EXPECT_EQ(RebuildSite(spoilt, site, error), RB_NO_COPY);
    EXPECT_EQ(access(site.c_str(), F_OK), -1);
    ASSERT_EQ(RebuildSite(journal.contents, site, error), RB_OK);
    EXPECT_EQ(ReadAll(site), original);
}

} // namespace
