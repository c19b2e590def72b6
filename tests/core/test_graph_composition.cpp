#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <tuple>
#include <vector>

#include "graph/curve_rules.h"
#include "graph/graph_composition.h"
#include "platform/classic.h"
#include "platform/recording_canvas.h"
#include "support_graph_state.h"

namespace hg {
namespace {

using namespace test;  // the graph-state helpers
using Kind = DrawCall::Kind;

struct Drawn {
    RecordingCanvas canvas;
    GraphDrawing drawing;
    Drawn(double w, double h) : canvas(w, h) {}
};

std::unique_ptr<Drawn> draw(HARMDIM& s, int item, const std::vector<int16_t>& orders,
                            double w = 1000, double h = 630, const std::string& name = "x") {
    auto d = std::make_unique<Drawn>(w, h);
    GraphRequest r;
    r.item = static_cast<int16_t>(item);
    r.group = 8;
    r.orders = orders;
    r.itemName = name;
    r.message = "msg";
    d->drawing = composeGraph(d->canvas, s, r);
    return d;
}

// Lines of the axes (width 1) at a height.
std::vector<DrawCall> gridLinesAt(const RecordingCanvas& c, double y) {
    return c.select([y](const DrawCall& call) {
        return call.kind == Kind::Line && call.width == 1 && call.horizontal() && call.from.y == y;
    });
}

TEST(GraphLayout, FromThePictureSize) {
    HARMDIM s = graphState({0, 1440, 145});
    const auto g = graphLayout(s, 1000, 630);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->GraphWidth, 950);
    EXPECT_EQ(g->GraphHeight, 500);
    EXPECT_EQ(g->RecordPixelX[2], 12);  // 12.5, halves to even
    EXPECT_EQ(g->RecordPixelX[144], 900);
}

// Records stand at their time, as on paper: a gap of an hour after record 71 puts every later
// record an hour to the right of its slot; without the gap each record is on its slot.
// Records stand at their time, as on paper: a gap of an hour after record 71 puts every later
// record an hour to the right of its slot; without the gap each record is on its slot.
TEST(GraphLayout, RecordsStandAtTheirTime) {
    // Record, its x without the gap (900 / 137 a record) and with it (900 / 1430 a minute).
    const std::tuple<int, int, int> cases[] = {{0, 0, 0},      {1, 7, 6},       {71, 466, 447},
                                               {72, 473, 491}, {100, 657, 667}, {137, 900, 900}};
    for (const int gapMinutes : {0, 60}) {
        const int minutes = 1370 + gapMinutes;
        HARMDIM s = graphState({0, minutes, 138});
        for (int t = 0; t < 138; ++t) {
            const int m = 10 * t + (t >= 72 ? gapMinutes : 0);
            s.RecordX(t) = static_cast<float>(2000.0 * m / minutes);
        }
        const auto g = graphLayout(s, 1000, 630);
        ASSERT_TRUE(g);
        for (const auto& [t, plain, gap] : cases)
            EXPECT_EQ(g->RecordPixelX[t], gapMinutes ? gap : plain) << gapMinutes << " " << t;
    }
}

TEST(GraphComposition, PhaseDifferenceGridAndLagLead) {
    HARMDIM s = graphState({});
    const auto d = draw(s, 6, flags({0}));
    ASSERT_EQ(d->drawing.outcome, GraphOutcome::Drawn);
    const RecordingCanvas& c = d->canvas;
    // 180 at the top edge (50), 0 in the middle (300), -180 at the bottom (550).
    const auto base = gridLinesAt(c, 300);
    ASSERT_EQ(base.size(), 1u) << c.dump();
    EXPECT_EQ(base[0].style, LineStyle::Solid);
    EXPECT_EQ(base[0].to.x - base[0].from.x, 900);
    for (auto [y, label] :
         {std::pair{175.0, " 90"}, {50.0, " 180"}, {425.0, "-90"}, {550.0, "-180"}}) {
        const auto grid = gridLinesAt(c, y);
        ASSERT_EQ(grid.size(), 1u) << y;
        EXPECT_EQ(grid[0].style, LineStyle::Dotted);
        EXPECT_EQ(grid[0].colour.rgb, (Rgb{128, 128, 128}));
        expectText(c, label, 0, y - 8);
    }
    expectText(c, " 0", 0, 290);
    expectText(c, "遅れ", 0, 580);  // under the frame
    expectText(c, "進み", 0, 0);    // over it
    expectText(c, "時", 960, 530);
    // Reactive power swaps the two; other items have neither.
    expectText(draw(s, 4, flags({1}))->canvas, "進み", 0, 580);
    EXPECT_EQ(draw(s, 1, flags({1}))->canvas.findText("遅れ"), nullptr);
}

TEST(GraphComposition, FundamentalDividedInTheCurveAndTitle) {
    HARMDIM s = graphState({});
    s.ItemMax(0, 2, 0) = 4000;
    s.ItemMax(0, 2, 1) = 10;
    for (int t = 0; t < s.LoadedRecords; ++t) {
        s.givenActivePower()(0, t, 0) = 4000;
        s.givenActivePower()(0, t, 1) = 10;
    }
    const auto d = draw(s, 3, flags({0, 1}), 1000, 630, "有効電力(kW)");
    ASSERT_EQ(d->drawing.outcome, GraphOutcome::Drawn);
    expectText(d->canvas, "有効電力(kW，基本波は200倍) 1ch", 1000.0f / 2250 * 1000, 5);
    const auto curves = curveCalls(d->canvas);
    ASSERT_FALSE(curves.empty());
    // The axis 0..21 on 500 pixels: the fundamental's 4000 / 200 = 20 at 73.81, the 10 of order 3
    // at 311.90.
    EXPECT_EQ(d->drawing.axis.top, 21);
    EXPECT_NEAR(curves.front().from.y, 73.8095, 1e-3);
    const auto second = std::find_if(curves.begin(), curves.end(), [](const DrawCall& c) {
        return c.colour.rgb == paletteRgb(10);
    });
    ASSERT_NE(second, curves.end());
    EXPECT_NEAR(second->from.y, 311.9048, 1e-3);
}

// The title's phase mark, and the channel of the items that read one: "1ch" .. "9ch" for the
// measured channels, "合成" for the composite (also of nine channels).
TEST(GraphComposition, PhaseAndChannelMarksOfTheTitle) {
    for (auto [path, item, channels, channel, title] :
         {std::tuple{"/d/x.Rhv2", 6, 2, 0, "t(deg)R相 1ch"},
          {"/d/x.Shv2", 15, 2, 1, "t(deg)S相 2ch"},  // the prediction of the channel
          {"/d/x.Thv2", 11, 2, 1, "t(deg)"},         // voltage: no phase, no channel
          {"/d/x.rhv2", 6, 2, 1, "t(deg) 2ch"},
          {"/d/x.hv2", 2, 2, 2, "t(deg) 合成"},
          {"/d/x.hm9", 5, 9, 8, "t(deg) 9ch"},
          {"/d/x.hm9", 5, 9, 9, "t(deg) 合成"}}) {
        HARMDIM s = graphState({}, 24, channels, path);
        const auto d = std::make_unique<Drawn>(1000, 630);
        GraphRequest r;
        const auto orders = flags({0});
        r.item = static_cast<int16_t>(item), r.group = 8, r.orders = orders;
        r.channel = static_cast<int16_t>(channel), r.itemName = "t(deg)";
        EXPECT_EQ(composeGraph(d->canvas, s, r).title, title) << path << " " << channel;
    }
}

TEST(GraphComposition, ShortPeriodTenMinuteTicks) {
    HARMDIM s = graphState({9 * 60 + 40, 45, 46});  // 9:40 .. 10:25
    const auto d = draw(s, 1, flags({0}));
    const RecordingCanvas& c = d->canvas;
    const Rgb darkBlue{0, 0, 144};
    // XScale 900 / 45 = 20: 9:40 at 50, 9:50 at 250, 10:00 at 450, 10:10 at 650, 10:20 at 850.
    const auto ticks = c.lines(darkBlue);
    ASSERT_EQ(ticks.size(), 4u);
    const std::pair<double, const char*> expected[] = {
        {50, "9:40"}, {250, "9:50"}, {650, "10:10"}, {850, "10:20"}};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto [x, label] = expected[i];
        EXPECT_EQ(ticks[i].from, (Point{x, 50})) << label;
        EXPECT_EQ(ticks[i].to.y, 550) << label;
        EXPECT_EQ(ticks[i].style, LineStyle::Dotted) << label;
        expectText(c, label, x - 40, 555);
    }
    const auto hour = c.verticalLinesAt(450);
    ASSERT_EQ(hour.size(), 1u);
    EXPECT_EQ(hour[0].colour.rgb, (Rgb{128, 128, 128}));
    EXPECT_EQ(hour[0].style, LineStyle::DashDot);
    expectText(c, "10", 448, 555);
    // Two hours: ticks every ten minutes, but no hour-minute labels; five hours: no ticks.
    HARMDIM two = graphState({9 * 60, 120, 121}), five = graphState({9 * 60, 300, 31});
    const auto t = draw(two, 1, flags({0}));
    EXPECT_EQ(t->canvas.lines(darkBlue).size(), 10u);
    EXPECT_EQ(t->canvas.findText("9:10"), nullptr);
    EXPECT_TRUE(draw(five, 1, flags({0}))->canvas.lines(darkBlue).empty());
}

TEST(GraphComposition, DayPeriodHourLines) {
    // 1920 x 1080: the plot from 64 to 1856, 74.67 pixels an hour, every hour labelled.
    HARMDIM s = graphState({12 * 60, 1440, 145});
    const auto d = draw(s, 1, flags({0}), 1920, 1080);
    const RecordingCanvas& c = d->canvas;
    const auto& g = d->drawing.layout;
    EXPECT_EQ(g.hourStep, 1);
    const auto hourLines = c.select([&](const DrawCall& call) {
        return call.kind == Kind::Line && call.vertical() && call.from.y == g.T &&
               call.to.y == g.T + g.GraphHeight && call.colour.rgb == Rgb{128, 128, 128};
    });
    ASSERT_EQ(hourLines.size(), 25u);
    for (auto [i, x] : {std::pair{0, 64.0}, {1, 139.0}, {12, 960.0}, {24, 1856.0}})
        EXPECT_EQ(hourLines[i].from.x, x) << i;
    for (int i = 0; i <= 24; ++i) {
        const int hour = (12 + i) % 24;
        const double x = hourLines[i].from.x;
        EXPECT_EQ(hourLines[i].style, hour == 0 ? LineStyle::Solid : LineStyle::DashDot) << hour;
        const std::string label = std::to_string(hour);
        const auto texts = c.findTexts(label);
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const DrawCall& t) {
            return t.from == Point{x - double(label.size()), g.T + g.GraphHeight + 5.0};
        })) << label;
    }
}

TEST(GraphComposition, AngleCurveWrapsAtTheEdges) {
    struct Case {
        int16_t first, second;
        double exitY, entryY;
    };
    // 91 slots on 900 pixels: records 10 pixels apart; the crossing lies half way (x 5).
    const Case cases[] = {{170, -170, 50, 550}, {-170, 170, 550, 50}};
    for (const Case& k : cases) {
        HARMDIM s = graphState({9 * 60, 90, 91}, 24, 1, "/d/x.ha4");
        s.LoadedRecords = 2;
        s.AngleTable(0, 0, 0) = k.first;
        s.AngleTable(0, 1, 0) = k.second;
        const auto d = draw(s, 9, flags({0}));
        auto y = [](double v) { return static_cast<float>(50 + (v - 180) * (500.0 / -360)); };
        const Point start{50, y(k.first)}, exit{55, k.exitY}, entry{55, k.entryY};
        // A point, the stroke to the edge, a point on the other edge, the stroke on.
        const std::tuple<Kind, Point, Point> steps[] = {{Kind::Point, start, start},
                                                        {Kind::Line, start, exit},
                                                        {Kind::Point, entry, entry},
                                                        {Kind::Line, entry, {60, y(k.second)}}};
        const auto calls = curveCalls(d->canvas);
        ASSERT_EQ(calls.size(), 4u) << d->canvas.dump();
        for (std::size_t i = 0; i < 4; ++i) {
            const auto [kind, from, to] = steps[i];
            EXPECT_TRUE(calls[i].kind == kind && calls[i].from == from && calls[i].to == to)
                << k.first << ": " << calls[i];
        }
    }
}

TEST(GraphComposition, AtMostFiveCurvesInTheirColours) {
    HARMDIM s = graphState({});
    for (int t = 0; t < s.LoadedRecords; ++t)
        for (int k = 0; k <= 7; ++k) s.VoltageThd(t) = 1, s.VoltageTable(t, k) = 100 - k;
    const auto d = draw(s, 1, flags({0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(d->drawing.curves, 5);
    const char* legends[] = {"総合", " 3次", " 5次", " 7次", " 9次"};
    const int colours[] = {12, 10, 11, 9, 13};
    const float xUnit = 1000.0f / 2250;
    for (int i = 0; i < 5; ++i) {
        expectText(d->canvas, legends[i], static_cast<float>(((i + 1) * 140 + 100) * xUnit), 5);
        EXPECT_EQ(d->canvas.findText(legends[i])->colour.rgb, paletteRgb(colours[i])) << i;
    }
    EXPECT_EQ(d->canvas.findText(" 11次"), nullptr);
    std::vector<int> order;
    for (const DrawCall& c : curveCalls(d->canvas))
        if (order.empty() || paletteRgb(order.back()) != c.colour.rgb)
            for (int p : colours)
                if (paletteRgb(p) == c.colour.rgb) order.push_back(p);
    EXPECT_EQ(order, std::vector<int>(std::begin(colours), std::end(colours)));
}

TEST(GraphComposition, OverloadAndPerPhaseItemsDrawTheirOwnSeries) {
    HARMDIM s = graphState({}, 24, 1, "/d/x.ha5");
    EXPECT_EQ(draw(s, 8, flags({0, 1, 2, 3, 4}))->drawing.curves, 3);  // three overload rates
    const auto unbalance = draw(s, 13, flags({5}));
    EXPECT_EQ(unbalance->drawing.curves, 1);  // the unbalance rate, without a legend: black
    for (const DrawCall& call : curveCalls(unbalance->canvas))
        ASSERT_EQ(call.colour, Colour::palette(0)) << call;
    // Orders past the per-phase series are not drawn.
    EXPECT_EQ(draw(s, 13, flags({6, 7}))->drawing.outcome, GraphOutcome::NoOrders);
}

TEST(GraphComposition, EdgeCasesDrawSafely) {
    {  // one record slot: a point at the left edge with its legend
        HARMDIM s = graphState({600, 1, 1});
        s.VoltageThd(0) = 3;
        s.ItemMax(0, 0, 0) = 3;
        const auto d = draw(s, 1, flags({0}));
        const auto calls = curveCalls(d->canvas);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].kind, Kind::Point);
        EXPECT_EQ(calls[0].from.x, 50);
        EXPECT_NE(d->canvas.findText("総合"), nullptr);
    }
    {  // a zero fundamental voltage: the distortion of the order is drawn at 0
        HARMDIM s = graphState({});
        s.VoltageTable(0, 1) = 5;  // fundamental 0
        // the 0..1 axis: 0 at the bottom edge
        EXPECT_EQ(curveCalls(draw(s, 1, flags({1}))->canvas).at(0).from.y, 550);
    }
    {  // an impedance whose current is 0 sits on the top edge
        HARMDIM s = graphState({});
        s.ItemMax(0, 6, 1) = 5;
        s.VoltageTable(0, 1) = 1;
        EXPECT_EQ(curveCalls(draw(s, 7, flags({1}))->canvas).at(0).from.y, 50);
    }
    HARMDIM s = graphState({});
    struct Case {
        const char* what;
        double w, h;
        int item;
        std::vector<int16_t> orders;
        GraphOutcome outcome;
    };
    const Case cases[] = {
        {"narrow picture", 99, 630, 1, flags({0}), GraphOutcome::TooSmall},
        {"minimised window", 0, 0, 1, flags({0}), GraphOutcome::TooSmall},
        {"no order", 1000, 630, 1, flags({}), GraphOutcome::NoOrders},
        {"no item", 1000, 630, 0, flags({0}), GraphOutcome::NoSelection},
    };
    for (const Case& c : cases) {
        const auto d = draw(s, c.item, c.orders, c.w, c.h);
        EXPECT_EQ(d->drawing.outcome, c.outcome) << c.what;
        EXPECT_TRUE(d->canvas.calls().empty()) << c.what;
    }
}

TEST(GraphComposition, Footers) {
    HARMDIM s = graphState({}, 24, 2);
    const auto d = draw(s, 2, flags({0, 2}));
    expectText(d->canvas, "ﾌｧｲﾙ名:/data/sample.hm1", 1000.0f / 2250 * 1400, 600);
    expectText(d->canvas, "19/05/29(水)", static_cast<float>(1000.0f / 2250 * 120), 580);
    // A deep path loses its leading folders, as on paper; the file name stays whole.
    HARMDIM deep = graphState({}, 24, 2, "/data/2019/substation_east/feeder_north/bay_3/x.hv3");
    const auto e = draw(deep, 2, flags({0, 2}), 600, 400);
    const auto footer = e->canvas.select(
        [](const DrawCall& t) { return t.kind == Kind::Text && t.text.starts_with("ﾌｧｲﾙ名:"); });
    ASSERT_EQ(footer.size(), 1u);
    EXPECT_TRUE(footer[0].text.starts_with("ﾌｧｲﾙ名:…/") && footer[0].text.ends_with("/x.hv3"));
    EXPECT_LE(footer[0].from.x + e->canvas.textExtent(footer[0]).x, 600);
}

// Under the plot nothing meets: the hour labels, the dates of a long period, the date line with the
// message and the file-name footer, at every picture size from the smallest tile to full screen,
// for the whole period and a zoom over days.
TEST(GraphComposition, TimeAxisDatesAndFootersNeverOverlap) {
    for (const PeriodSpec period : {PeriodSpec{9 * 60, 45, 10}, PeriodSpec{0, 1440, 145},
                                    PeriodSpec{0, 4 * 1440, 577}, PeriodSpec{0, 31 * 1440, 4465}}) {
        HARMDIM s = graphState(period, 24, 1, "/data/site/substation_east/feeder/sample.hm1");
        for (const auto& [w, h] :
             {std::pair{330, 230}, {500, 350}, {1000, 630}, {1584, 1057}, {1920, 1080}}) {
            for (const bool zoomed : {false, true}) {
                auto d = std::make_unique<Drawn>(w, h);
                GraphRequest r;
                const auto orders = flags({0, 1});
                r.item = 1, r.group = 8, r.orders = orders, r.itemName = "電圧歪率(%)";
                r.message = "受電点 6.6kV";
                if (zoomed) r.range = ShownRange{period.minutes / 3.0, period.minutes * 0.9};
                d->drawing = composeGraph(d->canvas, s, r);
                const GraphLayout& g = d->drawing.layout;
                // The value axis labels left of the plot and the title and legends above it are
                // not the time axis's.
                const auto underOrInside = [&](const DrawCall& t) {
                    return t.from.y >= g.T && !(t.from.x < g.L && t.from.y < g.T + g.GraphHeight);
                };
                expectNoTextOverlaps(d->canvas, underOrInside,
                                     std::to_string(period.minutes) + " min, " + std::to_string(w) +
                                         "x" + std::to_string(h) + (zoomed ? " zoomed" : ""));
            }
        }
    }
}

// What a curve covers: the slanted lines between columns, and per pixel column the stretches its
// vertical strokes and points cover (merged).
struct Coverage {
    std::vector<std::pair<Point, Point>> slanted;
    std::map<double, std::vector<std::pair<double, double>>> columns;

    void cover(double x, double y1, double y2) {
        columns[x].push_back({std::min(y1, y2), std::max(y1, y2)});
    }
    void line(Point a, Point b) {
        if (a.x == b.x) return cover(a.x, a.y, b.y);
        slanted.push_back({a, b});
        cover(a.x, a.y, a.y);
        cover(b.x, b.y, b.y);
    }
    void merge() {
        for (auto& [x, runs] : columns) {
            std::sort(runs.begin(), runs.end());
            std::vector<std::pair<double, double>> merged;
            for (const auto& r : runs) {
                if (!merged.empty() && r.first <= merged.back().second)
                    merged.back().second = std::max(merged.back().second, r.second);
                else
                    merged.push_back(r);
            }
            runs = merged;
        }
    }
};

// Many records on one pixel column are drawn through the stretches they cover: the same slanted
// lines between columns and the same pixels in every column as one segment per record, wrap
// strokes of angle curves included.
TEST(GraphComposition, CrowdedColumnsKeepThePicture) {
    for (int item : {1, 9}) {
        SCOPED_TRACE(item);
        HARMDIM s = graphState({0, 1440, 9001}, 24, 1, "/d/x.ha4");
        std::mt19937 random(7);
        std::uniform_real_distribution<float> value(0, 10);
        std::uniform_int_distribution<int> angle(-180, 180);
        for (int t = 0; t < s.LoadedRecords; ++t) {
            s.VoltageThd(t) = value(random);
            s.AngleTable(0, t, 0) = static_cast<int16_t>(angle(random));
        }
        s.ItemMax(0, 0, 0) = 10;
        const auto d = draw(s, item, flags({0}));
        const auto& g = d->drawing.layout;
        const ValueAxis& a = d->drawing.axis;
        auto y = [&](double v) { return static_cast<float>(50 + (v - a.top) * a.scale(500)); };
        // One segment per record, with the wrap strokes at the crossings.
        Coverage expected;
        Point at{};
        double previous = 0;
        for (int t = 0; t < s.LoadedRecords; ++t) {
            const double v = item == 1 ? s.VoltageThd(t) : s.AngleTable(0, t, 0);
            const Point p{50.0 + g.RecordPixelX[t], y(v)};
            if (t == 0) {
                expected.cover(p.x, p.y, p.y);
            } else {
                const auto wrap = item == 9 ? angleWrap(previous, v, at.x, p.x) : std::nullopt;
                if (wrap) {
                    expected.line(at, {wrap->x, y(wrap->leaveAt)});
                    at = {wrap->x, y(wrap->enterAt)};
                    expected.cover(at.x, at.y, at.y);
                }
                expected.line(at, p);
            }
            at = p;
            previous = v;
        }
        expected.merge();

        Coverage drawn;
        const auto calls = curveCalls(d->canvas);
        for (const DrawCall& c : calls) {
            if (c.kind == Kind::Point)
                drawn.cover(c.from.x, c.from.y, c.from.y);
            else
                drawn.line(c.from, c.to);
        }
        drawn.merge();
        EXPECT_EQ(drawn.slanted, expected.slanted);
        EXPECT_EQ(drawn.columns, expected.columns);
        EXPECT_LT(calls.size(), 3 * expected.columns.size());
        EXPECT_GT(expected.slanted.size(), 800u);
    }
}

// Values far beyond the axis (damaged records) and extremes too close to zero for a unit: every
// coordinate that reaches the surface is a finite number, and the curve is drawn.
TEST(GraphComposition, EveryCoordinateFiniteWhateverTheValues) {
    struct Case {
        const char* what;
        float value;  // voltage distortion of slot 1 (the extremes stay those of the others)
        float max, min;
    };
    for (const Case& c :
         {Case{"far above a 0..1 axis", 3.0e38f, 0, 0}, Case{"far below", -3.0e38f, 0, 0},
          Case{"tiny negative extremes", -1e-12f, 0, -1e-12f}}) {
        SCOPED_TRACE(c.what);
        HARMDIM s = graphState({});
        s.VoltageThd(1) = c.value;
        s.ItemMax(0, 0, 0) = c.max;
        s.ItemMin(0, 0, 0) = c.min;
        const auto d = draw(s, 1, flags({0}));
        ASSERT_EQ(d->drawing.outcome, GraphOutcome::Drawn);
        EXPECT_GT(d->drawing.axis.top, d->drawing.axis.low);
        EXPECT_FALSE(curveCalls(d->canvas).empty());
        for (const DrawCall& call : d->canvas.calls())
            for (const Point p : {call.from, call.to})
                ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << d->canvas.dump();
    }
}

}  // namespace
}  // namespace hg
