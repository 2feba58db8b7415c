// The survey controller's saves: Save Site with its sign-off into the file the survey was opened
// from, and Save As to a new file, offered when that save cannot be done (the file was replaced,
// or its disk refuses). A save that lands says so in the status bar; its journal goes only once
// the new file is sure to stay.
#include "controller/SurveyController.h"

#include <ctime>

#include "controller/BusyScope.h"
#include "controller/SurveyFormat.h"
#include "controller/SurveyTexts.h"
#include "files/FileMessages.h"
#include "files/Folders.h"
#include "files/SiteFileWriter.h"
#include "survey/SurveyData.h"

using namespace surveytext;

namespace {

// The points the saved file holds: runs of records at one place, as the file's blocks are.
int pointCount(const CRecordList& list) {
    int points = 0;
    const SurveyRecord* previous = nullptr;
    SurveyRecord* r = nullptr;
    for (int16_t rc = list.GetAt(r, 1); rc == RL_OK; rc = list.GetNext(r)) {
        const bool samePoint =
            previous != nullptr && r->x == previous->x && r->y == previous->y && r->channel != 0;
        points += samePoint ? 0 : 1;
        previous = r;
    }
    return points;
}

} // namespace

void CSurveyController::OnSaveSite() {
    if (!Defer({Request::kSaveSite, std::string(), {}})) {
        SaveSite();
    }
}

void CSurveyController::OnSaveSiteAs() {
    if (!Defer({Request::kSaveSiteAs, std::string(), {}})) {
        SaveSiteAs();
    }
}

bool CSurveyController::SignOff(SignOffSignature& signature) {
    // Without a site opened successfully there is no file and no header to write.
    if (!SiteIsOpen() || m_strSitePath.empty()) {
        Message(filemsg::kCouldNotUpdateSite, filemsg::kSiteUpdateErrorCaption,
                kMbOk | kMbIconError);
        return false;
    }
    // Closed without its save button, the sign-off cancels the save: nothing is written.
    return m_prompts.SignOff(signature);
}

bool CSurveyController::SaveSite() {
    SignOffSignature signature;
    if (!SignOff(signature)) {
        return false;
    }
    const int16_t status = WriteSite(m_strSitePath, signature, false);
    if (status == SF_OK) {
        return true;
    }
    // The survey in memory and its journal stay exactly as they were; a new file can take it.
    if (status == SF_SITE_REPLACED) {
        if (m_prompts.MessageBox(FormatText(kSiteReplacedQuestion, m_strSitePath.c_str()),
                                 kAppTitle, kMbYesNo | kMbIconQuestion) != kIdYes) {
            return false;
        }
    } else {
        Message(filemsg::kCouldNotUpdateSite, filemsg::kSiteUpdateErrorCaption,
                kMbOk | kMbIconError);
        if (m_prompts.MessageBox(kSaveAsInsteadQuestion, kAppTitle, kMbYesNo | kMbIconQuestion) !=
            kIdYes) {
            return false;
        }
    }
    return SaveAs(signature);
}

bool CSurveyController::SaveSiteAs() {
    SignOffSignature signature;
    return SignOff(signature) && SaveAs(signature);
}

bool CSurveyController::SaveAs(const SignOffSignature& signature) {
    FileDialogRequest request;
    request.filter = kSiteFilter;
    request.defaultExtension = kSiteExtension;
    request.initialName = NameOf(m_strSitePath);
    request.initialFolder = FolderOf(m_strSitePath);
    std::string path;
    if (!m_prompts.ChooseFileToSave(request, path)) {
        return false;
    }
    // The survey's new file is this program's alone, as its site was.
    CSiteLock lock;
    if (!LockSite(path, lock)) {
        return false;
    }
    if (WriteSite(path, signature, true) != SF_OK) {
        Message(filemsg::kCouldNotUpdateSite, filemsg::kSiteUpdateErrorCaption,
                kMbOk | kMbIconError);
        return false;
    }
    if (lock.IsHeld()) {
        m_lock = std::move(lock);
    }
    return true;
}

int16_t CSurveyController::WriteSite(const std::string& path, const SignOffSignature& signature,
                                     bool asNewFile) {
    CBusyScope busy(m_prompts);
    const CSiteFileWriter writer(m_fs);
    const auto pixel = [&signature](int x, int y) { return signature.Pixel(x, y); };
    const auto now = static_cast<uint32_t>(std::time(nullptr));
    const int16_t status =
        asNewFile ? writer.SaveAs(path, m_survey->m_siteHeader, m_list, pixel, now, m_site)
                  : writer.Save(path, m_survey->m_siteHeader, m_list, pixel, now, m_site);
    if (status != SF_OK) {
        return status;
    }
    // The file written holds every point, so the journal's work is done once that file is sure
    // to stay; until its folder is flushed a crash could bring back the old one, and the journal
    // stays on disk for it. From here on changes apply to the file written (m_site).
    EndJournal(writer.FolderSynced());
    m_strSitePath = path;
    m_bUnsavedChanges = false;
    m_bKeptPoints = true;
    const int points = pointCount(m_list);
    const std::string name = NameOf(path);
    m_prompts.ShowStatus(points == 1 ? FormatText(kSavedOnePoint, name.c_str())
                                     : FormatText(kSavedPoints, points, name.c_str()));
    return SF_OK;
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
