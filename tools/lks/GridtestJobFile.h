// A building job for lks gridtest: a JSON file naming the building, its acceptance record, the
// rules and each floor's site file, scale, area and critical areas.
#pragma once

#include <string>
#include <vector>

#include "GridtestArgs.h"

namespace lks {

// Reads path into the run's option values and one set per floor; paths in it are relative to
// the job file's folder. False with a one-line reason (without "lks: ").
bool ReadJobFile(const std::string& path, OptionValues& values, std::vector<OptionValues>& floors,
                 std::string& error);

} // namespace lks
