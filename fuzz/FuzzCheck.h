// The fuzz targets' check of a promise: it names the broken one (file and line) before stopping,
// so a crash report says which it was.
#pragma once

#include <cstdio>

#define check(ok) fuzzCheckAt((ok), __FILE__, __LINE__)

inline void fuzzCheckAt(bool ok, const char* file, int line) {
    if (!ok) {
        std::fprintf(stderr, "property broken at %s:%d\n", file, line);
        __builtin_trap();
    }
}
