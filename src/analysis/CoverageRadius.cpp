// The default radius from the spacing of the spots, each neighbour found through the index.
#include "analysis/CoverageRadius.h"

#include <algorithm>
#include <cmath>

#include "analysis/SpatialIndex.h"

bool MedianNeighbourDistance(const std::vector<SpotValue>& spots, double& median) {
    if (spots.size() < 2) {
        return false;
    }
    int32_t minX = spots[0].x;
    int32_t maxX = spots[0].x;
    int32_t minY = spots[0].y;
    int32_t maxY = spots[0].y;
    for (const SpotValue& s : spots) {
        minX = std::min(minX, s.x);
        maxX = std::max(maxX, s.x);
        minY = std::min(minY, s.y);
        maxY = std::max(maxY, s.y);
    }
    // Cells holding about one spot each keep every search to a ring or two.
    const double area =
        (static_cast<double>(maxX) - minX + 1.0) * (static_cast<double>(maxY) - minY + 1.0);
    const CSpatialIndex index(spots, std::sqrt(area / static_cast<double>(spots.size())));
    std::vector<double> distances(spots.size());
    for (size_t i = 0; i < spots.size(); ++i) {
        size_t nearest = 0;
        index.NearestOther(i, nearest, distances[i]);
    }
    const size_t middle = distances.size() / 2;
    std::nth_element(distances.begin(), distances.begin() + middle, distances.end());
    median = distances[middle];
    if (distances.size() % 2 == 0) {
        median = (median + *std::max_element(distances.begin(), distances.begin() + middle)) / 2.0;
    }
    return true;
}

bool DefaultCoverageRadius(const std::vector<SpotValue>& spots, double& radius, double& median) {
    if (!MedianNeighbourDistance(spots, median)) {
        return false;
    }
    radius = kRadiusPerNeighbourDistance * median;
    return true;
}

double LonePointRadius(int width, int height) {
    return std::max(1.0, kLonePointShare * std::min(width, height));
}
