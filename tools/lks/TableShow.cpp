// The three forms of lks table show, for both table formats. JSON goes through Qt's writer, so
// labels come out escaped whatever they hold.
#include "TableShow.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdio>
#include <vector>

#include "TableEntries.h"
#include "analysis/SurveyChannels.h"
#include "files/ChannelTableFile.h"
#include "receiver/BandPlan.h"
#include "receiver/ChannelEntry.h"
#include "receiver/Receiver.h"

namespace lks {

namespace {

constexpr unsigned long kHzPerKHz = 1000;

struct ShownEntry {
    int slot;
    ChannelEntry entry;
    uint32_t hz; // 0: the plan has no such channel
    uint16_t code;
    bool inPlan; // false: the program still loads it, at the frequency and code shown
    std::string label;
};

// The label as the last column, without trailing blanks when there is none.
std::string withLabel(std::string line, const std::string& label) {
    if (!label.empty()) {
        line += "  " + label;
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

double mhzValue(uint32_t hz) {
    return std::round(HzToMHz(hz) * 1000.0) / 1000.0;
}

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

void printJson(const QJsonObject& object) {
    std::fputs(QJsonDocument(object).toJson(QJsonDocument::Indented).constData(), stdout);
}

std::vector<ShownEntry> planEntries(const CChannelTableFile& table) {
    CBandPlan plans[2];
    CReceiver::InitBandPlans(plans);
    plans[1].SetPcsSpacing(table.PcsSpacing());
    std::vector<ShownEntry> rows;
    for (int i = 0; i < table.Count(); ++i) {
        const ChannelEntry& e = table.Entry(i);
        rows.push_back({i, e, EntryFrequencyHz(plans, e), EntryBoardCode(plans, e),
                        PlanHoldsChannel(plans, e.plan, e.channel), table.Label(i)});
    }
    return rows;
}

void showPlanText(const std::string& path, uint32_t spacing, const std::vector<ShownEntry>& rows) {
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
    std::printf("slot  plan  band      channel  frequency MHz  board code    label\n");
    bool outside = false;
    for (const ShownEntry& r : rows) {
        const std::string mhz = r.hz != 0 ? MhzText(HzToMHz(r.hz)) : "none";
        char line[96];
        std::snprintf(line, sizeof line, "%4d  %4u  %-8s  %7u  %13s  %10u%s", r.slot, r.entry.plan,
                      IsPcsPlan(r.entry.plan) ? "PCS" : "cellular", r.entry.channel, mhz.c_str(),
                      r.code, r.inPlan ? "  " : " *");
        std::printf("%s\n", withLabel(line, r.label).c_str());
        outside = outside || !r.inPlan;
    }
    if (outside) {
        std::printf("* not a channel of its band plan; the program loads it all the same, with "
                    "this frequency and code\n");
    }
}

void showPlan(const std::string& path, const CChannelTableFile& table, const std::string& format) {
    const uint32_t spacing = table.PcsSpacing();
    const std::vector<ShownEntry> rows = planEntries(table);
    if (format == "text") {
        showPlanText(path, spacing, rows);
        return;
    }
    const std::string kHz = spacing != 0 ? std::to_string(spacing / kHzPerKHz) : std::string();
    if (format == "csv") {
        std::printf("slot,plan,channel,frequency_mhz,board_code,pcs_spacing_khz,label\n");
        for (const ShownEntry& r : rows) {
            std::printf("%d,%u,%u,%s,%u,%s,%s\n", r.slot, r.entry.plan, r.entry.channel,
                        r.hz != 0 ? MhzText(HzToMHz(r.hz)).c_str() : "", r.code, kHz.c_str(),
                        CsvField(r.label).c_str());
        }
        return;
    }
    QJsonArray entries;
    for (const ShownEntry& r : rows) {
        entries.append(QJsonObject{
            {"slot", r.slot},
            {"plan", r.entry.plan},
            {"channel", r.entry.channel},
            {"frequency_mhz", r.hz != 0 ? QJsonValue(mhzValue(r.hz)) : QJsonValue()},
            {"board_code", r.code},
            {"label", q(r.label)},
        });
    }
    printJson({{"format", CChannelTableFile::kFormat},
               {"pcs_spacing_khz",
                spacing != 0 ? QJsonValue(static_cast<int>(spacing / kHzPerKHz)) : QJsonValue()},
               {"entries", entries}});
}

void showFrequencies(const std::string& path, const CChannelTableFile& table,
                     const std::string& format) {
    const std::vector<FrequencyEntry>& rows = table.Frequencies();
    const auto mhz = [](const FrequencyEntry& e) {
        return FixedPointText(e.frequencyHz, CChannelTableFile::kMHzDecimals);
    };
    const auto kHz = [](const FrequencyEntry& e) {
        return FixedPointText(e.bandwidthHz, CChannelTableFile::kKHzDecimals);
    };
    if (format == "text") {
        std::printf("table: %s\n", path.c_str());
        std::printf("channels by frequency (format 3), for a software-defined radio; the "
                    "receiver board refuses this table\n");
        std::printf("entries: %zu\n", rows.size());
        if (rows.empty()) {
            return;
        }
        std::printf("slot  frequency MHz  bandwidth kHz  stored as channel  label\n");
        for (size_t i = 0; i < rows.size(); ++i) {
            char line[96];
            std::snprintf(line, sizeof line, "%4zu  %13s  %13s  %17d", i, mhz(rows[i]).c_str(),
                          kHz(rows[i]).c_str(), FrequencyEntryChannel(rows[i].frequencyHz));
            std::printf("%s\n", withLabel(line, rows[i].label).c_str());
        }
    } else if (format == "csv") {
        std::printf("slot,frequency_mhz,bandwidth_khz,channel,label\n");
        for (size_t i = 0; i < rows.size(); ++i) {
            std::printf("%zu,%s,%s,%d,%s\n", i, mhz(rows[i]).c_str(), kHz(rows[i]).c_str(),
                        FrequencyEntryChannel(rows[i].frequencyHz),
                        CsvField(rows[i].label).c_str());
        }
    } else {
        QJsonArray entries;
        for (size_t i = 0; i < rows.size(); ++i) {
            entries.append(QJsonObject{
                {"slot", static_cast<int>(i)},
                {"frequency_mhz", static_cast<double>(rows[i].frequencyHz) / 1e6},
                {"bandwidth_khz", rows[i].bandwidthHz / 1e3},
                {"channel", FrequencyEntryChannel(rows[i].frequencyHz)},
                {"label", q(rows[i].label)},
            });
        }
        printJson({{"format", CChannelTableFile::kFrequencyFormat}, {"entries", entries}});
    }
}

} // namespace

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string(2, '"') : std::string(1, c);
    }
    return quoted + "\"";
}

void ShowChannelTable(const std::string& path, const CChannelTableFile& table,
                      const std::string& format) {
    if (table.Format() == CChannelTableFile::kFrequencyFormat) {
        showFrequencies(path, table, format);
    } else {
        showPlan(path, table, format);
    }
}

} // namespace lks
