// The simulated board's one source of variety: a 64-bit mixing function (splitmix64's
// finaliser), so readings and line noise are the same on every run with the same settings.
#pragma once

#include <cstdint>

inline uint64_t boardMix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}
