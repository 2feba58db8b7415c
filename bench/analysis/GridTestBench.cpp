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

#include "GridtestArgs.h"
#include "GridtestPlan.h"
#include "GridtestRun.h"
#include "files/SiteFile.h"
#include "files/SiteFileMaker.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "files/SitePicture.h"
#include "survey/RecordList.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kPoints = 3334;
constexpr int kChannels = 30;
constexpr int kFloors = 3;
const char* const kOutputs[] = {"r.pdf", "r.csv", "s.csv", "r.json", "job.json"};

// The building on disk for all benchmarks, removed at exit.
class CBenchBuilding {
public:
    CBenchBuilding() {
        char pattern[] = "/tmp/larkspur-gridbench-XXXXXX";
        m_dir = ::mkdtemp(pattern);
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
    ~CBenchBuilding() {
        for (int f = 0; f < kFloors; ++f) {
            ::unlink(File(("floor" + std::to_string(f + 1) + ".lks").c_str()).c_str());
        }
        for (const char* name : kOutputs) {
            ::unlink(File(name).c_str());
        }
        ::rmdir(m_dir.c_str());
    }
    CBenchBuilding(const CBenchBuilding&) = delete;
    CBenchBuilding& operator=(const CBenchBuilding&) = delete;

    std::string File(const char* name) const { return m_dir + "/" + name; }

private:
    // Rooms every 400 px with walls 8 px thick and tinted corridors; a surveyed, signed floor.
    static void MakeFloor(const std::string& path, int floor) {
        SitePicture picture;
        picture.width = kWidth;
        picture.height = kHeight;
        picture.stride = SitePicture::StrideFor(kWidth);
        picture.palette[0] = 0xFFFFFF;
        picture.palette[1] = 0x202020;
        picture.palette[2] = 0xE8F0FF;
        picture.pixels.assign(size_t{picture.stride} * kHeight, 0);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const bool wall = x % 400 < 8 || y % 400 < 8;
                const bool corridor = y % 1200 > 560 && y % 1200 < 640;
                picture.pixels[size_t{picture.stride} * y + x] = wall ? 1 : corridor ? 2 : 0;
            }
        }
        std::vector<uint8_t> file;
        CSiteFileMaker::Make(picture, file);
        CSiteFile site;
        std::string detail;
        CSiteFileReader::Parse(file.data(), file.size(), site, detail);
        FILE* out = std::fopen(path.c_str(), "wb");
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
        CRecordList list;
        for (int p = 0; p < kPoints; ++p) {
            const int32_t x = (p * 997 + floor * 131) % kWidth;
            const int32_t y = (p * 613 + floor * 71) % kHeight;
            for (int c = 0; c < kChannels; ++c) {
                SurveyRecord* r = nullptr;
                list.NewRecord(r);
                r->x = x;
                r->y = y;
                std::snprintf(r->name, sizeof r->name, "P%d", p);
                r->channel = c < 20 ? 1 + c * 37 : 25 + (c - 20) * 50;
                r->frequencyMHz = c < 20 ? 870.0 + c : 1930.0 + c;
                r->rssi = static_cast<int16_t>(-60 - (x / 97 + y / 131 + c * 3) % 55);
                list.Append(r);
            }
        }
        CSiteFileWriter().Save(
            path, site.m_header, list,
            [](int x, int y) {
                return std::abs(y - 50 - int(20 * std::sin(x / 9.0))) < 2 ? 0u : 1u;
            },
            1700000000u);
    }

    std::string m_dir;
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
