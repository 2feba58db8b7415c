// Coverage fields over a plan: a value for every pixel that has a measured spot within the cut-off
// radius, and none for every other pixel. Nothing is ever invented where nothing was measured:
// no fit over the whole plan, no anchor points, no glow that grows where spots crowd.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/RssiBands.h"
#include "analysis/SpotValues.h"

enum class FieldMethod {
    // Inverse-distance weighting over the spots within the radius. Weights are
    // ((radius - d) / (radius * d))^power: near 1/d^power close to a spot, falling to zero at
    // the radius, so a spot leaving the neighbourhood leaves no seam. A pixel on a spot takes
    // exactly that spot's value.
    Idw,
    // The value of the nearest spot within the radius (a Voronoi map cut off at the radius);
    // equally near spots go to the one listed first.
    Nearest,
};

struct FieldOptions {
    FieldMethod method = FieldMethod::Idw;
    double radius = 0.0;  // plan pixels; a spot covers the pixels closer than this
    double power = 2.0;   // IDW only
    unsigned threads = 0; // 0: one per core
};

// A pixel's value in dBm; NaN where no spot lies within the radius, minus infinity where the
// nearest spot is a place where nothing was received (such a spot never joins the weighting of
// the live spots around it, so the map shows the dead place rather than hiding it).
using CoverageValues = std::vector<float>;

// Progress of a long computation as a fraction from 0 to 1, reported on the calling thread.
using FieldProgressFn = std::function<void(double)>;

// Fills out with width x height values, row by row from the top; a pixel is at the whole plan
// coordinates (x, y) that the spots use. False, and out empty, when the size is not positive,
// the radius not positive and finite, or the IDW power not positive and finite.
bool ComputeCoverageField(const std::vector<SpotValue>& spots, int width, int height,
                          const FieldOptions& options, CoverageValues& out,
                          const FieldProgressFn& progress = {});

// A rectangle of plan pixels: columns [x, x + width), rows [y, y + height).
struct FieldRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The same field over one rectangle only: out gets rect.width x rect.height values, row by row,
// each exactly the value ComputeCoverageField gives that pixel (so a part recomputed after a
// change matches a whole computation bit for bit). False, and out empty, for an empty rectangle
// or the options ComputeCoverageField refuses.
bool ComputeCoverageRect(const std::vector<SpotValue>& spots, const FieldRect& rect,
                         const FieldOptions& options, CoverageValues& out);

// False for NaN only: no signal is a value.
bool HasValue(float value);

// Marks a pixel without a value in a band raster, and a pixel where nothing was received.
constexpr uint8_t kNoBand = 255;
constexpr uint8_t kNoSignalBand = 254;

// Marks the pixels where the field crosses any of levels (dBm): 1 on both sides of a step from
// at or above a level to below it between neighbours across or down, 0 elsewhere; pixels
// without a value cross nothing. out gets width x height marks.
void ContoursOfField(const CoverageValues& values, int width, int height,
                     const std::vector<double>& levels, std::vector<uint8_t>& out);

// The band of every value of a field (kNoBand where it has none, kNoSignalBand where nothing
// was received), in the same order.
void BandsOfField(const CoverageValues& values, const CBandSet& bands, std::vector<uint8_t>& out);
