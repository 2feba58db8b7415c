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
    "       lks table show TABLE.nct [--format text|csv|json]\n"
    "\n"
    "new   writes a channel table file for the survey program: up to 30 entries, each a band\n"
    "      plan (0 cellular 800 MHz, 1 PCS 1900 MHz), a channel of that plan and an optional\n"
    "      label (no commas or line breaks). --pcs-spacing chooses the PCS channel grid in kHz\n"
    "      (default 30). An existing TABLE.nct is replaced only with --force.\n"
    "show  reads a table file as the program does and lists each entry's slot, plan, channel,\n"
    "      frequency in MHz and the channel code the board is sent, with the PCS spacing. A file\n"
    "      the program would refuse gives \"Invalid Channel Table.\" and exit 2.\n";

constexpr unsigned kDefaultSpacingKHz = 30;

constexpr unsigned long kHzPerKHz = 1000;

bool validSpacing(unsigned long kHz) {
    const unsigned long hz = kHz * kHzPerKHz;
    return hz == CBandPlan::kPcsSpacing30k || hz == CBandPlan::kPcsSpacing50k ||
           hz == CBandPlan::kPcsSpacing200k;
}

int runNew(int argc, char** argv) {
    std::string output;
    unsigned long spacingKHz = kDefaultSpacingKHz;
    bool force = false;
    std::vector<std::string> entryArgs;
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
    struct stat st {};
    if (!force && ::stat(output.c_str(), &st) == 0) {
        return BadInput("table new: " + output + " already exists (use --force to replace it)");
    }

    const std::string text = ChannelTableText(static_cast<unsigned>(spacingKHz), entries);
    CAtomicFile file;
    if (!file.Begin(output) || !file.Write(text.data(), text.size()) || !file.Commit()) {
        std::fprintf(stderr, "lks: table new: cannot write %s: %s\n", output.c_str(),
                     SystemErrorText(file.Error()).c_str());
        return kExitFailed;
    }
    std::printf("%s: %zu entries, PCS spacing %lu kHz\n", output.c_str(), entries.size(),
                spacingKHz);
    return kExitOk;
}

struct ShownEntry {
    int slot;
    ChannelEntry entry;
    uint32_t hz; // 0: the plan has no such channel
    uint16_t code;
    bool inPlan; // false: the program still loads it, at the frequency and code shown
};

std::string mhzText(uint32_t hz) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", HzToMHz(hz));
    return text;
}

void showText(const std::string& path, uint32_t spacing, const std::vector<ShownEntry>& rows) {
    std::printf("table: %s\n", path.c_str());
    if (spacing != 0) {
        std::printf("PCS spacing: %lu kHz\n", spacing / kHzPerKHz);
    } else {
        std::printf("PCS spacing: none named (the program keeps the one it had; PCS rows below "
                    "assume none)\n");
    }
    std::printf("entries: %zu\n", rows.size());
    if (rows.empty()) {
        return;
    }
    std::printf("slot  plan  band      channel  frequency MHz  board code\n");
    bool outside = false;
    for (const ShownEntry& r : rows) {
        const std::string mhz = r.hz != 0 ? mhzText(r.hz) : "none";
        std::printf("%4d  %4u  %-8s  %7u  %13s  %10u%s\n", r.slot, r.entry.plan,
                    IsPcsPlan(r.entry.plan) ? "PCS" : "cellular", r.entry.channel, mhz.c_str(),
                    r.code, r.inPlan ? "" : " *");
        outside = outside || !r.inPlan;
    }
    if (outside) {
        std::printf("* not a channel of its band plan; the program loads it all the same, with "
                    "this frequency and code\n");
    }
}

void showCsv(uint32_t spacing, const std::vector<ShownEntry>& rows) {
    const std::string kHz = spacing != 0 ? std::to_string(spacing / kHzPerKHz) : std::string();
    std::printf("slot,plan,channel,frequency_mhz,board_code,pcs_spacing_khz\n");
    for (const ShownEntry& r : rows) {
        std::printf("%d,%u,%u,%s,%u,%s\n", r.slot, r.entry.plan, r.entry.channel,
                    r.hz != 0 ? mhzText(r.hz).c_str() : "", r.code, kHz.c_str());
    }
}

void showJson(uint32_t spacing, const std::vector<ShownEntry>& rows) {
    const std::string kHz = spacing != 0 ? std::to_string(spacing / kHzPerKHz) : "null";
    std::printf("{\"pcs_spacing_khz\": %s, \"entries\": [", kHz.c_str());
    const char* separator = "\n";
    for (const ShownEntry& r : rows) {
        std::printf("%s  {\"slot\": %d, \"plan\": %u, \"channel\": %u, \"frequency_mhz\": %s, "
                    "\"board_code\": %u}",
                    separator, r.slot, r.entry.plan, r.entry.channel,
                    r.hz != 0 ? mhzText(r.hz).c_str() : "null", r.code);
        separator = ",\n";
    }
    std::printf("%s]}\n", rows.empty() ? "" : "\n");
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
    CBandPlan plans[2];
    CReceiver::InitBandPlans(plans);
    plans[1].SetPcsSpacing(table.PcsSpacing());
    std::vector<ShownEntry> rows;
    for (int i = 0; i < table.Count(); ++i) {
        const ChannelEntry& e = table.Entry(i);
        rows.push_back({i, e, EntryFrequencyHz(plans, e), EntryBoardCode(plans, e),
                        PlanHoldsChannel(plans, e.plan, e.channel)});
    }
    if (format == "json") {
        showJson(table.PcsSpacing(), rows);
    } else if (format == "csv") {
        showCsv(table.PcsSpacing(), rows);
    } else {
        showText(path, table.PcsSpacing(), rows);
    }
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
