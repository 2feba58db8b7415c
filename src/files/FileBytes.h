// Reading a whole file, or its first bytes, into memory through POSIX calls, with the system's
// own error text when that fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads at most maxBytes from the start of path into out. Sets error to the errno value on
// failure (a folder gives EISDIR, any other non-regular file EINVAL). truncated tells whether
// the file holds more than was read.
bool ReadFileBytes(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out, int& error,
                   bool& truncated);

// The size of the file at path; false when it cannot be examined.
bool FileSize(const std::string& path, uint64_t& size);

// The system's text for an errno value, as shown under "File Open Error".
std::string SystemErrorText(int error);
