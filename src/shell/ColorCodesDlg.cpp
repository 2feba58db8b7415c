// Colour legend dialog layout.
#include "shell/ColorCodesDlg.h"

#include <QLabel>

#include <algorithm>
#include <array>
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

// The same bands as the map's point circles and the heatmaps.
const std::string* rowTexts() {
    static const auto table = [] {
        std::array<std::string, CColorCodesDlg::kRows> texts;
        for (int row = 0; row < CColorCodesDlg::kRows; ++row) {
            texts[row] = rowText(CBandSet::Handheld(), static_cast<size_t>(row));
        }
        return texts;
    }();
    return table.data();
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
// With the layer's section below the points', rows close up so the two fit a handheld's height.
constexpr int kCompactPitch = 13;
constexpr int kHeadingX = 10;
constexpr int kHeadingWidth = 140;
constexpr int kSectionGap = 6;
constexpr int kBottomMargin = 10;
constexpr uint32_t kPaper = 0xFFFFFFu;

// A band's label in a set other than the handheld's: its range as the desktop's maps name it.
std::string bandText(const CBandSet& bands, size_t band) {
    return bands.Label(band) + " dBm";
}

} // namespace

CColorCodesDlg::CColorCodesDlg(QWidget* parent, const LegendBands& bands) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Color of RSSI Values"));
    setFont(CDialogUnits::DialogFont());
    const CDialogUnits units = CDialogUnits::FromFont(font());
    const bool handheld = bands.circles == &CBandSet::Handheld();
    const bool withLayer = bands.layer != nullptr;
    m_nRows = static_cast<int>(std::min<size_t>(bands.circles->Count(), kMaxRows));
    const int pitch = withLayer ? kCompactPitch : kRowPitch;
    int y = kFirstRowY;
    const auto heading = [&](const char* text) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        units.Place(*label, kHeadingX, y, kHeadingWidth, kRowHeight);
        y += pitch;
    };
    const auto row = [&](CColorSwatch& swatch, QLabel*& label, uint32_t color,
                         const std::string& text) {
        swatch.setParent(this);
        swatch.SetColor(color);
        units.Place(swatch, kSwatchX, y, kSwatchWidth, kRowHeight);
        label = new QLabel(QString::fromStdString(text), this);
        units.Place(*label, kLabelX, y, kLabelWidth, kRowHeight);
        y += pitch;
    };
    if (withLayer) {
        heading("Points");
    }
    for (int r = 0; r < m_nRows; ++r) {
        const BandColour& c = bands.circles->Colour(static_cast<size_t>(r));
        m_swatches[r].setObjectName(QStringLiteral("swatch%1").arg(r + 1));
        // The handheld's own legend words its ranges as the handheld did.
        row(m_swatches[r], m_labels[r], refFromColor(QColor(c.red, c.green, c.blue)),
            handheld ? RowText(r) : bandText(*bands.circles, static_cast<size_t>(r)));
    }
    if (!withLayer) {
        setFixedSize(units.ToPixels(kDlgWidth, kDlgHeight));
        return;
    }
    y += kSectionGap;
    heading("Coverage layer");
    // Each swatch is the band as it looks over white paper, as the layer lays it on the plan.
    const size_t layerBands = std::min<size_t>(bands.layer->Count(), kMaxRows - 1);
    for (size_t band = 0; band <= layerBands; ++band) {
        const bool noSignal = band == layerBands;
        const uint32_t rgb = BlendBandOver(
            kPaper, noSignal ? kNoSignalColour : bands.layer->Colour(band), bands.layerOpacity);
        const int r = m_nLayerRows++;
        row(m_layerSwatches[r], m_layerLabels[r], refFromColor(QColor::fromRgb(rgb)),
            noSignal ? std::string("no signal") : bandText(*bands.layer, band));
    }
    setFixedSize(units.ToPixels(kDlgWidth, std::max(kDlgHeight, y + kBottomMargin)));
}

int CColorCodesDlg::DoModal() {
    return exec();
}

const char* CColorCodesDlg::RowText(int row) {
    return rowTexts()[row].c_str();
}
