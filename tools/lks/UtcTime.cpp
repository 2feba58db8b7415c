// UTC time text through gmtime_r, so that the machine's time zone never shows in a report.
#include "UtcTime.h"

#include <ctime>

std::string UtcTimeText(uint32_t seconds, const char* pattern) {
    if (seconds == 0) {
        return "never";
    }
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[64];
    return std::strftime(text, sizeof text, pattern, &utc) > 0 ? text : "";
}
