// A floor's first page in a grid-test report: what was tested and how, the verdict in large type,
// the plan with its grid, and the surveyor's handwritten signature from the site file.
#pragma once

#include <QColor>
#include <QString>

#include "GridReport.h"
#include "ReportCanvas.h"

namespace lks {

// The ink colour of the signature; nothing else on the page is drawn in it.
QColor SignatureInk();
// The footer of every page: the title and the building or site.
QString FooterText(const BuildingReport& report);
// The verdict box: PASS or FAIL in large type beside lines that wrap; returns its bottom (mm).
double DrawVerdictBox(const CReportCanvas& canvas, bool pass, const std::vector<std::string>& lines,
                      double y);
// Label and value pairs, values wrapped, in columns across the page; returns the bottom (mm).
double DrawFields(const CReportCanvas& canvas,
                  const std::vector<std::pair<std::string, std::string>>& fields, int columns,
                  double y);
void DrawFloorPage(const CReportCanvas& canvas, const BuildingReport& report,
                   const FloorReport& floor, int page, int pages);

} // namespace lks
