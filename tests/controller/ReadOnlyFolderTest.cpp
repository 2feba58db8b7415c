// A site in a folder that cannot be written (a mounted plan library, a locked stick): the journal
// goes to the user's state folder instead, and a recovery finds it there.
#include "SurveyFlowFixture.h"

#include <cstdlib>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/SurveyJournal.h"

namespace {

// Makes a folder immutable for its life: no file can be created in it, not even by root, whose
// permission checks a read-only mode would not stop.
class CLockedFolder {
public:
    explicit CLockedFolder(const std::string& path) : m_fd(::open(path.c_str(), O_RDONLY)) {
        int flags = 0;
        m_locked = m_fd >= 0 && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                   (flags |= FS_IMMUTABLE_FL, ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0);
    }
    ~CLockedFolder() {
        int flags = 0;
        if (m_locked && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags);
        }
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    CLockedFolder(const CLockedFolder&) = delete;
    CLockedFolder& operator=(const CLockedFolder&) = delete;
    bool Locked() const { return m_locked; }

private:
    int m_fd;
    bool m_locked = false;
};

TEST_F(SurveyFlow, AJournalThatCannotGoBesideTheSiteGoesToTheStateFolder) {
    ASSERT_EQ(::mkdir(dir.File("plans").c_str(), 0755), 0);
    const std::string site = MakeSite("plans/site.lks");
    const CStateHome state(dir.File("state"));
    CLockedFolder locked(dir.File("plans"));
    if (!locked.Locked()) {
        GTEST_SKIP() << "this file system cannot lock a folder";
    }
    Open(site, false);
    LoadTable();
    ASSERT_TRUE(TakePoint(100, 100));
    const std::vector<Reading> taken = ReadingsOf(controller->Records());
    const std::string journal = CSurveyJournal::PathInStateFolder(site);
    EXPECT_EQ(journal.rfind(dir.File("state/larkspur/"), 0), 0u) << journal;
    EXPECT_EQ(access(journal.c_str(), F_OK), 0);
    EXPECT_EQ(access(JournalOf(site).c_str(), F_OK), -1);
    EXPECT_EQ(ui->messages.size(), 2u) << "no complaint about the journal";
    ASSERT_EQ(ui->statuses.size(), 1u);
    EXPECT_NE(ui->statuses[0].find(journal), std::string::npos) << "but it says where it is";
    EndProgram();

    StartProgram();
    ui->answers.push_back(kIdYes);
    ui->paths.push_back(site);
    controller->OnOpenSite();
    EXPECT_EQ(ui->messages.back(), "Recover 1 point that was not saved?");
    EXPECT_EQ(ReadingsOf(controller->Records()), taken);
}

} // namespace
