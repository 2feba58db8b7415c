// The pages after the first page of a grid-test report: the cells, the critical areas, the
// channels and the settings.
#pragma once

#include "GridReport.h"
#include "ReportCanvas.h"

namespace lks {

// Flows the tables from page firstPage on; pages is the total for the footers (0 while
// counting). Returns the number of the last page.
int DrawTablePages(const CReportCanvas& canvas, const GridReport& report, int firstPage, int pages);

} // namespace lks
