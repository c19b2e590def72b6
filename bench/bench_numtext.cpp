// File-form number text: the CSV writers' hot path, against the C library's "%.7G" as the peer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/numtext.h"

namespace {

// Values shaped like a recording's: magnitudes from 1e-4 to 1e5, a few negatives and zeros.
std::vector<float> measurementValues() {
    std::mt19937 rng(42);
    std::uniform_real_distribution<float> exponent(-4.0f, 5.0f);
    std::uniform_int_distribution<int> kind(0, 19);
    std::vector<float> values(1 << 16);
    for (float& v : values) {
        const int k = kind(rng);
        v = k == 0 ? 0.0f : std::pow(10.0f, exponent(rng));
        if (k == 1) v = -v;
        if (k == 2) v = static_cast<float>(static_cast<int>(v));
    }
    return values;
}

void BM_AppendFileNumberFloat(benchmark::State& state) {
    const std::vector<float> values = measurementValues();
    std::string line;
    line.reserve(values.size() * 16);
    for (auto _ : state) {
        line.clear();
        for (float v : values) hg::appendFileNumber(line, v);
        benchmark::DoNotOptimize(line.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}
BENCHMARK(BM_AppendFileNumberFloat);

void BM_PeerSnprintf7G(benchmark::State& state) {
    const std::vector<float> values = measurementValues();
    std::string line;
    line.reserve(values.size() * 16);
    char buf[32];
    for (auto _ : state) {
        line.clear();
        for (float v : values) {
            const int n = std::snprintf(buf, sizeof buf, "% .7G ", static_cast<double>(v));
            line.append(buf, static_cast<std::size_t>(n));
        }
        benchmark::DoNotOptimize(line.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}
BENCHMARK(BM_PeerSnprintf7G);

}  // namespace

BENCHMARK_MAIN();
