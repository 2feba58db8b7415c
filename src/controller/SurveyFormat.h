// The survey's texts with their values filled in ("%d", "%s"), for the controller's messages.
#pragma once

#include <cstdio>
#include <string>

template <typename... Values> std::string FormatText(const char* format, Values... values) {
    char text[1024];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}
