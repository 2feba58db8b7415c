// The heatmap picture: the floor plan at its own size with the band colours laid over it where
// something was measured, contour lines, the measured spots as dots, a scale bar, and a legend
// strip below the plan with the caption.
#pragma once

#include <QFont>
#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/RssiBands.h"
#include "analysis/SpotValues.h"

struct SitePicture;

struct HeatmapStyle {
    double opacity = 0.55; // of the band colours over the plan
    bool dots = true;
    // Lines under the band swatches: the site, the channels, the date, method and radius.
    std::vector<std::string> caption;
    std::vector<double> contours; // levels in dBm that contour lines mark
    double pixelsPerFoot = 0.0;   // 0: no scale bar
};

struct ScaleBar {
    QRect back; // holds all of the bar and its text
    int pad = 0;
    int length = 0; // of the bar in plan pixels
    QString text;
};

// The heatmap as rows to be painted a band at a time, on any thread: the plan's rows take the
// band colours over the plan, contour lines, dots and the scale bar; the rows below the plan the
// legend strip with its caption. The picture is at least as wide as the legend needs; the plan
// keeps its pixel coordinates at the top left.
class CHeatmapPicture {
public:
    // noSignal: whether any plan pixel will show "no signal" (the legend then lists it). Needs
    // a QGuiApplication, for the legend's text.
    CHeatmapPicture(const SitePicture& plan, const CBandSet& set,
                    const std::vector<SpotValue>& spots, bool noSignal, const HeatmapStyle& style);

    int Width() const { return m_width; }
    int Height() const { return m_planHeight + m_legendStrip.height(); }

    // Rows above and below a band of plan rows that PaintPlanRows paints as scratch, so that
    // each dot that reaches the band is drawn whole, exactly as on one picture.
    int Margin() const { return m_margin; }
    // Paints plan rows [y0, y0 + rows) into canvas (Width() wide, rows + 2 x Margin() tall,
    // Format_RGB32): row y0 goes to canvas row Margin(). bands holds one band index per plan
    // pixel of those rows, row by row (kNoBand: the plan as it is; kNoSignalBand: nothing
    // received); contours 1 where a contour line runs, or nothing.
    void PaintPlanRows(int y0, int rows, const uint8_t* bands, const uint8_t* contours,
                       QImage& canvas) const;
    // The legend's rows from y0 on (counted from the top of the picture, at or below the plan),
    // Width() pixels each, one after another.
    const uint32_t* LegendRows(int y0) const;

private:
    const SitePicture& m_plan;
    const std::vector<SpotValue>& m_spots;
    HeatmapStyle m_style;
    QFont m_font;
    int m_fontPixels = 0;
    int m_width = 0;
    int m_planHeight = 0;
    int m_margin = 0;
    double m_dotRadius = 0.0;
    int m_dotReach = 0; // rows from a dot's spot to the last pixel it paints
    QImage m_legendStrip;
    ScaleBar m_scaleBar;
    size_t m_noSignalLayer = 0;
    // Every colour a plan pixel can take: each palette entry bare (layer 0), under each band
    // (layer band + 1), and under no signal (the last layer).
    std::vector<QRgb> m_colours;
};
