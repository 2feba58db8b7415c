// Survey store costs: one 30-channel scan, and point lookup / deletion on long surveys.
#include <benchmark/benchmark.h>

#include "receiver/Receiver.h"
#include "survey/RecordList.h"
#include "survey/SurveyData.h"

namespace {

void fillTable(CReceiver& receiver) {
    receiver.SetChannelCount(30);
    for (int i = 0; i < 30; ++i) {
        receiver.SetChannel(i, {static_cast<uint8_t>(i % 2), static_cast<uint16_t>(i + 1),
                                static_cast<int16_t>(-1600 + 8 * i)});
    }
}

// Points of 10 readings on a grid 100 px apart, so a lookup scans the whole list.
void fillSurvey(CSurveyData& store, CReceiver& receiver, int records) {
    receiver.SetChannelCount(10);
    for (int p = 0; p * 10 < records; ++p) {
        store.SetLocation((p % 100) * 100, (p / 100) * 100, "TEST");
        store.TakeScan();
    }
}

void BM_TakeScan30(benchmark::State& state) {
    CReceiver receiver;
    fillTable(receiver);
    CRecordList list;
    CSurveyData store(list, receiver);
    store.SetLocation(10, 10, "TEST");
    int scans = 0;
    for (auto _ : state) {
        store.TakeScan();
        if (++scans == 1000) {
            state.PauseTiming();
            list.Clear();
            scans = 0;
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_TakeScan30);

void BM_FindNearest(benchmark::State& state) {
    CReceiver receiver;
    fillTable(receiver);
    CRecordList list;
    CSurveyData store(list, receiver);
    fillSurvey(store, receiver, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.FindNearest(50, 50)); // the first point: worst case walk
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FindNearest)->Arg(10000)->Arg(100000);

void BM_FindAndDeleteLastPoint(benchmark::State& state) {
    CReceiver receiver;
    fillTable(receiver);
    CRecordList list;
    CSurveyData store(list, receiver);
    const int records = static_cast<int>(state.range(0));
    fillSurvey(store, receiver, records);
    const int lastPoint = records / 10 - 1;
    const int32_t x = (lastPoint % 100) * 100;
    const int32_t y = (lastPoint / 100) * 100;
    for (auto _ : state) {
        store.FindNearest(x, y);
        store.DeleteNearest();
        state.PauseTiming();
        store.SetLocation(x, y, "TEST");
        store.TakeScan();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_FindAndDeleteLastPoint)->Arg(10000)->Arg(100000);

} // namespace
