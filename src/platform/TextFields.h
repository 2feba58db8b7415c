// Reading values out of text the user or a file gives: a number that is a number from its first
// character to its last, fields split at a separator, and text without its surrounding blanks.
// Shared by every parser of arguments and small text files, so none of them accepts "12abc" or a
// trailing space where another refuses it.
#pragma once

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

// A finite decimal number filling the whole text (no leading space, nothing after it).
inline bool ParseFiniteNumber(const std::string& text, double& out) {
    if (text.empty() || text[0] == ' ' || text[0] == '\t' || text[0] == '\n') {
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

// The fields of text between separators, empty ones included ("1,,2" gives three).
inline std::vector<std::string> SplitFields(const std::string& text, char separator) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos;
         at = text.find(separator, start)) {
        fields.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    fields.push_back(text.substr(start));
    return fields;
}

// text without the white space (space, tab, line ends, vertical tab, form feed) at either end.
inline std::string TrimBlanks(const std::string& text) {
    const char* const blanks = " \t\n\v\f\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}
