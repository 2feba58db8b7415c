// Option parsing shared by the newer lks subcommands: "--name VALUE" or "--name=VALUE", and
// numbers that must be numbers from the first character to the last.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/GridLayout.h"

class CSpotTable;

namespace lks {

enum class OptionTake { NotThis, Taken, MissingValue };

// Whether argv[i] is the option name (for example "--radius"); if so its value is taken from
// "--radius=5" or from the next argument, which advances i.
OptionTake TakeOption(int argc, char** argv, int& i, const char* name, std::string& value);

// A whole number of decimal digits only (no sign, no spaces), at most max.
bool ParseWhole(const std::string& text, unsigned long max, unsigned long& out);

// "X,Y,W,H" in plan pixels, X and Y at least 0, W and H at least 1.
bool ParseRect(const std::string& text, PlanRect& rect);

// A plan scale such as "4/ft", "4px/ft" or "12.5/m", as plan pixels per foot.
bool ParseScale(const std::string& text, double& pixelsPerFoot);
// The scales lks accepts: from a thousandth of a pixel to 100,000 pixels per foot.
constexpr double kMinPixelsPerFoot = 1e-3;
constexpr double kMaxPixelsPerFoot = 1e5;

// A channel asked for by number, and by frequency where one number names two carriers.
struct ChannelRequest {
    int32_t channel = 0;
    double mhz = 0.0; // 0: any frequency
    std::string text; // as given
};

// "333,25@1930.75": channel numbers from 1 to 65534, each with an optional frequency in MHz.
// Repeats are dropped.
bool ParseChannelRequests(const std::string& text, std::vector<ChannelRequest>& out);

// The one channel of the survey a request names (index into the table's channels); false with
// why when the site never read it or read two carriers under its number.
bool ResolveChannelRequest(const ChannelRequest& request, const CSpotTable& table,
                           const std::string& site, size_t& index, std::string& error);

} // namespace lks
