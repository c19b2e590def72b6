// Statistics of every column of a loaded 32 767-record "hh9" period (9 channels and their
// composite, 256 orders: about 10 800 columns of 32 767 values), against the peer measured in the
// same run: the same statistics with a full sort of each column in place of the selection.
// Target: every column in under one second on two processors. The time is elapsed (wall) time.
// The CPU column is the processor time of every thread. Counters: columns, columns/s, stats_s (best
// run) and x_sort (the sorting peer's time ÷ ours).
//
// The recording is generated once into $HARMO_BENCH_CACHE (default: the temporary folder's
// harmograph-bench) and shared with the load benchmark.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "analysis/load.h"
#include "bench_support.h"
#include "compliance/statistics.h"
#include "datafile/record_file.h"
#include "datafile/scan.h"
#include "datafile/synth.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int64_t kRecords = 32767;

std::string recording(const std::string& name) {
    return hg::bench::recording(name, kRecords);
}

// The period loaded once for every case.
const hg::HARMDIM& loaded() {
    static const auto state = hg::bench::loadWhole(recording("load.hh9"));
    return *state;
}

// The peer: each column gathered alone and sorted whole; the percentiles read at their ranks.
// Timed on every 8th column and counted eight times (a whole run takes most of a minute).
double sortingPeer(const hg::StatisticsSource& source, const std::vector<hg::StatColumn>& columns) {
    const auto start = Clock::now();
    std::vector<float> values;
    double sink = 0;
    for (std::size_t i = 0; i < columns.size(); i += 8) {
        const hg::StatColumn& c = columns[i];
        hg::columnValues(source, c, values);
        std::sort(values.begin(), values.end());
        const auto n = static_cast<int32_t>(values.size());
        sink += values[static_cast<std::size_t>(hg::nearestRankIndex(95, n) - 1)] +
                values[static_cast<std::size_t>(hg::nearestRankIndex(99, n) - 1)];
    }
    benchmark::DoNotOptimize(sink);
    return 8 * std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_Statistics(benchmark::State& st, int threads) {
    const hg::StatisticsSource source = hg::statisticsSourceOf(loaded());
    const std::vector<hg::StatColumn> columns = hg::allColumns(source);
    double best = 1e9;
    for (auto _ : st) {
        const auto start = Clock::now();
        auto stats = hg::statisticsOf(source, columns, threads);
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
        benchmark::DoNotOptimize(stats.data());
    }
    static const double peer = sortingPeer(source, columns);
    st.counters["columns"] = static_cast<double>(columns.size());
    st.counters["columns/s"] = static_cast<double>(columns.size()) / best;
    st.counters["stats_s"] = best;
    st.counters["sort_peer_s"] = peer;
    st.counters["x_sort"] = peer / best;
}

BENCHMARK_CAPTURE(BM_Statistics, hh9_all_columns, 0)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Statistics, hh9_all_columns_1thread, 1)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
