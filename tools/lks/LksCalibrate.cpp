// lks calibrate: with a signal generator at a known level feeding the antenna port, measures the
// tone and stores the offset that makes the reading equal the reference, for this device, gain
// and a span of frequencies around the tone.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "Calibration.h"
#include "LksArgs.h"
#include "LksOptions.h"
#include "LksSdr.h"
#include "SdrScanner.h"
#include "UtcTime.h"
#include "analysis/SpotValues.h"
#include "files/ChannelTableFile.h"
#include "platform/TextFields.h"

namespace lks {

namespace {

const char* const kCalibrateUsage =
    "usage: lks calibrate --sdr ARGS --freq MHZ --reference DBM [--gain DB] [--span MHZ]\n"
    "                     [--bandwidth KHZ]\n"
    "\n"
    "Feed the antenna port from a signal generator: a carrier (CW) at MHZ, at DBM as it\n"
    "arrives at the port (the generator's level less the cable's loss). lks measures it over\n"
    "--bandwidth (default 25 kHz) several times and stores the offset that turns the device's\n"
    "reading into DBM, for this device (by its serial), this gain (--gain, default the middle\n"
    "of the device's range: scan and survey at the same gain) and --span MHz around MHZ\n"
    "(default 30). The store is $XDG_CONFIG_HOME/larkspur/sdr-calibration.tsv (or\n"
    "~/.config/larkspur/); a later calibration of the same span replaces the earlier one.\n"
    "The carrier must stand at least 20 dB above the band beside it, and below the device's\n"
    "full scale.\n";

constexpr int kMeasurements = 5;
constexpr double kDefaultBandwidthKHz = 25;
constexpr double kDefaultSpanMHz = 30;
// The band beside the carrier, each side, to judge that the carrier is there.
constexpr double kFlankOffsetFactor = 4;
constexpr double kMinimumCarrierAboveFlanksDb = 20;
// Closer than this to full scale the reading is compressed.
constexpr double kMaxDbfs = -6;

std::string mhzText(double hz) {
    return FixedPointText(static_cast<uint64_t>(std::max(hz, 0.0)),
                          CChannelTableFile::kMHzDecimals);
}

struct Measured {
    double carrierDbm = 0; // with the offset in force before
    double besideDbm = 0;
    double offsetDb = 0; // the offset in force before
    bool calibrated = false;
};

bool measure(CSdrScanner& scanner, double hz, double bandwidthHz, Measured& out,
             std::string& error) {
    const double flank = kFlankOffsetFactor * bandwidthHz;
    const std::vector<SdrChannel> channels = {
        {hz - flank, bandwidthHz}, {hz, bandwidthHz}, {hz + flank, bandwidthHz}};
    double carrier = 0;
    double beside = 0;
    std::vector<SdrReading> readings;
    for (int k = 0; k < kMeasurements; ++k) {
        if (!scanner.Scan(channels, readings, error)) {
            return false;
        }
        carrier += DbmToMilliwatts(readings[1].dBm) / kMeasurements;
        beside += (DbmToMilliwatts(readings[0].dBm) + DbmToMilliwatts(readings[2].dBm)) /
                  (2 * kMeasurements);
    }
    out.carrierDbm = MilliwattsToDbm(carrier);
    out.besideDbm = MilliwattsToDbm(beside);
    out.offsetDb = scanner.OffsetDb(hz, out.calibrated);
    return true;
}

} // namespace

int RunCalibrate(int argc, char** argv) {
    SdrCommandLine device;
    double mhz = 0;
    double reference = 0;
    bool freqGiven = false;
    bool referenceGiven = false;
    double spanMHz = kDefaultSpanMHz;
    double bandwidthKHz = kDefaultBandwidthKHz;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        std::string reason;
        if (IsHelp(arg)) {
            std::fputs(kCalibrateUsage, stdout);
            return kExitOk;
        }
        OptionTake take = TakeSdrOption(argc, argv, i, device, reason);
        if (take == OptionTake::MissingValue) {
            return BadInput("calibrate: " + reason);
        }
        if (take == OptionTake::Taken) {
            continue;
        }
        if ((take = TakeOption(argc, argv, i, "--freq", value)) != OptionTake::NotThis) {
            freqGiven = take == OptionTake::Taken && ParseFiniteNumber(value, mhz) && mhz > 0;
            if (!freqGiven) {
                return BadInput("calibrate: --freq needs the carrier's frequency in MHz");
            }
        } else if ((take = TakeOption(argc, argv, i, "--reference", value)) !=
                   OptionTake::NotThis) {
            referenceGiven = take == OptionTake::Taken && ParseFiniteNumber(value, reference) &&
                             reference < 30 && reference > -150;
            if (!referenceGiven) {
                return BadInput("calibrate: --reference needs the carrier's level at the antenna "
                                "port in dBm");
            }
        } else if ((take = TakeOption(argc, argv, i, "--span", value)) != OptionTake::NotThis) {
            if (take == OptionTake::MissingValue || !ParseFiniteNumber(value, spanMHz) ||
                !(spanMHz > 0)) {
                return BadInput("calibrate: --span needs a width in MHz");
            }
        } else if ((take = TakeOption(argc, argv, i, "--bandwidth", value)) !=
                   OptionTake::NotThis) {
            if (take == OptionTake::MissingValue || !ParseFiniteNumber(value, bandwidthKHz) ||
                bandwidthKHz < 1 || bandwidthKHz > 200) {
                return BadInput("calibrate: --bandwidth needs 1 to 200 kHz");
            }
        } else {
            return BadInput("calibrate: unexpected argument '" + arg +
                            "' (try 'lks calibrate --help')");
        }
    }
    if (!freqGiven || !referenceGiven) {
        return BadInput("calibrate: needs --freq MHZ and --reference DBM (try 'lks calibrate "
                        "--help')");
    }
    CSdrScanner scanner;
    CCalibrationStore store;
    std::string storePath;
    const int opened = OpenSdr("calibrate", device, scanner, store, storePath);
    if (opened != kExitOk) {
        return opened;
    }
    if (storePath.empty()) {
        return BadInput("calibrate: no folder to keep calibrations in (set HOME or "
                        "XDG_CONFIG_HOME)");
    }
    const double hz = mhz * 1e6;
    Measured m;
    std::string error;
    if (!scanner.Plan({{hz, bandwidthKHz * 1e3}}, error) ||
        !measure(scanner, hz, bandwidthKHz * 1e3, m, error)) {
        return BadInput("calibrate: " + error);
    }
    const double dbfs = m.carrierDbm - m.offsetDb;
    if (m.carrierDbm - m.besideDbm < kMinimumCarrierAboveFlanksDb) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "calibrate: the carrier at %.6f MHz stands only %.1f dB above the band "
                      "beside it; is the generator on, connected and tuned to it?",
                      mhz, m.carrierDbm - m.besideDbm);
        return BadInput(text);
    }
    if (dbfs > kMaxDbfs) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "calibrate: the carrier reaches %.1f dB of full scale; lower the "
                      "generator's level or the gain",
                      dbfs);
        return BadInput(text);
    }
    const SdrIdentity& id = scanner.Identity();
    CalibrationRecord record;
    record.serial = CalibrationKey(id);
    record.driver = id.driver;
    record.lowHz = std::round(hz - spanMHz * 1e6 / 2);
    record.highHz = std::round(hz + spanMHz * 1e6 / 2);
    record.gainDb = scanner.GainDb();
    record.offsetDb = reference - dbfs;
    record.date = UtcTimeText(static_cast<uint32_t>(std::time(nullptr)), "%Y-%m-%d");
    store.Add(record);
    if (!store.Save(storePath, error)) {
        std::fprintf(stderr, "lks: calibrate: %s\n", error.c_str());
        return kExitFailed;
    }
    std::printf("device: %s\n", DeviceLine(scanner).c_str());
    std::printf("carrier at %.6f MHz read %.2f dBm%s; reference %.2f dBm\n", mhz, m.carrierDbm,
                m.calibrated ? "" : " (uncalibrated)", reference);
    std::printf("offset %+.2f dB stored for %s-%s MHz at gain %.1f dB in %s\n", record.offsetDb,
                mhzText(record.lowHz).c_str(), mhzText(record.highHz).c_str(), record.gainDb,
                storePath.c_str());
    return kExitOk;
}

} // namespace lks
