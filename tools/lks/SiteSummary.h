// A site file opened for the lks tool: its contents, its handwritten signature, and the one-line
// reason when it cannot be used.
#pragma once

#include <string>

#include "files/SiteFile.h"
#include "files/SiteSignature.h"

struct SiteSummary {
    CSiteFile site;
    CSiteSignature signature;
    bool signatureInk = false;
};

// False with the message lks prints: missing, unreadable, not a site file or truncated.
bool OpenSiteForTool(const std::string& path, SiteSummary& summary, std::string& error);
