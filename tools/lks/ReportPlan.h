// The floor plan of a grid-test report: the tested part of the picture with its sectors and cells
// coloured by result over every channel judged, the critical areas with their own cells, the
// measured points, and a scale bar where the scale is known.
#pragma once

#include <QColor>
#include <QRectF>

#include "GridReport.h"
#include "ReportCanvas.h"

namespace lks {

// The colours a result is shown in, shared with the tables and the legend.
QColor ResultColour(CellResult result);
QColor CriticalColour();

// Draws the plan into the box (millimetres) at the largest size that keeps its proportions,
// centred across the box and at its top; returns the height used in mm.
double DrawPlan(const CReportCanvas& canvas, const FloorReport& floor, const QRectF& boxMm);
// One line of swatches explaining the plan's colours and marks; returns the height used in mm.
double DrawPlanLegend(const CReportCanvas& canvas, const FloorReport& floor, double yMm);

} // namespace lks
