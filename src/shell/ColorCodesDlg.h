// The colour legend: the colours points are painted in, each beside its RSSI band, and while the
// coverage layer is on, the colours it lays over the plan.
#pragma once

#include <QDialog>
#include <cstdint>

#include "analysis/RssiBands.h"
#include "shell/ColorSwatch.h"

class QLabel;

// The bands in use: the circles' (the handheld's unless the pass-line bands were chosen for
// them) and, while the coverage layer shows, the layer's at its opacity over the plan.
struct LegendBands {
    const CBandSet* circles = &CBandSet::Handheld();
    const CBandSet* layer = nullptr;
    double layerOpacity = 0.0;
};

class CColorCodesDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRows = static_cast<int>(RssiBand::Black) + 1;
    // The most rows a section can hold: the handheld's six bands and "no signal".
    static constexpr int kMaxRows = kRows + 1;

    explicit CColorCodesDlg(QWidget* parent = nullptr, const LegendBands& bands = LegendBands());

    int DoModal();

    // The points' rows; row 0 is the strongest band.
    int Rows() const { return m_nRows; }
    CColorSwatch& Swatch(int row) { return m_swatches[row]; }
    QLabel* Label(int row) const { return m_labels[row]; }
    // The coverage layer's rows (none while it is off), the last one for "no signal".
    int LayerRows() const { return m_nLayerRows; }
    CColorSwatch& LayerSwatch(int row) { return m_layerSwatches[row]; }
    QLabel* LayerLabel(int row) const { return m_layerLabels[row]; }

    // The label text of a row of the handheld's legend.
    static const char* RowText(int row);

private:
    // Members, not heap children: they are destroyed (and leave the child list) before the
    // dialog's own widget destructor runs.
    CColorSwatch m_swatches[kMaxRows];
    CColorSwatch m_layerSwatches[kMaxRows];
    QLabel* m_labels[kMaxRows] = {};
    QLabel* m_layerLabels[kMaxRows] = {};
    int m_nRows = 0;
    int m_nLayerRows = 0;
};
