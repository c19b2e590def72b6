// Reading a graph on a 32 767-record "hh9" load (10-minute records, about 7.6 months): moving
// the cursor (the record under an x, then the readout of five curves), updating the spectrum of
// the record (its values and both bar charts composed), and redrawing a zoomed week of the
// current graph onto a 1920 x 1080 picture. Each is core time, onto a surface that only counts
// what it is asked to draw. The recording is shared with bench_load's cache.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "analysis/load.h"
#include "bench_support.h"
#include "datafile/record_file.h"
#include "datafile/scan.h"
#include "datafile/synth.h"
#include "graph/cursor_readout.h"
#include "graph/graph_composition.h"
#include "graph/spectrum.h"
#include "platform/canvas.h"

namespace hg {
namespace {

constexpr int64_t kRecords = 32767;

// The whole recording loaded as Execute loads it, once.
const HARMDIM& loaded() {
    static const std::shared_ptr<const HARMDIM> s =
        bench::loadWhole(bench::recording("load.hh9", kRecords));
    return *s;
}

const std::vector<int16_t>& fiveOrders() {
    static const std::vector<int16_t> flags = [] {
        std::vector<int16_t> f(kJisuFlagCount, 0);
        for (int k : {0, 2, 4, 6, 10}) f[static_cast<std::size_t>(k)] = 1;
        return f;
    }();
    return flags;
}

GraphRequest currentRequest() {
    GraphRequest r;
    r.item = 5;  // current
    r.group = 8;
    r.orders = fiveOrders();
    r.itemName = "電    流(A)";
    return r;
}

void BM_CursorMove(benchmark::State& st) {
    const HARMDIM& s = loaded();
    const GraphRequest r = currentRequest();
    bench::CountingCanvas canvas(1920, 1080);
    const GraphDrawing d = composeGraph(canvas, s, r);
    double x = d.layout.L;
    for (auto _ : st) {
        x = x + 7 > d.layout.GraphWidth ? d.layout.L : x + 7;
        const auto rec = nearestRecord(s, minuteAtX(d.layout, x));
        const CursorReadout readout = cursorReadout(s, r, *rec);
        benchmark::DoNotOptimize(readout.lines.data());
    }
}
BENCHMARK(BM_CursorMove)->Unit(benchmark::kMicrosecond);

void BM_SpectrumUpdate(benchmark::State& st) {
    const HARMDIM& s = loaded();
    int32_t rec = 0;
    for (auto _ : st) {
        rec = (rec + 97) % static_cast<int32_t>(kRecords);
        const Spectrum sp = spectrumAt(s, rec, s.ChannelCount);
        bench::CountingCanvas canvas(900, 700);
        const SpectrumDrawing d = composeSpectrum(canvas, sp, {});
        benchmark::DoNotOptimize(d.bars.data());
    }
}
BENCHMARK(BM_SpectrumUpdate)->Unit(benchmark::kMicrosecond);

void BM_ZoomedRedraw(benchmark::State& st) {
    const HARMDIM& s = loaded();
    GraphRequest r = currentRequest();
    const double week = 7 * 1440;
    double first = 0;
    long calls = 0;
    for (auto _ : st) {
        first = first + week * 2 > s.PeriodMinutes ? 0 : first + week;
        r.range = ShownRange{first, first + week};
        bench::CountingCanvas canvas(1920, 1080);
        const GraphDrawing d = composeGraph(canvas, s, r);
        calls = canvas.calls;
        benchmark::DoNotOptimize(d.curves);
    }
    st.counters["draw_calls"] = static_cast<double>(calls);
}
BENCHMARK(BM_ZoomedRedraw)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hg

BENCHMARK_MAIN();
