// lks table show: a parsed channel table as text, CSV or JSON, with what the program makes of
// each entry (frequency, board code, or for a frequency table the channel number its readings
// store) and each entry's label.
#pragma once

#include <string>

class CChannelTableFile;

namespace lks {

// Prints table (read from path) to stdout in format "text", "csv" or "json".
void ShowChannelTable(const std::string& path, const CChannelTableFile& table,
                      const std::string& format);

// A CSV field, quoted when it holds a separator, a quote or a line break.
std::string CsvField(const std::string& text);

} // namespace lks
