// The colour legend: the six colours points are painted in, each beside its RSSI band.
#pragma once

#include <QDialog>
#include <cstdint>

#include "analysis/RssiBands.h"
#include "shell/ColorSwatch.h"

class QLabel;

class CColorCodesDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRows = static_cast<int>(RssiBand::Black) + 1;

    explicit CColorCodesDlg(QWidget* parent = nullptr);

    int DoModal();

    // Row 0 is the strongest band.
    CColorSwatch& Swatch(int row) { return m_swatches[row]; }
    QLabel* Label(int row) const { return m_labels[row]; }

    // The colour (0x00BBGGRR) and label text of a row, from the handheld's band set.
    static uint32_t RowColor(int row);
    static const char* RowText(int row);

private:
    // Members, not heap children: they are destroyed (and leave the child list) before the
    // dialog's own widget destructor runs.
    CColorSwatch m_swatches[kRows];
    QLabel* m_labels[kRows] = {};
};
