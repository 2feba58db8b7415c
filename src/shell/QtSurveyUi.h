// The survey controller's user interface on Qt: the program's prompts, the sign-off and location
// dialogs, the busy cursor, and the map view that shows each change.
#pragma once

#include "controller/SurveyUi.h"

class CLarkspurView;

class CQtSurveyUi : public ISurveyUi {
public:
    explicit CQtSurveyUi(CLarkspurView& view) : m_view(view) {}

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool ChooseFileToOpen(const FileDialogRequest& request, std::string& path) override;
    bool SignOff(SignOffSignature& signature) override;
    bool ShowPointInfo(const CSurveyData& survey) override;
    void SetBusy(bool busy) override;
    void Pause(int ms) override;
    bool ShowSitePicture(const SitePicture& picture) override;
    void ShowScreen(Screen screen) override;
    void Repaint() override;
    void PaintPoint(int32_t x, int32_t y, int16_t strongest) override;
    void PointStored(int32_t x, int32_t y, int16_t strongest) override;
    void PointErased(int32_t x, int32_t y) override;

private:
    CLarkspurView& m_view;
};
