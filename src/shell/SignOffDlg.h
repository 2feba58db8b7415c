// The sign-off dialog: the surveyor signs the survey by hand before it is saved. The dialog only
// collects the signature; the caller reads it after the modal run, then destroys the dialog.
#pragma once

#include <QDialog>
#include <cstdint>

#include "shell/SignaturePad.h"

class QPushButton;

class CSignOffDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSaveResult = -2;

    explicit CSignOffDlg(QWidget* parent = nullptr);

    // Runs the dialog: kSaveResult for "SAVE SITE SURVEY", the standard rejected result when it
    // is closed otherwise. Either way the signature stays readable.
    int DoModal();

    // 0 where the signature is pure black, 0xFFFFFF anywhere else (outside the pad included).
    uint32_t GetSignaturePixel(int x, int y) const { return m_pad.GetPixel(x, y); }

    CSignaturePad& Pad() { return m_pad; }
    QPushButton* ClearButton() const { return m_clearButton; }
    QPushButton* SaveButton() const { return m_saveButton; }

public slots:
    void OnClearSignature();
    void OnSaveSiteSurvey();

private:
    // A member, so the picture lives exactly as long as the dialog object.
    CSignaturePad m_pad;
    QPushButton* m_clearButton;
    QPushButton* m_saveButton;
};
