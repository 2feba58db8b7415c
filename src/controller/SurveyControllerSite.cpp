// The survey controller's site commands: Open Site with the keep-points question or the recovery
// of a journal, Save Site with its sign-off, and the journal that keeps unsaved changes safe.
#include "controller/SurveyController.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "controller/BusyScope.h"
#include "controller/SurveyTexts.h"
#include "files/FileBytes.h"
#include "files/FileMessages.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "files/SiteLayout.h"
#include "receiver/Receiver.h"
#include "survey/SurveyData.h"

using namespace surveytext;

namespace {

std::string formatted(const char* format, const std::string& value) {
    char text[512];
    std::snprintf(text, sizeof text, format, value.c_str());
    return text;
}

} // namespace

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

bool CSurveyController::TakeSite(const std::string& path, CSiteFile& site) {
    // The file has passed every check only once its picture is on the map; until then the
    // survey in progress, its path and its picture stay as they were.
    if (!m_map.ShowSitePicture(site.m_picture)) {
        Message(filemsg::kNotSiteFile, filemsg::kFileErrorCaption, kMbOk | kMbIconError);
        return false;
    }
    // The previous survey's journal stays on disk: declined or not, its points are offered
    // again when that site is next opened.
    m_journal.Close();
    m_bJournalFailed = false;
    m_survey = std::make_unique<CSurveyData>(m_list, m_receiver);
    std::memcpy(m_survey->m_siteHeader, site.m_header, sizeof m_survey->m_siteHeader);
    m_strSitePath = path;
    m_siteBytes = std::move(site.m_bytesBeforeSurvey);
    m_siteState = {site.SaveTime(), site.m_fileSize};
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
    CSiteFile site;
    {
        CBusyScope busy(m_prompts);
        if (!ReadSite(path, site) || !TakeSite(path, site)) {
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

void CSurveyController::LoadPoints(const CSiteFile& site) {
    site.AppendRecordsTo(m_list);
    for (const SitePoint& point : site.m_points) {
        m_map.PaintPoint(point.x, point.y, point.strength);
    }
}

bool CSurveyController::OfferRecovery(const std::string& path, const CSiteFile& site) {
    std::string journalPath;
    if (!CSurveyJournal::Find(path, journalPath)) {
        return false;
    }
    journal::Contents contents;
    if (!CSurveyJournal::Read(journalPath, contents) || !(contents.state == m_siteState)) {
        // Saved since, or replaced by another copy: its changes would land on the wrong points.
        std::string aside;
        if (CSurveyJournal::SetAside(journalPath, aside)) {
            Message(formatted(kStaleJournal, aside), kAppTitle, kMbOk);
        }
        return false;
    }
    int changes = 0;
    for (const journal::Entry& entry : contents.entries) {
        changes += entry.type == journal::kPoint || entry.type == journal::kDelete ? 1 : 0;
    }
    if (changes == 0) {
        // Nothing was measured after the open that started it.
        CSurveyJournal::RemoveFile(journalPath);
        return false;
    }
    char question[128];
    std::snprintf(question, sizeof question, kRecoverQuestion, changes);
    if (m_prompts.MessageBox(question, kAppTitle, kMbYesNo | kMbIconQuestion) != kIdYes) {
        std::string aside;
        CSurveyJournal::SetAside(journalPath, aside);
        return false;
    }
    CBusyScope busy(m_prompts);
    Replay(contents.entries, site);
    m_readings.Assign(m_list);
    m_map.SurveyChanged();
    if (!m_journal.Resume(journalPath, contents.validBytes)) {
        m_bJournalFailed = true;
        Message(formatted(kJournalFailed, SystemErrorText(m_journal.Error())), kAppTitle, kMbOk);
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

void CSurveyController::Journal(const journal::Entry& entry) {
    if (m_bJournalFailed) {
        return;
    }
    const bool written =
        (m_journal.IsOpen() || m_journal.Begin(m_strSitePath, m_siteState, m_bKeptPoints)) &&
        m_journal.Append(entry);
    if (!written) {
        // Told once: the survey goes on in memory, and a save makes it safe again.
        m_bJournalFailed = true;
        Message(formatted(kJournalFailed, SystemErrorText(m_journal.Error())), kAppTitle, kMbOk);
    }
}

void CSurveyController::OnSaveSite() {
    if (!Defer({Request::kSaveSite, std::string(), {}})) {
        SaveSite();
    }
}

bool CSurveyController::SaveSite() {
    // Without a site opened successfully there is no file and no header to write.
    if (!SiteIsOpen() || m_strSitePath.empty()) {
        Message(filemsg::kCouldNotUpdateSite, filemsg::kSiteUpdateErrorCaption,
                kMbOk | kMbIconError);
        return false;
    }
    // Closed without its save button, the sign-off cancels the save: nothing is written.
    SignOffSignature signature;
    if (!m_prompts.SignOff(signature)) {
        return false;
    }
    int16_t status = SF_UPDATE_FAILED;
    {
        CBusyScope busy(m_prompts);
        CSiteFileWriter writer;
        status = writer.Save(
            m_strSitePath, m_survey->m_siteHeader, m_list,
            [&signature](int x, int y) { return signature.Pixel(x, y); },
            static_cast<uint32_t>(std::time(nullptr)), &m_siteBytes);
    }
    if (status != SF_OK) {
        // The survey in memory and its journal stay exactly as they were.
        Message(filemsg::kCouldNotUpdateSite, filemsg::kSiteUpdateErrorCaption,
                kMbOk | kMbIconError);
        return false;
    }
    m_bUnsavedChanges = false;
    // From here on changes apply to the file just written, which holds every point.
    uint64_t size = 0;
    FileSize(m_strSitePath, size);
    m_siteState = {CSiteLayout(m_survey->m_siteHeader).m_saveTime, size};
    m_bKeptPoints = true;
    m_bJournalFailed = false;
    m_journal.Remove();
    return true;
}

bool CSurveyController::QueryDiscardChanges(const char* question) {
    if (!m_bUnsavedChanges) {
        return true;
    }
    switch (m_prompts.MessageBox(question, kAppTitle, kMbYesNoCancel | kMbIconQuestion)) {
    case kIdYes:
        return SaveSite();
    case kIdNo:
        return true;
    default:
        return false;
    }
}
