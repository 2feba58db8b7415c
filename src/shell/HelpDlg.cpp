// Help dialog layout and filling.
#include "shell/HelpDlg.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QScrollBar>
#include <algorithm>

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
// Items are broken by hand to this many characters at most; longer ones are meant to be cut.
constexpr int kBrokenItemLength = 35;
constexpr int kSmallestPointSize = 6;
// Room the list keeps between its frame and an item's text.
constexpr int kTextMargin = 6;
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
    fitFontToItems();
}

void CHelpDlg::fitFontToItems() {
    // The items were broken by hand for the handheld's font; where ours runs wider, a smaller
    // size keeps every hand-broken line whole instead of cutting words off at the edge.
    const int room = m_list->width() - 2 * m_list->frameWidth() -
                     m_list->verticalScrollBar()->sizeHint().width() - kTextMargin;
    QFont font = m_list->font();
    while (font.pointSize() > kSmallestPointSize && widestBrokenItem(font) > room) {
        font.setPointSize(font.pointSize() - 1);
    }
    m_list->setFont(font);
}

int CHelpDlg::widestBrokenItem(const QFont& font) const {
    const QFontMetrics metrics(font);
    int widest = 0;
    for (int i = 0; i < m_list->count(); ++i) {
        const QString text = m_list->item(i)->text();
        if (text.size() <= kBrokenItemLength) {
            widest = std::max(widest, metrics.horizontalAdvance(text));
        }
    }
    return widest;
}

int CHelpDlg::DoModal() {
    return exec();
}
