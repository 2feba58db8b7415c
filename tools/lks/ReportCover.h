// The cover of a building report: the acceptance record, the building's verdict and a table of
// its floors, each with the page its own report starts on.
#pragma once

#include <vector>

#include "GridReport.h"
#include "ReportCanvas.h"

namespace lks {

// Draws the cover from page 1; floorPages: the first page of each floor (0 while counting).
// Returns the number of the cover's last page.
int DrawCover(const CReportCanvas& canvas, const BuildingReport& report,
              const std::vector<int>& floorPages, int pages);

} // namespace lks
