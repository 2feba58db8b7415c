// Save times of site files as text, in UTC as the handheld's clock keeps them.
#pragma once

#include <cstdint>
#include <string>

// seconds since 1970 in UTC through strftime's pattern; "never" for 0, a file never saved.
std::string UtcTimeText(uint32_t seconds, const char* pattern);
