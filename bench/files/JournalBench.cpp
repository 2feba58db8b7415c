// The journal's cost per stored point: one entry of 30 readings appended and flushed with
// fdatasync, which has to fit well inside the half second the scan stays on screen. The journal
// lives in a folder under the working directory, on a real disk rather than a memory file system.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "files/JournalFormat.h"
#include "files/SurveyJournal.h"

namespace {

constexpr int kReadings = 30;

void BM_JournalAppendPointWithFsync(benchmark::State& state) {
    char pattern[] = "larkspur-journal-bench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const std::string site = dir + "/site.lks";
    CSurveyJournal journal;
    // A small site: the copy the journal keeps of it is written once, at the start.
    SiteSnapshot opened;
    opened.bytesBeforeSurvey.assign(123456, 0x5A);
    if (!journal.Begin(site, opened, true)) {
        state.SkipWithError("cannot create the journal");
        return;
    }
    journal::Entry entry;
    entry.type = journal::kPoint;
    entry.x = 240;
    entry.y = 320;
    entry.records.resize(kReadings);
    for (int i = 0; i < kReadings; ++i) {
        SurveyRecord& r = entry.records[static_cast<size_t>(i)];
        r.x = entry.x;
        r.y = entry.y;
        std::strcpy(r.name, "TEST");
        r.channel = 1 + i;
        r.frequencyMHz = 870.03 + 0.03 * i;
        r.rssi = static_cast<int16_t>(-60 - i);
    }
    for (auto _ : state) {
        if (!journal.Append(entry)) {
            state.SkipWithError("append failed");
            break;
        }
    }
    journal.Remove();
    ::rmdir(dir.c_str());
}
BENCHMARK(BM_JournalAppendPointWithFsync)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
