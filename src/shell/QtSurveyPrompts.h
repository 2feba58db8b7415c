// The survey's questions through the installed prompts, its sign-off and location dialogs
// parented on the map view, and the busy cursor.
#pragma once

#include "controller/SurveyPrompts.h"

class QStatusBar;
class QWidget;

class CQtSurveyPrompts : public ISurveyPrompts {
public:
    explicit CQtSurveyPrompts(QWidget& dialogParent) : m_parent(dialogParent) {}
    // Where ShowStatus writes (the main frame's status bar).
    void SetStatusBar(QStatusBar* statusBar) { m_statusBar = statusBar; }

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool ChooseFileToOpen(const FileDialogRequest& request, std::string& path) override;
    bool ChooseFileToSave(const FileDialogRequest& request, std::string& path) override;
    bool SignOff(SignOffSignature& signature) override;
    bool ShowPointInfo(const PointInfo& point) override;
    void SetBusy(bool busy) override;
    void ShowStatus(const std::string& text) override;

private:
    QWidget& m_parent;
    QStatusBar* m_statusBar = nullptr;
};
