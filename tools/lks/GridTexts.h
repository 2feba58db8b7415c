// The texts of a grid-test report, shared by the PDF, the CSV and JSON tables and the terminal,
// so that a value reads the same everywhere. Values are cut toward the weaker side at the
// printed precision, so that a printed value never contradicts the verdict beside it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "GridReport.h"

namespace lks {

std::string DbmText(double dbm);           // "-95.1" for -95.045, "no signal"
std::string DbmNumber(double dbm);         // the same, empty for no signal (for CSV)
std::string PctText(double pct);           // "92.5 %", cut to tenths
std::string PctNumber(double pct);         // "92.5"
std::string RateText(double pct);          // "90 %", "92.5 %"
std::string RateNumber(double pct);        // "90", "92.5"
std::string UtcText(uint32_t seconds);     // "2023-11-14 22:13:20 UTC", or "never"
const char* ResultWord(CellResult result); // "PASS", "FAIL", "NOT TESTED"
const char* PassWord(bool pass);           // "PASS", "FAIL"
std::string RectText(const PlanRect& r);   // "10,20,300,200"
std::string DaqText(const CellDaq& daq);   // "3.4 / 2.5 pass" (down, up, talk-back)

// "333, 334 and 666"
std::string ChannelList(const CSpotTable& table, const std::vector<size_t>& channels);
// "333", or "25@1930.750" where the survey holds two carriers numbered 25.
std::string ShortChannelText(const CSpotTable& table, size_t channel);

// The rules as applied: the profile's name, or "custom" with what changed.
std::string ProfileText(const GridtestPlan& plan);
std::string ModeText(const GridRules& rules);
std::string RulesText(const GridRules& rules); // shares and the rule on failing cells
std::string TestDateText(const GridtestPlan& plan, const FloorReport& floor);
std::string GridText(const GridtestPlan& plan, const FloorReport& floor);
std::string CellSizeText(const FloorReport& floor);
std::string ScaleText(const FloorReport& floor);

// What is under test: "each of 8 channels on its own" or the best server.
std::string SeriesText(const FloorReport& floor);
// The failing cells of a group, and with adjacent which of them touch: "A3, B4 (adjacent:
// A3+B4)".
std::string FailingText(const GroupResult& group, bool adjacent);

std::vector<std::string> FloorWarnings(const GridtestPlan& plan, const FloorReport& floor);
// The floor's verdict in a line: "PASS: all 8 channels pass", "FAIL: 2 of 8 channels fail:
// 334, 666".
std::string FloorVerdictText(const FloorReport& floor);
// The verdict line lks prints: "PASS: 2 floors, every channel passes".
std::string VerdictLine(const BuildingReport& report);

} // namespace lks
