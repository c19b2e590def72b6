// Composition of a long graph: five curves over 32 767 record slots on a 1920 x 1080 picture,
// onto a surface that only counts what it is asked to draw and onto the recording surface of the
// tests. The peer is the bare reading of the 5 x 32 767 series values the curves are made of.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "analysis/harmdim.h"
#include "analysis/series_value.h"
#include "bench_support.h"
#include "graph/graph_composition.h"
#include "platform/canvas.h"
#include "platform/dates.h"
#include "platform/recording_canvas.h"

namespace hg {
namespace {

constexpr int kSlots = 32767;

HARMDIM& longPeriod() {
    static HARMDIM s = [] {
        HARMDIM h;
        h.FilePath = "/data/long.hm1";
        h.ChannelCount = 1;
        h.MaxOrderIndex = 24;
        const int32_t day = *dayNumber(2019, 5, 29);
        const int minutes = kSlots - 1;  // one record a minute
        h.AnalysisStart = dateTime(day, 0);
        h.AnalysisEnd = dateTime(day + minutes / 1440, minutes % 1440);
        h.StartDay = static_cast<float>(day);
        h.EndDay = static_cast<float>(day + minutes / 1440);
        h.StartMinute = 0;
        h.EndMinute = static_cast<float>(minutes % 1440);
        h.PeriodMinutes = minutes;
        h.PeriodRecords = kSlots - 1;
        h.LoadedRecords = kSlots;
        h.dimRanking();
        h.dimTables();
        std::mt19937 random(1);
        std::normal_distribution<float> noise(0, 1);
        for (int t = 0; t < kSlots; ++t) {
            const double daily = std::sin(t * 2 * 3.141592 / 1440);
            h.VoltageThd(t) = static_cast<float>(3 + daily + 0.2 * noise(random));
            h.VoltageTable(t, 0) = 6600;
            for (int k = 0; k <= 24; ++k) {
                if (k > 0)
                    h.VoltageTable(t, k) =
                        static_cast<float>(100.0 / k * (1.2 + daily) + noise(random));
                h.givenActivePower()(0, t, k) =
                    static_cast<float>(50.0 / (k + 1) + 10 * noise(random));
                h.givenReactivePower()(0, t, k) = static_cast<float>(10 * noise(random));
            }
        }
        for (int k = 0; k <= 24; ++k) h.ItemMax(0, 0, k) = k == 0 ? 4.5f : 120.0f / (k ? k : 1);
        return h;
    }();
    return s;
}

std::vector<int16_t> fiveOrders() {
    std::vector<int16_t> f(kJisuFlagCount, 0);
    for (int k = 0; k < 5; ++k) f[k] = 1;
    return f;
}

GraphRequest request(int16_t item, const std::vector<int16_t>& orders) {
    GraphRequest r;
    r.item = item;
    r.group = 1;
    r.orders = orders;
    r.itemName = item == 6 ? "位 相 差(deg)" : "電圧歪率(%)";
    r.clientHeight = 1185;
    return r;
}

// Item 1 (voltage distortion) and item 6 (phase difference, with wrap strokes).
void BM_ComposeOntoCountingCanvas(benchmark::State& st) {
    HARMDIM& s = longPeriod();
    const auto orders = fiveOrders();
    const auto r = request(static_cast<int16_t>(st.range(0)), orders);
    long calls = 0;
    for (auto _ : st) {
        bench::CountingCanvas canvas(1920, 1080);
        const GraphDrawing d = composeGraph(canvas, s, r);
        benchmark::DoNotOptimize(d.curves);
        calls = canvas.calls;
    }
    st.counters["calls"] = static_cast<double>(calls);
}
BENCHMARK(BM_ComposeOntoCountingCanvas)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond);

void BM_ComposeOntoRecordingCanvas(benchmark::State& st) {
    HARMDIM& s = longPeriod();
    const auto orders = fiveOrders();
    const auto r = request(static_cast<int16_t>(st.range(0)), orders);
    for (auto _ : st) {
        RecordingCanvas canvas(1920, 1080);
        const GraphDrawing d = composeGraph(canvas, s, r);
        benchmark::DoNotOptimize(d.curves);
    }
}
BENCHMARK(BM_ComposeOntoRecordingCanvas)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond);

// Peer: only the values of the five series.
void BM_SeriesValuesOnly(benchmark::State& st) {
    HARMDIM& s = longPeriod();
    const auto item = static_cast<int16_t>(st.range(0));
    for (auto _ : st) {
        double sum = 0;
        for (int k = 0; k < 5; ++k)
            for (int t = 0; t < kSlots; ++t) sum += seriesValue(s, item, t, k, 0, 1).value;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_SeriesValuesOnly)->Arg(1)->Arg(6)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hg

BENCHMARK_MAIN();
