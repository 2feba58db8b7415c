// lks table: writes channel table files the program loads, and shows a table file as the program
// reads it: the same parser, the same refusals.
#include <cstdio>
#include <set>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "LksArgs.h"
#include "LksOptions.h"
#include "TableEntries.h"
#include "TableShow.h"
#include "files/AtomicFile.h"
#include "files/ChannelTableFile.h"
#include "files/FileBytes.h"
#include "files/FileMessages.h"
#include "receiver/BandPlan.h"
#include "receiver/ChannelEntry.h"
#include "receiver/Receiver.h"

namespace lks {

namespace {

const char* const kTableUsage =
    "usage: lks table new -o TABLE.nct [--pcs-spacing 30|50|200] [--force] "
    "PLAN:CHANNEL[:LABEL]...\n"
    "       lks table new -o TABLE.nct [--force] --freq MHZ:BANDWIDTH[:LABEL]...\n"
    "       lks table show TABLE.nct [--format text|csv|json]\n"
    "\n"
    "new   writes a channel table file for the survey program: up to 30 entries, each a band\n"
    "      plan (0 cellular 800 MHz, 1 PCS 1900 MHz), a channel of that plan and an optional\n"
    "      label (no commas or line breaks, at most 64 characters). --pcs-spacing chooses the\n"
    "      PCS channel grid in kHz (default 30). An existing TABLE.nct is replaced only with\n"
    "      --force.\n"
    "      With --freq (repeatable) the table lists frequencies instead, for any band a\n"
    "      software-defined radio tunes: the frequency in MHz (to the Hz), the bandwidth its\n"
    "      power is measured over (12.5k, 25k, 1.25M, or in Hz) and a label, for example\n"
    "      --freq 851.0125:12.5k:FD-1. The receiver board refuses such a table.\n"
    "show  reads a table file as the program does and lists each entry's slot, plan, channel,\n"
    "      frequency in MHz, the channel code the board is sent and its label, with the PCS\n"
    "      spacing; for a frequency table each entry's frequency, bandwidth, the channel number\n"
    "      its readings store and its label. A file the program would refuse gives\n"
    "      \"Invalid Channel Table.\" and exit 2.\n";

constexpr unsigned kDefaultSpacingKHz = 30;

constexpr unsigned long kHzPerKHz = 1000;

bool validSpacing(unsigned long kHz) {
    const unsigned long hz = kHz * kHzPerKHz;
    return hz == CBandPlan::kPcsSpacing30k || hz == CBandPlan::kPcsSpacing50k ||
           hz == CBandPlan::kPcsSpacing200k;
}

int writeTable(const std::string& output, bool force, const std::string& text) {
    struct stat st {};
    if (!force && ::stat(output.c_str(), &st) == 0) {
        return BadInput("table new: " + output + " already exists (use --force to replace it)");
    }
    CAtomicFile file;
    if (!file.Begin(output) || !file.Write(text.data(), text.size()) || !file.Commit()) {
        std::fprintf(stderr, "lks: table new: cannot write %s: %s\n", output.c_str(),
                     SystemErrorText(file.Error()).c_str());
        return kExitFailed;
    }
    return kExitOk;
}

int writeFrequencyTable(const std::string& output, bool force,
                        const std::vector<std::string>& args) {
    if (args.size() > static_cast<size_t>(CChannelTableFile::kMaxEntries)) {
        return BadInput("table new: " + std::to_string(args.size()) +
                        " frequencies; a table holds at most " +
                        std::to_string(CChannelTableFile::kMaxEntries));
    }
    std::vector<FrequencyEntry> entries;
    std::set<uint64_t> seen;
    for (const std::string& arg : args) {
        FrequencyEntry entry;
        std::string reason;
        if (!ParseFrequencyEntry(arg, entry, reason)) {
            return BadInput("table new: " + reason);
        }
        if (!seen.insert(entry.frequencyHz).second) {
            return BadInput("table new: --freq '" + arg +
                            "' names a frequency already in the table");
        }
        entries.push_back(entry);
    }
    const int written = writeTable(output, force, FrequencyTableText(entries));
    if (written == kExitOk) {
        std::printf("%s: %zu entries by frequency\n", output.c_str(), entries.size());
    }
    return written;
}

int runNew(int argc, char** argv) {
    std::string output;
    unsigned long spacingKHz = kDefaultSpacingKHz;
    bool force = false;
    bool spacingGiven = false;
    std::vector<std::string> entryArgs;
    std::vector<std::string> frequencyArgs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        if (IsHelp(arg)) {
            std::fputs(kTableUsage, stdout);
            return kExitOk;
        }
        OptionTake take = OptionTake::NotThis;
        if (arg == "-o") {
            if (i + 1 >= argc) {
                return BadInput("table new: -o needs a file name");
            }
            output = argv[++i];
        } else if ((take = TakeOption(argc, argv, i, "--output", value)) != OptionTake::NotThis) {
            if (take == OptionTake::MissingValue) {
                return BadInput("table new: --output needs a file name");
            }
            output = value;
        } else if ((take = TakeOption(argc, argv, i, "--pcs-spacing", value)) !=
                   OptionTake::NotThis) {
            if (take == OptionTake::MissingValue || !ParseWhole(value, 200, spacingKHz) ||
                !validSpacing(spacingKHz)) {
                return BadInput("table new: --pcs-spacing must be 30, 50 or 200 (kHz), not '" +
                                value + "'");
            }
            spacingGiven = true;
        } else if ((take = TakeOption(argc, argv, i, "--freq", value)) != OptionTake::NotThis) {
            if (take == OptionTake::MissingValue) {
                return BadInput("table new: --freq needs MHZ:BANDWIDTH[:LABEL]");
            }
            frequencyArgs.push_back(value);
        } else if (arg == "--force") {
            force = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return BadInput("table new: unexpected argument '" + arg +
                            "' (try 'lks table --help')");
        } else {
            entryArgs.push_back(arg);
        }
    }
    if (output.empty()) {
        return BadInput("table new: needs -o TABLE.nct (try 'lks table --help')");
    }
    if (!frequencyArgs.empty()) {
        if (!entryArgs.empty() || spacingGiven) {
            return BadInput("table new: a table lists band-plan channels or frequencies (--freq), "
                            "not both");
        }
        return writeFrequencyTable(output, force, frequencyArgs);
    }
    if (entryArgs.empty()) {
        return BadInput("table new: no entries given; name each as PLAN:CHANNEL[:LABEL]");
    }
    if (entryArgs.size() > static_cast<size_t>(CChannelTableFile::kMaxEntries)) {
        return BadInput("table new: " + std::to_string(entryArgs.size()) +
                        " entries; the program reads at most " +
                        std::to_string(CChannelTableFile::kMaxEntries));
    }
    CBandPlan plans[2];
    CReceiver::InitBandPlans(plans);
    plans[1].SetPcsSpacing(static_cast<uint32_t>(spacingKHz * kHzPerKHz));
    std::vector<TableEntry> entries;
    std::set<std::pair<uint8_t, uint16_t>> seen;
    for (const std::string& arg : entryArgs) {
        TableEntry entry;
        std::string reason;
        if (!ParseTableEntry(arg, plans, entry, reason)) {
            return BadInput("table new: " + reason);
        }
        // A second scan of one channel fills a slot and tells nothing new: surely a slip.
        if (!seen.insert({entry.plan, entry.channel}).second) {
            return BadInput("table new: '" + arg + "' names a channel already in the table");
        }
        entries.push_back(entry);
    }
    const int written =
        writeTable(output, force, ChannelTableText(static_cast<unsigned>(spacingKHz), entries));
    if (written == kExitOk) {
        std::printf("%s: %zu entries, PCS spacing %lu kHz\n", output.c_str(), entries.size(),
                    spacingKHz);
    }
    return written;
}

int runShow(int argc, char** argv) {
    std::string path;
    std::string format = "text";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        if (IsHelp(arg)) {
            std::fputs(kTableUsage, stdout);
            return kExitOk;
        }
        const OptionTake take = TakeOption(argc, argv, i, "--format", value);
        if (take == OptionTake::MissingValue) {
            return BadInput("table show: --format needs text, csv or json");
        }
        if (take == OptionTake::Taken) {
            format = value;
            if (format != "text" && format != "csv" && format != "json") {
                return BadInput("table show: unknown format '" + format + "' (text, csv or json)");
            }
        } else if (!path.empty() || (arg.size() > 1 && arg[0] == '-')) {
            return BadInput("table show: unexpected argument '" + arg +
                            "' (try 'lks table --help')");
        } else {
            path = arg;
        }
    }
    if (path.empty()) {
        return BadInput("table show: no table file given (try 'lks table --help')");
    }
    // Read and parsed exactly as the program's loader does, so a refusal here is one there.
    std::vector<uint8_t> bytes;
    int error = 0;
    bool truncated = false;
    if (!ReadFileBytes(path, CChannelTableFile::kMaxFileSize, bytes, error, truncated)) {
        return BadInput("table show: cannot open " + path + ": " + SystemErrorText(error));
    }
    CChannelTableFile table;
    if (truncated || !table.Parse(bytes.data(), bytes.size())) {
        return BadInput("table show: " + path + ": " + filemsg::kInvalidChannelTable);
    }
    ShowChannelTable(path, table, format);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "lks: table show: cannot write the output\n");
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace

int RunTable(int argc, char** argv) {
    const std::string action = argc > 1 ? argv[1] : "";
    if (action == "new") {
        return runNew(argc - 1, argv + 1);
    }
    if (action == "show") {
        return runShow(argc - 1, argv + 1);
    }
    if (IsHelp(action)) {
        std::fputs(kTableUsage, stdout);
        return kExitOk;
    }
    if (action.empty()) {
        return BadInput("table: needs new or show (try 'lks table --help')");
    }
    return BadInput("table: unknown action '" + action + "' (new or show)");
}

} // namespace lks
