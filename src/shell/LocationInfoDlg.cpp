// Location information dialog: painted nearest-point values and the delete action.
#include "shell/LocationInfoDlg.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <cstdio>

#include "controller/SurveyPrompts.h"
#include "shell/ColorRef.h"
#include "shell/DialogUnits.h"

namespace {
constexpr uint32_t kRuleColor = 0xFF0000; // blue, in 0x00BBGGRR form
constexpr qreal kPaintPointSize = 8.0;
// Below this the texts would be hard to read; better cut than illegible.
constexpr qreal kSmallestPointSize = 6.0;
constexpr qreal kPointStep = 0.5;

// Template: client size and the delete button, in dialog units.
constexpr int kDlgWidth = 131;
constexpr int kDlgHeight = 158;
constexpr int kButtonX = 7;
constexpr int kButtonY = 137;
constexpr int kButtonWidth = 117;
constexpr int kButtonHeight = 14;

QRect ltrb(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

const QRect kTitleRect = ltrb(7, 5, 155, 19);
const QRect kChannelHeadingRect = ltrb(7, 85, 115, 99);
const char kTitle[] = "LOCATION INFORMATION";
const char kChannelHeading[] = "STRONGEST CHANNEL";

QString format(const char* fmt, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, fmt, value);
    return QString::fromLatin1(buffer);
}

QString format(const char* fmt, int value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, fmt, value);
    return QString::fromLatin1(buffer);
}
} // namespace

CLocationInfoDlg::CLocationInfoDlg(const PointInfo* point, QWidget* parent)
    : QDialog(parent), m_point(point),
      m_deleteButton(new QPushButton(QStringLiteral("DELETE THIS POINT"), this)) {
    setWindowTitle(QStringLiteral("Location Info/Delete Point"));
    setFont(CDialogUnits::DialogFont());
    const CDialogUnits units = CDialogUnits::FromFont(font());

    // The painted content is laid out in fixed pixels for a 240-pixel-wide client; on a screen
    // whose dialog font makes the template smaller, the box grows so nothing is cut off, and the
    // button keeps its template place unless that would cover the painting.
    QRect button = units.ToPixels(kButtonX, kButtonY, kButtonWidth, kButtonHeight);
    if (button.top() < kPaintHeight) {
        button.moveTop(kPaintHeight);
    }
    const QSize templ = units.ToPixels(kDlgWidth, kDlgHeight);
    const int bottomMargin = units.ToPixelsY(kDlgHeight - kButtonY - kButtonHeight);
    setFixedSize(std::max(templ.width(), kPaintWidth),
                 std::max(templ.height(), button.bottom() + 1 + bottomMargin));

    m_deleteButton->setObjectName(QStringLiteral("deletePointButton"));
    m_deleteButton->setGeometry(button);
    m_deleteButton->setDefault(true);
    m_deleteButton->setFocus();
    connect(m_deleteButton, &QPushButton::clicked, this, &CLocationInfoDlg::OnDeletePoint);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
}

int CLocationInfoDlg::DoModal() {
    return exec();
}

std::vector<CLocationInfoDlg::PaintedText> CLocationInfoDlg::Texts() const {
    std::vector<PaintedText> texts;
    texts.push_back({kTitleRect, QString::fromLatin1(kTitle)});
    const PointInfo* point = m_point;
    // Without a point there is nothing to describe: show the headings only.
    if (point != nullptr) {
        texts.push_back({ltrb(7, 25, 77, 39), format("X: %.2f", point->x)});
        texts.push_back({ltrb(127, 25, 197, 39), format("Y: %.2f", point->y)});
    }
    texts.push_back({kChannelHeadingRect, QString::fromLatin1(kChannelHeading)});
    if (point != nullptr) {
        texts.push_back({ltrb(7, 105, 237, 119), format("Channel: %d", int{point->channel})});
        texts.push_back({ltrb(7, 145, 237, 169), format("RSSI: %d", int{point->rssi})});
    }
    return texts;
}

std::vector<QRect> CLocationInfoDlg::Rules() {
    return {QRect(7, 20, 226, 2), QRect(7, 100, 226, 2), QRect(7, 210, 226, 2)};
}

QFont CLocationInfoDlg::PaintFont() {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    // The text rectangles were sized for the handheld's rendering of this font; where ours runs
    // wider, step the size down until the headings fit instead of cutting them off.
    for (qreal size = kPaintPointSize; size >= kSmallestPointSize; size -= kPointStep) {
        font.setPointSizeF(size);
        const QFontMetrics metrics(font);
        if (metrics.horizontalAdvance(QString::fromLatin1(kTitle)) <= kTitleRect.width() &&
            metrics.horizontalAdvance(QString::fromLatin1(kChannelHeading)) <=
                kChannelHeadingRect.width() &&
            metrics.height() <= kTitleRect.height()) {
            break;
        }
    }
    return font;
}

void CLocationInfoDlg::OnDeletePoint() {
    if (m_point == nullptr) {
        // Nothing to delete, so the caller must not erase anything from the map.
        reject();
        return;
    }
    done(kDeletedResult);
}

void CLocationInfoDlg::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setFont(PaintFont());
    painter.setPen(Qt::black);
    painter.setBackground(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);
    for (const PaintedText& t : Texts()) {
        painter.drawText(t.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, t.text);
    }
    for (const QRect& rule : Rules()) {
        painter.fillRect(rule, colorFromRef(kRuleColor));
    }
}
