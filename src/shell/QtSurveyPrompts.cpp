// The survey's prompts and dialogs on Qt.
#include "shell/QtSurveyPrompts.h"

#include <QApplication>
#include <QStatusBar>

#include "shell/LocationInfoDlg.h"
#include "shell/SignOffDlg.h"

int CQtSurveyPrompts::MessageBox(const std::string& text, const std::string& caption,
                                 unsigned flags) {
    return ThePrompts().MessageBox(text, caption, flags);
}

bool CQtSurveyPrompts::ChooseFileToOpen(const FileDialogRequest& request, std::string& path) {
    return ThePrompts().GetOpenFileName(request, path);
}

bool CQtSurveyPrompts::ChooseFileToSave(const FileDialogRequest& request, std::string& path) {
    return ThePrompts().GetSaveFileName(request, path);
}

bool CQtSurveyPrompts::SignOff(SignOffSignature& signature) {
    CSignOffDlg dialog(&m_parent);
    if (dialog.DoModal() != CSignOffDlg::kSaveResult) {
        return false;
    }
    for (int y = 0; y < SignOffSignature::kHeight; ++y) {
        for (int x = 0; x < SignOffSignature::kWidth; ++x) {
            signature.pixels[size_t(y) * SignOffSignature::kWidth + x] =
                dialog.GetSignaturePixel(x, y) == site::kInk ? site::kInk : site::kPaper;
        }
    }
    return true;
}

bool CQtSurveyPrompts::ShowPointInfo(const PointInfo& point) {
    CLocationInfoDlg dialog(&point, &m_parent);
    return dialog.DoModal() == CLocationInfoDlg::kDeletedResult;
}

void CQtSurveyPrompts::SetBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void CQtSurveyPrompts::ShowStatus(const std::string& text) {
    // Long enough to read after the dialog closes; the counts and coordinates come back after.
    constexpr int kStatusMs = 6000;
    if (m_statusBar != nullptr) {
        m_statusBar->showMessage(QString::fromStdString(text), kStatusMs);
    }
}
