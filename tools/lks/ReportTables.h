// The pages after a floor's first page: the channels under test with their verdicts, the readings
// by channel, every cell channel by channel, and, once per report, the rules with their basis.
#pragma once

#include "GridReport.h"
#include "ReportCanvas.h"

namespace lks {

// Flows a floor's tables from page firstPage on, and the settings after them when asked; pages
// is the total for the footers (0 while counting). Returns the number of the last page.
int DrawTablePages(const CReportCanvas& canvas, const BuildingReport& report,
                   const FloorReport& floor, bool settings, int firstPage, int pages);

} // namespace lks
