// The survey controller's journal: what an open finds of earlier journals (recovered, or put
// aside under a name and a message that say why), the replay of a recovery, and the appends that
// keep every change safe until the save, wherever the journal has to go.
#include "controller/SurveyController.h"

#include <cerrno>

#include "controller/BusyScope.h"
#include "controller/SurveyFormat.h"
#include "controller/SurveyTexts.h"
#include "files/FileBytes.h"
#include "files/JournalCheck.h"
#include "files/SiteFile.h"
#include "survey/SurveyData.h"

using namespace surveytext;

namespace {

// Why a journal was put aside, told with where it went.
const char* asideText(int16_t reason) {
    switch (reason) {
    case JR_OTHER_SITE:
        return kOtherSiteJournal;
    case JR_OTHER_VERSION:
        return kStaleJournal;
    case JR_DAMAGED:
        return kDamagedJournal;
    case JR_UNREADABLE:
        return kUnreadableJournal;
    case JR_EMPTY:
        return kEmptyJournal;
    case JR_NOT_A_JOURNAL:
        return kNotAJournal;
    case JR_NOT_A_FILE:
        return kNotAFileJournal;
    case JR_OTHER_FORMAT:
        return kOtherFormatJournal;
    default:
        return kSupersededJournal;
    }
}

// What a recovery could not read, and where the journal it came from is kept.
std::string partlyReadText(const JournalCheck& journal, const std::string& aside) {
    const journal::Contents& contents = journal.contents;
    std::string text;
    const int unread = static_cast<int>(contents.unreadEntries);
    if (unread > 0) {
        text = unread == 1 ? kOneEntryUnread : FormatText(kEntriesUnread, unread);
    }
    if (!contents.laterEntries.empty()) {
        text += FormatText(kLaterNotApplied, static_cast<int>(contents.laterEntries.size()));
    }
    if (journal.reason == JR_UNREADABLE) {
        text += kReadFailed;
    }
    return text + FormatText(kJournalKeptWhole, aside.c_str());
}

} // namespace

void CSurveyController::PutAside(const JournalCheck& journal) {
    if (journal.Disposable()) {
        // Nothing was measured after the open that started it.
        RemoveJournalFile(journal.path, m_fs);
        return;
    }
    std::string aside;
    if (::SetAsideJournal(journal.path, journal.reason, aside, m_fs)) {
        Message(FormatText(asideText(journal.reason), aside.c_str()), kAppTitle, kMbOk);
    } else {
        Message(FormatText(kJournalNotMoved, journal.path.c_str()), kAppTitle, kMbOk);
    }
}

bool CSurveyController::OfferRecovery(const std::string& path, const CSiteFile& site) {
    const JournalFinding finding = FindJournals(path, &m_site.identity.print, m_fs);
    const JournalCheck* offered = finding.Offered();
    for (const JournalCheck& other : finding.journals) {
        if (&other != offered) {
            PutAside(other);
        }
    }
    if (offered == nullptr) {
        return false;
    }
    const int changes = offered->contents.Changes();
    const std::string question =
        changes == 1 ? kRecoverOneQuestion : FormatText(kRecoverQuestion, changes);
    if (m_prompts.MessageBox(question, kAppTitle, kMbYesNo | kMbIconQuestion) != kIdYes) {
        std::string aside;
        ::SetAsideJournal(offered->path, JR_DECLINED, aside, m_fs);
        return false;
    }
    CBusyScope busy(m_prompts);
    Replay(offered->contents.entries, site);
    m_readings.Assign(m_list);
    m_map.SurveyChanged();
    bool journalled = false;
    if (offered->Continuable()) {
        journalled = m_journal.Resume(path, offered->path, offered->contents);
    } else {
        // What could not be read stays whole beside the fresh journal of what could.
        std::string aside;
        if (::SetAsideJournal(offered->path, offered->reason, aside, m_fs)) {
            journalled = m_journal.BeginFrom(path, offered->contents, offered->contents.entries);
            Message(partlyReadText(*offered, aside), kAppTitle, kMbOk);
        } else {
            Message(FormatText(kJournalNotMoved, offered->path.c_str()), kAppTitle, kMbOk);
        }
    }
    if (!journalled) {
        JournalFailed();
    }
    m_bUnsavedChanges = true;
    m_map.ShowScreen(ISurveyMap::kMapScreen);
    m_map.Repaint();
    return true;
}

void CSurveyController::Replay(const std::vector<journal::Entry>& entries, const CSiteFile& site) {
    // The first entry says whether the survey started from the file's points.
    m_bKeptPoints =
        entries.empty() || entries.front().type != journal::kKeep || entries.front().keep;
    m_survey->Clear();
    if (m_bKeptPoints) {
        LoadPoints(site);
    }
    for (const journal::Entry& entry : entries) {
        if (entry.type == journal::kPoint) {
            m_survey->AppendPoint(entry.records);
            int16_t strongest = 0;
            m_survey->GetStrongestRssi(strongest);
            m_map.PaintPoint(entry.x, entry.y, strongest);
        } else if (entry.type == journal::kDelete) {
            SurveyRecord* r = nullptr;
            // Only the run the surveyor deleted: a journal that disagrees deletes nothing.
            if (m_list.GetAt(r, entry.position) == RL_OK && r->x == entry.x && r->y == entry.y) {
                m_survey->DeleteRunAt(entry.position);
                m_map.PointErased(entry.x, entry.y);
            }
        }
    }
}

void CSurveyController::EndJournal(bool remove) {
    if (remove) {
        m_journal.Remove();
    } else {
        m_journal.Close();
    }
    // A failure or a move told belonged to that journal; the next one's are told afresh.
    m_bJournalFailed = false;
    m_bJournalMoveTold = false;
}

void CSurveyController::JournalFailed() {
    // Told once: the survey goes on in memory, and a save makes it safe again.
    if (!m_bJournalFailed) {
        Message(FormatText(kJournalFailed, SystemErrorText(m_journal.Error()).c_str()), kAppTitle,
                kMbOk);
    }
    m_bJournalFailed = true;
}

void CSurveyController::Journal(const journal::Entry& entry) {
    // A journal that failed keeps every change in memory and tries again with each new one.
    const bool written =
        (m_journal.IsStarted() || m_journal.Begin(m_strSitePath, m_site, m_bKeptPoints)) &&
        m_journal.Append(entry);
    if (!written) {
        JournalFailed();
        return;
    }
    m_bJournalFailed = false;
    const int moved = m_journal.MovedBecause();
    if (moved == 0 || m_bJournalMoveTold) {
        return;
    }
    m_bJournalMoveTold = true;
    if (moved == EACCES || moved == EROFS || moved == EPERM) {
        // A folder that cannot be written (a plan library, a locked stick) is no fault: the
        // journal simply lives in the user's own folder.
        m_prompts.ShowStatus(FormatText(kJournalInStateFolder, m_journal.Path().c_str()));
        return;
    }
    Message(FormatText(kJournalMoved, SystemErrorText(moved).c_str(), m_journal.Path().c_str()),
            kAppTitle, kMbOk | kMbIconError);
}
