// The grid test as tables for other programs: one row per cell and a summary, as CSV or JSON.
#pragma once

#include <string>

#include "GridReport.h"

namespace lks {

// CSV: a header and one row per cell, an empty line, then the summary rows (general cells,
// each critical area, the verdict) under their own header.
std::string GridCsv(const GridReport& report);
// JSON: an object with the site, the settings, the summary and the cells.
std::string GridJson(const GridReport& report);

} // namespace lks
