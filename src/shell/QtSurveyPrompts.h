// The survey's questions through the installed prompts, its sign-off and location dialogs
// parented on the map view, and the busy cursor.
#pragma once

#include "controller/SurveyPrompts.h"

class QWidget;

class CQtSurveyPrompts : public ISurveyPrompts {
public:
    explicit CQtSurveyPrompts(QWidget& dialogParent) : m_parent(dialogParent) {}

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool ChooseFileToOpen(const FileDialogRequest& request, std::string& path) override;
    bool SignOff(SignOffSignature& signature) override;
    bool ShowPointInfo(const PointInfo& point) override;
    void SetBusy(bool busy) override;

private:
    QWidget& m_parent;
};
