// Colour legend dialog layout.
#include "shell/ColorCodesDlg.h"

#include <QLabel>

#include <cstdio>
#include <string>

#include "analysis/RssiBands.h"
#include "shell/ColorRef.h"
#include "shell/DialogUnits.h"

namespace {

// The handheld's legend names whole-dBm ranges of its bands: "greater than -39 dBm" above -40,
// "-40 thru -49 dBm" down to -50. Its last row reads as one more band of the same width
// ("-80 thru -89 dBm"), though every weaker reading is painted in that colour too.
std::string rowText(const CBandSet& bands, size_t row) {
    const std::vector<double>& edges = bands.Edges();
    const auto whole = [](double dbm) { return static_cast<int>(dbm); };
    char text[64];
    if (row == 0) {
        std::snprintf(text, sizeof text, "greater than %d dBm", whole(edges[0]) + 1);
    } else if (row < edges.size()) {
        std::snprintf(text, sizeof text, "%d thru %d dBm", whole(edges[row - 1]),
                      whole(edges[row]) + 1);
    } else {
        const int width = whole(edges[row - 2]) - whole(edges[row - 1]);
        std::snprintf(text, sizeof text, "%d thru %d dBm", whole(edges[row - 1]),
                      whole(edges[row - 1]) - width + 1);
    }
    return text;
}

struct Rows {
    uint32_t color[CColorCodesDlg::kRows]; // 0x00BBGGRR
    std::string text[CColorCodesDlg::kRows];
};

// The same bands and colours as the map's point circles and the heatmaps.
const Rows& rows() {
    static const Rows table = [] {
        const CBandSet& bands = CBandSet::Handheld();
        Rows r;
        for (int row = 0; row < CColorCodesDlg::kRows; ++row) {
            const BandColour& c = bands.Colour(static_cast<size_t>(row));
            r.color[row] = refFromColor(QColor(c.red, c.green, c.blue));
            r.text[row] = rowText(bands, static_cast<size_t>(row));
        }
        return r;
    }();
    return table;
}

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
        swatch.SetColor(RowColor(row));
        units.Place(swatch, kSwatchX, y, kSwatchWidth, kRowHeight);

        m_labels[row] = new QLabel(QString::fromLatin1(RowText(row)), this);
        units.Place(*m_labels[row], kLabelX, y, kLabelWidth, kRowHeight);
    }
}

int CColorCodesDlg::DoModal() {
    return exec();
}

uint32_t CColorCodesDlg::RowColor(int row) {
    return rows().color[row];
}

const char* CColorCodesDlg::RowText(int row) {
    return rows().text[row].c_str();
}
