// Opening a site file for lks: the program's reader, plus the signature, which the program
// itself never reads back.
#include "SiteSummary.h"

#include "files/FileBytes.h"
#include "files/SiteFileReader.h"

bool OpenSiteForTool(const std::string& path, SiteSummary& summary, std::string& error) {
    std::string detail;
    switch (CSiteFileReader::Read(path, summary.site, detail)) {
    case SF_OK:
        break;
    case SF_OPEN_FAILED:
        error = "cannot open " + path + ": " + detail;
        return false;
    default:
        error = path + " is not a site file: " + detail;
        return false;
    }
    if (summary.site.m_surveyTruncated) {
        error = path + " is truncated: its survey data ends early";
        return false;
    }
    // A signature that cannot be read must not pass for a blank one on a signed record.
    int readError = 0;
    if (!summary.signature.Read(path, summary.site.SignatureOffset(), readError)) {
        error = "cannot read the signature of " + path + ": " + SystemErrorText(readError);
        return false;
    }
    summary.signatureInk = summary.signature.HasInk();
    return true;
}
