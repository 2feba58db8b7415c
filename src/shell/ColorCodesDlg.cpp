// Colour legend dialog layout.
#include "shell/ColorCodesDlg.h"

#include <QLabel>

#include "shell/DialogUnits.h"

namespace {
struct Row {
    uint32_t color; // 0x00BBGGRR
    const char* text;
};

// Same bands and colours as the map's point circles.
constexpr Row kRowTable[CColorCodesDlg::kRows] = {
    {0x0000FF, "greater than -39 dBm"}, {0x0080FF, "-40 thru -49 dBm"},
    {0x00FFFF, "-50 thru -59 dBm"},     {0x00FF00, "-60 thru -69 dBm"},
    {0xFF0000, "-70 thru -79 dBm"},     {0x000000, "-80 thru -89 dBm"},
};

// Template, in dialog units.
constexpr int kDlgWidth = 160;
constexpr int kDlgHeight = 161;
constexpr int kFirstRowY = 14;
constexpr int kRowPitch = 20;
constexpr int kSwatchX = 15;
constexpr int kSwatchWidth = 26;
constexpr int kLabelX = 55;
constexpr int kLabelWidth = 72;
constexpr int kRowHeight = 8;
} // namespace

CColorCodesDlg::CColorCodesDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Color of RSSI Values"));
    setFont(CDialogUnits::DialogFont());
    const CDialogUnits units = CDialogUnits::FromFont(font());
    setFixedSize(units.ToPixels(kDlgWidth, kDlgHeight));

    for (int row = 0; row < kRows; ++row) {
        const int y = kFirstRowY + row * kRowPitch;
        CColorSwatch& swatch = m_swatches[row];
        swatch.setParent(this);
        swatch.setObjectName(QStringLiteral("swatch%1").arg(row + 1));
        swatch.SetColor(kRowTable[row].color);
        units.Place(swatch, kSwatchX, y, kSwatchWidth, kRowHeight);

        m_labels[row] = new QLabel(QString::fromLatin1(kRowTable[row].text), this);
        units.Place(*m_labels[row], kLabelX, y, kLabelWidth, kRowHeight);
    }
}

int CColorCodesDlg::DoModal() {
    return exec();
}

uint32_t CColorCodesDlg::RowColor(int row) {
    return kRowTable[row].color;
}

const char* CColorCodesDlg::RowText(int row) {
    return kRowTable[row].text;
}
