// The heatmap picture: the floor plan at its own size with the band colours laid over it where
// something was measured, contour lines, the measured spots as dots, a scale bar, and a legend
// strip below the plan with the caption.
#pragma once

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

// bands holds one band index per plan pixel, row by row from the top (kNoBand: leave the plan
// as it is; kNoSignalBand: nothing received, black); contours holds 1 where a contour line runs
// (or nothing). The picture is at least as wide as the legend needs; the plan keeps its pixel
// coordinates at the top left. Needs a QGuiApplication for the legend's text.
QImage HeatmapImage(const SitePicture& plan, const std::vector<uint8_t>& bands, const CBandSet& set,
                    const std::vector<SpotValue>& spots, const std::vector<uint8_t>& contours,
                    const HeatmapStyle& style);

// Encodes the picture as PNG; false when Qt cannot.
bool EncodePng(const QImage& image, std::vector<uint8_t>& out);
