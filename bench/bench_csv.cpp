// CSV conversion speed: an "hh9" recording of 5 000 records (the sample generator's) converted with
// all 256 orders and the combined current (5 376 numbers a line), side by side with the same
// columns written by pandas DataFrame.to_csv (bench/peer_pandas_csv.py, run with Debian's
// /usr/bin/python3). Rates and the ratio are per CPU second, so a busy machine does not distort
// them; the wall time is shown as well.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "csv/csv_writer.h"
#include "datafile/scan.h"
#include "datafile/synth.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 5000;
std::string gDir;
std::string gRecording;
double gOurSeconds = 0, gPeerSeconds = 0;

void BM_HarmographCsv(benchmark::State& state) {
    auto scan = hg::scanFile(gRecording);
    if (!scan) return state.SkipWithError(scan.error().c_str());
    hg::HARMDIM s;
    hg::applyScan(s, *scan);
    auto prepared = hg::prepareExecute(
        s, gRecording, {scan->startDate, scan->startTime, scan->endDate, scan->endTime},
        hg::ExecuteMode::Convert);
    if (!prepared) return state.SkipWithError(prepared.error().c_str());
    hg::CsvOptions o = hg::defaultCsvOptions(s.Kind);
    o.combined = true;
    const std::string out = gDir + "/ours.csv";
    hg::ConversionReport last;
    double cpuSeconds = 0;
    for (auto _ : state) {
        // Each run writes a new file, as the peer does (replacing one would add freeing the old).
        state.PauseTiming();
        fs::remove(out);
        state.ResumeTiming();
        const std::clock_t c0 = std::clock();
        auto report = hg::runConversion(s, o, out);
        cpuSeconds += static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
        if (!report) return state.SkipWithError(report.error().c_str());
        last = *report;
    }
    gOurSeconds = cpuSeconds / static_cast<double>(state.iterations());
    state.counters["records"] = static_cast<double>(last.lines);
    state.counters["numbers/s"] = benchmark::Counter(static_cast<double>(last.numbers),
                                                     benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(last.bytes) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}
// Rates are per CPU second (the process's own time on one core), as the peer's.
BENCHMARK(BM_HarmographCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PandasPeerCsv(benchmark::State& state) {
    const fs::path script = fs::path(__FILE__).parent_path() / "peer_pandas_csv.py";
    const std::string command =
        "/usr/bin/python3 '" + script.string() + "' '" + gRecording + "' '" + gDir + "/peer.csv'";
    for (auto _ : state) {
        FILE* p = ::popen(command.c_str(), "r");
        if (!p) return state.SkipWithError("cannot run /usr/bin/python3");
        long records = 0;
        double numbers = 0, readSeconds = 0, cpuSeconds = 0, wallSeconds = 0, bytes = 0;
        const int got = std::fscanf(p, "%ld %lf %lf %lf %lf %lf", &records, &numbers, &readSeconds,
                                    &cpuSeconds, &wallSeconds, &bytes);
        if (::pclose(p) != 0 || got != 6)
            return state.SkipWithError("the pandas peer failed (is python3-pandas installed?)");
        state.SetIterationTime(cpuSeconds);
        gPeerSeconds = cpuSeconds;
        state.counters["records"] = static_cast<double>(records);
        state.counters["numbers/s"] = numbers / cpuSeconds;
        state.counters["MB/s"] = bytes / 1e6 / cpuSeconds;
        state.counters["wall_s"] = wallSeconds;
    }
}
BENCHMARK(BM_PandasPeerCsv)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const char* base = std::getenv("HARMO_TMP");
    const fs::path root = base ? fs::path(base) : fs::temp_directory_path();
    fs::create_directories(root);
    std::string pattern = (root / "bench_csv.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 1;
    gDir = pattern;
    gRecording = gDir + "/bench.hh9";
    hg::SynthOptions synth;
    synth.records = kRecords;
    if (auto written = hg::writeSynth(gRecording, synth); !written) {
        std::cerr << written.error() << "\n";
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    if (gOurSeconds > 0 && gPeerSeconds > 0)
        std::cout << "harmograph convert is " << gPeerSeconds / gOurSeconds
                  << " times as fast as pandas to_csv (CPU seconds: " << gOurSeconds << " against "
                  << gPeerSeconds << ")\n";
    fs::remove_all(gDir);
    benchmark::Shutdown();
    return 0;
}
