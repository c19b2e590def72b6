// The graph-mode load of a whole recording of 32 767 records ("hv3", about 21 MB, and "hh9",
// about 487 MB), against two peers measured in the same run on the same bytes:
//  - a plain read of the file's records from the page cache (the floor any load stands on);
//  - the same load written as a vectorised numpy script (bench/peer_numpy_load.py, run with
//    Debian's /usr/bin/python3 and timed inside the script, interpreter start left out).
// The load runs on one thread per processor (the "_1thread" cases on one; the threads counter says
// how many it used); the time is elapsed (wall) time, the CPU column the processor time of every
// thread.
// Counters: records/s and MB/s of the file (elapsed time), the ratios to both peers by elapsed time
// (x_numpy, x_read) and by processor time, user + system (x_numpy_cpu, x_read_cpu: a machine
// shared with other work disturbs them far less, but they do not show what threads gain), and the
// peak resident memory of the process against the bytes the tables need (HARMDIM::tableBytes).
// Times are the best of the runs.
//
// The recordings are generated once into $HARMO_BENCH_CACHE (default: the temporary folder's
// harmograph-bench) and reused while their size is right.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "analysis/load.h"
#include "bench_support.h"
#include "datafile/record_file.h"
#include "datafile/scan.h"
#include "datafile/synth.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int64_t kRecords = 32767;

// The recording `name` of kRecords records, written unless it is already there.
std::string recording(const std::string& name) {
    return hg::bench::recording(name, kRecords);
}

// Processor time of the process, every thread (user + system), seconds.
double cpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
};

long peakResidentBytes() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss * 1024L;
}

// Reading the file whole, 1 MB at a time, from the page cache (best of three).
Timing plainRead(const std::string& path) {
    auto file = hg::RecordFile::open(path);
    std::vector<uint8_t> buffer(1 << 20);
    Timing best;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        const double cpuStart = cpuSeconds();
        for (uint64_t offset = 0; offset < file->size(); offset += buffer.size()) {
            const std::size_t n =
                static_cast<std::size_t>(std::min<uint64_t>(buffer.size(), file->size() - offset));
            if (!file->read(offset, buffer.data(), n)) std::exit(1);
            benchmark::DoNotOptimize(buffer.data());
        }
        best.cpu = std::min(best.cpu, cpuSeconds() - cpuStart);
        best.wall =
            std::min(best.wall, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

// The numpy peer's own timing of its load of the file (best of its runs), measured once a file.
Timing numpyPeer(const std::string& path) {
    static std::map<std::string, Timing> measured;
    if (const auto known = measured.find(path); known != measured.end()) return known->second;
    const auto script = std::filesystem::path(__FILE__).parent_path() / "peer_numpy_load.py";
    const std::string command = "/usr/bin/python3 '" + script.string() + "' '" + path + "'";
    Timing t{0, 0};
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return t;
    char line[256];
    while (std::fgets(line, sizeof line, pipe)) {
        std::sscanf(line, "seconds=%lf", &t.wall);
        std::sscanf(line, "cpu_seconds=%lf", &t.cpu);
    }
    ::pclose(pipe);
    measured[path] = t;
    return t;
}

void BM_Load(benchmark::State& st, const std::string& name, int threads) {
    const std::string path = recording(name);
    auto scan = hg::scanFile(path);
    if (!scan) {
        st.SkipWithError(scan.error().c_str());
        return;
    }
    auto file = hg::RecordFile::open(path);
    hg::HARMDIM s;
    hg::applyScan(s, *scan);
    const hg::PeriodTexts texts{scan->startDate, scan->startTime, scan->endDate, scan->endTime};
    auto prepared = hg::prepareExecute(s, path, texts, hg::ExecuteMode::Graph);
    if (!prepared) {
        st.SkipWithError(prepared.error().c_str());
        return;
    }
    const Timing plain = plainRead(path);
    Timing best;
    int threadsUsed = 0;
    for (auto _ : st) {
        const auto start = Clock::now();
        const double cpuStart = cpuSeconds();
        auto report = hg::executeGraph(s, *file, {}, threads);
        const double cpu = cpuSeconds() - cpuStart;
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        best.wall = std::min(best.wall, seconds);
        best.cpu = std::min(best.cpu, cpu);
        if (!report || report->loadedRecords != kRecords) {
            st.SkipWithError("load failed");
            return;
        }
        threadsUsed = report->threads;
    }
    const Timing numpy = numpyPeer(path);
    const double megabytes = static_cast<double>(file->size()) / 1e6;
    const double peak = static_cast<double>(peakResidentBytes());
    st.counters["records/s"] = static_cast<double>(kRecords) / best.wall;
    st.counters["MB/s"] = megabytes / best.wall;
    st.counters["file_MB"] = megabytes;
    st.counters["threads"] = threadsUsed;
    st.counters["load_s"] = best.wall;
    st.counters["load_cpu_s"] = best.cpu;
    st.counters["numpy_s"] = numpy.wall;
    st.counters["numpy_cpu_s"] = numpy.cpu;
    st.counters["x_numpy"] = best.wall > 0 ? numpy.wall / best.wall : 0;
    st.counters["x_numpy_cpu"] = best.cpu > 0 ? numpy.cpu / best.cpu : 0;
    st.counters["read_s"] = plain.wall;
    st.counters["read_cpu_s"] = plain.cpu;
    st.counters["x_read"] = plain.wall > 0 ? best.wall / plain.wall : 0;
    st.counters["x_read_cpu"] = plain.cpu > 0 ? best.cpu / plain.cpu : 0;
    st.counters["tables_MB"] = static_cast<double>(s.tableBytes()) / 1e6;
    st.counters["peak_MB"] = peak / 1e6;
    st.counters["peak/tables"] = peak / static_cast<double>(s.tableBytes());
}

// The small recording first: the peak resident memory only grows.
BENCHMARK_CAPTURE(BM_Load, hv3, std::string("load.hv3"), 0)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Load, hv3_1thread, std::string("load.hv3"), 1)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Load, hh9, std::string("load.hh9"), 0)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_Load, hh9_1thread, std::string("load.hh9"), 1)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
