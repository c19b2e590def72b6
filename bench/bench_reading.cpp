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

class CountingCanvas : public Canvas {
  public:
    CountingCanvas(double w, double h) : Canvas(w, h) {}
    double textWidth(std::string_view utf8) const override {
        return static_cast<double>(utf8.size()) * 8;
    }
    double textHeight() const override { return 16; }
    long calls = 0;

  protected:
    void drawClear(Rgb) override { ++calls; }
    void drawLine(Point, Point, const Colour&) override { ++calls; }
    void drawBox(Point, Point, const Colour&) override { ++calls; }
    void drawPoint(Point, const Colour&) override { ++calls; }
    void drawText(Point, std::string_view) override { ++calls; }
};

std::string recording() {
    const char* env = std::getenv("HARMO_BENCH_CACHE");
    const std::filesystem::path folder =
        env && *env ? std::filesystem::path(env)
                    : std::filesystem::temp_directory_path() / "harmograph-bench";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "load.hh9").string();
    const auto kind = kindFromName("load.hh9", std::nullopt);
    const auto bytes = static_cast<std::uintmax_t>(kind->layout.recordLength * kRecords);
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) != bytes || ec) {
        SynthOptions options;
        options.records = kRecords;
        options.intervalMinutes = 10;
        if (auto written = writeSynth(path, options); !written) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), written.error().c_str());
            std::exit(1);
        }
    }
    return path;
}

// The whole recording loaded as Execute loads it, once.
const HARMDIM& loaded() {
    static std::unique_ptr<HARMDIM> s = [] {
        auto h = std::make_unique<HARMDIM>();
        const std::string path = recording();
        auto scan = scanFile(path);
        auto file = RecordFile::open(path);
        if (!scan || !file) std::exit(1);
        applyScan(*h, *scan);
        const PeriodTexts texts{scan->startDate, scan->startTime, scan->endDate, scan->endTime};
        if (!prepareExecute(*h, path, texts, ExecuteMode::Graph)) std::exit(1);
        auto report = executeGraph(*h, *file);
        if (!report || report->loadedRecords != kRecords) std::exit(1);
        return h;
    }();
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
    CountingCanvas canvas(1920, 1080);
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
        CountingCanvas canvas(900, 700);
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
        CountingCanvas canvas(1920, 1080);
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
