// What keeps a site file safe around its save: the file on disk compared with the one opened (a
// replaced file is never merged into), Save As, the folder flushed before the journal goes,
// leftovers of a killed save removed, one program per site.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "FaultyDisk.h"
#include "TestFiles.h"
#include "files/AtomicFile.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "files/SiteLock.h"
#include "files/SurveyJournal.h"
#include "survey/RecordList.h"

namespace {

constexpr uint32_t kTime = 1700000000u;

struct Opened {
    CSiteFile site;
    uint8_t header[150] = {};
};

void open(const std::string& path, Opened& out) {
    std::string detail;
    ASSERT_EQ(CSiteFileReader::Read(path, out.site, detail), SF_OK) << detail;
    std::memcpy(out.header, out.site.m_header, sizeof out.header);
}

std::vector<uint8_t> planWithFirstPixel(uint8_t value) {
    SiteOffsets o;
    std::vector<uint8_t> bytes = BuildSite(SiteRecipe(), &o);
    bytes[o.pixels] = value;
    return bytes;
}

// The bytes at path, none for a folder.
std::vector<uint8_t> bytesAt(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? ReadAll(path)
                                                                 : std::vector<uint8_t>{};
}

CRecordList& onePoint() {
    static CRecordList list;
    if (list.IsEmpty()) {
        AppendRecord(list, 3, 2, "TEST", 1, 870.03, -55);
    }
    return list;
}

TEST(SiteOnDisk, ASaveUpdatesTheFileOpenedAndNeverAnotherPutInItsPlace) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> meanwhile;
        int16_t onDisk;
        int16_t saved;
    } cases[] = {
        {"untouched", [](const std::string&) {}, SD_UNCHANGED, SF_OK},
        {"touched, same bytes",
         [](const std::string& p) {
             const struct timespec times[2] = {{0, UTIME_OMIT}, {1, 0}};
             ::utimensat(AT_FDCWD, p.c_str(), times, 0);
         },
         SD_UNCHANGED, SF_OK},
        {"copied back over itself",
         [](const std::string& p) {
             const std::vector<uint8_t> bytes = ReadAll(p);
             ::unlink(p.c_str());
             WriteAll(p, bytes);
         },
         SD_UNCHANGED, SF_OK},
        {"deleted", [](const std::string& p) { ::unlink(p.c_str()); }, SD_GONE, SF_OK},
        {"moved away", [](const std::string& p) { std::rename(p.c_str(), (p + ".moved").c_str()); },
         SD_GONE, SF_OK},
        {"another plan of the same size",
         [](const std::string& p) { WriteAll(p, planWithFirstPixel(0x77)); }, SD_REPLACED,
         SF_SITE_REPLACED},
        {"points added by another program",
         [](const std::string& p) {
             std::vector<uint8_t> bytes = ReadAll(p);
             bytes.insert(bytes.end(), 42, 0);
             WriteAll(p, bytes);
         },
         SD_REPLACED, SF_SITE_REPLACED},
        {"a folder",
         [](const std::string& p) {
             ::unlink(p.c_str());
             ::mkdir(p.c_str(), 0755);
         },
         SD_REPLACED, SF_SITE_REPLACED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDir dir;
        const std::string path = dir.File("a.lks");
        WriteAll(path, planWithFirstPixel(0));
        Opened opened;
        open(path, opened);
        const std::vector<uint8_t> before = ReadAll(path);
        c.meanwhile(path);
        const std::vector<uint8_t> there = bytesAt(path);

        SiteIdentity identity = opened.site.m_snapshot.identity;
        int error = 0;
        EXPECT_EQ(CheckSiteOnDisk(ThePosixFileSystem(), path, identity, error), c.onDisk);
        const CSiteFileWriter writer;
        SiteSnapshot& snapshot = opened.site.m_snapshot;
        ASSERT_EQ(writer.Save(path, opened.header, onePoint(), nullptr, kTime, snapshot), c.saved);
        if (c.saved != SF_OK) {
            EXPECT_EQ(bytesAt(path), there) << "never merged into";
            EXPECT_EQ(std::memcmp(opened.header, opened.site.m_header, 150), 0);
            continue;
        }
        Opened again;
        open(path, again);
        EXPECT_EQ(again.site.m_records.size(), 1u);
        EXPECT_EQ(again.site.m_picture.pixels, opened.site.m_picture.pixels);
        EXPECT_EQ(again.site.m_snapshot.identity.print, snapshot.identity.print)
            << "the snapshot describes the file written";
        EXPECT_EQ(CheckSiteOnDisk(ThePosixFileSystem(), path, snapshot.identity, error),
                  SD_UNCHANGED);
        EXPECT_NE(ReadAll(path), before);
    }
}

// A site opened from a temporary folder.
class OpenedSite : public ::testing::Test {
protected:
    void SetUp() override {
        WriteAll(path, planWithFirstPixel(0));
        open(path, opened);
    }

    CTempDir dir;
    const std::string path = dir.File("a.lks");
    Opened opened;
};

// After a save the journal goes only once the new file is sure to stay: renamed into place and
// its folder flushed.
TEST_F(OpenedSite, TheFolderIsFlushedAfterTheRenameAndBeforeTheJournalGoes) {
    CFaultyDisk disk;
    CSurveyJournal journal(disk);
    ASSERT_TRUE(journal.Begin(path, opened.site.m_snapshot, true));
    disk.log.clear();
    const CSiteFileWriter writer(disk);
    ASSERT_EQ(writer.Save(path, opened.header, onePoint(), nullptr, kTime, opened.site.m_snapshot),
              SF_OK);
    ASSERT_TRUE(writer.FolderSynced());
    ASSERT_TRUE(journal.Remove());
    ASSERT_EQ(disk.log.size(), 4u);
    EXPECT_EQ(disk.log[0].rfind("rename " + dir.File(".a.lks.save-"), 0), 0u) << disk.log[0];
    EXPECT_EQ(disk.log[1], "sync-folder " + dir.Path());
    EXPECT_EQ(disk.log[2], "unlink " + CSurveyJournal::PathBeside(path));
    EXPECT_EQ(disk.log[3], "sync-folder " + dir.Path());

    disk.Fail(CFaultyDisk::kSyncFolder, EIO, dir.Path());
    EXPECT_EQ(writer.Save(path, opened.header, onePoint(), nullptr, kTime, opened.site.m_snapshot),
              SF_OK);
    EXPECT_FALSE(writer.FolderSynced()) << "so the caller keeps its journal";
}

// A save killed half way leaves its temporary file; the next open of the site removes it, and
// only it: not another program's save in progress, not a file of the surveyor's.
TEST_F(OpenedSite, TemporaryFilesOfAKilledSaveAreRemoved) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CAtomicFile file;
        const std::vector<uint8_t> bytes(100000, 0xAB);
        if (file.Begin(path) && file.Write(bytes.data(), bytes.size())) {
            ::raise(SIGKILL);
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(dir.Entries().size(), 2u) << "the killed save's temporary file";
    const std::string alive = dir.File(".a.lks.save-" + std::to_string(::getpid()) + "-AbC123");
    WriteAll(alive, {1});
    WriteAll(dir.File(".a.lks.save-backup"), {2});
    WriteAll(dir.File(".b.lks.save-1-AbC123"), {3});

    EXPECT_EQ(CAtomicFile::RemoveLeftovers(path), 1);
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{".a.lks.save-" + std::to_string(::getpid()) + "-AbC123",
                                        ".a.lks.save-backup", ".b.lks.save-1-AbC123", "a.lks"}));
}

TEST_F(OpenedSite, ASecondProgramIsToldTheSiteIsOpenElsewhereAndTouchesNothing) {
    ASSERT_EQ(::symlink("a.lks", dir.File("link.lks").c_str()), 0);
    CSiteLock first;
    ASSERT_EQ(first.Acquire(path), CFileLock::LK_OK);
    EXPECT_TRUE(first.IsFor(dir.File("link.lks")));
    const std::vector<std::string> entries = dir.Entries();

    CSiteLock second;
    EXPECT_EQ(second.Acquire(dir.File("link.lks")), CFileLock::LK_HELD_ELSEWHERE);
    EXPECT_FALSE(second.IsHeld());
    EXPECT_EQ(dir.Entries(), entries);

    first.Release();
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.lks", "link.lks"})) << "no lock file";
    EXPECT_EQ(second.Acquire(path), CFileLock::LK_OK);
}

// The lock dies with its program: a crash leaves nothing that keeps the site closed.
TEST_F(OpenedSite, AKilledProgramLeavesNoStaleLock) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CSiteLock lock;
        const char answer = lock.Acquire(path) == CFileLock::LK_OK ? 'Y' : 'N';
        (void)!::write(ready[1], &answer, 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'Y');
    CSiteLock mine;
    EXPECT_EQ(mine.Acquire(path), CFileLock::LK_HELD_ELSEWHERE);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(mine.Acquire(path), CFileLock::LK_OK);
    ::close(ready[0]);
    ::close(ready[1]);
}

} // namespace
