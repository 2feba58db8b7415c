// Opening a software-defined radio for lks, with the same calibrations the program applies.
#include "LksSdr.h"

#include <cstdio>

#include "LksArgs.h"
#include "SdrScanner.h"
#include "platform/TextFields.h"

namespace lks {

OptionTake TakeSdrOption(int argc, char** argv, int& i, SdrCommandLine& out, std::string& reason) {
    std::string value;
    OptionTake take = TakeOption(argc, argv, i, "--sdr", value);
    if (take != OptionTake::NotThis) {
        if (take == OptionTake::Taken) {
            out.deviceGiven = true;
            out.deviceArgs = value;
        } else {
            reason = "--sdr needs the device's arguments (for example driver=rtlsdr; \"\" for "
                     "the first device found)";
        }
        return take;
    }
    take = TakeOption(argc, argv, i, "--gain", value);
    if (take == OptionTake::Taken && !ParseFiniteNumber(value, out.gainDb)) {
        take = OptionTake::MissingValue;
    }
    if (take == OptionTake::MissingValue) {
        reason = "--gain needs the receiver's gain in dB";
    }
    return take;
}

int OpenSdr(const char* command, const SdrCommandLine& line, CSdrScanner& scanner,
            CCalibrationStore& store, std::string& storePath) {
    if (!line.deviceGiven) {
        return BadInput(std::string(command) + ": needs --sdr ARGS (try 'lks " + command +
                        " --help')");
    }
    std::string error;
    storePath = CCalibrationStore::DefaultPath();
    if (!storePath.empty() && !store.Load(storePath, error)) {
        return BadInput(std::string(command) + ": " + error);
    }
    SdrOptions options;
    options.gainDb = line.gainDb;
    if (!scanner.Open(line.deviceArgs, options, error)) {
        return BadInput(std::string(command) + ": " + error);
    }
    scanner.UseCalibration(store);
    return kExitOk;
}

std::string DeviceLine(const CSdrScanner& scanner) {
    const SdrIdentity& id = scanner.Identity();
    char settings[64];
    std::snprintf(settings, sizeof settings, "gain %.1f dB, %.3f MS/s", scanner.GainDb(),
                  scanner.SampleRateHz() / 1e6);
    return id.driver + ", " + id.label + ", serial " + (id.serial.empty() ? "none" : id.serial) +
           "; " + settings;
}

} // namespace lks
