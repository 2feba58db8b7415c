// The first page of a grid-test report: what was tested and how, the verdict in large type, the
// plan with its grid, and the surveyor's handwritten signature from the site file.
#pragma once

#include <QColor>
#include <QString>

#include "GridReport.h"
#include "ReportCanvas.h"

namespace lks {

// The ink colour of the signature; nothing else on the page is drawn in it.
QColor SignatureInk();
// The footer of every page: title and site file.
QString FooterText(const GridReport& report);
void DrawFirstPage(const CReportCanvas& canvas, const GridReport& report, int pages);

} // namespace lks
