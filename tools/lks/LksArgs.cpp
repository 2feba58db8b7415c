// lks error reporting: one line on stderr, never more, whatever went wrong.
#include "LksArgs.h"

#include <cstdio>

namespace lks {

int BadInput(const std::string& message) {
    std::string line = message;
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    std::fprintf(stderr, "lks: %s\n", line.c_str());
    return kExitBadInput;
}

bool IsHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

} // namespace lks
