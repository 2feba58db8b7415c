// Power arithmetic in milliwatts; no signal is exactly zero power.
#include "analysis/SpotValues.h"

#include <cmath>

#include "analysis/SiteReadings.h"

double DbmToMilliwatts(double dbm) {
    return IsNoSignal(dbm) ? 0.0 : std::pow(10.0, dbm / 10.0);
}

double MilliwattsToDbm(double milliwatts) {
    return milliwatts > 0.0 ? 10.0 * std::log10(milliwatts) : kNoSignalDbm;
}

double PowerMeanDbm(const double* dbm, size_t count) {
    double sum = 0.0;
    bool allEqual = true;
    for (size_t i = 0; i < count; ++i) {
        sum += DbmToMilliwatts(dbm[i]);
        allEqual = allEqual && dbm[i] == dbm[0];
    }
    // Equal values give back exactly that value: the round trip through milliwatts could land a
    // hair beside it, on the wrong side of a threshold.
    return allEqual ? dbm[0] : MilliwattsToDbm(sum / static_cast<double>(count));
}
