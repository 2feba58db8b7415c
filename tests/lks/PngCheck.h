// A PNG's structure checked as a strict reader would: signature, chunk CRCs, IHDR first and IEND
// last, 8-bit RGB without interlace, and an IDAT stream that inflates, its checksum right, to
// exactly the filtered rows its size needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Empty when the PNG is sound, else what is wrong; width and height from its header.
std::string CheckPng(const std::vector<uint8_t>& png, int& width, int& height);
