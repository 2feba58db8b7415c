// The grid test as tables for other programs: the cells as CSV (one row per cell and channel),
// the summary as CSV (one row per group and channel, then each floor and the building), and
// everything as JSON with values unrounded.
#pragma once

#include <string>

#include "GridReport.h"

namespace lks {

std::string GridCsv(const BuildingReport& report);
std::string SummaryCsv(const BuildingReport& report);
std::string GridJson(const BuildingReport& report);

} // namespace lks
