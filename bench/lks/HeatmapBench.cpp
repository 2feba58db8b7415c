// lks heatmap as a user runs it: 1,000 points of 30 channels on a 4000 x 3000 plan, the whole
// process from reading the site to the written PNG, its wall time and its peak resident memory;
// the same process on a plan of 40 x 30 for what the process costs before any image (Qt's
// libraries and start included); and, in the same run, the two scipy methods people use for the
// same map, timed on the same spot values:
//   - Rbf on a grid of a quarter of the resolution each way, the open Python tool's method;
//   - inverse-distance weighting over a cKDTree at full resolution, with lks's weights and radius.
// The peers run with the system Python (python3-scipy); their own time excludes Python's start,
// reading the points and writing any image, so every ratio is in their favour.
#include <benchmark/benchmark.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "../BenchDir.h"
#include "../BenchSite.h"
#include "analysis/CoverageRadius.h"
#include "analysis/SiteReadings.h"
#include "analysis/SpotTable.h"
#include "files/SiteFile.h"
#include "files/SiteFileReader.h"

extern char** environ;

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kPoints = 1000;
constexpr int kChannels = 30;
constexpr int kTransmitters = 6;
constexpr char kSystemPython[] = "/usr/bin/python3";
constexpr char kTime[] = "/usr/bin/time";

// Walls every 400 px with door gaps, tinted corridors, hatched stairs: a plan of the kind a
// surveyor loads, which the PNG encoder has to keep line for line.
SitePicture benchPlan(int width, int height) {
    SitePicture picture = BenchPicture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool door = x % 400 > 150 && x % 400 < 230;
            const bool wall = (x % 400 < 8 && y % 400 > 60) || (y % 400 < 8 && !door);
            const bool corridor = y % 1200 > 560 && y % 1200 < 640;
            const bool stairs = x > 3500 && y > 2500 && (x + y) % 24 < 3;
            picture.pixels[size_t{picture.stride} * static_cast<size_t>(y) + x] = wall       ? 1
                                                                                  : stairs   ? 3
                                                                                  : corridor ? 2
                                                                                             : 0;
        }
    }
    return picture;
}

// Points at random places; each channel is heard from one of a few transmitters, falling off
// with distance, with a few dB of scatter, so neighbouring points read alike as in a building.
void writeSurvey(const std::string& path, int width, int height, int points) {
    std::mt19937 random(20);
    std::uniform_real_distribution<double> xs(0, width - 1);
    std::uniform_real_distribution<double> ys(0, height - 1);
    std::normal_distribution<double> scatter(0.0, 4.0);
    double sites[kTransmitters][2];
    for (auto& site : sites) {
        site[0] = xs(random);
        site[1] = ys(random);
    }
    CRecordList list;
    for (int p = 0; p < points; ++p) {
        const int32_t x = static_cast<int32_t>(xs(random));
        const int32_t y = static_cast<int32_t>(ys(random));
        for (int c = 0; c < kChannels; ++c) {
            const double* site = sites[c % kTransmitters];
            const double metres = std::hypot(x - site[0], y - site[1]) / 10.0 + 1.0;
            const double dbm = -35.0 - 30.0 * std::log10(metres) - c / 2 + scatter(random);
            AppendBenchReading(list, x, y, p, c,
                               static_cast<int>(std::lround(std::max(-120.0, dbm))));
        }
    }
    SaveBenchSite(path, benchPlan(width, height), list, [](int, int) { return 1u; });
}

// The spot values lks maps (the strongest channel at each point) and the radius it would choose,
// for the peers: a line "width height radius", then a line "x,y,dbm" for each spot.
void writePeerPoints(const std::string& sitePath, const std::string& path) {
    CSiteFile site;
    std::string detail;
    CSiteFileReader::Read(sitePath, site, detail);
    const std::vector<SpotValue> spots =
        CSpotTable(ReadingsOfRecords(site.m_records)).Values({}, SpotCombine::Strongest);
    double radius = 0.0;
    double median = 0.0;
    DefaultCoverageRadius(spots, radius, median);
    FILE* out = std::fopen(path.c_str(), "w");
    std::fprintf(out, "%d %d %.6f\n", kWidth, kHeight, radius);
    for (const SpotValue& s : spots) {
        std::fprintf(out, "%d,%d,%.4f\n", s.x, s.y, s.dbm);
    }
    std::fclose(out);
}

void writeBenchFiles(const std::string& dir) {
    writeSurvey(dir + "/site.lks", kWidth, kHeight, kPoints);
    writeSurvey(dir + "/tiny.lks", 40, 30, 12);
    writePeerPoints(dir + "/site.lks", dir + "/points.csv");
}

class CBenchSite {
public:
    CBenchSite() { writeBenchFiles(m_dir.Path()); }

    std::string File(const char* name) const { return m_dir.File(name); }

private:
    CBenchDir m_dir{"heatmapbench"};
};

const CBenchSite& benchSite() {
    static const CBenchSite s;
    return s;
}

struct ProcessRun {
    bool ok = false;
    double seconds = 0.0;
    std::string out;
};

// Runs a program to its end with stdout captured and stderr discarded.
ProcessRun runProcess(const std::vector<std::string>& args) {
    ProcessRun run;
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    char buffer[4096];
    ssize_t got = 0;
    while (spawned == 0 &&
           ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))) {
        run.out.append(buffer, static_cast<size_t>(std::max<ssize_t>(got, 0)));
    }
    ::close(pipeFds[0]);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid) {
        return run;
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// Mean seconds of each benchmark's last run by a short key, for the comparison printed at the end.
std::map<std::string, double>& means() {
    static std::map<std::string, double> m;
    return m;
}

// The peak resident set comes from /usr/bin/time, as a user would measure it: the kernel's count
// for a child spawned from this process would start from this process's own pages.
void heatmapProcess(benchmark::State& state, const char* site, const char* key) {
    const std::string peakFile = benchSite().File("peak");
    const std::vector<std::string> args = {kTime,     "-f",
                                           "%M",      "-o",
                                           peakFile,  LKS_PROGRAM,
                                           "heatmap", benchSite().File(site),
                                           "-o",      benchSite().File("map.png")};
    double total = 0.0;
    double peakKiB = 0.0;
    for (auto _ : state) {
        const ProcessRun run = runProcess(args);
        FILE* peak = std::fopen(peakFile.c_str(), "r");
        double kib = 0.0;
        const bool measured = peak != nullptr && std::fscanf(peak, "%lf", &kib) == 1;
        if (peak != nullptr) {
            std::fclose(peak);
        }
        if (!run.ok || !measured) {
            state.SkipWithError("lks heatmap failed, or /usr/bin/time is missing");
            return;
        }
        state.SetIterationTime(run.seconds);
        total += run.seconds;
        peakKiB = std::max(peakKiB, kib);
    }
    means()[key] = total / static_cast<double>(state.iterations());
    state.counters["peak_MB"] = peakKiB * 1024.0 / 1e6;
    // The limit is set against the RGBA size of the full map, whatever the site.
    state.counters["peak_per_RGBA"] = peakKiB * 1024.0 / (4.0 * kWidth * kHeight);
}

void BM_HeatmapProcess(benchmark::State& state) {
    heatmapProcess(state, "site.lks", "lks");
}
BENCHMARK(BM_HeatmapProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

void BM_HeatmapProcessTinyPlan(benchmark::State& state) {
    heatmapProcess(state, "tiny.lks", "tiny");
}
BENCHMARK(BM_HeatmapProcessTinyPlan)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);

// A peer script prints the seconds its interpolation took on its last line.
void peer(benchmark::State& state, const char* script, const char* key) {
    if (::access(kSystemPython, X_OK) != 0) {
        state.SkipWithError("no system Python: run scripts/deps bench");
        return;
    }
    const std::vector<std::string> args = {kSystemPython, std::string(PEERS_DIR) + "/" + script,
                                           benchSite().File("points.csv")};
    double total = 0.0;
    for (auto _ : state) {
        const ProcessRun run = runProcess(args);
        const size_t last = run.out.find_last_of('\n', run.out.size() - 2);
        const double seconds =
            std::atof(run.out.c_str() + (last == std::string::npos ? 0 : last + 1));
        if (!run.ok || !(seconds > 0.0)) {
            state.SkipWithError("the peer failed: is python3-scipy installed?");
            return;
        }
        state.SetIterationTime(seconds);
        total += seconds;
    }
    means()[key] = total / static_cast<double>(state.iterations());
}

void BM_PeerRbfQuarterGrid(benchmark::State& state) {
    peer(state, "rbf_quarter_grid.py", "rbf");
}
BENCHMARK(BM_PeerRbfQuarterGrid)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

void BM_PeerIdwKdtree(benchmark::State& state) {
    peer(state, "idw_kdtree.py", "idw");
}
BENCHMARK(BM_PeerIdwKdtree)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

void printComparison() {
    const auto find = [](const char* key) {
        const auto it = means().find(key);
        return it == means().end() ? 0.0 : it->second;
    };
    const double lks = find("lks");
    if (!(lks > 0.0)) {
        return;
    }
    std::printf("lks heatmap, whole process: %.0f ms\n", lks * 1000.0);
    const struct {
        const char* key;
        const char* what;
        double target;
    } peers[] = {{"rbf", "scipy Rbf on a quarter-resolution grid", 10.0},
                 {"idw", "IDW over scipy's cKDTree at full resolution", 20.0}};
    for (const auto& p : peers) {
        const double seconds = find(p.key);
        if (seconds > 0.0) {
            std::printf("  %.1fx faster than %s (%.0f ms; target %.0fx)\n", seconds / lks, p.what,
                        seconds * 1000.0, p.target);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    // --files-in DIR: only write the sites and the peers' points, to run them by hand (under
    // /usr/bin/time -v, perf and the like).
    if (argc == 3 && std::string(argv[1]) == "--files-in") {
        writeBenchFiles(argv[2]);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printComparison();
    return 0;
}
