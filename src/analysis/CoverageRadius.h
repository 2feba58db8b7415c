// The cut-off radius a coverage map uses when none is given: a spot speaks for about one and a
// half times the usual distance between neighbouring spots, and no further.
#pragma once

#include <vector>

#include "analysis/SpotValues.h"

constexpr double kRadiusPerNeighbourDistance = 1.5;
// With a single spot there is no spacing to go by: it speaks for this share of the plan's shorter
// side.
constexpr double kLonePointShare = 0.1;

// The median distance, in plan pixels, from each spot to its nearest other spot (the mean of the
// middle two for an even count); false with fewer than two spots.
bool MedianNeighbourDistance(const std::vector<SpotValue>& spots, double& median);

// kRadiusPerNeighbourDistance times the median neighbour distance, which is given too; false
// with fewer than two spots, when there is no spacing to go by.
bool DefaultCoverageRadius(const std::vector<SpotValue>& spots, double& radius, double& median);

// The radius for a lone spot on a width x height plan: kLonePointShare of its shorter side, at
// least a pixel.
double LonePointRadius(int width, int height);
