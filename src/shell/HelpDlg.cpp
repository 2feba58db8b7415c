// Help dialog layout and filling.
#include "shell/HelpDlg.h"

#include <QListWidget>

#include "shell/DialogUnits.h"
#include "shell/HelpText.h"

namespace {
// Template, in dialog units.
constexpr int kDlgWidth = 127;
constexpr int kDlgHeight = 161;
constexpr int kListX = 7;
constexpr int kListY = 7;
constexpr int kListWidth = 113;
constexpr int kListHeight = 147;
} // namespace

CHelpDlg::CHelpDlg(QWidget* parent) : QDialog(parent), m_list(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Larkspur Help"));
    setFont(CDialogUnits::DialogFont());
    const CDialogUnits units = CDialogUnits::FromFont(font());
    setFixedSize(units.ToPixels(kDlgWidth, kDlgHeight));

    m_list->setObjectName(QStringLiteral("helpList"));
    units.Place(*m_list, kListX, kListY, kListWidth, kListHeight);
    m_list->setFrameShape(QFrame::Box);
    // The text is broken by hand and must keep its order; long items are cut at the right edge
    // rather than wrapped, elided or scrolled sideways.
    m_list->setSortingEnabled(false);
    m_list->setWordWrap(false);
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFocusPolicy(Qt::StrongFocus);

    for (int i = 0; i < HelpItemCount(); ++i) {
        m_list->addItem(QString::fromLatin1(HelpItem(i)));
    }
}

int CHelpDlg::DoModal() {
    return exec();
}
