#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "analysis/upstream_prediction.h"
#include "platform/recording_canvas.h"
#include "print/print_page.h"
#include "support_graph_state.h"

namespace hg {
namespace {

using namespace test;  // the graph-state helpers
using Kind = DrawCall::Kind;

// A loaded state whose record x positions lie on the printed block (2000 units for the period).
HARMDIM pageState(const PeriodSpec& p, const std::string& path = "/data/sample.hm1") {
    HARMDIM s = graphState(p, 24, 1, path);
    for (int t = 0; t < p.slots; ++t)
        s.RecordX(t) = static_cast<float>(2000.0 * t * p.minutes / (p.slots - 1) / p.minutes);
    return s;
}

PrintSource source(int16_t item, std::initializer_list<int> orders,
                   const std::string& path = "/data/sample.hm1") {
    PrintSource src;
    src.item = item;
    for (int k : orders) src.orders[static_cast<std::size_t>(k)] = 1;
    src.filePath = path;
    src.startDate = "19/05/29";
    src.message = "受電点";
    return src;
}

// One sheet of the source's item, on a canvas of the page's scale.
struct OneSheet : RecordingCanvas {
    OneSheet(const HARMDIM& s, const PrintSource& src, bool mono = false)
        : RecordingCanvas(2350, 640) {
        printOneSheet(*this, s, src, mono);
    }
};

std::vector<DrawCall> verticalLines(const RecordingCanvas& c, int16_t top) {
    return c.select([top](const DrawCall& call) {
        return call.kind == Kind::Line && call.width == 1 && call.vertical() &&
               call.from.y == top && call.to.y == top + kBlockHeight;
    });
}

TEST(PrintPage, OneSheetHasItsBlockAboveTheDateLine) {
    HARMDIM s = pageState({0, 1440, 145});
    RecordingCanvas c(100, 100);
    printOneSheet(c, s, source(kVoltageDistortion, {0, 1}), false);
    EXPECT_DOUBLE_EQ(c.scaleWidth(), 2350);
    EXPECT_DOUBLE_EQ(c.scaleHeight(), 640);
    const auto frames = c.boxes();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].from, (Point{260, 50}));
    EXPECT_EQ(frames[0].to, (Point{2260, 550}));
    expectText(c, "19/05/29(水)    受電点", 220, 580, 8);
    expectText(c, "ﾌｧｲﾙ名:/data/sample.hm1", 1400, 600, 8);
    expectText(c, "電圧歪率(%)", 1000, 5, 12);
    expectText(c, "時", 2290, 530, 10);
}

// On other paper the layout stays where it is on A4 and every font and line grows or shrinks
// with the paper, by the side that fits it less: A3 by 420/297, B5 (JIS) by 257/297, Letter by
// 279.4/297.
// (The paper's canvas has as many more points per unit, as paper of that size has.)
TEST(PrintPage, PaperScalesFontsAndLinesNotTheLayout) {
    HARMDIM s = pageState({0, 1440, 145});
    RecordingCanvas a4(2350, 640);
    printOneSheet(a4, s, source(kVoltageDistortion, {0, 1}), false);
    for (const auto& [paper, scale] :
         {std::pair{Paper::A3, 420.0 / 297}, std::pair{Paper::B5, 257.0 / 297},
          std::pair{Paper::Letter, 279.4 / 297}}) {
        PrintSource src = source(kVoltageDistortion, {0, 1});
        src.paper = paper;
        RecordingCanvas c(2350, 640);
        c.setUnitsPerPoint(1 / scale, 1 / scale);
        printOneSheet(c, s, src, false);
        ASSERT_EQ(c.calls().size(), a4.calls().size()) << paperInfo(paper).name;
        for (std::size_t i = 0; i < c.calls().size(); ++i) {
            const DrawCall& on = c.calls()[i];
            const DrawCall& ref = a4.calls()[i];
            for (const auto& [p, q] : {std::pair(on.from, ref.from), std::pair(on.to, ref.to)}) {
                EXPECT_NEAR(p.x, q.x, 1e-6) << describe(on);
                EXPECT_NEAR(p.y, q.y, 1e-6) << describe(on);
            }
            EXPECT_NEAR(on.font.size, ref.font.size * scale, 1e-9) << describe(on);
            EXPECT_NEAR(on.pen, ref.pen * scale, 1e-9) << describe(on);
            EXPECT_EQ(on.width, ref.width);
        }
    }
    EXPECT_DOUBLE_EQ(paperScale(Paper::A4), 1.0);
    EXPECT_EQ(paperNamed("letter"), Paper::Letter);
    EXPECT_EQ(paperNamed("b4"), Paper::B4);
    EXPECT_EQ(paperNamed("A5"), std::nullopt);
}

TEST(PrintPage, SetOfThreeStacksTheBlocksInBoxOrder) {
    HARMDIM s = pageState({0, 1440, 145});
    RecordingCanvas c(2350, 1970);
    // Checked as current, current distortion, voltage distortion: printed by box index.
    printSetSheet(c, s, source(kCurrentDistortion, {0, 1}),
                  {kCurrent, kCurrentDistortion, kVoltageDistortion}, false);
    EXPECT_DOUBLE_EQ(c.scaleHeight(), 1970);
    const auto frames = c.boxes();
    const auto dates = c.findTexts("19/05/29(水)    受電点");
    ASSERT_EQ(frames.size(), 3u);
    ASSERT_EQ(dates.size(), 3u);
    const char* titles[] = {"電圧歪率(%)", "電流歪率(%) 1ch", "電    流(A) 1ch"};
    for (int k = 0; k < 3; ++k) {
        const double top = 100 + 640 * k;  // 100, 740, 1380
        EXPECT_EQ(frames[k].from, (Point{260, top}));
        EXPECT_EQ(frames[k].to, (Point{2260, top + 500}));
        EXPECT_EQ(dates[k].from, (Point{220, top + 530}));  // 630, 1270, 1910
        expectText(c, titles[k], 1000, top - 45);
    }
    expectText(c, "ﾌｧｲﾙ名:/data/sample.hm1", 1400, 1930, 8);
    EXPECT_EQ(setPrintOrder({kCurrent, kCurrentDistortion, kVoltageDistortion, kCurrent}),
              (std::vector<int16_t>{1, 2, 5}));
}

TEST(PrintPage, ThirdsFillTheSheetFromTheTop) {
    HARMDIM s = pageState({0, 1440, 145});
    RecordingCanvas c(2350, 1970);
    const double dateSizes[] = {12, 10, 12};
    for (int n = 0; n < 3; ++n) {
        c.forget();
        printThird(c, s, source(kVoltageDistortion, {0}), n, false);
        ASSERT_EQ(c.boxes().size(), 1u);
        EXPECT_EQ(c.boxes()[0].from, (Point{260, 100.0 + 640 * n}));
        expectText(c, "19/05/29(水)    受電点", 220, 630.0 + 640 * n, dateSizes[n]);
        // The file-name line goes on with the second third.
        EXPECT_EQ(c.findText("ﾌｧｲﾙ名:/data/sample.hm1") != nullptr, n == 1);
    }
}

// On a landscape sheet the page's height units are larger than on a portrait one: the date lines
// of set and thirds sheets go below the hour labels (12 pt from 505 under the block's top);
// portrait keeps them at 530. Units per point of A4 (190 x 277 mm printable) either way.
TEST(PrintPage, DateLinesClearTheHourLabels) {
    HARMDIM s = pageState({0, 1440, 145});
    for (const bool landscape : {false, true}) {
        RecordingCanvas c(2350, 1970);
        c.setLandscape(landscape);
        if (landscape)
            c.setUnitsPerPoint(2350 / 785.2, 1970 / 538.6);
        else
            c.setUnitsPerPoint(2350 / 538.6, 1970 / 785.2);
        const double below = 505 + 12 * (landscape ? 1970 / 538.6 : 1970 / 785.2);
        printSetSheet(c, s, source(kVoltageDistortion, {0}), {kVoltageDistortion}, false);
        const DrawCall* date = c.findText("19/05/29(水)    受電点");
        ASSERT_NE(date, nullptr);
        EXPECT_NEAR(date->from.y, 100 + below, 1e-3) << "set, landscape " << landscape;
        c.forget();
        printThird(c, s, source(kVoltageDistortion, {0}), 2, false);
        date = c.findText("19/05/29(水)    受電点");
        ASSERT_NE(date, nullptr);
        EXPECT_NEAR(date->from.y, 1380 + below, 1e-3) << "third, landscape " << landscape;
    }
}

// No two texts of a sheet meet, the value axis labels aside: hour labels, dates, date lines,
// titles and legends and the file-name line, in every layout, portrait and landscape, over a day,
// four days and a month, the whole period or a range over days.
TEST(PrintPage, NoTextsMeetInAnyLayoutOrOrientation) {
    const auto valueLabel = [](const DrawCall& t) {
        return t.from.x < kBlockLeft &&
               t.text.find_first_not_of(" -.0123456789") == std::string::npos;
    };
    const auto notValueLabel = [&](const DrawCall& t) { return !valueLabel(t); };
    for (const PeriodSpec period :
         {PeriodSpec{0, 1440, 145}, PeriodSpec{0, 4 * 1440, 577}, PeriodSpec{0, 31 * 1440, 4465}}) {
        HARMDIM s = pageState(period, "/data/site/substation_east/feeder/sample.hm1");
        for (const bool landscape : {false, true}) {
            for (const bool range : {false, true}) {
                PrintSource src = source(kVoltageDistortion, {0, 1});
                src.filePath = s.FilePath;
                if (range) src.range = ShownRange{period.minutes / 3.0, period.minutes * 0.9};
                const std::string where = std::to_string(period.minutes) + " min" +
                                          (landscape ? ", landscape" : "") +
                                          (range ? ", range" : "");
                for (const int layout : {0, 1, 2}) {
                    RecordingCanvas c(2350, 1970);
                    c.setLandscape(landscape);
                    const double pageHeight = layout == 0 ? 640 : 1970;
                    const double w = landscape ? 785.2 : 538.6, h = landscape ? 538.6 : 785.2;
                    c.setUnitsPerPoint(2350 / w, pageHeight / h);
                    if (layout == 0) printOneSheet(c, s, src, false);
                    if (layout == 1)
                        printSetSheet(c, s, src, {kVoltageDistortion, kCurrent, kPhaseDifference},
                                      false);
                    for (int n = 0; layout == 2 && n < 3; ++n) printThird(c, s, src, n, false);
                    expectNoTextOverlaps(c, notValueLabel,
                                         where + ", layout " + std::to_string(layout));
                }
            }
        }
    }
}

// The file-name line ends before the page's right edge: a deep path loses folders from the left
// behind "…/", the file name itself stays whole. 8 pt on A4 portrait: about 54 characters fit.
TEST(PrintPage, FileNameLineFitsThePage) {
    const std::string deep = "/srv/measurements/2019/substation_east/feeder_north/x.hv3";
    for (auto [path, line] :
         {std::pair{"/data/a.hm1", "ﾌｧｲﾙ名:/data/a.hm1"},
          {deep.c_str(), "ﾌｧｲﾙ名:…/2019/substation_east/feeder_north/x.hv3"},
          {"/a_folder_name_far_too_long_for_any_page_of_paper_anyone_prints/x.hv3",
           "ﾌｧｲﾙ名:…/x.hv3"}}) {
        HARMDIM s = pageState({0, 1440, 145});
        RecordingCanvas c(2350, 640);
        c.setUnitsPerPoint(2350 / 538.6, 640 / 785.2);
        printOneSheet(c, s, source(kVoltageDistortion, {0}, path), false);
        const DrawCall* text = c.findText(line);
        ASSERT_NE(text, nullptr) << line << "\n" << c.dump();
        c.setFontSize(8);
        EXPECT_LE(1400 + c.textWidth(line), 2350) << line;
    }
}

TEST(PrintPage, PhaseDifferenceBlockHasItsFixedGrid) {
    HARMDIM s = pageState({0, 1440, 145});
    const OneSheet c(s, source(kPhaseDifference, {0}));
    // Base line 0 solid at the middle; dotted lines at 90, 180, -90, -180.
    for (auto [y, label] : {std::pair{300.0, " 0"},
                            {175.0, " 90"},
                            {50.0, " 180"},
                            {425.0, "-90"},
                            {550.0, "-180"}}) {
        const auto lines = c.select([y = y](const DrawCall& call) {
            return call.kind == Kind::Line && call.horizontal() && call.from.y == y &&
                   call.from.x == 260 && call.to.x == 2260;
        });
        ASSERT_EQ(lines.size(), 1u) << label << "\n" << c.dump();
        const bool base = y == 300;
        EXPECT_EQ(lines[0].style, base ? LineStyle::Solid : LineStyle::Dotted) << label;
        expectText(c, label, 100, y - (base ? 10 : 8), 12);
    }
    expectText(c, "遅れ", 100, 580, 10);
    expectText(c, "進み", 100, 0, 10);
    expectText(c, "位 相 差(deg) 1ch", 1000, 5);
}

TEST(PrintPage, FundamentalDivisorKeepsTheFundamentalInsideItsBlock) {
    struct Case {
        int16_t item;
        float fundamental;
        const char* title;
    };
    // The divisor itself is the value axis's; the paper names it and keeps the curve inside.
    for (const Case& k : {Case{kActivePower, 400, "有効電力(kW，基本波は20倍) 1ch"},
                          Case{kImpedance, 500, "ｲﾝﾋﾟｰﾀﾞﾝｽ(Ω，基本波は100倍) 1ch"}}) {
        HARMDIM s = pageState({0, 1440, 145});
        s.ItemMax(0, k.item - 1, 0) = k.fundamental;
        s.ItemMax(0, k.item - 1, 1) = k.item == kImpedance ? 5 : 10;
        for (int t = 0; t < 145; ++t) {
            s.givenActivePower()(0, t, 0) = k.fundamental;
            s.VoltageTable(t, 0) = 5000;  // impedance 500
            s.givenCurrentTable()(0, t, 0) = 10;
        }
        const OneSheet c(s, source(k.item, {0, 1}));
        expectText(c, k.title, 1000, 5, 12);
        ASSERT_FALSE(curveCalls(c).empty());
        for (const DrawCall& call : curveCalls(c)) {
            EXPECT_GE(call.to.y, 50) << k.title;
            EXPECT_LE(call.to.y, 550) << k.title;
        }
    }
}

// The time grid's styles are the screen's; the paper places its lines and labels on the block's
// 2000 units.
TEST(PrintPage, TimeAxesOfOneDayThreeDaysAndFortyFiveMinutes) {
    HARMDIM s = pageState({0, 1440, 145});
    const OneSheet c(s, source(kVoltageDistortion, {0}));
    const auto ticks = verticalLines(c, 50);
    ASSERT_EQ(ticks.size(), 25u);     // every hour from 0:00 to the next 0:00
    EXPECT_EQ(ticks[1].from.x, 343);  // 83.33 rounded
    expectText(c, "1", 343 - 12, 555, 12);
    expectText(c, "12", 1260 - 24, 555, 12);
    // 72 hours: 0.46 units a minute, so labelled hour lines are three hours (83 units) apart.
    s = pageState({0, 4320, 433});
    const OneSheet d(s, source(kVoltageDistortion, {0}));
    const auto days = verticalLines(d, 50);
    ASSERT_EQ(days.size(), 73u);
    EXPECT_EQ(days[2].style, LineStyle::Dotted);  // the hours between labels
    EXPECT_EQ(days[2].colour, Colour::palette(8));
    EXPECT_EQ(days[3].style, LineStyle::DashDot);
    EXPECT_EQ(d.findTexts("0").size(), 4u);  // the midnights
    EXPECT_EQ(d.findText("2"), nullptr);
    EXPECT_NE(d.findText("3"), nullptr);
    // 45 minutes: ten-minute lines labelled in 9 points, 444 units apart.
    s = pageState({9 * 60, 45, 10});
    const OneSheet m(s, source(kVoltageDistortion, {0}));
    const auto minutes = verticalLines(m, 50);
    ASSERT_EQ(minutes.size(), 5u);  // 9:00, 9:10, 9:20, 9:30, 9:40
    expectText(m, "9", 260 - 12, 555, 12);
    expectText(m, "9:10", 260 + 444 - 40, 555, 9);
    expectText(m, "9:40", minutes[4].from.x - 40, 555, 9);
}

TEST(PrintPage, SeriesColoursAndMonochrome) {
    HARMDIM s = pageState({0, 1440, 145});
    for (bool mono : {false, true}) {
        const OneSheet c(s, source(kVoltageDistortion, {0, 1, 2, 3, 4}), mono);
        const int expected[] = {12, 10, 11, 9, 13};
        const char* legends[] = {"総合", " 3次", " 5次", " 7次", " 9次"};
        for (int n = 0; n < 5; ++n) {
            expectText(c, legends[n], 200 + (n + 1) * 120, 5);
            EXPECT_EQ(c.findText(legends[n])->colour, Colour::palette(expected[n] - (mono ? 8 : 0)))
                << legends[n] << " mono " << mono;
        }
        const auto curve = curveCalls(c);
        ASSERT_EQ(curve.size(), 5u * 145u);
        EXPECT_EQ(curve[0].kind, Kind::Point);
        EXPECT_EQ(curve[0].colour, Colour::palette(mono ? 4 : 12));
        // The unbalance rate has no legend and keeps the colour before it: black.
        const OneSheet unbalance(s, source(kPhaseVoltage, {5}), mono);
        ASSERT_FALSE(curveCalls(unbalance).empty());
        for (const DrawCall& call : curveCalls(unbalance))
            ASSERT_EQ(call.colour, Colour::palette(0)) << call;
    }
}

TEST(PrintPage, OverloadSetRangeAndAllZeroUnitRange) {
    HARMDIM s = pageState({0, 1440, 145});
    RecordingCanvas c(2350, 1970);
    // The window's selection has nothing for the overload rates: a set still draws all three.
    printSetSheet(c, s, source(kVoltageDistortion, {7}), {kOverload}, false);
    expectText(c, "Ｌ無ｺﾝﾃﾞﾝｻ", 100, 55);
    expectText(c, "Ｌ6%ﾘｱｸﾄﾙ", 940, 55);
    expectText(c, " 0", 100, 590);
    expectText(c, " 160", 100, 92);
    expectText(c, " 20", 100, 530);  // 537.5, halves to even
    // The window's axis set by hand is printed for its own item only.
    PrintSource byHand = source(kCurrent, {1});
    byHand.axisByHand = AxisByHand{0, 10, 2.5};
    const OneSheet hand(s, byHand);
    expectText(hand, " 10", 100, 42);
    expectText(hand, " 2.5", 100, 417);
    RecordingCanvas set(2350, 1970);
    printSetSheet(set, s, byHand, {kVoltageDistortion}, false);
    EXPECT_EQ(set.findText(" 2.5"), nullptr);
    // All values 0 on an automatic range: 0..1.
    const OneSheet zero(s, source(kCurrent, {1}));
    expectText(zero, " 0", 100, 540);
    expectText(zero, " .5", 100, 292);
    expectText(zero, " 1", 100, 42);
}

TEST(PrintPage, AngleCurveWrapsAtTheEdges) {
    HARMDIM s = pageState({0, 20, 3});
    // Phase difference 170 at record 1 and -170 at record 2 (x 1000 and 2000).
    s.givenActivePower()(0, 0, 0) = 1;  // 0
    s.givenActivePower()(0, 1, 0) = s.givenActivePower()(0, 2, 0) = -1;
    s.givenReactivePower()(0, 1, 0) = -0.17632698f;  // about 170
    s.givenReactivePower()(0, 2, 0) = 0.17632698f;   // about -170
    const OneSheet c(s, source(kPhaseDifference, {0}));
    const auto curve = curveCalls(c);
    ASSERT_EQ(curve.size(), 5u) << c.dump();
    // point, line to 170, line up to the top edge at the crossing, point at the bottom edge,
    // line on to -170.
    EXPECT_EQ(curve[2].to, (Point{260 + 1500, 50}));
    EXPECT_EQ(curve[3].kind, Kind::Point);
    EXPECT_EQ(curve[4].from, (Point{260 + 1500, 550}));
    EXPECT_NEAR(curve[4].to.y, 50 + 350.0 / 360 * 500, 0.01);
}

TEST(PrintPage, TitleSuffixesAndNames) {
    HARMDIM s = pageState({0, 1440, 145}, "/data/a.Rha5");
    struct Case {
        int16_t item;
        std::vector<int> orders;
        const char* present;
        const char* absent;
    };
    // The channel of the items that read it: "1ch" .. for the measured channels, "合成" for the
    // composite; items without a channel carry none.
    for (const Case& k : {Case{kCurrent, {1}, "電    流(A)R相 1ch", nullptr},
                          Case{kPhaseCurrent, {5}, "電流不平衡率(%) 1ch", "正相"},
                          Case{kPredictedDistortion, {0, 1}, "総合", "基本"},
                          Case{kVoltageDistortion, {1}, "電圧歪率(%)R相", "電圧歪率(%)R相 1ch"}}) {
        PrintSource src = source(k.item, {}, "/data/a.Rha5");
        for (int o : k.orders) src.orders[static_cast<std::size_t>(o)] = 1;
        const OneSheet c(s, src);
        EXPECT_NE(c.findText(k.present), nullptr) << k.present << "\n" << c.dump();
        EXPECT_EQ(k.absent ? c.findText(k.absent) : nullptr, nullptr) << k.absent;
    }
    // The window's channel reaches the title (the marks themselves are the screen's test).
    s.ChannelCount = 2;
    PrintSource composite = source(kPhaseDifference, {1}, "/data/a.Rha5");
    composite.channel = 2;
    EXPECT_NE(OneSheet(s, composite).findText("位 相 差(deg)R相 合成"), nullptr);
}

TEST(PrintPage, SetPrintComputesThePredictionForTheWindowChannel) {
    HARMDIM s = graphState({0, 60, 7}, 24, 2);
    for (int t = 0; t < 7; ++t) {
        s.VoltageTable(t, 0) = 6600;
        s.VoltageTable(t, 2) = 100;
        for (int ch = 0; ch <= 2; ++ch) s.givenCurrentTable()(ch, t, 2) = 5.0f * (ch + 1);
    }
    PrintSource src = source(kVoltageDistortion, {0, 2});
    src.channel = 1;
    ASSERT_TRUE(preparePrintPrediction(s, src, {kVoltageDistortion}));
    EXPECT_EQ(src.prediction, nullptr);  // no prediction item, nothing computed
    ASSERT_TRUE(preparePrintPrediction(s, src, {kVoltageDistortion, kPredictedDistortion}));
    ASSERT_NE(src.prediction, nullptr);
    EXPECT_EQ(src.prediction->channel, 1);
    const Prediction* held = src.prediction.get();
    ASSERT_TRUE(preparePrintPrediction(s, src, {kPredictedDistortion}));
    EXPECT_EQ(src.prediction.get(), held);  // the window's own prediction is printed as it is
    src.transformer.capacity = 0;
    src.channel = 0;
    EXPECT_FALSE(preparePrintPrediction(s, src, {kPredictedPhaseDifference}));
}

}  // namespace
}  // namespace hg
