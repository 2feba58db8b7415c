// Scripted answers for the survey controller's questions.
#include "ScriptedSurveyUi.h"

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

bool CScriptedSurveyUi::ShowPointInfo(const CSurveyData& /*survey*/) {
    const bool remove = !deletes.empty() && deletes.front();
    if (!deletes.empty()) {
        deletes.pop_front();
    }
    return remove;
}

void CScriptedSurveyUi::SetBusy(bool busy) {
    busyDepth += busy ? 1 : -1;
    maxBusyDepth = busyDepth > maxBusyDepth ? busyDepth : maxBusyDepth;
}

void CScriptedSurveyUi::Pause(int ms) {
    pauses.push_back(ms);
    if (duringPause) {
        duringPause();
    }
}

bool CScriptedSurveyUi::ShowSitePicture(const SitePicture& /*picture*/) {
    pictureShown = true;
    return true;
}

void CScriptedSurveyUi::PaintPoint(int32_t x, int32_t y, int16_t strongest) {
    painted.push_back({x, y, strongest});
}

void CScriptedSurveyUi::PointStored(int32_t x, int32_t y, int16_t strongest) {
    stored.push_back({x, y, strongest});
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
