// Colour values in the 0x00BBGGRR form the program's colour tables use: red in the low byte,
// then green, then blue; the top byte is ignored.
#pragma once

#include <QColor>
#include <cstdint>

inline QColor colorFromRef(uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFFu), static_cast<int>((ref >> 8) & 0xFFu),
                  static_cast<int>((ref >> 16) & 0xFFu));
}

inline uint32_t refFromColor(const QColor& color) {
    return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
           (static_cast<uint32_t>(color.blue()) << 16);
}
