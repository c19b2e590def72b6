// Many recordings at once: 8 "hm3" recordings of 6 000 records (the sample generator's) converted
// by the batch conversion of `harmograph convert FOLDER -o FOLDER` one after another (--jobs 1) and
// two at a time (--jobs 2). The figure that matters is the ratio of the best elapsed times, printed
// at the end; cores_busy shows how many cores the run kept busy (near 2 when the second core is
// free, lower when other work holds it).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>

#include "cli/args.h"
#include "cli/batch_convert.h"
#include "datafile/synth.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRecordings = 8;
constexpr int kRecords = 6000;
std::string gDir;
std::vector<std::string> gInputs;
double gSeconds[3] = {0, 0, 0};  // by jobs

void BM_BatchConvert(benchmark::State& state) {
    const int jobs = static_cast<int>(state.range(0));
    const std::string out = gDir + "/out" + std::to_string(jobs);
    fs::create_directories(out);
    const hg::cli::Args args;  // the defaults: every order, the whole recording
    double best = 0, cpu = 0, wall = 0;
    for (auto _ : state) {
        // Each run writes new files.
        state.PauseTiming();
        for (const auto& entry : fs::directory_iterator(out)) fs::remove(entry.path());
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        const hg::cli::BatchResult result =
            hg::cli::convertAll(args, gInputs, out, jobs, [](const std::string&) {});
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        wall += seconds;
        if (!result.failed.empty()) return state.SkipWithError("a recording was not converted");
        best = best == 0 ? seconds : std::min(best, seconds);
    }
    gSeconds[jobs] = best;
    state.counters["recordings/s"] =
        benchmark::Counter(kRecordings, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["best_s"] = best;
    // Cores kept busy: the process's CPU seconds (every thread) per elapsed second.
    state.counters["cores_busy"] = cpu / wall;
}
BENCHMARK(BM_BatchConvert)
    ->ArgName("jobs")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const char* base = std::getenv("HARMO_TMP");
    const fs::path root = base ? fs::path(base) : fs::temp_directory_path();
    fs::create_directories(root);
    std::string pattern = (root / "bench_batch.XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return 1;
    gDir = pattern;
    for (int i = 0; i < kRecordings; ++i) {
        const std::string path = gDir + "/site" + std::to_string(i) + ".hm3";
        hg::SynthOptions synth;
        synth.records = kRecords;
        synth.seed = static_cast<uint64_t>(i + 1);
        if (auto written = hg::writeSynth(path, synth); !written) {
            std::cerr << written.error() << "\n";
            return 1;
        }
        gInputs.push_back(path);
    }
    benchmark::RunSpecifiedBenchmarks();
    if (gSeconds[1] > 0 && gSeconds[2] > 0)
        std::cout << "8 recordings with --jobs 2 are " << gSeconds[1] / gSeconds[2]
                  << " times as fast as one after another (best elapsed seconds: " << gSeconds[1]
                  << " against " << gSeconds[2] << ")\n";
    fs::remove_all(gDir);
    benchmark::Shutdown();
    return 0;
}
