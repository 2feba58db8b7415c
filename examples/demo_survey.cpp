// Surveys the demo site without a walk: the points a surveyor would take on the office floor,
// each scanned through the program's own survey store and saved with its own site writer, with
// readings from the simulated board shaped by the distance to two antennas.
// Usage: larkspur-demo-survey SITE.lks TABLE.nct OUT.lks
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "BoardSimulator.h"
#include "files/AtomicFile.h"
#include "files/ChannelTableFile.h"
#include "files/FileBytes.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "receiver/Receiver.h"
#include "survey/RecordList.h"
#include "survey/SurveyData.h"

namespace {

// The simulated board's seed: the same readings `larkspur --simulate` starts from.
constexpr uint32_t kBoardSeed = 1;
// A fixed save time keeps the demo file the same from one run to the next (2025-01-06 09:00).
constexpr uint32_t kSaveTime = 1736154000u;

// Where the signal comes from: cellular channels from an antenna in the meeting room's ceiling,
// PCS channels from one over the lobby. Gain in dB at the reference distance (plan pixels);
// the loss grows by kPathLossPerDecade dB for each tenfold distance.
struct Antenna {
    double x;
    double y;
};
constexpr Antenna kCellular{400.0, 90.0};
constexpr Antenna kPcs{240.0, 600.0};
constexpr double kGainDb = 26.0;
constexpr double kReferencePx = 30.0;
constexpr double kPathLossPerDecade = 30.0;

struct Room {
    int left;
    int top;
    int right;
    int bottom;
    int across;
    int down;
};

// Inner areas of the rooms the surveyor entered, and how many points each got; the store room
// was locked, so the map must leave it as the plan shows it.
constexpr Room kRooms[] = {
    {20, 20, 175, 155, 2, 2},   // office 1
    {20, 185, 175, 315, 2, 2},  // office 2
    {20, 345, 175, 625, 2, 3},  // lab
    {305, 20, 465, 205, 3, 2},  // meeting
    {305, 235, 465, 345, 3, 1}, // kitchen
    {305, 375, 465, 485, 3, 1}, // servers
};
constexpr int kCorridorX = 240;
constexpr int kCorridorTop = 30;
constexpr int kCorridorStep = 52;
constexpr int kCorridorPoints = 12;

struct Place {
    int x;
    int y;
};

std::vector<Place> surveyPlaces() {
    std::vector<Place> places;
    for (int k = 0; k < kCorridorPoints; ++k) {
        // A surveyor walking the corridor does not keep to its centre line.
        places.push_back({kCorridorX + (k % 3 - 1) * 14, kCorridorTop + k * kCorridorStep});
    }
    for (const Room& r : kRooms) {
        for (int j = 0; j < r.down; ++j) {
            for (int i = 0; i < r.across; ++i) {
                places.push_back({r.left + (2 * i + 1) * (r.right - r.left) / (2 * r.across),
                                  r.top + (2 * j + 1) * (r.bottom - r.top) / (2 * r.down)});
            }
        }
    }
    // The lobby was scanned twice at the same spot: the heatmap averages the two in power.
    places.push_back(places[kCorridorPoints - 1]);
    return places;
}

// scan counts from 0; the board counts its measurements from 1.
int16_t reading(const ChannelEntry& entry, int slot, uint64_t scan, const Place& at) {
    const Antenna& a = IsPcsPlan(entry.plan) ? kPcs : kCellular;
    const double d = std::max(std::hypot(at.x - a.x, at.y - a.y), kReferencePx / 2);
    const double gain = kGainDb - kPathLossPerDecade * std::log10(d / kReferencePx);
    const double x16 = CBoardSimulator::RssiX16(kBoardSeed, slot, scan + 1) + 16.0 * gain;
    return static_cast<int16_t>(std::lround(std::max(-2000.0, std::min(0.0, x16))));
}

// A signature stroke, so that the demo reads as signed: a wave across the pad.
uint32_t signaturePixel(int x, int y) {
    const int wave = 50 + static_cast<int>(std::lround(22.0 * std::sin(x / 14.0)));
    return x >= 20 && x < 180 && std::abs(y - wave) <= 1 ? 0u : 0x00FFFFFFu;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "larkspur-demo-survey: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: larkspur-demo-survey SITE.lks TABLE.nct OUT.lks\n");
        return 2;
    }
    const std::string sitePath = argv[1];
    const std::string tablePath = argv[2];
    const std::string outPath = argv[3];

    std::vector<uint8_t> siteBytes;
    std::vector<uint8_t> tableBytes;
    int error = 0;
    bool truncated = false;
    if (!ReadFileBytes(sitePath, 1u << 30, siteBytes, error, truncated) || truncated) {
        return fail("cannot read " + sitePath);
    }
    CSiteFile site;
    std::string detail;
    if (CSiteFileReader::Parse(siteBytes.data(), siteBytes.size(), site, detail) != SF_OK) {
        return fail(sitePath + " is not a site file: " + detail);
    }
    CChannelTableFile table;
    if (!ReadFileBytes(tablePath, CChannelTableFile::kMaxFileSize, tableBytes, error, truncated) ||
        truncated || !table.Parse(tableBytes.data(), tableBytes.size())) {
        return fail(tablePath + ": Invalid Channel Table.");
    }

    // The program's own path from a scan to records: the table in the receiver, the board's
    // readings in its entries, the survey store turning them into one record per channel.
    CReceiver receiver;
    table.ApplyTo(receiver);
    CRecordList list;
    CSurveyData store(list, receiver);
    const std::vector<Place> places = surveyPlaces();
    for (size_t scan = 0; scan < places.size(); ++scan) {
        for (int slot = 0; slot < receiver.ChannelCount(); ++slot) {
            const ChannelEntry entry = receiver.Channel(slot);
            receiver.SetChannelRssi(slot, reading(entry, slot, scan, places[scan]));
        }
        store.SetLocation(places[scan].x, places[scan].y, "TEST");
        store.TakeScan();
    }

    // The writer updates a site file in place; start from a copy of the empty demo.
    CAtomicFile copy;
    if (!copy.Begin(outPath) || !copy.Write(siteBytes.data(), siteBytes.size()) || !copy.Commit()) {
        return fail("cannot write " + outPath + ": " + SystemErrorText(copy.Error()));
    }
    if (CSiteFileWriter().Save(outPath, site.m_header, list, signaturePixel, kSaveTime) != SF_OK) {
        return fail("cannot save the survey into " + outPath);
    }
    std::printf("%s: %d points of %d channels\n", outPath.c_str(), store.m_nLocations,
                receiver.ChannelCount());
    return 0;
}
