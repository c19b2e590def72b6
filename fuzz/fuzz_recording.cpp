// libFuzzer target: a recording of any kind, whole or damaged, through what a user's run does with
// it. The first byte chooses the kind (the file name's extension) and the graph item; the rest is
// the file. Each input is scanned, loaded in graph mode for the whole file, drawn onto a surface
// that refuses coordinates that are not numbers, run through the upstream prediction, and converted
// to CSV. Refusals with a message are fine; a crash, a sanitizer report or a non-finite drawing
// coordinate is a finding.
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/harmdim.h"
#include "analysis/load_analysis.h"
#include "analysis/upstream_prediction.h"
#include "csv/csv_writer.h"
#include "datafile/scan.h"
#include "graph/graph_composition.h"
#include "graph/graph_selection.h"
#include "platform/canvas.h"

namespace {

using namespace hg;

constexpr std::array<const char*, 16> kKinds = {"ha3",  "ha4",  "ha5",  "ha6", "hm1", "hm3",
                                                "hv1",  "hv2",  "hh1",  "hh2", "hn1", "hn2",
                                                "Rhm2", "Shv1", "Thn1", "hn3"};

// A drawing surface that aborts on a coordinate that is not a finite number.
class FiniteCanvas : public Canvas {
  public:
    FiniteCanvas() : Canvas(1000, 630) {}
    double textWidth(std::string_view utf8) const override {
        return static_cast<double>(utf8.size()) * 8;
    }
    double textHeight() const override { return 16; }

  protected:
    void drawClear(Rgb) override {}
    void drawLine(Point a, Point b, const Colour&) override { check(a), check(b); }
    void drawBox(Point a, Point b, const Colour&) override { check(a), check(b); }
    void drawFilledBox(Point a, Point b, const Colour&) override { check(a), check(b); }
    void drawPoint(Point a, const Colour&) override { check(a); }
    void drawText(Point a, std::string_view) override { check(a); }

  private:
    static void check(Point p) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            std::fprintf(stderr, "non-finite drawing coordinate (%g, %g)\n", p.x, p.y);
            std::abort();
        }
    }
};

const std::string& scratchFolder() {
    static const std::string folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/harmofuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        return pattern;
    }();
    return folder;
}

bool writeFile(const std::string& path, const uint8_t* data, std::size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

void drawAndPredict(const HARMDIM& state, const ScanResult& scan, uint8_t choice) {
    const std::vector<ItemEntry> items = itemListOf(scan.kind.family);
    if (items.empty()) return;
    std::vector<int16_t> orders(kJisuFlagCount, 0);
    for (int k = 0; k < 5; ++k) orders[static_cast<std::size_t>(k)] = 1;
    GraphRequest request;
    request.item = items[choice % items.size()].code;
    request.group = 1;
    request.channel = static_cast<int16_t>(choice % (state.ChannelCount + 1));
    request.orders = orders;
    request.itemName = std::string(items[choice % items.size()].text);
    if (request.item >= 14 && request.item <= 16 &&
        !UpstreamPrediction(state, request.channel, TransformerParameters{}))
        return;
    FiniteCanvas canvas;
    (void)composeGraph(canvas, state, request);
}

void runOne(const uint8_t* data, std::size_t size) {
    if (size < 1) return;
    const uint8_t choice = data[0];
    const std::string path = scratchFolder() + "/in." + kKinds[choice % kKinds.size()];
    if (!writeFile(path, data + 1, size - 1)) return;

    auto scan = scanFile(path);
    if (!scan) return;
    const PeriodTexts whole{scan->startDate, scan->startTime, scan->endDate, scan->endTime};

    Recording scanned;
    applyScan(scanned, *scan);
    if (auto loaded = loadAnalysis(scanned, whole, {{}, 1}); loaded && loaded->analysis)
        drawAndPredict(*loaded->analysis, *scan, static_cast<uint8_t>(choice / kKinds.size()));

    if (auto prepared = prepareAnalysis(scanned, whole, ExecuteMode::Convert);
        prepared && *prepared) {
        const HARMDIM& conversion = **prepared;
        CsvOptions options = defaultCsvOptions(conversion.Kind);
        options.combined = conversion.ChannelCount > 1;
        (void)runConversion(conversion, options, scratchFolder() + "/out.csv");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    runOne(data, size);
    return 0;
}
