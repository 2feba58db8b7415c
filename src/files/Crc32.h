// CRC-32 (the IEEE polynomial, as zip and PNG use it): detects an entry of the survey journal that
// a crash cut short or left half written.
#pragma once

#include <cstddef>
#include <cstdint>

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
