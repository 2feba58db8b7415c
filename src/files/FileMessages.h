// The fixed texts the file commands show; the application puts them in its message boxes.
#pragma once

namespace filemsg {

constexpr const char* kInvalidChannelTable = "Invalid Channel Table.";
constexpr const char* kTableLoaded = "Table has been loaded.";
constexpr const char* kFrequencyTableOnBoard =
    "This channel table lists frequencies. The receiver board scans only 800 MHz cellular and "
    "PCS 1900 channels; measure it with a software-defined radio (--sdr).";
constexpr const char* kFileOpenErrorCaption = "File Open Error";
constexpr const char* kNotSiteFile = "Not a Site File.";
constexpr const char* kFileErrorCaption = "File Error";
constexpr const char* kCouldNotUpdateSite = "Could not update site";
constexpr const char* kSiteUpdateErrorCaption = "Site Update Error";

} // namespace filemsg
