// Figures that are not finite numbers (a recording holding values near the single-precision
// limit, whose powers and sums overflow; rows or spectra built by hand with infinities and NaN)
// never reach the page as coordinates: every graph item, every printed layout, the spectrum and
// the compliance sheet draw only finite positions. Under the sanitizer build a cast of such a
// value to an integer on the way fails the run.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/item_codes.h"
#include "compliance/compliance.h"
#include "graph/graph_composition.h"
#include "graph/spectrum.h"
#include "platform/recording_canvas.h"
#include "print/compliance_report.h"
#include "print/print_page.h"
#include "support_analysis.h"

namespace hg {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kHuge = 3.0e38f;  // finite, but its square, sum or power is not

void expectFiniteDrawing(const RecordingCanvas& canvas, const std::string& what) {
    for (const DrawCall& c : canvas.calls())
        for (const double v : {c.from.x, c.from.y, c.to.x, c.to.y})
            ASSERT_TRUE(std::isfinite(v)) << what << "\n" << canvas.dump();
}

// Three records of an hv2 recording whose voltages and currents sit at the float limit.
std::string extremeRecording() {
    return test::writeRecording("extreme.hv2", 3, [](int64_t r, RecordValues& v) {
        for (std::size_t k = 0; k < v.V.size(); ++k) v.V[k] = r == 1 ? -kHuge : kHuge;
        for (float& i : v.I) i = kHuge;
        for (float& p : v.Vp) p = kHuge;
        for (float& p : v.Ip) p = kHuge;
    });
}

TEST(NonFiniteDrawing, EveryGraphItemAndPrintedLayout) {
    HARMDIM s;
    ASSERT_TRUE(test::loadRecording(s, extremeRecording()));
    std::vector<int16_t> orders(260, 0);
    orders[0] = orders[1] = orders[2] = 1;
    for (int16_t item = 1; item <= 16; ++item) {
        RecordingCanvas canvas(1000, 630);
        GraphRequest r;
        r.item = item, r.group = 8, r.orders = orders, r.itemName = "x";
        composeGraph(canvas, s, r);
        expectFiniteDrawing(canvas, "item " + std::to_string(item));
    }
    PrintSource source = printSourceOf(s);
    source.item = 1;
    source.orders[0] = source.orders[1] = 1;
    RecordingCanvas one(2350, 640), set(2350, 1970), third(2350, 1970);
    printOneSheet(one, s, source, false);
    printSetSheet(set, s, source, {1, 2, 3}, false);
    printThird(third, s, source, 1, false);
    for (const auto* c : {&one, &set, &third}) expectFiniteDrawing(*c, "printed sheet");
}

TEST(NonFiniteDrawing, SpectrumAndComplianceSheet) {
    Spectrum spectrum;
    spectrum.totalDistortion = kInf;
    spectrum.fundamentalCurrent = kNan;
    spectrum.orders = {{1, 100, kNan, {}, {}},
                       {3, kInf, 1, {}, {}},
                       {5, kNan, kInf, {}, {}},
                       {7, -kInf, 2, {}, {}}};
    RecordingCanvas spectrumCanvas(900, 700);
    composeSpectrum(spectrumCanvas, spectrum, {});
    expectFiniteDrawing(spectrumCanvas, "spectrum");

    ComplianceReport report;
    report.file = "/data/x.hm1";
    LimitSet& set = report.assessment.limits;
    set.name = "v";
    set.total = 8;
    set.conditions.resize(1);
    AssessedWindow& window = report.assessment.windows.emplace_back();
    for (const float value : {kInf, kNan, 2.0f, -kInf}) {
        ComplianceRow row;
        row.order = static_cast<int>(window.rows.size()) * 2 + 3;
        row.records = 1;
        row.value = row.p95 = row.max = value;
        row.limit = value == 2.0f ? std::optional<double>(1e308) : 5.0;
        row.pass = false;
        window.rows.push_back(row);
        report.assessment.trend.points.push_back({report.end + row.order, value});
    }
    report.assessment.trend.limit = 1e308;
    RecordingCanvas sheet(100, 100);
    drawComplianceReport(sheet, report);
    expectFiniteDrawing(sheet, "compliance sheet");
}

}  // namespace
}  // namespace hg
