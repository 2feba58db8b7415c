// The delivered audio quality and talk-back results of a floor's cells, as the tester recorded
// them: a CSV file with the header "cell,daq_down,daq_up,talkback".
#pragma once

#include <string>

#include "analysis/GridTest.h"

namespace lks {

// DAQ values from 1 to 5 or empty (not tested); talk-back pass, fail, yes, no or empty. False
// with a one-line reason naming the line at fault.
bool ReadDaqFile(const std::string& path, CellDaqMap& out, std::string& error);

} // namespace lks
