// One grid test from a site already read to the files on disk: the options are checked against
// the site, the cells judged, and the report (with any CSV and JSON) written safely.
#pragma once

#include <string>

#include "GridtestArgs.h"

class CSiteFile;
class CSiteSignature;

namespace lks {

enum class GridtestStatus { Pass, Fail, BadInput, WriteFailed };

// message: why, for BadInput and WriteFailed (without the "lks: " prefix). Needs a
// QGuiApplication for the PDF.
GridtestStatus MakeGridtest(const GridtestOptions& options, const CSiteFile& site,
                            const CSiteSignature& signature, const std::string& sha256,
                            std::string& message);

} // namespace lks
