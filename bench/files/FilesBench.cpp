// Site file costs on a large survey: open (read, check, load the points into the record list)
// and save (build, write, flush, rename) a 2000 x 2000 site with 100,000 readings, beside a
// plain `cp` of the same file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "files/SiteFile.h"
#include "files/SiteFileMaker.h"
#include "files/SiteFileReader.h"
#include "files/SiteFileWriter.h"
#include "files/SitePicture.h"
#include "survey/RecordList.h"

namespace {

constexpr int kSide = 2000;
constexpr int kReadings = 100000;
constexpr int kChannelsPerPoint = 30;

// One survey site on disk for all benchmarks, removed at exit.
class CBenchSite {
public:
    CBenchSite() {
        char pattern[] = "/tmp/larkspur-bench-XXXXXX";
        m_dir = ::mkdtemp(pattern);
        m_path = m_dir + "/site.lks";
        SitePicture picture;
        picture.width = kSide;
        picture.height = kSide;
        picture.stride = SitePicture::StrideFor(kSide);
        for (int i = 0; i < SitePicture::kPaletteEntries; ++i) {
            picture.palette[i] = static_cast<uint32_t>(i) * 0x010101u;
        }
        picture.pixels.resize(size_t{picture.stride} * kSide);
        for (size_t i = 0; i < picture.pixels.size(); ++i) {
            picture.pixels[i] = static_cast<uint8_t>(i * 7 % 251);
        }
        std::vector<uint8_t> file;
        CSiteFileMaker::Make(picture, file);
        for (int i = 0; i < kReadings; ++i) {
            const int point = i / kChannelsPerPoint;
            SurveyRecord* r = nullptr;
            m_list.NewRecord(r);
            r->x = point * 37 % kSide;
            r->y = point * 53 % kSide;
            std::memset(r->name, 0, sizeof r->name);
            std::strcpy(r->name, "TEST");
            r->channel = 1 + i % kChannelsPerPoint;
            r->frequencyMHz = 870.0 + 0.03 * (i % kChannelsPerPoint);
            r->rssi = static_cast<int16_t>(-40 - i % 80);
            m_list.Append(r);
        }
        file.resize(file.size() - 8);
        CSiteFileWriter::AppendSurveyData(m_list, file);
        FILE* f = std::fopen(m_path.c_str(), "wb");
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
        m_size = file.size();
        std::memcpy(m_header, file.data(), sizeof m_header);
    }
    ~CBenchSite() {
        const std::string command = "rm -rf '" + m_dir + "'";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "could not remove %s\n", m_dir.c_str());
        }
    }

    std::string m_dir;
    std::string m_path;
    size_t m_size = 0;
    uint8_t m_header[site::kHeaderSize] = {};
    CRecordList m_list;
};

CBenchSite& benchSite() {
    static CBenchSite site;
    return site;
}

void BM_OpenSite(benchmark::State& state) {
    CBenchSite& bench = benchSite();
    for (auto _ : state) {
        CSiteFile site;
        std::string detail;
        CRecordList list;
        if (CSiteFileReader::Read(bench.m_path, site, detail) != SF_OK ||
            site.AppendRecordsTo(list) != RL_OK || site.ReadingCount() != size_t{kReadings}) {
            state.SkipWithError("open failed");
            break;
        }
        benchmark::DoNotOptimize(list.Head());
    }
    state.counters["bytes"] = static_cast<double>(bench.m_size);
}
BENCHMARK(BM_OpenSite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveSite(benchmark::State& state) {
    CBenchSite& bench = benchSite();
    const CSiteFileWriter writer;
    for (auto _ : state) {
        if (writer.Save(bench.m_path, bench.m_header, bench.m_list, nullptr, 1700000000u) !=
            SF_OK) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(bench.m_size);
}
BENCHMARK(BM_SaveSite)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same file copied by cp: what a user would compare a save with (cp does not flush).
void BM_CopyWithCp(benchmark::State& state) {
    CBenchSite& bench = benchSite();
    const std::string command = "cp '" + bench.m_path + "' '" + bench.m_dir + "/copy.lks'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("cp failed");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(bench.m_size);
}
BENCHMARK(BM_CopyWithCp)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
