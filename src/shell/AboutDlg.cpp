// About box layout.
#include "shell/AboutDlg.h"

#include <QLabel>

#include "shell/DialogUnits.h"
#include "shell/ProgramIcon.h"

namespace {
// Template, in dialog units.
constexpr int kDlgWidth = 134;
constexpr int kDlgHeight = 95;
constexpr int kTextX = 17;
constexpr int kTextWidth = 107;
constexpr int kTextHeight = 8;
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_icon(new QLabel(this)) {
    setWindowTitle(QStringLiteral("About Larkspur"));
    setFont(CDialogUnits::DialogFont());
    const CDialogUnits units = CDialogUnits::FromFont(font());
    setFixedSize(units.ToPixels(kDlgWidth, kDlgHeight));

    m_icon->setObjectName(QStringLiteral("programIcon"));
    units.Place(*m_icon, 106, 7, 20, 20);
    m_icon->setAlignment(Qt::AlignCenter);
    m_icon->setPixmap(ProgramIconPixmap(m_icon->size()));

    const struct {
        int y;
        const char* text;
    } lines[] = {
        {22, "Larkspur Survalon"},
        {36, "Version 2.02"},
        {49, "Radio site survey for Linux"},
        {64, "(C) 2026 the Larkspur team"},
    };
    for (const auto& line : lines) {
        auto* label = new QLabel(QString::fromLatin1(line.text), this);
        units.Place(*label, kTextX, line.y, kTextWidth, kTextHeight);
    }
}

int CAboutDlg::DoModal() {
    return exec();
}
