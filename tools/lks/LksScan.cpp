// lks scan: measures a channel table with a software-defined radio and prints one line per
// channel, for checking a device and an antenna without the map.
#include <cstdio>
#include <string>
#include <vector>

#include "Calibration.h"
#include "LksArgs.h"
#include "LksOptions.h"
#include "LksSdr.h"
#include "SdrScanner.h"
#include "TableChannels.h"
#include "TableShow.h"
#include "files/ChannelTableFile.h"

namespace lks {

namespace {

const char* const kScanUsage =
    "usage: lks scan --sdr ARGS --table TABLE.nct [--repeat N] [--gain DB] [--format text|csv]\n"
    "\n"
    "Measures every channel of TABLE.nct with a software-defined radio and prints one line per\n"
    "channel: frequency in MHz, label, level in dBm, and \"uncalibrated\" where no calibration\n"
    "covers it (see lks calibrate). ARGS are SoapySDR device arguments, for example\n"
    "driver=rtlsdr or driver=hackrf,serial=...; \"\" takes the first device found. Tables of\n"
    "either format work: band-plan channels are measured over their channel spacing.\n"
    "--repeat N scans N times (default 1); --gain sets the receiver's gain in dB (default the\n"
    "middle of its range; calibrations hold for the gain they were made at).\n";

constexpr unsigned long kMaxRepeat = 100000;

void printText(int scan, const CSdrScanner& scanner, const std::vector<SdrTableChannel>& channels,
               const std::vector<SdrReading>& readings) {
    const SdrScanStats& stats = scanner.LastScan();
    std::printf("scan %d: %d tune%s, %.1f ms of device time\n", scan, stats.tunes,
                stats.tunes == 1 ? "" : "s", static_cast<double>(stats.deviceTimeNs) / 1e6);
    for (size_t i = 0; i < channels.size(); ++i) {
        char line[160];
        std::snprintf(
            line, sizeof line, "  %12s MHz  %-20s  %7.1f dBm%s",
            FixedPointText(channels[i].frequencyHz, CChannelTableFile::kMHzDecimals).c_str(),
            channels[i].label.c_str(), readings[i].dBm,
            readings[i].calibrated ? "" : "  uncalibrated");
        std::printf("%s\n", line);
    }
}

void printCsv(int scan, const std::vector<SdrTableChannel>& channels,
              const std::vector<SdrReading>& readings) {
    for (size_t i = 0; i < channels.size(); ++i) {
        std::printf(
            "%d,%s,%s,%.2f,%s\n", scan,
            FixedPointText(channels[i].frequencyHz, CChannelTableFile::kMHzDecimals).c_str(),
            CsvField(channels[i].label).c_str(), readings[i].dBm,
            readings[i].calibrated ? "yes" : "no");
    }
}

} // namespace

int RunScan(int argc, char** argv) {
    SdrCommandLine device;
    std::string tablePath;
    std::string format = "text";
    unsigned long repeat = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        std::string reason;
        if (IsHelp(arg)) {
            std::fputs(kScanUsage, stdout);
            return kExitOk;
        }
        OptionTake take = TakeSdrOption(argc, argv, i, device, reason);
        if (take == OptionTake::MissingValue) {
            return BadInput("scan: " + reason);
        }
        if (take == OptionTake::Taken) {
            continue;
        }
        if ((take = TakeOption(argc, argv, i, "--table", value)) != OptionTake::NotThis) {
            if (take == OptionTake::MissingValue) {
                return BadInput("scan: --table needs a channel table file");
            }
            tablePath = value;
        } else if ((take = TakeOption(argc, argv, i, "--repeat", value)) != OptionTake::NotThis) {
            if (take == OptionTake::MissingValue || !ParseWhole(value, kMaxRepeat, repeat) ||
                repeat == 0) {
                return BadInput("scan: --repeat needs a count from 1 to 100000");
            }
        } else if ((take = TakeOption(argc, argv, i, "--format", value)) != OptionTake::NotThis) {
            format = value;
            if (take == OptionTake::MissingValue || (format != "text" && format != "csv")) {
                return BadInput("scan: --format takes text or csv");
            }
        } else {
            return BadInput("scan: unexpected argument '" + arg + "' (try 'lks scan --help')");
        }
    }
    if (tablePath.empty()) {
        return BadInput("scan: needs --table TABLE.nct (try 'lks scan --help')");
    }
    CChannelTableFile table;
    const ChannelTableLoad read = ReadChannelTable(tablePath, table, true);
    if (read.status != CT_LOADED) {
        return BadInput("scan: " + tablePath + ": " + read.message);
    }
    std::vector<SdrTableChannel> channels;
    std::string error;
    if (!SdrChannelsOfTable(table, channels, error)) {
        return BadInput("scan: " + tablePath + ": " + error);
    }
    CSdrScanner scanner;
    CCalibrationStore store;
    std::string storePath;
    const int opened = OpenSdr("scan", device, scanner, store, storePath);
    if (opened != kExitOk) {
        return opened;
    }
    const std::vector<SdrChannel> list = ScanList(channels);
    if (!scanner.Plan(list, error)) {
        return BadInput("scan: " + tablePath + ": " + error);
    }
    if (format == "text") {
        std::printf("device: %s\n", DeviceLine(scanner).c_str());
    } else {
        std::printf("scan,frequency_mhz,label,dbm,calibrated\n");
    }
    std::vector<SdrReading> readings;
    for (unsigned long n = 1; n <= repeat; ++n) {
        // The table was checked against the device above: a failure now is the device's.
        if (!scanner.Scan(list, readings, error)) {
            std::fflush(stdout);
            std::fprintf(stderr, "lks: scan: %s\n", error.c_str());
            return kExitFailed;
        }
        if (format == "text") {
            printText(static_cast<int>(n), scanner, channels, readings);
        } else {
            printCsv(static_cast<int>(n), channels, readings);
        }
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "lks: scan: cannot write the output\n");
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace lks
