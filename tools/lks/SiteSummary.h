// A site file opened for the lks tool: its contents, whether its signature holds ink, and the
// one-line reason when it cannot be used.
#pragma once

#include <string>

#include "files/SiteFile.h"

struct SiteSummary {
    CSiteFile site;
    bool signatureInk = false;
};

// False with the message lks prints: missing, unreadable, not a site file or truncated.
bool OpenSiteForTool(const std::string& path, SiteSummary& summary, std::string& error);
