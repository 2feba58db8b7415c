// The SHA-256 of a file, printed on a report so that anyone can check that a site file is the
// one the report was made from.
#pragma once

#include <string>

// Lower-case hex of the file's SHA-256; false with the reason when the file cannot be read.
bool Sha256OfFile(const std::string& path, std::string& hex, std::string& error);
