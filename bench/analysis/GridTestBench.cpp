// The grid-test report on a large survey: 3,334 points of 30 channels (100,020 readings) on a
// 4000 x 3000 plan, from the site file on disk to the written PDF, CSV and JSON, and the
// judging alone for comparison.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cmath>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "FileHash.h"
#include "GridtestJob.h"
#include "analysis/ChannelStats.h"
#include "analysis/GridTest.h"
#include "files/SiteFile.h"
#include "files/SiteFileMaker.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "files/SitePicture.h"
#include "files/SiteSignature.h"
#include "survey/RecordList.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr int kPoints = 3334;
constexpr int kChannels = 30;

// One surveyed, signed site on disk for all benchmarks, removed at exit.
class CBenchSite {
public:
    CBenchSite() {
        char pattern[] = "/tmp/larkspur-gridbench-XXXXXX";
        m_dir = ::mkdtemp(pattern);
        m_path = m_dir + "/site.lks";
        SitePicture picture;
        picture.width = kWidth;
        picture.height = kHeight;
        picture.stride = SitePicture::StrideFor(kWidth);
        picture.palette[0] = 0xFFFFFF;
        picture.palette[1] = 0x202020;
        picture.palette[2] = 0xE8F0FF;
        picture.pixels.assign(size_t{picture.stride} * kHeight, 0);
        // Rooms every 400 px with walls 8 px thick, and tinted corridors.
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
        FILE* out = std::fopen(m_path.c_str(), "wb");
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);

        CRecordList list;
        for (int p = 0; p < kPoints; ++p) {
            const int32_t x = (p * 997) % kWidth;
            const int32_t y = (p * 613) % kHeight;
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
            m_path, site.m_header, list,
            [](int x, int y) {
                return std::abs(y - 50 - int(20 * std::sin(x / 9.0))) < 2 ? 0u : 1u;
            },
            1700000000u);
    }
    ~CBenchSite() {
        for (const char* name : {"/site.lks", "/r.pdf", "/r.csv", "/r.json"}) {
            ::unlink((m_dir + name).c_str());
        }
        ::rmdir(m_dir.c_str());
    }
    CBenchSite(const CBenchSite&) = delete;
    CBenchSite& operator=(const CBenchSite&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const char* name) const { return m_dir + "/" + name; }

private:
    std::string m_dir;
    std::string m_path;
};

const CBenchSite& benchSite() {
    static const CBenchSite site;
    return site;
}

lks::GridtestOptions benchOptions() {
    lks::GridtestOptions o;
    o.site = benchSite().Path();
    o.output = benchSite().File("r.pdf");
    o.csv = benchSite().File("r.csv");
    o.json = benchSite().File("r.json");
    o.pixelsPerFoot = 10.0;
    o.scaleText = "10/ft";
    o.critical = {{{100, 100, 500, 300}, "Fire command centre"}, {{3500, 2600, 400, 300}, "Stair"}};
    o.tester = "Bench";
    return o;
}

// Everything lks gridtest does after parsing its arguments.
void BM_GridReportFromSiteFile(benchmark::State& state) {
    const lks::GridtestOptions options = benchOptions();
    for (auto _ : state) {
        CSiteFile site;
        std::string message;
        CSiteFileReader::Read(options.site, site, message);
        CSiteSignature signature;
        int error = 0;
        signature.Read(options.site, site.SignatureOffset(), error);
        std::string sha256;
        Sha256OfFile(options.site, sha256, message);
        const lks::GridtestStatus status =
            lks::MakeGridtest(options, site, signature, sha256, message);
        if (status != lks::GridtestStatus::Pass && status != lks::GridtestStatus::Fail) {
            state.SkipWithError(message.c_str());
            break;
        }
        benchmark::DoNotOptimize(status);
    }
}
BENCHMARK(BM_GridReportFromSiteFile)->Unit(benchmark::kMillisecond);

// Only the judging: point values, cells, critical areas and channel statistics.
void BM_GridTestJudging(benchmark::State& state) {
    CSiteFile site;
    std::string detail;
    CSiteFileReader::Read(benchSite().Path(), site, detail);
    GridTestSettings settings;
    settings.area = {0, 0, kWidth, kHeight};
    CGridLayout::NearSquare(kDefaultCellCount, kWidth, kHeight, settings.cols, settings.rows);
    settings.critical = benchOptions().critical;
    for (auto _ : state) {
        const std::vector<SpotValue> spots = SpotValues(site.m_records, {});
        const GridTestResult result = RunGridTest(spots, settings);
        const std::vector<ChannelStats> stats =
            ChannelStatistics(site.m_records, settings.area, settings.thresholdDbm);
        benchmark::DoNotOptimize(result.pass);
        benchmark::DoNotOptimize(stats.data());
    }
}
BENCHMARK(BM_GridTestJudging)->Unit(benchmark::kMillisecond);

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
