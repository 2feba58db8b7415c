// Sign-off dialog layout and commands.
#include "shell/SignOffDlg.h"

#include <QPushButton>

#include "shell/DialogUnits.h"

namespace {
// Template, in dialog units.
constexpr int kDlgWidth = 139;
constexpr int kDlgHeight = 109;
constexpr int kColumnX = 7;
constexpr int kColumnWidth = 125;
constexpr int kPadY = 7;
constexpr int kPadHeight = 46;
constexpr int kClearY = 65;
constexpr int kSaveY = 86;
constexpr int kButtonHeight = 14;
} // namespace

CSignOffDlg::CSignOffDlg(QWidget* parent)
    : QDialog(parent), m_clearButton(new QPushButton(QStringLiteral("CLEAR SIGNATURE"), this)),
      m_saveButton(new QPushButton(QStringLiteral("SAVE SITE SURVEY"), this)) {
    setWindowTitle(QStringLiteral("Sign Off On Survey"));
    setFont(CDialogUnits::DialogFont());
    const CDialogUnits units = CDialogUnits::FromFont(font());
    setFixedSize(units.ToPixels(kDlgWidth, kDlgHeight));

    m_pad.setParent(this);
    m_pad.setObjectName(QStringLiteral("signaturePad"));
    units.Place(m_pad, kColumnX, kPadY, kColumnWidth, kPadHeight);
    m_pad.InitSurface();

    m_clearButton->setObjectName(QStringLiteral("clearSignatureButton"));
    units.Place(*m_clearButton, kColumnX, kClearY, kColumnWidth, kButtonHeight);
    m_saveButton->setObjectName(QStringLiteral("saveSiteSurveyButton"));
    units.Place(*m_saveButton, kColumnX, kSaveY, kColumnWidth, kButtonHeight);
    // Enter must not save by accident while signing: neither button is a default button.
    m_clearButton->setAutoDefault(false);
    m_saveButton->setAutoDefault(false);

    connect(m_clearButton, &QPushButton::clicked, this, &CSignOffDlg::OnClearSignature);
    connect(m_saveButton, &QPushButton::clicked, this, &CSignOffDlg::OnSaveSiteSurvey);
}

int CSignOffDlg::DoModal() {
    return exec();
}

void CSignOffDlg::OnClearSignature() {
    m_pad.Clear();
}

void CSignOffDlg::OnSaveSiteSurvey() {
    done(kSaveResult);
}
