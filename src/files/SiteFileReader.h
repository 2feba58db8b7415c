// Reads a site file completely into a CSiteFile, checking every length before it is used. A
// refused file changes nothing but the CSiteFile it was read into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/SiteFileStatus.h"

class CSiteFile;

class CSiteFileReader {
public:
    // SF_OK, SF_OPEN_FAILED (detail: the system's error text) or SF_NOT_SITE_FILE (detail: what
    // is wrong with the file, for tools and logs; the program shows its fixed text).
    static int16_t Read(const std::string& path, CSiteFile& site, std::string& detail);

    // The same checks on a file image already in memory.
    static int16_t Parse(const uint8_t* data, size_t size, CSiteFile& site, std::string& detail);

    // Parse without the snapshot a save starts from (a copy of the file and its digests), for
    // tools that only read a site: m_snapshot stays empty.
    static int16_t ParseContents(const uint8_t* data, size_t size, CSiteFile& site,
                                 std::string& detail);

private:
    static int16_t ReadFile(const std::string& path, CSiteFile& site, std::string& detail);
};
