// What a user waits for, on the real painting path: the graph window itself (offscreen, its picture
// 1584 x 1057 logical pixels) over a 32 767-record "hh9" (about 487 MB) and a 1 008-record "hv3":
//  - Execute -> first picture: the period loaded, the window opened, the voltage distortion of the
//    first order group drawn and painted;
//  - an item change and an order-group change, a zoom redraw, a cursor move with its readout, the
//    cursor strip switched on and off, the spectrum window following the cursor (the item change
//    with its tables ready), the first read of the currents (read back from the recording when
//    first read) and of the power tables (computed when first read);
//  - `harmograph plot` of that first graph end to end (a child process);
//  - peak resident memory of the first picture (a child process per case, so that cases do not
//    mix), and of the full load.
// Every case prints its time (ms, mean of its iterations) and its ratio to the same run's baseline,
// the full load of the recording (every table) measured in the same process (x_load); memory
// against the full load's own peak (x_load_peak).
//
// The run is made at the screen's device pixel ratio 1, then again (a second run of the program,
// QT_SCALE_FACTOR=2) at ratio 2; the dpr counter says which. The recordings are written once by
// the sample generator into $HARMO_BENCH_CACHE (default: the temporary folder's harmograph-bench).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "analysis/harmdim.h"
#include "analysis/load_analysis.h"
#include "bench_support.h"
#include "datafile/scan.h"
#include "graph/shown_range.h"
#include "ui/graph_window.h"
#include "ui/spectrum_window.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPictureWidth = 1584;
constexpr int kPictureHeight = 1057;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string recordingPath(const std::string& name) {
    return hg::bench::recording(name, name == "load.hh9" ? 32767 : 1008);
}

struct Scanned {
    hg::Recording recording;
    hg::PeriodTexts texts;
};

Scanned scanned(const std::string& path) {
    auto scan = hg::scanFile(path);
    if (!scan) std::exit(1);
    Scanned s;
    hg::applyScan(s.recording, *scan);
    s.texts = {scan->startDate, scan->startTime, scan->endDate, scan->endTime};
    return s;
}

// The full load of the recording, every table: what Execute did before the first picture.
std::shared_ptr<const hg::HARMDIM> fullLoad(const Scanned& s) {
    auto loaded = hg::loadAnalysis(s.recording, s.texts);
    if (!loaded || !loaded->analysis) std::exit(1);
    benchmark::DoNotOptimize(loaded->analysis->activePower().data());  // tables computed when read
    return loaded->analysis;
}

// The load as Execute runs it: the tables the first picture needs.
std::shared_ptr<const hg::HARMDIM> executeLoad(const Scanned& s) {
    auto loaded = hg::loadAnalysis(s.recording, s.texts);
    if (!loaded || !loaded->analysis) std::exit(1);
    return loaded->analysis;
}

// The baseline of a recording: the best of three full loads, seconds (measured once a run).
double baselineSeconds(const std::string& name) {
    static std::map<std::string, double> measured;
    if (const auto known = measured.find(name); known != measured.end()) return known->second;
    const Scanned s = scanned(recordingPath(name));
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(fullLoad(s).get());
        best = std::min(best, secondsSince(start));
    }
    return measured[name] = best;
}

// A graph window on a loaded analysis in an MDI area sized so that the picture is 1584 x 1057.
struct Window {
    std::unique_ptr<QMdiArea> area;
    hg::GraphWindow* graph = nullptr;

    explicit Window(std::shared_ptr<const hg::HARMDIM> analysis) : area(new QMdiArea) {
        static QSize areaSize(kPictureWidth + 40, kPictureHeight + 160);
        area->resize(areaSize);
        area->show();
        graph = new hg::GraphWindow(std::move(analysis), area.get());
        graph->showWindow();
        for (int i = 0; i < 3 && graph->Picture1->size() != QSize(kPictureWidth, kPictureHeight);
             ++i) {
            const QSize p = graph->Picture1->size();
            areaSize += QSize(kPictureWidth - p.width(), kPictureHeight - p.height());
            area->resize(areaSize);
            QCoreApplication::processEvents();
        }
    }
    // Chooses by list index, as a click in the list does, and paints the picture.
    void choose(QComboBox* list, int index) {
        list->setCurrentIndex(index);
        emit list->activated(index);
        paint();
    }
    // Paints what the window asked to be painted, as the event loop does.
    void paint() { QCoreApplication::processEvents(); }
};

// Execute -> first picture: loaded, opened, the first item and group chosen, painted.
std::unique_ptr<Window> firstPicture(const Scanned& s) {
    auto window = std::make_unique<Window>(executeLoad(s));
    window->choose(window->graph->Combo1, 0);
    window->choose(window->graph->Combo2, 0);
    if (!window->graph->hasDrawn()) std::exit(2);
    return window;
}

void report(benchmark::State& st, const std::string& name, double seconds, long iterations) {
    const double mean = seconds / static_cast<double>(std::max(1L, iterations));
    st.counters["ms"] = mean * 1e3;
    st.counters["load_ms"] = baselineSeconds(name) * 1e3;
    st.counters["x_load"] = mean / baselineSeconds(name);
    st.counters["dpr"] = qApp->devicePixelRatio();
}

void BM_FirstPicture(benchmark::State& st, const std::string& name) {
    const Scanned s = scanned(recordingPath(name));
    baselineSeconds(name);
    double total = 0;
    for (auto _ : st) {
        const auto start = Clock::now();
        auto window = firstPicture(s);
        total += secondsSince(start);
        st.PauseTiming();
        window.reset();
        st.ResumeTiming();
    }
    report(st, name, total, static_cast<long>(st.iterations()));
}

// An interaction on a drawn window, after `setup`: `act(i)` for the i-th iteration, timed.
template <typename Act>
void interaction(benchmark::State& st, const std::string& name, Act act,
                 const std::function<void(Window&)>& setup = {}) {
    const Scanned s = scanned(recordingPath(name));
    baselineSeconds(name);
    auto window = firstPicture(s);
    if (setup) setup(*window);
    window->paint();
    double total = 0;
    long i = 0;
    for (auto _ : st) {
        const auto start = Clock::now();
        act(*window, i++);
        total += secondsSince(start);
    }
    report(st, name, total, i);
}

void BM_ItemChange(benchmark::State& st, const std::string& name) {
    interaction(
        st, name, [](Window& w, long i) { w.choose(w.graph->Combo1, 1 - i % 2); },
        [](Window& w) {  // the second item's tables read once
            w.choose(w.graph->Combo1, 1);
            w.choose(w.graph->Combo1, 0);
        });
}

void BM_GroupChange(benchmark::State& st, const std::string& name) {
    interaction(st, name, [](Window& w, long i) { w.choose(w.graph->Combo2, 1 - i % 2); });
}

void BM_ZoomRedraw(benchmark::State& st, const std::string& name) {
    interaction(st, name, [](Window& w, long i) {
        const double whole = hg::wholePeriod(*w.graph->analysis()).minutes();
        const double from = (i % 2 ? 0.25 : 0.20) * whole;
        w.graph->zoomTo({from, from + 0.5 * whole});
        w.paint();
    });
}

void BM_CursorMove(benchmark::State& st, const std::string& name) {
    interaction(
        st, name,
        [](Window& w, long i) {
            w.graph->moveCursorTo(static_cast<int32_t>(100 + i % 500));
            w.paint();
        },
        [](Window& w) { w.graph->MeCursor->setChecked(true); });
}

void BM_CursorStrip(benchmark::State& st, const std::string& name) {
    interaction(st, name, [](Window& w, long i) {
        w.graph->MeCursor->setChecked(i % 2 == 0);
        w.paint();
    });
}

void BM_SpectrumUpdate(benchmark::State& st, const std::string& name) {
    hg::SpectrumWindow* spectrum = nullptr;
    interaction(
        st, name,
        [&spectrum](Window& w, long i) {
            w.graph->moveCursorTo(static_cast<int32_t>(100 + i % 500));
            spectrum->showView(w.graph->view());
            w.paint();
        },
        [&spectrum](Window& w) {
            spectrum = new hg::SpectrumWindow(w.graph->analysis(), w.area.get());
            spectrum->showView(w.graph->view());
        });
}

// A zoom redraw with a second period drawn dashed over the graph (the recording against itself,
// aligned by day).
void BM_ComparisonRedraw(benchmark::State& st, const std::string& name) {
    interaction(
        st, name,
        [](Window& w, long i) {
            const double whole = hg::wholePeriod(*w.graph->analysis()).minutes();
            const double from = (i % 2 ? 0.25 : 0.20) * whole;
            w.graph->zoomTo({from, from + 0.5 * whole});
            w.paint();
        },
        [](Window& w) { w.graph->compareWith(w.graph->analysis(), hg::Alignment::Day); });
}

// The spectrum of the whole period as its 95th percentile or maximum per order, computed anew.
void BM_PeriodSpectrum(benchmark::State& st, const std::string& name) {
    hg::SpectrumWindow* spectrum = nullptr;
    interaction(
        st, name,
        [&spectrum](Window& w, long i) {
            spectrum->chooseStatistic(i % 2 ? hg::SpectrumStatistic::Max
                                            : hg::SpectrumStatistic::P95);
            w.paint();
        },
        [&spectrum](Window& w) {
            spectrum = new hg::SpectrumWindow(w.graph->analysis(), w.area.get());
            spectrum->showView(w.graph->view());
        });
}

// The first read of the power tables after Execute (a power item chosen, statistics, `tables`).
// The first read of a table not computed by Execute, on a fresh load: the currents (read back from
// the recording), or the power tables (the currents first, then the powers).
template <bool Powers>
void BM_TablesFirstRead(benchmark::State& st, const std::string& name) {
    const Scanned s = scanned(recordingPath(name));
    baselineSeconds(name);
    double total = 0;
    for (auto _ : st) {
        st.PauseTiming();
        auto analysis = executeLoad(s);
        st.ResumeTiming();
        const auto start = Clock::now();
        benchmark::DoNotOptimize(Powers ? analysis->activePower().data()
                                        : analysis->currentTable().data());
        total += secondsSince(start);
    }
    report(st, name, total, static_cast<long>(st.iterations()));
}

// A run of a program, its elapsed seconds and peak resident bytes.
struct ChildRun {
    double seconds = 0;
    double peakBytes = 0;
};

// Runs `args` (a program and its arguments) in a child process and waits for it; the run ends when
// it fails.
ChildRun spawnAndWait(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) std::exit(3);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::exit(4);
    return {secondsSince(start), static_cast<double>(usage.ru_maxrss) * 1024.0};
}

std::filesystem::path selfPath() {
    return std::filesystem::read_symlink("/proc/self/exe");
}

// `args` run by a small child of this program (--measure), whose own child's peak is the
// program's alone: a process started straight from this one would count this one's memory too,
// the kernel keeping the largest resident size of a process across its exec.
ChildRun runChild(const std::vector<std::string>& args) {
    std::string command = "'" + selfPath().string() + "' --measure";
    for (const std::string& a : args) command += " '" + a + "'";
    ChildRun run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) std::exit(3);
    char line[256];
    while (std::fgets(line, sizeof line, pipe))
        std::sscanf(line, "measured seconds=%lf bytes=%lf", &run.seconds, &run.peakBytes);
    if (::pclose(pipe) != 0) std::exit(4);
    return run;
}

void BM_Plot(benchmark::State& st, const std::string& name) {
    const std::string path = recordingPath(name);
    baselineSeconds(name);
    const std::string program = (selfPath().parent_path().parent_path() / "harmograph").string();
    const std::string out = (hg::bench::cacheFolder() / ("plot-" + name + ".png")).string();
    double total = 0, peak = 0;
    for (auto _ : st) {
        const ChildRun run = runChild({program, "plot", path, "--item", "1", "--group", "1",
                                       "--size", "1584x1057", "-o", out});
        total += run.seconds;
        peak = std::max(peak, run.peakBytes);
    }
    report(st, name, total, static_cast<long>(st.iterations()));
    st.counters["peak_MB"] = peak / 1e6;
}

// Peak memory of the first picture, and of the full load alone, each in a child of its own.
void BM_PeakMemory(benchmark::State& st, const std::string& name) {
    const std::string path = recordingPath(name);
    ChildRun picture, load;
    for (auto _ : st) {
        picture = runChild({selfPath().string(), "--peak-child", "picture", path});
        load = runChild({selfPath().string(), "--peak-child", "load", path});
    }
    st.counters["peak_MB"] = picture.peakBytes / 1e6;
    st.counters["load_peak_MB"] = load.peakBytes / 1e6;
    st.counters["x_load_peak"] = picture.peakBytes / load.peakBytes;
    st.counters["dpr"] = qApp->devicePixelRatio();
}

// The cases of one recording; the small one first (the peak of this process only grows).
void registerCases(const std::string& label, const std::string& name, int iterations) {
    const auto add = [&](const char* what, void (*fn)(benchmark::State&, const std::string&),
                         int n) {
        benchmark::RegisterBenchmark((std::string(what) + "/" + label).c_str(), fn, name)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(n);
    };
    add("FirstPicture", BM_FirstPicture, 3);
    add("ItemChange", BM_ItemChange, iterations);
    add("GroupChange", BM_GroupChange, iterations);
    add("ZoomRedraw", BM_ZoomRedraw, iterations);
    add("CursorMove", BM_CursorMove, 4 * iterations);
    add("CursorStrip", BM_CursorStrip, iterations);
    add("SpectrumUpdate", BM_SpectrumUpdate, 4 * iterations);
    add("ComparisonRedraw", BM_ComparisonRedraw, iterations);
    add("PeriodSpectrum", BM_PeriodSpectrum, 2);
    add("CurrentsFirstRead", BM_TablesFirstRead<false>, 3);
    add("PowerTablesFirstRead", BM_TablesFirstRead<true>, 3);
    add("Plot", BM_Plot, 3);
    add("PeakMemory", BM_PeakMemory, 1);
}

// A child measured for its peak memory: the first picture, or the full load alone.
int peakChild(const std::string& what, const std::string& path) {
    const Scanned s = scanned(path);
    if (what == "load") return fullLoad(s) ? 0 : 1;
    return firstPicture(s) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "--measure") {
        const ChildRun run = spawnAndWait(std::vector<std::string>(argv + 2, argv + argc));
        std::printf("measured seconds=%.6f bytes=%.0f\n", run.seconds, run.peakBytes);
        return 0;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--peak-child") return peakChild(argv[2], argv[3]);
    const std::vector<std::string> args(argv, argv + argc);  // before the library takes its own
    registerCases("hv3", "waits.hv3", 10);
    registerCases("hh9", "load.hh9", 10);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) return 0;
    // The same cases at device pixel ratio 2.
    std::vector<std::string> again = args;
    again[0] = selfPath().string();
    ::setenv("QT_SCALE_FACTOR", "2", 1);
    spawnAndWait(again);
    return 0;
}
