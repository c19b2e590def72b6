// A limit set over a drawn graph: dash-dot limit lines in the curves' colours at the limits'
// heights on the value axis, the strip of maxima and 95th percentiles, the current limits taken
// back to amperes, nothing but the strip without a set, and the same lines on a printed block.
#include <gtest/gtest.h>

#include "analysis/harmdim.h"
#include "graph/curve_rules.h"
#include "graph/graph_composition.h"
#include "graph/limit_overlay.h"
#include "platform/recording_canvas.h"
#include "print/print_page.h"
#include "support_analysis.h"
#include "support_graph_state.h"

namespace hg {
namespace {

using test::loadRecording;
using test::writeRecording;

LimitSet parsed(const char* text) {
    auto set = parseLimitSet(text, "t.json");
    EXPECT_TRUE(set) << set.error();
    return *set;
}

// Twenty records: the 3rd at 3 %, the 5th rising from 4.0 % to 5.9 %; channel 0's 5th at 0.35 A.
void loadTwenty(HARMDIM& s) {
    const std::string path = writeRecording("overlay.hm1", 20, [](int64_t r, RecordValues& v) {
        v.V[0] = 100;
        v.V[1] = 3;
        v.V[2] = 4.0f + 0.1f * static_cast<float>(r);
        v.current(0, 0) = 10;
        v.current(0, 2) = 0.35f;
    });
    ASSERT_TRUE(loadRecording(s, path));
}

struct Overlaid {
    RecordingCanvas canvas{1000, 630};
    GraphDrawing drawing;
    std::vector<OverlayCurve> curves;
};

std::unique_ptr<Overlaid> overlay(HARMDIM& s, int16_t item, std::vector<int16_t> orders,
                                  const LimitSet* set, ComplianceOptions options = {}) {
    auto o = std::make_unique<Overlaid>();
    orders.resize(kJisuFlagCount, 0);
    GraphRequest r;
    r.item = item;
    r.group = 8;
    r.orders = orders;
    r.itemName = "x";
    LimitOverlayRequest request{item, 0, orders, set, options};
    r.limits = limitValues(s.MaxOrderIndex, request);  // as the window's view asks
    o->drawing = composeGraph(o->canvas, s, r);
    o->canvas.forget();
    o->curves = overlayCurves(statisticsSourceOf(s), request);
    drawLimitOverlay(o->canvas, o->drawing, o->curves, item, 12);
    return o;
}

TEST(LimitOverlay, VoltageDistortionLinesAndStrip) {
    HARMDIM s;
    loadTwenty(s);
    const LimitSet set = parsed(
        R"({"name": "v", "title": "t", "source": "s", "edition": "e", "check": "c",
            "quantity": "voltage_distortion", "total": 8, "orders": {"5": 5, "3": 2}})");
    const auto o = overlay(s, kVoltageDistortion, {1, 1, 1}, &set);
    ASSERT_EQ(o->drawing.outcome, GraphOutcome::Drawn);
    ASSERT_EQ(o->curves.size(), 3u);
    EXPECT_EQ(o->curves[2].limit, 5);
    EXPECT_FLOAT_EQ(o->curves[2].max, 5.9f);
    EXPECT_FLOAT_EQ(o->curves[2].p95, 5.8f);  // rank 19 of 20
    EXPECT_NE(o->canvas.findText("最大 5.90  95% 5.80  限度 5.00"), nullptr) << o->canvas.dump();
    EXPECT_NE(o->canvas.findText("最大 3.00  95% 3.00  限度 2.00"), nullptr);
    const GraphLayout& g = o->drawing.layout;
    const auto lines = o->canvas.lines(LineStyle::DashDot);
    std::size_t expected = 0;
    for (const OverlayCurve& c : o->curves) {
        const double y = o->drawing.axis.position(*c.limit, g.T, g.GraphHeight);
        ++expected;
        EXPECT_TRUE(y >= g.T && y <= g.T + g.GraphHeight);  // the total's 8 % extends the axis
        const Rgb colour = paletteRgb(curveColour(c.drawn, false));
        const bool found = std::any_of(lines.begin(), lines.end(), [&](const DrawCall& l) {
            return l.from.y == y && l.to.y == y && l.colour.rgb == colour && l.from.x == g.L &&
                   l.to.x == g.GraphWidth;
        });
        EXPECT_TRUE(found) << "order index " << c.k << "\n" << o->canvas.dump();
    }
    EXPECT_EQ(expected, 3u);
    EXPECT_EQ(lines.size(), expected);
    // Without a set the axis is the values' own: the total's 8 % would lie above it.
    GraphRequest plain;
    std::vector<int16_t> orders{1, 1, 1};
    orders.resize(kJisuFlagCount, 0);
    plain.item = kVoltageDistortion, plain.group = 8, plain.orders = orders, plain.itemName = "x";
    RecordingCanvas c(1000, 630);
    EXPECT_LT(composeGraph(c, s, plain).axis.top, 8);
    // Five strips in a narrow window never meet: a strip that has no room goes to a next line.
    RecordingCanvas narrow(330, 230);
    const std::vector<std::string> texts(5, overlayStripText(o->curves[2]));
    const std::vector<double> starts{44, 75, 106, 137, 168};
    const auto places = stripPlaces(narrow, starts, texts, 20, 330);
    for (std::size_t i = 0; i < places.size(); ++i) narrow.text(places[i].x, places[i].y, texts[i]);
    test::expectNoTextOverlaps(
        narrow, [](const DrawCall&) { return true; }, "narrow strip");
}

TEST(LimitOverlay, CurrentLimitsInAmperes) {
    HARMDIM s;
    loadTwenty(s);
    const LimitSet set = parsed(
        R"({"name": "i", "title": "t", "source": "s", "edition": "e", "check": "c",
            "quantity": "current_per_kw", "receiving_kv": 6.6, "orders": {"5": 3.5}})");
    ComplianceOptions options;
    options.contractKw = 100;
    options.measuredKv = 3.3;
    const auto o = overlay(s, kCurrent, {0, 0, 1}, &set, options);
    ASSERT_EQ(o->curves.size(), 1u);
    // 3.5 mA/kW of 100 kW at 6.6 kV is 0.35 A there, 0.7 A at 3.3 kV.
    EXPECT_NEAR(*o->curves[0].limit, 0.7, 1e-12);
    // Without the contract power a current set has no line.
    EXPECT_EQ(overlay(s, kCurrent, {0, 0, 1}, &set)->curves[0].limit, std::nullopt);
    // A voltage set says nothing about currents, nor a current set about distortion.
    EXPECT_EQ(overlay(s, kVoltageDistortion, {0, 0, 1}, &set, options)->curves[0].limit,
              std::nullopt);
}

TEST(LimitOverlay, WithoutASetOnlyTheStrip) {
    HARMDIM s;
    loadTwenty(s);
    const auto o = overlay(s, kVoltageDistortion, {0, 0, 1}, nullptr);
    EXPECT_TRUE(o->canvas.lines(LineStyle::DashDot).empty());
    EXPECT_NE(o->canvas.findText("最大 5.90  95% 5.80"), nullptr);
    EXPECT_TRUE(
        overlayCurves(statisticsSourceOf(s), {kPhaseDifference, 0, {}, nullptr, {}}).empty());
}

// A printed block of a window with a set: the lines across the block in the colours of the
// printed curves (the dark ones in monochrome), where those curves stand at the limits' values.
TEST(LimitOverlay, PrintedBlockDrawsTheSameLines) {
    HARMDIM s;
    loadTwenty(s);
    PrintSource source = printSourceOf(s);
    source.item = kVoltageDistortion;
    source.orders[1] = source.orders[2] = 1;  // the 3rd, flat at 3 %; the 5th from 4 %
    source.limits = parsed(
        R"({"name": "v", "title": "t", "source": "s", "edition": "e", "check": "c",
            "quantity": "voltage_distortion", "total": 8, "orders": {"5": 5, "3": 2}})");
    for (const bool mono : {false, true}) {
        RecordingCanvas page(2350, 640);
        printOneSheet(page, s, source, mono);
        const auto firstPointY = [&](int drawn) {  // of the drawn-th curve: its first record
            const Rgb colour = paletteRgb(curveColour(drawn, mono));
            const auto point = [&](const DrawCall& c) {
                return c.kind == DrawCall::Kind::Point && c.colour.rgb == colour;
            };
            return page.select(point).at(0).from.y;
        };
        const double at3 = firstPointY(1), perPercent = firstPointY(2) - at3;
        const auto limits = page.select([](const DrawCall& c) {
            return c.style == LineStyle::DashDot && c.horizontal() && c.from.x == kBlockLeft &&
                   c.to.x == kBlockLeft + kBlockWidth;
        });
        ASSERT_EQ(limits.size(), 2u) << page.dump();
        for (const int drawn : {1, 2}) {
            EXPECT_EQ(limits[drawn - 1].colour.rgb, paletteRgb(curveColour(drawn, mono)));
            const double percent = drawn == 1 ? 2 : 5;
            EXPECT_NEAR(limits[drawn - 1].from.y, at3 + (percent - 3) * perPercent, 1e-6);
        }
    }
    // A current-per-kW set draws on paper for the window's contract power, as on the screen.
    source.item = kCurrent;
    source.orders[1] = 0;
    source.limits = parsed(
        R"({"name": "i", "title": "t", "source": "s", "edition": "e", "check": "c",
            "quantity": "current_per_kw", "receiving_kv": 6.6, "orders": {"5": 3.5}})");
    const auto limitLines = [&](std::optional<double> kw) {
        source.contractKw = kw;
        RecordingCanvas page(2350, 640);
        printOneSheet(page, s, source, false);
        return page
            .select([](const DrawCall& c) {
                return c.style == LineStyle::DashDot && c.horizontal() && c.from.x == kBlockLeft;
            })
            .size();
    };
    EXPECT_EQ(limitLines(std::nullopt), 0u);
    EXPECT_EQ(limitLines(100), 1u);
}

}  // namespace
}  // namespace hg
