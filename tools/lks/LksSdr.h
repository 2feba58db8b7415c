// What lks scan and lks calibrate share: the --sdr and --gain options, opening the device with
// the user's calibrations, and the line that says which device measured.
#pragma once

#include <limits>
#include <string>

#include "LksOptions.h"

class CCalibrationStore;
class CSdrScanner;

namespace lks {

struct SdrCommandLine {
    bool deviceGiven = false;
    std::string deviceArgs; // SoapySDR "key=value,..."; empty: the first device found
    double gainDb = std::numeric_limits<double>::quiet_NaN();
};

// Takes --sdr ARGS or --gain DB at argv[i]. Returns NotThis, Taken, or MissingValue (also for a
// gain that is not a number; reason says why).
OptionTake TakeSdrOption(int argc, char** argv, int& i, SdrCommandLine& out, std::string& reason);

// Loads the calibration store and opens the device; an exit code other than kExitOk has been
// reported on stderr. storePath is where the store lives.
int OpenSdr(const char* command, const SdrCommandLine& line, CSdrScanner& scanner,
            CCalibrationStore& store, std::string& storePath);

// "larkspur-synth, Larkspur synthetic receiver, serial LKS-SYNTH-0001; gain 0.0 dB, 2.400 MS/s"
std::string DeviceLine(const CSdrScanner& scanner);

} // namespace lks
