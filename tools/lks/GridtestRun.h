// One run of lks gridtest from its plan to the files on disk: every floor read and judged, every
// check that can refuse the input done before anything is written, then the report and its
// tables written all or nothing.
#pragma once

#include <string>

#include "GridReport.h"
#include "GridtestPlan.h"

namespace lks {

enum class GridtestStatus { Pass, Fail, BadInput, WriteFailed };

// Reads and judges every floor of the plan. False with a one-line reason (bad input).
bool JudgeBuilding(const GridtestPlan& plan, BuildingReport& report, std::string& error);

// The whole run. message: why, for BadInput and WriteFailed (without "lks: "); verdict: the
// line for the terminal when the report was written. Needs a QGuiApplication for the PDF.
GridtestStatus RunGridtestPlan(const GridtestPlan& plan, std::string& message,
                               std::string& verdict);

} // namespace lks
