// The grid-test report as a PDF document, written with Qt's PDF writer; the same report gives
// the same bytes apart from the document's creation date.
#pragma once

#include <QByteArray>

#include "GridReport.h"

namespace lks {

// Needs a QGuiApplication (for fonts). False when Qt could not produce the document.
bool RenderGridReportPdf(const BuildingReport& report, QByteArray& pdf);

} // namespace lks
