// Option values for the lks subcommands, parsed strictly: "5px" or "" is not a number.
#include "LksOptions.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace lks {

OptionTake TakeOption(int argc, char** argv, int& i, const char* name, std::string& value) {
    const char* arg = argv[i];
    const size_t length = std::strlen(name);
    if (std::strncmp(arg, name, length) != 0) {
        return OptionTake::NotThis;
    }
    if (arg[length] == '=') {
        value = arg + length + 1;
        return OptionTake::Taken;
    }
    if (arg[length] != '\0') {
        return OptionTake::NotThis;
    }
    if (i + 1 >= argc) {
        return OptionTake::MissingValue;
    }
    value = argv[++i];
    return OptionTake::Taken;
}

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t comma = text.find(','); comma != std::string::npos; comma = text.find(',', start)) {
        items.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    items.push_back(text.substr(start));
    return items;
}

bool ParseNumber(const std::string& text, double& out) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(value)) {
        return false;
    }
    out = value;
    return true;
}

bool ParseWhole(const std::string& text, unsigned long max, unsigned long& out) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    unsigned long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    if (value > max) {
        return false;
    }
    out = value;
    return true;
}

} // namespace lks
