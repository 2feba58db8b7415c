// Survey data the surveyor can trust, at the controller: one program per site, a journal that
// belongs only to its site, damage that never deletes, a replaced file never written into, Save
// As, a journal that goes on when its stick fills or breaks, and a deleted site written again.
#include "SurveyFlowFixture.h"

#include <cerrno>
#include <deque>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "FaultyDisk.h"
#include "files/Folders.h"
#include "files/JournalCheck.h"
#include "files/SiteLock.h"
#include "files/SurveyJournal.h"

namespace {

constexpr const char* kKeepQuestion = "Do you wish to keep existing data points?";

bool mentions(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Another plan of the same size at the same path: one pixel differs.
void replaceWithAnotherPlan(const std::string& site) {
    std::vector<uint8_t> bytes = ReadAll(site);
    bytes[150 + 14 + 40 + 1024 + 1] ^= 0x55;
    ::unlink(site.c_str());
    WriteAll(site, bytes);
}

class SiteIntegrity : public SurveyFlow {
protected:
    // Every program of these tests writes through a disk that fails when a test says.
    void SetUp() override {
        fileSystem = &disk;
        SurveyFlow::SetUp();
    }

    // A site with points taken and not saved, then the program killed.
    std::vector<Reading> SurveyAndCrash(const std::string& site, int points) {
        Open(site, false);
        LoadTable();
        for (int i = 0; i < points; ++i) {
            EXPECT_TRUE(TakePoint(100 + 50 * i, 100 + 50 * i));
        }
        const std::vector<Reading> taken = ReadingsOf(controller->Records());
        EndProgram();
        return taken;
    }

    // The program again, opening site with the answers given.
    void Reopen(const std::string& site, std::deque<int> answers) {
        StartProgram();
        ui->answers = std::move(answers);
        ui->paths.push_back(site);
        controller->OnOpenSite();
    }

    CFaultyDisk disk;
};

TEST_F(SiteIntegrity, ASecondProgramOnTheSiteIsToldAndTouchesNothing) {
    const std::string site = MakeSite("site.lks");
    Open(site, false);
    LoadTable();
    ASSERT_TRUE(TakePoint(100, 100));
    const std::vector<uint8_t> journal = ReadAll(JournalOf(site));

    CReceiver otherReceiver;
    CScriptedSurveyUi otherUi;
    CSurveyController other(otherReceiver, otherUi);
    otherUi.paths.push_back(site);
    otherUi.answers = {kIdOk, kIdYes, kIdYes};
    other.OnOpenSite();
    ASSERT_EQ(otherUi.messages.size(), 1u);
    EXPECT_TRUE(mentions(otherUi.messages[0], site)) << otherUi.messages[0];
    EXPECT_FALSE(other.SiteIsOpen());
    EXPECT_EQ(ReadAll(JournalOf(site)), journal) << "neither recovered nor put aside";

    // The first program goes on; once it is gone the site is free, and its points are there.
    ASSERT_TRUE(TakePoint(200, 200));
    const std::vector<Reading> taken = ReadingsOf(controller->Records());
    EndProgram();
    otherUi.paths.push_back(site);
    other.OnOpenSite();
    EXPECT_EQ(otherUi.messages.back(), "Recover 2 points that were not saved?");
    EXPECT_EQ(ReadingsOf(other.Records()), taken);
}

// A journal is recovered only into the file it was written for: another plan copied to the path,
// or this plan saved since by another program, and the journal is set aside whole, named for
// which, with no recovery offered.
TEST_F(SiteIntegrity, AJournalOfAnotherFileIsSetAsideWholeAndNotRecovered) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> meanwhile;
        const char* aside;
        size_t kept; // readings of the file's own points
    } cases[] = {
        {"another plan of the same size", replaceWithAnotherPlan, ".other-site", 0},
        {"this plan saved since",
         [&](const std::string&) {
             MakeSite("site.lks", 480, 640, {{1, 2}});
         },
         ".other-version", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EndProgram();
        StartProgram();
        const std::string site = MakeSite("site.lks");
        SurveyAndCrash(site, 2);
        const std::vector<uint8_t> journal = ReadAll(JournalOf(site));
        c.meanwhile(site);

        Reopen(site, {kIdOk, kIdYes});
        ASSERT_EQ(ui->messages.size(), 2u);
        EXPECT_TRUE(mentions(ui->messages[0], JournalOf(site) + c.aside)) << ui->messages[0];
        EXPECT_EQ(ui->messages[1], kKeepQuestion) << "no recovery offered";
        EXPECT_EQ(ReadingsOf(controller->Records()).size(), c.kept);
        EXPECT_EQ(ReadAll(JournalOf(site) + c.aside), journal) << "kept, not deleted";
    }
}

// One flipped byte no longer deletes a journal or cuts it: what came before the damage is
// recovered, and the journal is kept whole.
TEST_F(SiteIntegrity, ADamagedJournalIsKeptWholeAndWhatCameBeforeTheDamageIsRecovered) {
    const struct {
        const char* name;
        int damagedPoint; // 0: the first
        size_t recovered; // points
    } cases[] = {{"the first point", 0, 0}, {"the second point", 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string site = MakeSite(std::string("site-") + c.name + ".lks");
        const std::vector<Reading> taken = SurveyAndCrash(site, 3);
        std::vector<uint8_t> journal = ReadAll(JournalOf(site));
        const size_t firstPoint = 120 + 9 + ReadAll(site).size() + 10;
        journal[firstPoint + c.damagedPoint * 93 + 30] ^= 0x20;
        WriteAll(JournalOf(site), journal);

        Reopen(site, {kIdYes, kIdOk, kIdYes});
        const std::string aside = JournalOf(site) + ".damaged";
        EXPECT_EQ(ReadAll(aside), journal) << "kept whole";
        EXPECT_EQ(ReadingsOf(controller->Records()),
                  std::vector<Reading>(taken.begin(), taken.begin() + 3 * c.recovered));
        ASSERT_FALSE(ui->messages.empty());
        if (c.recovered == 0) {
            EXPECT_TRUE(mentions(ui->messages[0], aside)) << ui->messages[0];
            EXPECT_EQ(ui->messages.back(), kKeepQuestion);
        } else {
            EXPECT_EQ(ui->messages[0], "Recover 1 point that was not saved?");
            ASSERT_EQ(ui->messages.size(), 2u);
            EXPECT_TRUE(mentions(ui->messages[1], aside)) << ui->messages[1];
            EXPECT_EQ(CheckJournal(JournalOf(site), nullptr).contents.Changes(), 1)
                << "a fresh journal holds what was recovered";
        }
        EndProgram();
        StartProgram();
    }
}

TEST_F(SiteIntegrity, AFifoAtTheJournalsPlaceNeitherHangsNorStopsTheSurvey) {
    const std::string site = MakeSite("site.lks");
    ASSERT_EQ(::mkfifo(JournalOf(site).c_str(), 0644), 0);
    Open(site, false);
    ASSERT_EQ(ui->messages.size(), 2u);
    EXPECT_TRUE(mentions(ui->messages[0], JournalOf(site) + ".not-a-file")) << ui->messages[0];
    LoadTable();
    ASSERT_TRUE(TakePoint(100, 100));
    EXPECT_EQ(CheckJournal(JournalOf(site), nullptr).reason, JR_SOUND);
}

TEST_F(SiteIntegrity, ADeletedSiteIsWrittenAgainAndItsPointsRecovered) {
    const std::string site = MakeSite("site.lks");
    const std::vector<uint8_t> original = ReadAll(site);
    const std::vector<Reading> taken = SurveyAndCrash(site, 2);
    ASSERT_EQ(::unlink(site.c_str()), 0);

    Reopen(site, {kIdYes, kIdYes});
    ASSERT_EQ(ui->messages.size(), 2u);
    EXPECT_TRUE(mentions(ui->messages[0], site)) << "the rebuild is offered";
    EXPECT_EQ(ui->messages[1], "Recover 2 points that were not saved?");
    EXPECT_EQ(ReadAll(site), original);
    EXPECT_EQ(ReadingsOf(controller->Records()), taken);
}

// Another file put in the site's place is never written into: the survey goes to a new file, with
// the picture read at the open. So does a survey whose disk refuses the save.
TEST_F(SiteIntegrity, ASaveThatCannotGoIntoTheSiteIsOfferedANewFile) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> meanwhile;
        // Before the save dialog: the question, or the failure and the question.
        std::deque<int> answers;
    } cases[] = {
        {"replaced by another plan", replaceWithAnotherPlan, {kIdYes}},
        {"on a full disk",
         [&](const std::string&) {
             disk.Fail(CFaultyDisk::kWrite, ENOSPC, dir.File(".site.lks.save-"));
         },
         {kIdOk, kIdYes}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EndProgram();
        StartProgram();
        const std::string site = MakeSite("site.lks");
        const CSiteFile opened = ReadSite(site);
        Open(site, false);
        LoadTable();
        ASSERT_TRUE(TakePoint(100, 100));
        c.meanwhile(site);
        const std::vector<uint8_t> there = ReadAll(site);

        ui->messages.clear();
        ui->signOffs.push_back(true);
        ui->answers = c.answers;
        ui->paths.push_back(dir.File("new.lks"));
        ASSERT_TRUE(controller->SaveSite());
        disk.Heal();
        EXPECT_EQ(ui->messages.size(), c.answers.size());
        EXPECT_EQ(ReadAll(site), there) << "never merged into";
        const CSiteFile saved = ReadSite(dir.File("new.lks"));
        EXPECT_EQ(saved.m_picture.pixels, opened.m_picture.pixels);
        EXPECT_EQ(ReadingsOf(saved.m_records), ReadingsOf(controller->Records()));
        EXPECT_EQ(controller->SitePath(), dir.File("new.lks"));
        EXPECT_EQ(access(JournalOf(site).c_str(), F_OK), -1) << "its points are in the new file";
        ASSERT_EQ(ui->statuses.size(), 1u);
        EXPECT_TRUE(mentions(ui->statuses[0], "new.lks")) << ui->statuses[0];
        ::unlink(dir.File("new.lks").c_str());
    }
}

// Save As moves the survey to the new file: its lock, and the journal of later changes, follow;
// a save whose folder cannot be flushed keeps its journal.
TEST_F(SiteIntegrity, SaveAsTakesTheLockAndTheJournalAlong) {
    const std::string site = MakeSite("site.lks");
    Open(site, false);
    LoadTable();
    ASSERT_TRUE(TakePoint(100, 100));
    ui->signOffs.push_back(true);
    ui->paths.push_back(dir.File("copy.lks"));
    controller->OnSaveSiteAs();
    ASSERT_EQ(controller->SitePath(), dir.File("copy.lks"));
    EXPECT_EQ(ui->saveDialogs.at(0).initialName, "site.lks");
    CSiteLock probe;
    EXPECT_EQ(probe.Acquire(dir.File("copy.lks")), CFileLock::LK_HELD_ELSEWHERE);
    EXPECT_EQ(probe.Acquire(site), CFileLock::LK_OK) << "the old site is free";
    probe.Release();

    ASSERT_TRUE(TakePoint(200, 200));
    EXPECT_EQ(CheckJournal(JournalOf(dir.File("copy.lks")), nullptr).contents.Changes(), 1);
    disk.Fail(CFaultyDisk::kSyncFolder, EIO, dir.Path());
    ui->signOffs.push_back(true);
    ASSERT_TRUE(controller->SaveSite());
    EXPECT_EQ(access(JournalOf(dir.File("copy.lks")).c_str(), F_OK), 0)
        << "kept until the saved file is sure to stay";
}

// A full, broken or pulled stick mid-survey: the journal goes on in the state folder with every
// point since the open, told once, and a restart recovers them all.
TEST_F(SiteIntegrity, JournallingGoesOnWhenTheSticksDiskFails) {
    const struct {
        const char* name;
        CFaultyDisk::Op op;
        int error;
    } cases[] = {{"full", CFaultyDisk::kWrite, ENOSPC}, {"broken", CFaultyDisk::kSyncData, EIO}};
    const CStateHome state(dir.File("state"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = dir.File(c.name);
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
        const std::string site = MakeSite(std::string(c.name) + "/site.lks");
        EndProgram();
        StartProgram();
        Open(site, false);
        LoadTable();
        ASSERT_TRUE(TakePoint(100, 100));
        disk.Fail(c.op, c.error, folder);
        ASSERT_TRUE(TakePoint(200, 200));
        ASSERT_TRUE(TakePoint(300, 300));
        const std::vector<Reading> taken = ReadingsOf(controller->Records());
        ASSERT_EQ(ui->messages.size(), 3u) << "the keep question, the table, the move told once";
        EXPECT_TRUE(mentions(ui->messages[2], CSurveyJournal::PathInStateFolder(site)));
        EndProgram();
        disk.Heal();

        Reopen(site, {kIdYes});
        EXPECT_EQ(ui->messages[0], "Recover 3 points that were not saved?");
        EXPECT_EQ(ReadingsOf(controller->Records()), taken);
    }
}

// What was told of one site's journal goes with it: a journal that has to move for the next site
// opened is told again.
TEST_F(SiteIntegrity, AJournalMovedForTheNextSiteIsToldAgain) {
    const CStateHome state(dir.File("state"));
    std::vector<std::string> sites;
    for (const char* folder : {"a", "b"}) {
        ASSERT_EQ(::mkdir(dir.File(folder).c_str(), 0755), 0);
        sites.push_back(MakeSite(std::string(folder) + "/site.lks"));
    }
    for (const std::string& site : sites) {
        SCOPED_TRACE(site);
        disk.Fail(CFaultyDisk::kWrite, ENOSPC, FolderOf(site));
        if (controller->HasUnsavedChanges()) {
            ui->answers.push_back(kIdNo); // the first site's point is not saved
        }
        Open(site, false);
        LoadTable();
        ASSERT_TRUE(TakePoint(100, 100));
        EXPECT_TRUE(mentions(ui->messages.back(), CSurveyJournal::PathInStateFolder(site)))
            << ui->messages.back();
    }
}

} // namespace
