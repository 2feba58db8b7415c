// The survey controller's Open Site: the site's lock, what a killed save left, the offer to write
// a deleted site again from its journal, then the keep-points question or the recovery.
#include "controller/SurveyController.h"

#include <cerrno>
#include <cstring>

#include "controller/BusyScope.h"
#include "controller/SurveyFormat.h"
#include "controller/SurveyTexts.h"
#include "files/AtomicFile.h"
#include "files/FileBytes.h"
#include "files/FileMessages.h"
#include "files/JournalCheck.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "receiver/Receiver.h"
#include "survey/SurveyData.h"

using namespace surveytext;

void CSurveyController::OnOpenSite() {
    if (Defer({Request::kOpenSite, std::string(), {}})) {
        return;
    }
    // Opening replaces the survey in memory; measured points must not vanish unasked.
    if (!QueryDiscardChanges(kSaveBeforeOpenQuestion)) {
        return;
    }
    FileDialogRequest request;
    request.filter = kSiteFilter;
    request.defaultExtension = kSiteExtension;
    request.initialName = kSiteInitialName;
    std::string path;
    if (!m_prompts.ChooseFileToOpen(request, path)) {
        // Nothing changes; a map already open comes back from the scan screen.
        if (SiteIsOpen()) {
            m_map.ShowScreen(ISurveyMap::kMapScreen);
            m_map.Repaint();
        }
        return;
    }
    OpenSiteFile(path);
}

bool CSurveyController::ReadSite(const std::string& path, CSiteFile& site) {
    std::string detail;
    const int16_t status = CSiteFileReader::Read(path, site, detail);
    if (status == SF_OPEN_FAILED) {
        Message(detail, filemsg::kFileOpenErrorCaption, kMbOk | kMbIconError);
        return false;
    }
    if (status != SF_OK) {
        Message(filemsg::kNotSiteFile, filemsg::kFileErrorCaption, kMbOk | kMbIconError);
        return false;
    }
    return true;
}

bool CSurveyController::TakeSite(const std::string& path, CSiteFile& site, CSiteLock& lock) {
    // The file has passed every check only once its picture is on the map; until then the
    // survey in progress, its path and its picture stay as they were.
    if (!m_map.ShowSitePicture(site.m_picture)) {
        Message(filemsg::kNotSiteFile, filemsg::kFileErrorCaption, kMbOk | kMbIconError);
        return false;
    }
    // The previous survey's journal stays on disk: declined or not, its points are offered
    // again when that site is next opened.
    EndJournal(false);
    m_survey = std::make_unique<CSurveyData>(m_list, m_receiver);
    std::memcpy(m_survey->m_siteHeader, site.m_header, sizeof m_survey->m_siteHeader);
    m_strSitePath = path;
    m_site = std::move(site.m_snapshot);
    if (lock.IsHeld()) {
        // The previous site's lock goes with it.
        m_lock = std::move(lock);
    }
    m_bUnsavedChanges = false;
    // A scan still running for the old site must not land in the new one, nor one that
    // completed and was not yet stored.
    m_receiver.EndScan();
    m_scan = 0;
    // The new map shows behind the questions that follow.
    m_map.ShowScreen(ISurveyMap::kMapScreen);
    m_map.Repaint();
    return true;
}

bool CSurveyController::OpenSiteFile(const std::string& path) {
    if (Defer({Request::kOpenSiteFile, path, {}})) {
        return false;
    }
    // Nothing of a site another program has open is touched: not its journal, not its
    // leftovers.
    CSiteLock lock;
    if (!LockSite(path, lock)) {
        return false;
    }
    CAtomicFile::RemoveLeftovers(path);
    // A site deleted while its survey was unsaved comes back from its journal.
    if (FileIsMissing(path)) {
        OfferRebuild(path);
    }
    CSiteFile site;
    {
        CBusyScope busy(m_prompts);
        if (!ReadSite(path, site) || !TakeSite(path, site, lock)) {
            return false;
        }
    }
    if (OfferRecovery(path, site)) {
        return true;
    }
    const bool keep = m_prompts.MessageBox(kKeepPointsQuestion, kAppTitle, kMbYesNo) == kIdYes;
    CBusyScope busy(m_prompts);
    m_bKeptPoints = keep;
    m_survey->Clear();
    if (keep) {
        LoadPoints(site);
    }
    m_readings.Assign(m_list);
    m_map.SurveyChanged();
    m_map.ShowScreen(ISurveyMap::kMapScreen);
    m_map.Repaint();
    return true;
}

bool CSurveyController::LockSite(const std::string& path, CSiteLock& lock) {
    // A lock that cannot be taken at all (nowhere to put it) does not stop a survey.
    if (!m_lock.IsFor(path) && lock.Acquire(path) == CFileLock::LK_HELD_ELSEWHERE) {
        Message(FormatText(kOpenElsewhere, path.c_str()), kAppTitle, kMbOk | kMbIconError);
        return false;
    }
    return true;
}

bool CSurveyController::OfferRebuild(const std::string& path) {
    const JournalFinding finding = FindJournals(path, nullptr, m_fs);
    const JournalCheck* journal = finding.Offered();
    if (journal == nullptr ||
        m_prompts.MessageBox(FormatText(kRebuildQuestion, path.c_str()), kAppTitle,
                             kMbYesNo | kMbIconQuestion) != kIdYes) {
        return false;
    }
    int error = 0;
    const int16_t rc = RebuildSite(journal->contents, path, error, m_fs);
    if (rc != RB_OK) {
        const std::string reason = SystemErrorText(rc == RB_SITE_EXISTS ? EEXIST : error);
        Message(FormatText(kRebuildFailed, reason.c_str(), journal->path.c_str()), kAppTitle,
                kMbOk | kMbIconError);
        return false;
    }
    return true;
}

void CSurveyController::LoadPoints(const CSiteFile& site) {
    site.AppendRecordsTo(m_list);
    for (const SitePoint& point : site.m_points) {
        m_map.PaintPoint(point.x, point.y, point.strength);
    }
}
