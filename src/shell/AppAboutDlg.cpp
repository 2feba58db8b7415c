// Application about box layout.
#include "shell/AppAboutDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include "shell/DialogUnits.h"
#include "shell/ProgramIcon.h"

namespace {
// Template, in dialog units.
constexpr int kDlgWidth = 126;
constexpr int kDlgHeight = 58;
constexpr int kTextHeight = 8;
} // namespace

CAppAboutDlg::CAppAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_icon(new QLabel(this)) {
    setWindowTitle(QStringLiteral("About Larkspur"));
    setFont(CDialogUnits::DialogFont());
    const CDialogUnits units = CDialogUnits::FromFont(font());
    setFixedSize(units.ToPixels(kDlgWidth, kDlgHeight));

    const struct {
        int x, y, width;
        const char* text;
    } lines[] = {
        {7, 7, 84, "Larkspur Version 2.02"},
        {7, 24, 65, "Copyright 2026"},
        {7, 43, 111, "The Larkspur Survalon team"},
    };
    for (const auto& line : lines) {
        auto* label = new QLabel(QString::fromLatin1(line.text), this);
        units.Place(*label, line.x, line.y, line.width, kTextHeight);
    }

    m_icon->setObjectName(QStringLiteral("programIcon"));
    units.Place(*m_icon, 97, 7, 20, 20);
    m_icon->setAlignment(Qt::AlignCenter);
    m_icon->setPixmap(ProgramIconPixmap(m_icon->size()));
}

int CAppAboutDlg::DoModal() {
    // QDialog centres a box on its parent, or on the screen when it has none.
    return exec();
}

void CAppAboutDlg::keyPressEvent(QKeyEvent* event) {
    // With no close box, Enter closes the box as well as Escape.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CAppAboutDlg::mousePressEvent(QMouseEvent* event) {
    accept();
    event->accept();
}
