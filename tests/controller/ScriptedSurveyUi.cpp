// Scripted answers for the survey controller's questions, and the test's own timer.
#include "ScriptedSurveyUi.h"

#include <algorithm>

#include "files/SitePicture.h"

int CScriptedSurveyUi::MessageBox(const std::string& text, const std::string& caption,
                                  unsigned flags) {
    messages.push_back(text);
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return CSilentPrompts().MessageBox(text, caption, flags);
}

bool CScriptedSurveyUi::ChooseFileToSave(const FileDialogRequest& request, std::string& path) {
    saveDialogs.push_back(request);
    return ChooseFileToOpen(request, path);
}

bool CScriptedSurveyUi::ChooseFileToOpen(const FileDialogRequest& /*request*/, std::string& path) {
    if (paths.empty()) {
        return false;
    }
    path = paths.front();
    paths.pop_front();
    return true;
}

bool CScriptedSurveyUi::SignOff(SignOffSignature& signature) {
    const bool save = !signOffs.empty() && signOffs.front();
    if (!signOffs.empty()) {
        signOffs.pop_front();
    }
    for (int i = 0; i < SignOffSignature::kHeight; ++i) {
        signature.pixels[size_t(i) * SignOffSignature::kWidth + i] = site::kInk;
    }
    return save;
}

bool CScriptedSurveyUi::ShowPointInfo(const PointInfo& point) {
    inspected.push_back(point);
    const bool remove = !deletes.empty() && deletes.front();
    if (!deletes.empty()) {
        deletes.pop_front();
    }
    return remove;
}

void CScriptedSurveyUi::SetBusy(bool busy) {
    busyDepth += busy ? 1 : -1;
    maxBusyDepth = std::max(busyDepth, maxBusyDepth);
}

bool CScriptedSurveyUi::ShowSitePicture(const SitePicture& picture) {
    pictureWidth = picture.width;
    pictureHeight = picture.height;
    return true;
}

MapPoint CScriptedSurveyUi::CentreOn(MapPoint point) {
    // As the map view does: the centre stays on the picture.
    const MapPoint centre{std::clamp(point.x, 0, pictureWidth),
                          std::clamp(point.y, 0, pictureHeight)};
    centred.push_back(centre);
    return centre;
}

void CScriptedSurveyUi::PaintPoint(int32_t x, int32_t y, int16_t strongest) {
    painted.push_back({x, y, strongest});
}

void CScriptedSurveyUi::PointStored(int32_t x, int32_t y, int16_t strongest) {
    stored.push_back({x, y, strongest});
    if (onSurveyTold) {
        onSurveyTold();
    }
}

void CScriptedSurveyUi::SurveyChanged() {
    ++surveyChanges;
    if (onSurveyTold) {
        onSurveyTold();
    }
}

void CScriptedSurveyUi::PointErased(int32_t x, int32_t y) {
    erased.push_back({x, y, 0});
}

void CScriptedSurveyUi::ShowNotice(const std::string& text) {
    notices.push_back(text);
    noticeOpen = true;
}

void CScriptedSurveyUi::ReviseNotice(const std::string& text) {
    if (noticeOpen) {
        revisions.push_back(text);
    }
}

void CScriptedSurveyUi::Start(int ms, std::function<void()> done) {
    timers.push_back(ms);
    m_timerDone = std::move(done);
}

bool CScriptedSurveyUi::FireTimer() {
    if (!m_timerDone) {
        return false;
    }
    // Taken first: the callback may start the next wait.
    std::function<void()> done = std::move(m_timerDone);
    m_timerDone = nullptr;
    done();
    return true;
}
