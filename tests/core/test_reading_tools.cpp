// Reading a graph further: keyboard zoom and its history, the statistics of the range shown and
// a curve's maximum, two cursors, the value axis set by hand, the spectrum of a stretch against a
// limit set, a comparison placed on the main period's axis, and a view file read back.
#include <gtest/gtest.h>

#include "compliance/limits.h"
#include "graph/axis_by_hand.h"
#include "graph/comparison.h"
#include "graph/period_spectrum.h"
#include "graph/shown_statistics.h"
#include "graph/view_file.h"
#include "graph/zoom_history.h"
#include "support_graph_state.h"

namespace hg {
namespace {

using namespace test;

// 61 one-minute records from 09:00; order 3 (index 1) at 0.1 % per record, the voltage
// fundamental 100 V, the current of order 3 twice the record number.
HARMDIM risingState(int startMinute = 9 * 60) {
    HARMDIM s = graphState({startMinute, 60, 61});
    for (int t = 0; t <= 60; ++t) {
        s.VoltageTable(t, 0) = 100;
        s.VoltageTable(t, 1) = 0.1f * static_cast<float>(t);
        s.VoltageThd(t) = 0.1f * static_cast<float>(t);
        s.givenCurrentTable()(0, t, 0) = 50;
        s.givenCurrentTable()(0, t, 1) = 2.0f * static_cast<float>(t);
    }
    return s;
}

GraphRequest distortionRequest(const std::vector<int16_t>& orders) {
    GraphRequest r;
    r.item = 1;
    r.group = 8;
    r.orders = orders;
    return r;
}

TEST(ReadingTools, KeyboardZoomPanAndHistory) {
    const HARMDIM s = risingState();
    const ShownRange whole{0, 60};
    // + halves the range around the cursor, which keeps its place; − doubles it back.
    const ShownRange in = keyboardRange(s, whole, ZoomKey::In, 15.0);
    EXPECT_EQ(in, (ShownRange{7.5, 37.5}));
    EXPECT_EQ(keyboardRange(s, in, ZoomKey::Out, 15.0), whole);
    EXPECT_EQ(keyboardRange(s, whole, ZoomKey::In, std::nullopt), (ShownRange{15, 45}));
    // Shift+arrows move by a quarter, never out of the period.
    EXPECT_EQ(keyboardRange(s, in, ZoomKey::PanLater, {}), (ShownRange{15, 45}));
    EXPECT_EQ(keyboardRange(s, in, ZoomKey::PanEarlier, {}), (ShownRange{0, 30}));
    EXPECT_EQ(keyboardRange(s, whole, ZoomKey::Out, {}), whole);

    ZoomHistory h;
    EXPECT_FALSE(h.back());
    h.remember(std::nullopt, in);
    h.remember(in, in);  // no change: nothing to go back to
    h.remember(in, ShownRange{15, 45});
    EXPECT_EQ(h.back(), std::optional<std::optional<ShownRange>>(in));
    const auto first = h.back();  // the whole period, shown before the first zoom
    ASSERT_TRUE(first);
    EXPECT_FALSE(*first);
    EXPECT_TRUE(h.empty());
    for (std::size_t i = 0; i <= ZoomHistory::kDepth; ++i)
        h.remember(ShownRange{double(i), 60}, ShownRange{double(i) + 1, 60});
    std::size_t depth = 0;
    while (h.back()) ++depth;
    EXPECT_EQ(depth, ZoomHistory::kDepth);
}

TEST(ReadingTools, StatisticsMaximumAndTwoCursorsOfTheRangeShown) {
    HARMDIM s = risingState();
    s.VoltageTable(20, 1) = 9;  // a peak at 09:20
    const auto orders = flags({0, 1});
    const GraphRequest r = distortionRequest(orders);
    const auto stats = shownStatistics(s, r, RecordSpan{10, 29});
    ASSERT_EQ(stats.size(), 2u);
    EXPECT_EQ(stats[1].legend, "3次");
    EXPECT_EQ(stats[1].unit, "%");
    EXPECT_EQ(stats[1].count, 20);
    EXPECT_FLOAT_EQ(stats[1].max, 9);
    EXPECT_EQ(stats[1].maxRecord, 20);
    EXPECT_FLOAT_EQ(stats[1].p95, 2.9f);  // rank 19 of 20: 2.8 .. 2.9 and the peak above
    EXPECT_EQ(statisticsText(s, stats[1]),
              "最大 9 (19/05/29(水) 09:20)  95% 2.9  平均 " + readoutNumber(stats[1].mean));
    EXPECT_EQ(maximumRecord(s, r, 1, {10, 29}), 20);
    EXPECT_EQ(maximumRecord(s, r, 1, {30, 60}), 60);  // the peak not shown
    EXPECT_FALSE(maximumRecord(s, r, 2, {10, 29}));
    EXPECT_EQ(statisticsText(s, shownStatistics(s, r, RecordSpan{5, 4})[0]),
              "最大 -  95% -  平均 -");

    const CursorPair pair = cursorPair(s, r, 40, 10);
    EXPECT_EQ(pair.timeDifference, "Δt -00:30");
    ASSERT_EQ(pair.deltas.size(), 2u);
    EXPECT_EQ(pair.deltas[1].legend, "3次");
    EXPECT_EQ(pair.deltas[1].value, "-3");
    EXPECT_EQ(timeDifferenceText(1440 + 150), "Δt 1日 02:30");
    EXPECT_EQ(timeDifferenceText(0), "Δt 00:00");
}

TEST(ReadingTools, ValueAxisByHand) {
    EXPECT_EQ(*axisByHand(" 0", "10 ", "2"), (AxisByHand{0, 10, 2}));
    EXPECT_EQ(axisByHand("a", "10", "1").error(),
              "下限・上限・目盛間隔には数値を入力してください。");
    EXPECT_EQ(axisByHand("5", "5", "1").error(), "下限は上限より小さくしてください。");
    EXPECT_EQ(axisByHand("0", "5", "0").error(), "目盛間隔は0より大きくしてください。");
    EXPECT_FALSE(axisByHand("0", "1000", "1"));  // too many grid lines
    // A drag picks round ends and a round step.
    EXPECT_EQ(*axisBetween(7.3, 1.2), (AxisByHand{1, 8, 1}));
    EXPECT_EQ(*axisBetween(0.013, 0.048), (AxisByHand{0.01, 0.05, 0.005}));
    EXPECT_FALSE(axisBetween(3, 3));
    ValueAxis automatic;
    automatic.factor = 0.1;
    automatic.divisor = 10;
    const ValueAxis a = withAxisByHand(automatic, {-2, 6, 2});
    EXPECT_EQ(a.top, 6);
    EXPECT_EQ(a.low, -2);
    EXPECT_EQ(a.base, 0);
    EXPECT_EQ(a.divisor, 10);  // the fundamental stays divided as the item's own axis has it
    EXPECT_EQ(withAxisByHand(automatic, {90, 110, 5}).base, 90);
    EXPECT_EQ(gridLevelsUp(withAxisByHand(automatic, {0, 10, 2.5}), AxisStyle::Screen).size(), 4u);
}

TEST(ReadingTools, SpectrumOfTheRangeAgainstALimitSet) {
    HARMDIM s = risingState();
    const Spectrum max = spectrumOver(s, {0, 60}, 0, SpectrumStatistic::Max);
    const Spectrum p95 = spectrumOver(s, {0, 60}, 0, SpectrumStatistic::P95);
    EXPECT_EQ(max.when, "19/05/29(水) 09:00～19/05/29(水) 10:00  最大値");
    EXPECT_FLOAT_EQ(static_cast<float>(max.orders[1].distortion), 6.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(p95.orders[1].distortion), 5.7f);  // rank 58 of 61
    EXPECT_FLOAT_EQ(static_cast<float>(max.orders[1].current), 120);
    EXPECT_FLOAT_EQ(static_cast<float>(max.totalDistortion), 6.0f);
    EXPECT_EQ(spectrumOver(s, {7, 60}, 0, SpectrumStatistic::Instant).when,
              spectrumAt(s, 7, 0).when);

    Spectrum marked = max;
    const auto set = readLimitSet(std::string(HARMO_LIMITS_DIR) + "/iec61000-2-2.json");
    ASSERT_TRUE(set) << set.error();
    applySpectrumLimits(marked, s, *set, std::nullopt);
    EXPECT_EQ(marked.orders[1].distortionLimit, 5.0);  // order 3
    EXPECT_EQ(marked.orders[2].distortionLimit, 6.0);  // order 5
    EXPECT_FALSE(marked.orders[1].currentLimit);
    // The bar above its limit is red, one within it green, and each limited bar has its mark.
    RecordingCanvas c(800, 600);
    composeSpectrum(c, marked, {});
    const auto boxes = c.filledBoxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.front().colour.paletteIndex, 12) << c.dump();
    const auto marks = c.select(
        [](const DrawCall& call) { return call.kind == DrawCall::Kind::Line && call.width == 2; });
    EXPECT_EQ(marks.size(), 24u);
}

TEST(ReadingTools, ComparisonAlignedByDayAndByWeek) {
    // Wednesday 2019-05-29 and Monday 2019-06-10.
    const double wed = *dayNumber(2019, 5, 29), mon = *dayNumber(2019, 6, 10);
    EXPECT_EQ(alignmentShiftDays(wed + 0.375, mon + 0.5, Alignment::Day), 12);
    EXPECT_EQ(alignmentShiftDays(wed + 0.375, mon + 0.5, Alignment::Week), 14);
    EXPECT_EQ(alignmentNamed("week"), Alignment::Week);
    EXPECT_FALSE(alignmentNamed("month"));

    const HARMDIM before = risingState(9 * 60);
    const HARMDIM after = risingState(9 * 60 + 30);  // the same day, half an hour later
    const AlignedComparison c = alignComparison(before, after, Alignment::Day);
    ASSERT_EQ(c.minutes.size(), 61u);
    EXPECT_EQ(c.minutes[0], 30);
    EXPECT_EQ(c.legend, "比較 19/05/29(水) 09:30～19/05/29(水) 10:30");
    const RecordSpan shown = comparisonRecordsIn(c, {0, 60});
    EXPECT_EQ(shown.first, 0);
    EXPECT_EQ(shown.last, 30);
    EXPECT_TRUE(comparable(before, after));
    EXPECT_FALSE(comparable(before, graphState({0, 60, 61}, 255)));
}

TEST(ReadingTools, ViewFileReadBack) {
    SavedView view;
    view.recording = "/data/記録 1.hv2";
    view.period = {"19/05/29", "09:00", "19/05/30", "09:00"};
    SavedWindow w;
    w.item = 5;
    w.group = "任　意";
    w.channel = 2;
    w.orders = {1, 2, 6};
    w.range = ShownRange{30, 90.5};
    w.cursor = 12;
    w.secondCursor = 40;
    w.limitSet = "ieee519-current";
    w.contractKw = 500;
    w.transformer = {20, 7.5, 22};
    w.axis = AxisByHand{0, 50, 10};
    w.comparison = SavedComparison{"/data/after.hv2", {}, Alignment::Week};
    view.windows = {w, SavedWindow{}};
    const auto back = parseViewFile(viewFileText(view));
    ASSERT_TRUE(back) << back.error();
    EXPECT_FALSE(back->newerVersion);
    EXPECT_EQ(back->view.recording, view.recording);
    EXPECT_EQ(back->view.period.endTime, "09:00");
    ASSERT_EQ(back->view.windows.size(), 2u);
    EXPECT_EQ(back->view.windows[0], w);
    EXPECT_EQ(back->view.windows[1], SavedWindow{});

    // A newer version is read as far as it goes; what is not a view is refused.
    const auto newer = parseViewFile(
        R"({"harmograph_view": 7, "recording": "a.hv2", "windows": [{"item": 3, "colour": "red"}]})");
    ASSERT_TRUE(newer);
    EXPECT_TRUE(newer->newerVersion);
    EXPECT_EQ(newer->view.windows.at(0).item, 3);
    EXPECT_FALSE(parseViewFile("{}"));
    EXPECT_FALSE(parseViewFile("not json"));
    EXPECT_EQ(periodTextsOf(*dayNumber(2019, 5, 29) + 0.375, *dayNumber(2019, 6, 1)),
              (PeriodTexts{"19/05/29", "09:00", "19/06/01", "00:00"}));
    EXPECT_TRUE(isViewFilePath("/a/b.HGVIEW"));
    EXPECT_FALSE(isViewFilePath("b.hv2"));
}

}  // namespace
}  // namespace hg
