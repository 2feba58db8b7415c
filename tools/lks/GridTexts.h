// The texts of a grid-test report, shared by the PDF and the CSV and JSON tables so that a value
// reads the same everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "GridReport.h"

namespace lks {

std::string DbmText(double dbm);           // "-92.6"
std::string PctNumber(double pct);         // "92.5"
std::string PctText(double pct);           // "92.5 %"
std::string RateNumber(double pct);        // "90", "92.5"
std::string RateText(double pct);          // "90 %", "92.5 %"
std::string UtcText(uint32_t seconds);     // "2023-11-14 22:13:20 UTC", or "never"
const char* ResultWord(CellResult result); // "PASS", "FAIL", "NOT TESTED"
std::string RectText(const PlanRect& r);   // "10,20,300,200"
std::string ModeText(CellMode mode);
std::string ChannelsText(const std::vector<int32_t>& channels);
// The nominal cell size in plan pixels, and in feet and metres when a scale was given.
std::string CellSizeText(const GridReport& report);
std::string ScaleText(const GridReport& report);
std::string GridText(const GridReport& report);
// Names of the critical areas a cell overlaps, joined by "; ".
std::string CriticalNames(const GridReport& report, const GridCell& cell);
// The settings as label and value, in the order the report lists them.
std::vector<std::pair<std::string, std::string>> SettingsLines(const GridReport& report);

} // namespace lks
