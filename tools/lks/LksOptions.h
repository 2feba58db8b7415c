// Option parsing shared by the newer lks subcommands: "--name VALUE" or "--name=VALUE", and
// numbers that must be numbers from the first character to the last.
#pragma once

#include <string>
#include <vector>

namespace lks {

enum class OptionTake { NotThis, Taken, MissingValue };

// Whether argv[i] is the option name (for example "--radius"); if so its value is taken from
// "--radius=5" or from the next argument, which advances i.
OptionTake TakeOption(int argc, char** argv, int& i, const char* name, std::string& value);

// The items of a comma-separated list, empty ones included ("1,,2" gives three).
std::vector<std::string> SplitCommas(const std::string& text);

// A finite decimal number filling the whole text.
bool ParseNumber(const std::string& text, double& out);
// A whole number of decimal digits only (no sign, no spaces), at most max.
bool ParseWhole(const std::string& text, unsigned long max, unsigned long& out);

} // namespace lks
