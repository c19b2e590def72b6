// What the benchmarks share: the synthetic recordings they read (written once into a cache
// folder, $HARMO_BENCH_CACHE or the system's temporary folder, and reused while their size is
// right), a whole recording loaded as Execute loads it, and a canvas that only counts calls.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/harmdim.h"
#include "analysis/load_analysis.h"
#include "datafile/record_format.h"
#include "datafile/scan.h"
#include "datafile/synth.h"
#include "platform/canvas.h"

namespace hg::bench {

inline std::filesystem::path cacheFolder() {
    const char* env = std::getenv("HARMO_BENCH_CACHE");
    std::filesystem::path folder =
        env && *env ? std::filesystem::path(env)
                    : std::filesystem::temp_directory_path() / "harmograph-bench";
    std::filesystem::create_directories(folder);
    return folder;
}

// The recording `name` of `records` records every 10 minutes, written unless it is already there.
inline std::string recording(const std::string& name, int64_t records) {
    const std::string path = (cacheFolder() / name).string();
    const auto kind = kindFromName(name, std::nullopt);
    const auto bytes = static_cast<std::uintmax_t>(kind->layout.recordLength * records);
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) != bytes || ec) {
        SynthOptions options;
        options.records = records;
        options.intervalMinutes = 10;
        if (auto written = writeSynth(path, options); !written) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), written.error().c_str());
            std::exit(1);
        }
    }
    return path;
}

// The whole recording at `path` loaded as graph-mode Execute loads it; the run ends on failure.
inline std::shared_ptr<const HARMDIM> loadWhole(const std::string& path) {
    auto scan = scanFile(path);
    if (!scan) std::exit(1);
    Recording scanned;
    applyScan(scanned, *scan);
    const PeriodTexts texts{scan->startDate, scan->startTime, scan->endDate, scan->endTime};
    auto loaded = loadAnalysis(scanned, texts);
    if (!loaded || !loaded->analysis) std::exit(1);
    return loaded->analysis;
}

// A drawing surface that only counts what is drawn (the composition's own cost).
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
    void drawFilledBox(Point, Point, const Colour&) override { ++calls; }
    void drawPoint(Point, const Colour&) override { ++calls; }
    void drawText(Point, std::string_view) override { ++calls; }
};

}  // namespace hg::bench
