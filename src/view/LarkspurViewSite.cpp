// The site and channel table commands of the map view: Open Site, Save Site with its sign-off,
// and loading a channel table, with their file dialogs, wait cursor and messages.
#include "view/LarkspurView.h"

#include <QApplication>

#include <cstring>
#include <ctime>
#include <memory>

#include "files/ChannelTableFile.h"
#include "files/FileMessages.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "platform/Prompts.h"
#include "receiver/Receiver.h"
#include "shell/SignOffDlg.h"
#include "survey/RecordList.h"
#include "survey/SurveyData.h"
#include "view/WaitCursor.h"

namespace {

const char* const kAppTitle = "Larkspur";
const char* const kSiteFilter = "Site Files (*.lks)|*.lks|All Files (*.*)|*.*||";
const char* const kSiteExtension = "lks";
const char* const kSiteInitialName = "SITE1";
const char* const kTableFilter = "Larkspur Channel Table Files (*.nct)|*.nct|All Files (*.*)|*.*||";
const char* const kTableExtension = "nct";
const char* const kTableInitialName = "NCT";
const char* const kKeepPointsQuestion = "Do you wish to keep existing data points?";
const char* const kSaveBeforeOpenQuestion = "Save the survey before opening another site?";

bool askForFileToOpen(const char* filter, const char* extension, const char* initialName,
                      std::string& path) {
    FileDialogRequest request;
    request.filter = filter;
    request.defaultExtension = extension;
    request.initialName = initialName;
    return ThePrompts().GetOpenFileName(request, path);
}

} // namespace

void CLarkspurView::OnOpenSite() {
    // Opening replaces the survey in memory; measured points must not vanish unasked.
    if (!QueryDiscardChanges(kSaveBeforeOpenQuestion)) {
        return;
    }
    std::string path;
    if (!askForFileToOpen(kSiteFilter, kSiteExtension, kSiteInitialName, path)) {
        // Nothing changes; a map already open comes back from the scan screen.
        if (HasSitePicture()) {
            SetScreenMode(kMapScreen);
            RequestRepaint();
        }
        return;
    }
    OpenSiteFile(path);
}

bool CLarkspurView::OpenSiteFile(const std::string& path) {
    auto site = std::make_unique<CSiteFile>();
    {
        CWaitCursor wait;
        std::string detail;
        const int16_t status = CSiteFileReader::Read(path, *site, detail);
        if (status == SF_OPEN_FAILED) {
            ThePrompts().MessageBox(detail, filemsg::kFileOpenErrorCaption, kMbOk | kMbIconError);
            return false;
        }
        const SitePicture& picture = site->m_picture;
        // The file has passed every check only once its picture is on the map; until then the
        // survey in progress, its path and its picture stay as they were.
        if (status != SF_OK ||
            !SetSitePicture(picture.width, picture.height, picture.palette, picture.pixels.data(),
                            picture.pixels.size(), static_cast<int32_t>(picture.stride), true)) {
            ThePrompts().MessageBox(filemsg::kNotSiteFile, filemsg::kFileErrorCaption,
                                    kMbOk | kMbIconError);
            return false;
        }
        auto survey = std::make_unique<CSurveyData>();
        std::memcpy(survey->m_siteHeader, site->m_header, sizeof survey->m_siteHeader);
        SetCurrentSurvey(std::move(survey));
        SetSitePath(path);
        m_bUnsavedChanges = false;
        // A scan still running for the old site must not land in the new one.
        Receiver().m_measurementPending.store(false);
        // The new map shows behind the keep-points question.
        SetScreenMode(kMapScreen);
        RequestRepaint();
    }

    const bool keep = ThePrompts().MessageBox(kKeepPointsQuestion, kAppTitle, kMbYesNo) == kIdYes;
    CWaitCursor wait;
    CSurveyData* survey = CurrentSurvey();
    survey->Clear();
    if (keep) {
        site->AppendRecordsTo(survey->List());
        for (const SitePoint& point : site->m_points) {
            ImprintPoint(point.x, point.y, point.strength);
        }
    }
    SetScreenMode(kMapScreen);
    RequestRepaint();
    return true;
}

void CLarkspurView::OnSaveSite() {
    SaveSite();
}

bool CLarkspurView::SaveSite() {
    CSurveyData* survey = CurrentSurvey();
    // Without a site opened successfully there is no file and no header to write.
    if (survey == nullptr || SitePath().empty()) {
        ThePrompts().MessageBox(filemsg::kCouldNotUpdateSite, filemsg::kSiteUpdateErrorCaption,
                                kMbOk | kMbIconError);
        return false;
    }
    CSignOffDlg signOff(this);
    signOff.DoModal();

    int16_t status = SF_UPDATE_FAILED;
    {
        CWaitCursor wait;
        CSiteFileWriter writer;
        status = writer.Save(
            SitePath(), survey->m_siteHeader, survey->List(),
            [&signOff](int x, int y) { return signOff.GetSignaturePixel(x, y); },
            static_cast<uint32_t>(std::time(nullptr)));
    }
    if (status != SF_OK) {
        ThePrompts().MessageBox(filemsg::kCouldNotUpdateSite, filemsg::kSiteUpdateErrorCaption,
                                kMbOk | kMbIconError);
        return false;
    }
    m_bUnsavedChanges = false;
    return true;
}

void CLarkspurView::OnChannelTable() {
    std::string path;
    if (!askForFileToOpen(kTableFilter, kTableExtension, kTableInitialName, path)) {
        return;
    }
    LoadChannelTableFile(path);
}

bool CLarkspurView::LoadChannelTableFile(const std::string& path) {
    ChannelTableLoad result;
    {
        // Programming the board takes a command and its reply per channel.
        CWaitCursor wait;
        result = LoadChannelTable(path, Receiver());
    }
    if (result.status == CT_OPEN_FAILED) {
        ThePrompts().MessageBox(result.message, filemsg::kFileOpenErrorCaption,
                                kMbOk | kMbIconError);
        return false;
    }
    ThePrompts().MessageBox(result.message, kAppTitle, kMbOk);
    RequestRepaint();
    return result.status == CT_LOADED;
}
