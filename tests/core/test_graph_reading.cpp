// Reading a graph: the record under the cursor and its readout, a zoomed range and what it
// draws, the dates of long periods, the spectrum of a record and the CSV of the drawn curves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "graph/cursor_readout.h"
#include "graph/curve_export.h"
#include "graph/curve_rules.h"
#include "graph/date_labels.h"
#include "graph/graph_composition.h"
#include "graph/shown_range.h"
#include "graph/spectrum.h"
#include "platform/recording_canvas.h"
#include "support_graph_state.h"

namespace hg {
namespace {

using namespace test;

// Places the slots at the given minutes from the start, as the load does.
void placeAt(HARMDIM& s, const std::vector<int>& minutes) {
    for (std::size_t t = 0; t < minutes.size(); ++t)
        s.RecordX(static_cast<long>(t)) = static_cast<float>(2000.0 * minutes[t] / s.PeriodMinutes);
}

// A period of `slots` records every `step` minutes, the voltage fundamental 100 V and order 3
// (index 1) rising with the record: 0.5 % per record.
HARMDIM steppedState(int slots, int step, int startMinute = 0) {
    HARMDIM s = graphState({startMinute, (slots - 1) * step, slots});
    std::vector<int> minutes;
    for (int t = 0; t < slots; ++t) {
        minutes.push_back(t * step);
        s.VoltageTable(t, 0) = 100;
        s.VoltageTable(t, 1) = 0.5f * static_cast<float>(t);
        s.givenCurrentTable()(0, t, 0) = 50;
        s.givenCurrentTable()(0, t, 1) = static_cast<float>(t);
        s.VoltageThd(t) = 0.5f * static_cast<float>(t);
        s.ItemMax(0, 0, 1) = std::max(s.ItemMax(0, 0, 1), 0.5f * static_cast<float>(t));
    }
    placeAt(s, minutes);
    return s;
}

GraphRequest requestOf(int item, const std::vector<int16_t>& orders) {
    GraphRequest r;
    r.item = static_cast<int16_t>(item);
    r.group = 8;
    r.orders = orders;
    r.itemName = "電圧歪率(%)";
    return r;
}

TEST(ShownRange, RecordsFoundByTimeAcrossAGap) {
    HARMDIM s = graphState({0, 100, 5});
    placeAt(s, {0, 10, 20, 80, 100});  // a gap of an hour after minute 20
    struct Case {
        double minute;
        int32_t nearest;
    };
    for (const Case c : {Case{-5, 0}, Case{4, 0}, Case{5, 0}, Case{6, 1}, Case{49, 2}, Case{51, 3},
                         Case{95, 4}, Case{500, 4}})
        EXPECT_EQ(nearestRecord(s, c.minute), c.nearest) << c.minute;
    const RecordSpan span = recordsIn(s, {15, 80});
    EXPECT_EQ(span.first, 2);
    EXPECT_EQ(span.last, 3);
    EXPECT_TRUE(recordsIn(s, {30, 70}).empty());
    EXPECT_EQ(recordAtOrAfter(s, 21), 3);
    EXPECT_FALSE(recordAtOrAfter(s, 101));
    EXPECT_EQ(recordTimeText(s, 3), "19/05/29(水) 01:20");
}

TEST(ShownRange, ZoomAndPanStayInsideThePeriod) {
    HARMDIM s = steppedState(145, 10);  // a day, every 10 minutes
    const ShownRange whole = wholePeriod(s);
    EXPECT_EQ(whole, (ShownRange{0, 1440}));
    EXPECT_EQ(zoomAround(s, whole, 720, 0.5), (ShownRange{360, 1080}));
    EXPECT_EQ(zoomAround(s, whole, 0, 0.5), (ShownRange{0, 720}));  // the pointer stays put
    EXPECT_EQ(zoomAround(s, {0, 720}, 360, 4), whole);              // never wider than the period
    EXPECT_EQ(zoomAround(s, {0, 40}, 20, 0.01), (ShownRange{10, 30}));  // two intervals at least
    EXPECT_EQ(rangeBetween(s, 900, 300), (ShownRange{300, 900}));
    EXPECT_EQ(rangeBetween(s, 500, 501), (ShownRange{490.5, 510.5}));
    EXPECT_EQ(panBy(s, {300, 900}, 1000), (ShownRange{840, 1440}));
    EXPECT_EQ(panBy(s, {300, 900}, -1000), (ShownRange{0, 600}));
    EXPECT_TRUE(showsWholePeriod(s, whole));
    EXPECT_FALSE(showsWholePeriod(s, {0, 600}));
}

TEST(ZoomedGraph, DrawsTheRecordsShownOverTheWholePlot) {
    HARMDIM s = steppedState(145, 10);
    const auto orders = flags({1});
    GraphRequest r = requestOf(1, orders);
    RecordingCanvas whole(1000, 630);
    const GraphDrawing all = composeGraph(whole, s, r);
    r.range = ShownRange{600, 720};  // records 60..72
    RecordingCanvas zoomed(1000, 630);
    const GraphDrawing part = composeGraph(zoomed, s, r);
    ASSERT_EQ(part.outcome, GraphOutcome::Drawn);
    ASSERT_TRUE(part.layout.shownRecords);
    EXPECT_EQ(part.layout.shownRecords->first, 60);
    EXPECT_EQ(part.layout.shownRecords->last, 72);
    // The first record shown stands at the left edge, the last at the right edge.
    const auto curve = curveCalls(zoomed);
    ASSERT_FALSE(curve.empty());
    EXPECT_EQ(curve.front().from.x, part.layout.L);
    double right = 0;
    for (const DrawCall& c : curve) right = std::max({right, c.from.x, c.to.x});
    EXPECT_EQ(right, part.layout.GraphWidth);
    // The axis follows the values shown (36 % at most), not the period's 72 %.
    EXPECT_EQ(all.axis.top, 80);
    EXPECT_EQ(part.axis.top, 40);
    // Ten-minute ticks over two hours, hour labels 10 and 11.
    EXPECT_NE(zoomed.findText("11"), nullptr);
    EXPECT_EQ(zoomed.lines(*rgbFromBgrHex("900000")).size(), 10u);
    // The cursor's minute back from an x of the zoomed layout.
    EXPECT_DOUBLE_EQ(minuteAtX(part.layout, xOfMinute(part.layout, 650)), 650);
}

TEST(ZoomedGraph, ShownMinimaOfTheVoltageComeFromTheFirstRecordShown) {
    HARMDIM s = steppedState(145, 10);
    const auto orders = flags({0});
    GraphRequest r = requestOf(11, orders);
    for (int t = 0; t < 145; ++t) s.VoltageTable(t, 0) = 6000.0f + static_cast<float>(t);
    s.ItemMax(0, 10, 0) = 6144;
    r.range = ShownRange{600, 720};
    RecordingCanvas c(1000, 630);
    const GraphDrawing d = composeGraph(c, s, r);
    // Two significant digits of 6060 and 6072 (the period minimum, 0 here, is not used).
    EXPECT_EQ(d.axis.low, 5900);
    EXPECT_EQ(d.axis.top, 6100);
}

// The date line of a zoomed view names the days it shows: the first, and the last when it spans
// days (a range ending at a midnight shows nothing of the next day); the whole period its start.
TEST(DateLabels, AZoomNamesTheDaysItShows) {
    const HARMDIM s = graphState({0, 10 * 1440, 1441});
    EXPECT_EQ(shownDaysText(s, nullptr), "19/05/29(水)");
    const ShownRange whole = wholePeriod(s), hour{6 * 1440 + 60, 6 * 1440 + 120},
                     days{2 * 1440, 4 * 1440};
    EXPECT_EQ(shownDaysText(s, &whole), "19/05/29(水)");
    EXPECT_EQ(shownDaysText(s, &hour), "19/06/04(火)");
    EXPECT_EQ(shownDaysText(s, &days), "19/05/31(金)～19/06/01(土)");
}

TEST(DateLabels, LongPeriodsCarryDatesThinnedSoTheyNeverMeet) {
    struct Case {
        double unitsPerDay;
        int step;
    };
    for (const Case c : {Case{100, 1}, Case{40, 2}, Case{20, 7}, Case{5, 14}, Case{2, 28}})
        EXPECT_EQ(dateLabelStep(c.unitsPerDay, 30), c.step) << c.unitsPerDay;
    // Two days exactly carry none; from 09:00 on 5/29 over three days: 5/30, 5/31, 6/1.
    EXPECT_TRUE(dateLabels(*dayNumber(2019, 5, 29), 540, 540 + 2880, 1, 30).empty());
    const auto labels = dateLabels(*dayNumber(2019, 5, 29), 540, 540 + 4320, 1, 30);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[0].text, "5/30");
    EXPECT_EQ(labels[0].minute, 1440);
    EXPECT_EQ(labels[2].text, "6/1");

    // On the picture: a month at 1000 pixels gives about 30 pixels a day, every second date.
    HARMDIM s = graphState({0, 30 * 1440, 721});
    const auto total = flags({0});
    RecordingCanvas c(1000, 630);
    composeGraph(c, s, requestOf(1, total));
    ASSERT_NE(c.findText("5/31"), nullptr) << c.dump();
    EXPECT_EQ(c.findText("5/30"), nullptr);
    std::vector<DrawCall> dates = c.select([](const DrawCall& d) {
        return d.kind == DrawCall::Kind::Text && d.text.find('/') != std::string::npos &&
               d.text.size() <= 5;
    });
    ASSERT_GE(dates.size(), 10u);
    for (std::size_t i = 1; i < dates.size(); ++i)
        EXPECT_GT(dates[i].from.x, dates[i - 1].from.x + c.textWidth(dates[i - 1].text));
    // A day does not.
    HARMDIM day = graphState({0, 1440, 145});
    RecordingCanvas d(1000, 630);
    composeGraph(d, day, requestOf(1, total));
    EXPECT_EQ(d.findText("5/30"), nullptr);
}

TEST(CursorReadout, EveryDrawnCurveWithLegendColourAndUnit) {
    HARMDIM s = steppedState(13, 10, 9 * 60);
    const auto orders = flags({0, 1});
    const CursorReadout r = cursorReadout(s, requestOf(1, orders), 4);
    EXPECT_EQ(r.when, "19/05/29(水) 09:40");
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0].legend, "総合");
    EXPECT_EQ(r.lines[0].value, "2");
    EXPECT_EQ(r.lines[1].legend, "3次");
    EXPECT_EQ(r.lines[1].value, "2");
    EXPECT_EQ(r.lines[1].unit, "%");
    EXPECT_EQ(r.lines[0].colour, curveColour(1, false));
    EXPECT_EQ(r.lines[1].colour, curveColour(2, false));
    // The current of order 3 in amperes, without the fundamental factor.
    const CursorReadout i = cursorReadout(s, requestOf(5, orders), 4);
    EXPECT_EQ(i.lines[0].value, "50");
    EXPECT_EQ(i.lines[1].value, "4");
    EXPECT_EQ(i.lines[1].unit, "A");
    struct Unit {
        int item, series;
        std::string_view unit;
    };
    for (const Unit u : {Unit{3, 0, "kW"}, Unit{4, 0, "kvar"}, Unit{6, 1, "°"}, Unit{7, 1, "Ω"},
                         Unit{11, 0, "V"}, Unit{12, 5, "%"}, Unit{13, 0, "A"}, Unit{23, 5, "%"}})
        EXPECT_EQ(itemUnit(static_cast<int16_t>(u.item), u.series), u.unit) << u.item;
}

TEST(Spectrum, ValuesBarsAndCsvOfARecord) {
    HARMDIM s = steppedState(13, 10, 9 * 60);
    const Spectrum sp = spectrumAt(s, 4, 0);
    ASSERT_EQ(sp.orders.size(), 25u);
    EXPECT_EQ(sp.orders[1].order, 3);
    EXPECT_EQ(sp.orders[24].order, 49);
    EXPECT_DOUBLE_EQ(sp.orders[1].distortion, 2);
    EXPECT_DOUBLE_EQ(sp.orders[1].current, 4);
    EXPECT_DOUBLE_EQ(sp.totalDistortion, 2);
    EXPECT_DOUBLE_EQ(sp.fundamentalCurrent, 50);
    EXPECT_EQ(sp.channelText, "1ch");
    EXPECT_EQ(spectrumAt(s, 4, 7).channelText, "合成");
    const std::string csv = spectrumCsv(sp).utf8();
    EXPECT_EQ(csv.substr(0, csv.find("\r\n5,")),
              "次数,電圧歪率(%),電流(A)\r\n1, 100 , 50 \r\n3, 2 , 4 ");

    RecordingCanvas c(800, 600);
    const SpectrumDrawing d = composeSpectrum(c, sp, {});
    EXPECT_EQ(d.shown.first, 1);
    EXPECT_EQ(d.shown.last, 24);
    ASSERT_EQ(d.bars.size(), 48u);
    EXPECT_NE(c.findText("電圧歪率(%)  総合 2%"), nullptr) << c.dump();
    EXPECT_NE(c.findText("電流(A) 1ch  基本波 50A"), nullptr);
    const SpectrumBar& third = d.bars[0];
    const auto hit = barAt(d, (third.left + third.right) / 2, third.bottom - 1);
    ASSERT_TRUE(hit);
    EXPECT_EQ(barText(*hit), "3次 2%");
    EXPECT_FALSE(barAt(d, 1, 1));
    // Bars are filled rectangles of whole pixels inside their columns, standing on the zero line:
    // none reaches below it, where the order labels stand.
    const auto filled = c.filledBoxes();
    ASSERT_FALSE(filled.empty());
    for (const DrawCall& bar : filled) {
        const auto column = barAt(d, (bar.from.x + bar.to.x) / 2, bar.to.y - 1);
        ASSERT_TRUE(column) << bar;
        EXPECT_EQ(bar.to.y, column->bottom) << bar;
        EXPECT_LT(bar.from.y, bar.to.y) << bar;
        EXPECT_GE(bar.from.x, column->left) << bar;
        EXPECT_LE(bar.to.x, column->right) << bar;
        EXPECT_EQ(bar.from.x, std::round(bar.from.x)) << bar;
    }
    EXPECT_EQ(c.lines().size(), c.select([](const DrawCall& l) {
                                     return l.kind == DrawCall::Kind::Line && l.horizontal();
                                 }).size());  // no bar drawn as a line
    // A range of orders: 5..9 only.
    RecordingCanvas z(800, 600);
    EXPECT_EQ(composeSpectrum(z, sp, {2, 4}).bars.size(), 6u);
}

// The wheel over 255 orders: a step shows 0.8 times the bars (204), the bar under the pointer
// keeping its place; never under 5 bars, never past either end, back to all when zoomed out.
TEST(Spectrum, OrderZoomKeepsTheBarUnderThePointer) {
    const auto zoomed = [](SpectrumShown s, int around, int steps) {
        const SpectrumShown z = zoomedOrders(s, 255, around, steps);
        return std::pair(z.first, z.last);
    };
    EXPECT_EQ(zoomed({1, 255}, 128, 1), std::pair(26, 229));
    EXPECT_EQ(zoomed({1, 255}, 1, 1), std::pair(1, 204));
    EXPECT_EQ(zoomed({1, 255}, 255, 3), std::pair(125, 255));
    EXPECT_EQ(zoomed({100, 110}, 105, 20), std::pair(103, 107));
    EXPECT_EQ(zoomed({100, 110}, 105, -40), std::pair(1, 255));
}

TEST(CurveExport, DrawnCurvesOverTheRangeShown) {
    HARMDIM s = steppedState(13, 10, 9 * 60);
    const auto orders = flags({0, 1});
    const std::string csv = curvesCsv(s, requestOf(1, orders), {20, 40}).utf8();
    EXPECT_EQ(csv,
              "日時,総合(%),3次(%)\r\n"
              "2019/05/29 9:20:00, 1 , 1 \r\n"
              "2019/05/29 9:30:00, 1.5 , 1.5 \r\n"
              "2019/05/29 9:40:00, 2 , 2 \r\n");
}

}  // namespace
}  // namespace hg
