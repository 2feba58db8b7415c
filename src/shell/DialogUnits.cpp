// Dialog-unit conversion from font metrics.
#include "shell/DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

namespace {
constexpr int kUnitsPerCharX = 4;
constexpr int kUnitsPerCharY = 8;
constexpr int kDialogPointSize = 8;
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// value * mul / div rounded half away from zero, in 64 bits so large inputs cannot overflow.
int mulDivRound(int value, int mul, int div) {
    const long long product = static_cast<long long>(value) * mul;
    const long long half = div / 2;
    const long long q = product >= 0 ? (product + half) / div : -((-product + half) / div);
    return static_cast<int>(q);
}
} // namespace

CDialogUnits::CDialogUnits(int baseX, int baseY)
    : m_nBaseX(baseX > 0 ? baseX : 1), m_nBaseY(baseY > 0 ? baseY : 1) {}

CDialogUnits CDialogUnits::FromFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = static_cast<int>(sizeof kAlphabet) - 1;
    const int width = metrics.horizontalAdvance(QString::fromLatin1(kAlphabet));
    // Half the letters' width, then halved again with rounding: the average character width
    // rounded to the nearest pixel.
    const int baseX = (width / (letters / 2) + 1) / 2;
    return CDialogUnits(baseX, metrics.height());
}

QFont CDialogUnits::DialogFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(kDialogPointSize);
    return font;
}

int CDialogUnits::ToPixelsX(int units) const {
    return mulDivRound(units, m_nBaseX, kUnitsPerCharX);
}

int CDialogUnits::ToPixelsY(int units) const {
    return mulDivRound(units, m_nBaseY, kUnitsPerCharY);
}

QSize CDialogUnits::ToPixels(int width, int height) const {
    return QSize(ToPixelsX(width), ToPixelsY(height));
}

QRect CDialogUnits::ToPixels(int x, int y, int width, int height) const {
    // Convert the corners, not the size, so adjacent controls stay adjacent after rounding.
    const int left = ToPixelsX(x);
    const int top = ToPixelsY(y);
    return QRect(left, top, ToPixelsX(x + width) - left, ToPixelsY(y + height) - top);
}

void CDialogUnits::Place(QWidget& control, int x, int y, int width, int height) const {
    control.setGeometry(ToPixels(x, y, width, height));
}
