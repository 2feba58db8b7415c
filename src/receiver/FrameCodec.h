// The board's frame format, the same in both directions: 11 12, type, payload, 11 13, with every
// 0x11 of the type or payload sent as 11 14. No length field and no checksum.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint8_t kFrameEscape = 0x11;  // DC1: starts every marker and escape pair
constexpr uint8_t kFrameStart = 0x12;   // DC2: 11 12 opens a frame
constexpr uint8_t kFrameEnd = 0x13;     // DC3: 11 13 closes it
constexpr uint8_t kFrameLiteral = 0x14; // DC4: 11 14 stands for a literal 0x11

// The frame buffer of one command; it limits a payload to 61 bytes even if every byte needs
// escaping.
constexpr size_t kMaxFrameSize = 128;

// Writes the frame of type and data to out; returns its length, or 0 when it would not fit in
// capacity bytes (nothing is written past out + capacity).
size_t EncodeFrame(uint8_t type, const uint8_t* data, size_t length, uint8_t* out, size_t capacity);
