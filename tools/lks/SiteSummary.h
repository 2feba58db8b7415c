// A site file opened for the lks tool: its contents, its readings in the file's own sixteenths of
// a dB, its handwritten signature, its SHA-256, and the one-line reason when it cannot be used.
#pragma once

#include <string>
#include <vector>

#include "analysis/SiteReadings.h"
#include "files/SiteFile.h"
#include "files/SiteSignature.h"

struct SiteSummary {
    CSiteFile site;
    // One per record of site.m_records, in the same order, with the exact value the file holds
    // (the records keep whole dBm only).
    std::vector<SiteReading> readings;
    CSiteSignature signature;
    bool signatureInk = false;
    std::string sha256; // of the whole file, as read
};

// False with the message lks prints: missing, unreadable, not a site file, a picture whose
// bitmap header contradicts the format, or truncated. Without withHash, sha256 stays empty: the
// hash costs more than the rest of the opening and only reports that name it need it.
bool OpenSiteForTool(const std::string& path, SiteSummary& summary, std::string& error,
                     bool withHash = true);
