// Surveys the demo site without a walk: the points a surveyor would take on the office floor,
// each scanned through the program's own survey store and saved with its own site writer, with
// readings from the simulated board shaped by the distance to the antennas.
// Usage: larkspur-demo-survey SITE.lks TABLE.nct OUT.lks [--building FLOOR]
//   without --building: the demo floor, lit by two antennas outside its rooms, which fails;
//   --building 1 or 2: a floor of the example building with an antenna system in its ceilings,
//   walked the way a grid test is: a point at the centre of each cell and of each critical
//   area's cells (the grid of examples/building.json), plus the corridor.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "BoardSimulator.h"
#include "analysis/FloorGrid.h"
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

// The example building's antenna system: ceiling antennas in every room and along the corridor,
// serving both bands, with the gain an amplified system gives.
constexpr Antenna kCeiling[] = {{97, 87},   {97, 250},  {97, 485},  {385, 112}, {385, 290},
                                {385, 430}, {240, 150}, {240, 400}, {385, 570}, {120, 600}};
constexpr double kSystemGainDb = 40.0;
// The example building's plan at 4 pixels to the foot, and the critical areas of
// examples/building.json (the same rooms on both floors).
constexpr double kBuildingPixelsPerFoot = 4.0;
const CriticalArea kBuildingCritical[] = {{{194, 520, 92, 116}, "lobby"},
                                          {{294, 504, 182, 132}, "store"}};

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

// The centre of every cell a grid test of the example building asks for, then the corridor.
std::vector<Place> buildingPlaces(int width, int height) {
    std::vector<Place> places;
    FloorGrid grid;
    std::string why;
    const std::vector<CriticalArea> critical(std::begin(kBuildingCritical),
                                             std::end(kBuildingCritical));
    MakeFloorGrid({0, 0, width, height}, 0, 0, kBuildingPixelsPerFoot, critical, grid, why);
    for (const std::vector<CellGroup>* groups : {&grid.sectors, &grid.critical}) {
        for (const CellGroup& g : *groups) {
            const CGridLayout layout(g.rect, g.cols, g.rows);
            for (int row = 0; row < g.rows; ++row) {
                for (int col = 0; col < g.cols; ++col) {
                    const PlanRect c = layout.Cell(row, col);
                    places.push_back({c.x + c.w / 2, c.y + c.h / 2});
                }
            }
        }
    }
    for (int k = 0; k < kCorridorPoints; ++k) {
        places.push_back({kCorridorX, kCorridorTop + k * kCorridorStep});
    }
    return places;
}

double gainAt(const ChannelEntry& entry, const Place& at, int floor) {
    const auto gainFrom = [&](const Antenna& a, double gain) {
        const double d = std::max(std::hypot(at.x - a.x, at.y - a.y), kReferencePx / 2);
        return gain - kPathLossPerDecade * std::log10(d / kReferencePx);
    };
    if (floor == 0) {
        return gainFrom(IsPcsPlan(entry.plan) ? kPcs : kCellular, kGainDb);
    }
    double best = -1000.0;
    for (const Antenna& a : kCeiling) {
        best = std::max(best, gainFrom(a, kSystemGainDb));
    }
    return best;
}

// scan counts from 0; the board counts its measurements from 1. floor 0 is the demo floor.
int16_t reading(const ChannelEntry& entry, int slot, uint64_t scan, const Place& at, int floor) {
    const double gain = gainAt(entry, at, floor);
    const double x16 =
        CSimulatedSignal::RssiX16(kBoardSeed + static_cast<uint32_t>(floor), slot, scan + 1) +
        16.0 * gain;
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
    const bool building = argc == 6 && std::string(argv[4]) == "--building";
    const int floor = building ? std::atoi(argv[5]) : 0;
    if ((argc != 4 && !building) || (building && floor != 1 && floor != 2)) {
        std::fprintf(stderr,
                     "usage: larkspur-demo-survey SITE.lks TABLE.nct OUT.lks [--building 1|2]\n");
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
    const std::vector<Place> places =
        floor == 0 ? surveyPlaces() : buildingPlaces(site.m_picture.width, site.m_picture.height);
    for (size_t scan = 0; scan < places.size(); ++scan) {
        for (int slot = 0; slot < receiver.ChannelCount(); ++slot) {
            const ChannelEntry entry = receiver.Channel(slot);
            receiver.SetChannelRssi(slot, reading(entry, slot, scan, places[scan], floor));
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
