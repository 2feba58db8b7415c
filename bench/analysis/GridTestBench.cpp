// The grid-test report of a building: 3 floors, each 3,334 points of 30 channels (100,020
// readings) on a 4000 x 3000 plan, every channel judged on its own, from the job file on disk
// to the written PDF, CSV, summary and JSON; and the judging alone for comparison.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "../BenchDir.h"
#include "../BenchSite.h"
#include "GridtestArgs.h"
#include "GridtestPlan.h"
#include "GridtestRun.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kPoints = 3334;
constexpr int kChannels = 30;
constexpr int kFloors = 3;

// The building on disk for all benchmarks, removed at exit.
class CBenchBuilding {
public:
    CBenchBuilding() {
        std::string floors;
        for (int f = 0; f < kFloors; ++f) {
            const std::string name = "floor" + std::to_string(f + 1) + ".lks";
            MakeFloor(File(name.c_str()), f);
            floors += std::string(f == 0 ? "" : ",") + R"({"site": ")" + name +
                      R"(", "name": "Level )" + std::to_string(f + 1) +
                      R"(", "scale": "10/ft", "critical": [{"x": 100, "y": 100, "w": 500, )"
                      R"("h": 300, "name": "Fire command centre"}, {"x": 3500, "y": 2600, )"
                      R"("w": 400, "h": 300, "name": "Stair"}]})";
        }
        FILE* job = std::fopen(File("job.json").c_str(), "w");
        std::fprintf(job, R"({"building": "Bench Tower", "tester": "Bench", "floors": [%s]})",
                     floors.c_str());
        std::fclose(job);
    }

    std::string File(const char* name) const { return m_dir.File(name); }

private:
    // Rooms every 400 px with walls 8 px thick and tinted corridors; a surveyed, signed floor.
    static void MakeFloor(const std::string& path, int floor) {
        SitePicture picture = BenchPicture(kWidth, kHeight);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const bool wall = x % 400 < 8 || y % 400 < 8;
                const bool corridor = y % 1200 > 560 && y % 1200 < 640;
                picture.pixels[size_t{picture.stride} * y + x] = wall ? 1 : corridor ? 2 : 0;
            }
        }
        CRecordList list;
        for (int p = 0; p < kPoints; ++p) {
            const int32_t x = (p * 997 + floor * 131) % kWidth;
            const int32_t y = (p * 613 + floor * 71) % kHeight;
            for (int c = 0; c < kChannels; ++c) {
                AppendBenchReading(list, x, y, p, c, -60 - (x / 97 + y / 131 + c * 3) % 55);
            }
        }
        SaveBenchSite(path, picture, list, [](int x, int y) {
            return std::abs(y - 50 - int(20 * std::sin(x / 9.0))) < 2 ? 0u : 1u;
        });
    }

    CBenchDir m_dir{"gridbench"};
};

const CBenchBuilding& building() {
    static const CBenchBuilding b;
    return b;
}

lks::GridtestPlan benchPlan() {
    lks::OptionValues values;
    values.single["--job"] = {building().File("job.json"), "--job"};
    values.single["-o"] = {building().File("r.pdf"), "-o"};
    values.single["--csv"] = {building().File("r.csv"), "--csv"};
    values.single["--summary-csv"] = {building().File("s.csv"), "--summary-csv"};
    values.single["--json"] = {building().File("r.json"), "--json"};
    lks::GridtestPlan plan;
    std::string error;
    lks::MakeGridtestPlan(values, plan, error);
    return plan;
}

// Everything lks gridtest --job does after parsing its arguments.
void BM_BuildingReport(benchmark::State& state) {
    const lks::GridtestPlan plan = benchPlan();
    for (auto _ : state) {
        std::string message;
        std::string verdict;
        const lks::GridtestStatus status = lks::RunGridtestPlan(plan, message, verdict);
        if (status != lks::GridtestStatus::Pass && status != lks::GridtestStatus::Fail) {
            state.SkipWithError(message.c_str());
            break;
        }
        benchmark::DoNotOptimize(status);
    }
    state.counters["channels_judged"] = kFloors * kChannels;
}
BENCHMARK(BM_BuildingReport)->Unit(benchmark::kMillisecond)->UseRealTime();

// Only the reading and judging: sites, spot tables, grids and every channel's verdict.
void BM_BuildingJudging(benchmark::State& state) {
    const lks::GridtestPlan plan = benchPlan();
    for (auto _ : state) {
        lks::BuildingReport report;
        std::string error;
        if (!lks::JudgeBuilding(plan, report, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(report.pass);
    }
}
BENCHMARK(BM_BuildingJudging)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    // The report needs Qt's fonts, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
