// The heatmap made and written a band of rows at a time: each band's field, colours, marks and
// PNG piece in one pass on one thread, the bands shared out to every core and written in order.
// No whole-picture raster exists at any moment; the bytes never depend on the thread count.
#pragma once

#include <vector>

#include "HeatmapImage.h"
#include "PngStripes.h"
#include "analysis/CoverageField.h"
#include "analysis/RssiBands.h"
#include "analysis/SpotValues.h"

struct SitePicture;

// As tall as the field's tiles, so that a band's values, band indexes and pixels stay in a
// core's cache from the field to the deflated piece.
constexpr int kHeatmapBandRows = 32;

struct HeatmapJob {
    const SitePicture& plan;
    const std::vector<SpotValue>& spots;
    FieldOptions field; // its thread count is the whole job's (0: one per core)
    const CBandSet& bands;
    std::vector<double> contours; // levels in dBm that contour lines mark
    // Rows per band: the PNG's bytes depend on it, its pixels never.
    int bandRows = kHeatmapBandRows;
};

// Whether any plan pixel's value will be "nothing received": the nearest spot within the radius
// is one where nothing was received. Looks only near such spots.
bool FieldShowsNoSignal(const HeatmapJob& job);

// Writes picture as a PNG through sink, its plan rows from the job's field. False when the
// field's options are refused, or zlib or the sink fails. progress runs on the calling thread.
bool WriteHeatmapPng(const HeatmapJob& job, const CHeatmapPicture& picture, const PngSink& sink,
                     const FieldProgressFn& progress = {});
