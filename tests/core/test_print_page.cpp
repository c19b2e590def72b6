#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graph/upstream_prediction.h"
#include "platform/recording_canvas.h"
#include "print/print_page.h"
#include "support_graph_state.h"

namespace hg {
namespace {

using testing::graphState;
using testing::PeriodSpec;
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

const DrawCall& textOf(const RecordingCanvas& c, const std::string& text) {
    const DrawCall* t = c.findText(text);
    if (!t) {
        ADD_FAILURE() << "no text \"" << text << "\"\n" << c.dump();
        static DrawCall none;
        return none;
    }
    return *t;
}

void expectText(const RecordingCanvas& c, const std::string& text, double x, double y,
                double size = 0) {
    const DrawCall& t = textOf(c, text);
    EXPECT_DOUBLE_EQ(t.from.x, x) << text;
    EXPECT_DOUBLE_EQ(t.from.y, y) << text;
    if (size > 0) {
        EXPECT_DOUBLE_EQ(t.font.size, size) << text;
    }
}

std::vector<DrawCall> framesOf(const RecordingCanvas& c) {
    return c.boxes();
}

std::vector<DrawCall> curveCalls(const RecordingCanvas& c) {
    return c.select([](const DrawCall& call) {
        return call.width == 2 && (call.kind == Kind::Line || call.kind == Kind::Point);
    });
}

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
    const auto frames = framesOf(c);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].from, (Point{260, 50}));
    EXPECT_EQ(frames[0].to, (Point{2260, 550}));
    expectText(c, "19/05/29(水)    受電点", 220, 580, 8);
    expectText(c, "ﾌｧｲﾙ名:/data/sample.hm1", 1400, 600, 8);
    expectText(c, "電圧歪率(%)", 1000, 5, 12);
    expectText(c, "総合", 320, 5, 12);
    expectText(c, " 3次", 440, 5, 12);
    expectText(c, "時", 2290, 530, 10);
    EXPECT_DOUBLE_EQ(c.font().size, 13.5);
}

TEST(PrintPage, SetOfThreeStacksTheBlocksInBoxOrder) {
    HARMDIM s = pageState({0, 1440, 145});
    RecordingCanvas c(2350, 1970);
    // Checked as current, current distortion, voltage distortion: printed by box index.
    printSetSheet(c, s, source(kCurrentDistortion, {0, 1}),
                  {kCurrent, kCurrentDistortion, kVoltageDistortion}, false);
    EXPECT_DOUBLE_EQ(c.scaleHeight(), 1970);
    const auto frames = framesOf(c);
    ASSERT_EQ(frames.size(), 3u);
    const double tops[] = {100, 740, 1380};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(frames[k].from, (Point{260, tops[k]}));
        EXPECT_EQ(frames[k].to, (Point{2260, tops[k] + 500}));
    }
    std::vector<double> titles;
    for (const char* name : {"電圧歪率(%)", "電流歪率(%)", "電    流(A)"})
        titles.push_back(textOf(c, name).from.y);
    EXPECT_EQ(titles, (std::vector<double>{55, 695, 1335}));
    const auto dates = c.findTexts("19/05/29(水)    受電点");
    ASSERT_EQ(dates.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(dates[k].from, (Point{220, tops[k] + 530}));
        EXPECT_DOUBLE_EQ(dates[k].font.size, 10);
    }
    EXPECT_EQ(dates[2].from.y, 1910);
    expectText(c, "ﾌｧｲﾙ名:/data/sample.hm1", 1400, 1930, 8);
    EXPECT_EQ(setPrintOrder({kCurrent, kCurrentDistortion, kVoltageDistortion, kCurrent}),
              (std::vector<int16_t>{1, 2, 5}));
}

TEST(PrintPage, SetWithoutItemsCarriesOnlyTheFileNameLine) {
    HARMDIM s = pageState({0, 1440, 145});
    RecordingCanvas c(2350, 1970);
    printSetSheet(c, s, source(kVoltageDistortion, {0}), {}, false);
    ASSERT_EQ(c.texts().size(), 1u) << c.dump();
    EXPECT_EQ(c.texts()[0].text, "ﾌｧｲﾙ名:/data/sample.hm1");
    EXPECT_TRUE(c.lines().empty());
}

TEST(PrintPage, ThirdsFillTheSheetFromTheTop) {
    HARMDIM s = pageState({0, 1440, 145});
    RecordingCanvas c(2350, 1970);
    const double dateSizes[] = {12, 10, 12};
    for (int n = 0; n < 3; ++n) {
        c.forget();
        printThird(c, s, source(kVoltageDistortion, {0}), n, false);
        ASSERT_EQ(framesOf(c).size(), 1u);
        EXPECT_EQ(framesOf(c)[0].from, (Point{260, 100.0 + 640 * n}));
        expectText(c, "19/05/29(水)    受電点", 220, 630.0 + 640 * n, dateSizes[n]);
        // The file-name line goes on with the second third.
        EXPECT_EQ(c.findText("ﾌｧｲﾙ名:/data/sample.hm1") != nullptr, n == 1);
    }
}

TEST(PrintPage, PhaseDifferenceBlockHasItsFixedGrid) {
    HARMDIM s = pageState({0, 1440, 145});
    RecordingCanvas c(2350, 640);
    printOneSheet(c, s, source(kPhaseDifference, {0}), false);
    // Base line 0 solid at the middle; dotted lines at 90, 180, -90, -180.
    struct Level {
        double y;
        const char* label;
        LineStyle style;
    };
    for (const Level& l :
         {Level{300, " 0", LineStyle::Solid}, Level{175, " 90", LineStyle::Dotted},
          Level{50, " 180", LineStyle::Dotted}, Level{425, "-90", LineStyle::Dotted},
          Level{550, "-180", LineStyle::Dotted}}) {
        const auto lines = c.select([&](const DrawCall& call) {
            return call.kind == Kind::Line && call.horizontal() && call.from.y == l.y &&
                   call.from.x == 260 && call.to.x == 2260;
        });
        ASSERT_EQ(lines.size(), 1u) << l.label << "\n" << c.dump();
        EXPECT_EQ(lines[0].style, l.style) << l.label;
        EXPECT_EQ(lines[0].colour, Colour::palette(0));
        expectText(c, l.label, 100, l.y - (l.style == LineStyle::Solid ? 10 : 8), 12);
    }
    expectText(c, "遅れ", 100, 580, 10);
    expectText(c, "進み", 100, 0, 10);
    expectText(c, "位 相 差(deg)", 1000, 5);
}

TEST(PrintPage, FundamentalDivisorOfActivePower) {
    struct Case {
        float fundamental;
        const char* title;
    };
    for (const Case& k :
         {Case{400, "有効電力(kW，基本波は20倍)"}, Case{700, "有効電力(kW，基本波は100倍)"},
          Case{80, "有効電力(kW，基本波は10倍)"}}) {
        HARMDIM s = pageState({0, 1440, 145});
        s.ItemMax(0, kActivePower - 1, 0) = k.fundamental;
        s.ItemMax(0, kActivePower - 1, 1) = 10;
        for (int t = 0; t < 145; ++t) s.ActivePower(0, t, 0) = k.fundamental;
        RecordingCanvas c(2350, 640);
        printOneSheet(c, s, source(kActivePower, {0, 1}), false);
        expectText(c, k.title, 1000, 5, 12);
        // The fundamental curve is drawn divided, inside the block.
        const auto curve = curveCalls(c);
        ASSERT_FALSE(curve.empty());
        EXPECT_GE(curve[0].from.y, 50);
        EXPECT_LE(curve[0].from.y, 550);
    }
}

TEST(PrintPage, ImpedanceFundamentalStaysInsideItsBlock) {
    HARMDIM s = pageState({0, 1440, 145});
    s.ItemMax(0, kImpedance - 1, 0) = 500;
    s.ItemMax(0, kImpedance - 1, 1) = 5;
    for (int t = 0; t < 145; ++t) {
        s.VoltageTable(t, 0) = 5000;
        s.CurrentTable(0, t, 0) = 10;
    }
    RecordingCanvas c(2350, 640);
    printOneSheet(c, s, source(kImpedance, {0, 1}), false);
    EXPECT_NE(c.findText("ｲﾝﾋﾟｰﾀﾞﾝｽ(Ω，基本波は100倍)"), nullptr) << c.dump();
    for (const DrawCall& call : curveCalls(c)) {
        EXPECT_GE(call.to.y, 50);
        EXPECT_LE(call.to.y, 550);
    }
}

TEST(PrintPage, TwentyFourHourTimeAxis) {
    HARMDIM s = pageState({0, 1440, 145});
    RecordingCanvas c(2350, 640);
    printOneSheet(c, s, source(kVoltageDistortion, {0}), false);
    const auto ticks = verticalLines(c, 50);
    ASSERT_EQ(ticks.size(), 25u);  // every hour from 0:00 to the next 0:00
    int solid = 0, dashDot = 0;
    for (const DrawCall& t : ticks) {
        EXPECT_EQ(t.colour, Colour::palette(0));
        solid += t.style == LineStyle::Solid ? 1 : 0;
        dashDot += t.style == LineStyle::DashDot ? 1 : 0;
    }
    EXPECT_EQ(solid, 2);  // the two midnights
    EXPECT_EQ(dashDot, 23);
    EXPECT_EQ(ticks[0].from.x, 260);
    EXPECT_EQ(ticks[1].from.x, 343);  // 83.33 rounded
    expectText(c, "1", 343 - 12, 555, 12);
    expectText(c, "12", 1260 - 24, 555, 12);
    EXPECT_EQ(c.findTexts("0").size(), 2u);
}

TEST(PrintPage, ThreeDayTimeAxisLabelsEveryThirdHour) {
    // 72 hours: 0.46 units a minute, so labelled hour lines are three hours (83 units) apart.
    HARMDIM s = pageState({0, 4320, 433});
    RecordingCanvas c(2350, 640);
    printOneSheet(c, s, source(kVoltageDistortion, {0}), false);
    const auto ticks = verticalLines(c, 50);
    ASSERT_EQ(ticks.size(), 73u);
    EXPECT_EQ(ticks[1].style, LineStyle::Dotted);
    EXPECT_EQ(ticks[1].colour, Colour::palette(8));
    EXPECT_EQ(ticks[2].style, LineStyle::Dotted);
    EXPECT_EQ(ticks[3].style, LineStyle::DashDot);
    EXPECT_EQ(ticks[3].colour, Colour::palette(0));
    EXPECT_EQ(c.findText("2"), nullptr);
    EXPECT_NE(c.findText("3"), nullptr);
    EXPECT_EQ(c.findTexts("0").size(), 4u);
}

TEST(PrintPage, FortyFiveMinuteTimeAxis) {
    HARMDIM s = pageState({9 * 60, 45, 10});
    RecordingCanvas c(2350, 640);
    printOneSheet(c, s, source(kVoltageDistortion, {0}), false);
    const auto ticks = verticalLines(c, 50);
    ASSERT_EQ(ticks.size(), 5u);  // 9:00, 9:10, 9:20, 9:30, 9:40
    EXPECT_EQ(ticks[0].style, LineStyle::DashDot);
    expectText(c, "9", 260 - 12, 555, 12);
    const char* labels[] = {"9:10", "9:20", "9:30", "9:40"};
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(ticks[i].style, LineStyle::Dotted);
        EXPECT_EQ(ticks[i].colour, Colour(Rgb{0, 0, 144}));
        expectText(c, labels[i - 1], ticks[i].from.x - 40, 555, 9);
    }
    EXPECT_EQ(ticks[1].from.x, 260 + 444);  // 10 minutes of 2000/45 units
}

TEST(PrintPage, SeriesColoursAndMonochrome) {
    HARMDIM s = pageState({0, 1440, 145});
    for (bool mono : {false, true}) {
        RecordingCanvas c(2350, 640);
        printOneSheet(c, s, source(kVoltageDistortion, {0, 1, 2, 3, 4}), mono);
        const int expected[] = {12, 10, 11, 9, 13};
        const char* legends[] = {"総合", " 3次", " 5次", " 7次", " 9次"};
        for (int n = 0; n < 5; ++n) {
            const DrawCall& legend = textOf(c, legends[n]);
            const int colour = expected[n] - (mono ? 8 : 0);
            EXPECT_EQ(legend.colour, Colour::palette(colour)) << legends[n] << " mono " << mono;
            EXPECT_DOUBLE_EQ(legend.from.x, 200 + (n + 1) * 120);
        }
        const auto curve = curveCalls(c);
        ASSERT_EQ(curve.size(), 5u * 145u);
        EXPECT_EQ(curve[0].kind, Kind::Point);
        EXPECT_EQ(curve[0].colour, Colour::palette(mono ? 4 : 12));
    }
}

TEST(PrintPage, OverloadSetBlockHasItsFixedRangeAndThreeSeries) {
    HARMDIM s = pageState({0, 1440, 145});
    RecordingCanvas c(2350, 1970);
    // The window's selection has nothing for the overload rates: a set still draws all three.
    printSetSheet(c, s, source(kVoltageDistortion, {7}), {kOverload}, false);
    expectText(c, "Ｌ無ｺﾝﾃﾞﾝｻ", 100, 55);
    expectText(c, "Ｌ6%ｺﾝﾃﾞﾝｻ", 580, 55);
    expectText(c, "Ｌ6%ﾘｱｸﾄﾙ", 940, 55);
    expectText(c, "過負荷率(%)", 1500, 55);
    expectText(c, " 0", 100, 590);
    expectText(c, " 160", 100, 92);
    expectText(c, " 20", 100, 530);  // 537.5, halves to even
}

TEST(PrintPage, AllZeroValuesGiveAUnitRange) {
    HARMDIM s = pageState({0, 1440, 145});
    RecordingCanvas c(2350, 640);
    printOneSheet(c, s, source(kCurrent, {1}), false);
    expectText(c, " 0", 100, 540);
    expectText(c, " .5", 100, 292);
    expectText(c, " 1", 100, 42);
}

TEST(PrintPage, AngleCurveWrapsAtTheEdges) {
    HARMDIM s = pageState({0, 20, 3});
    // Phase difference 170 at record 1 and -170 at record 2 (x 1000 and 2000).
    const auto angle = [&](int t, float p, float q) {
        s.ActivePower(0, t, 0) = p;
        s.ReactivePower(0, t, 0) = q;
    };
    angle(0, 1, 0);              // 0
    angle(1, -1, -0.17632698f);  // about 170
    angle(2, -1, 0.17632698f);   // about -170
    RecordingCanvas c(2350, 640);
    printOneSheet(c, s, source(kPhaseDifference, {0}), false);
    const auto curve = curveCalls(c);
    ASSERT_EQ(curve.size(), 5u) << c.dump();
    // point, line to 170, line up to the top edge at the crossing, point at the bottom edge,
    // line on to -170.
    EXPECT_EQ(curve[2].kind, Kind::Line);
    EXPECT_EQ(curve[2].to, (Point{260 + 1500, 50}));
    EXPECT_EQ(curve[3].kind, Kind::Point);
    EXPECT_EQ(curve[3].from, (Point{260 + 1500, 550}));
    EXPECT_EQ(curve[4].from, (Point{260 + 1500, 550}));
    EXPECT_NEAR(curve[4].to.y, 50 + 350.0 / 360 * 500, 0.01);
}

TEST(PrintPage, TitleSuffixesAndNames) {
    HARMDIM s = pageState({0, 1440, 145}, "/data/a.Rha5");
    RecordingCanvas c(2350, 640);
    printOneSheet(c, s, source(kCurrent, {1}, "/data/a.Rha5"), false);
    EXPECT_NE(c.findText("電    流(A)R相"), nullptr) << c.dump();

    c.forget();
    printOneSheet(c, s, source(kPhaseVoltage, {0, 1, 2, 3, 4}, "/data/a.Rha5"), false);
    EXPECT_NE(c.findText("相別電圧(V)"), nullptr);
    EXPECT_NE(c.findText("Vu-v"), nullptr);
    EXPECT_NE(c.findText("逆相"), nullptr);

    c.forget();
    printOneSheet(c, s, source(kPhaseCurrent, {5}, "/data/a.Rha5"), false);
    EXPECT_NE(c.findText("電流不平衡率(%)"), nullptr);
    EXPECT_EQ(curveCalls(c).size(), 145u);  // the unbalance rate is drawn, without a legend
    EXPECT_EQ(c.findText("正相"), nullptr);

    c.forget();
    printOneSheet(c, s, source(kPredictedDistortion, {0, 1}), false);
    EXPECT_NE(c.findText("総合"), nullptr);
    EXPECT_EQ(c.findText("基本"), nullptr);
}

TEST(PrintPage, SetPrintAvailabilityByKind) {
    struct Case {
        const char* path;
        bool voltageAngle, currentAngle, predictedAngle;
    };
    for (const Case& k : {Case{"/d/a.ha4", true, true, true}, Case{"/d/a.HA5", false, false, false},
                          Case{"/d/a.hv2", true, false, true}, Case{"/d/a.hn1", true, false, true},
                          Case{"/d/a.hm3", false, false, false}}) {
        EXPECT_EQ(setPrintAvailable(kVoltageSuperposition, k.path), k.voltageAngle) << k.path;
        EXPECT_EQ(setPrintAvailable(kCurrentSuperposition, k.path), k.currentAngle) << k.path;
        EXPECT_EQ(setPrintAvailable(kPredictedSuperposition, k.path), k.predictedAngle) << k.path;
        EXPECT_FALSE(setPrintAvailable(kPhaseVoltage, k.path));
        EXPECT_FALSE(setPrintAvailable(kPhaseCurrent, k.path));
        for (int16_t item : {1, 2, 3, 4, 5, 6, 7, 8, 11, 14, 15})
            EXPECT_TRUE(setPrintAvailable(item, k.path)) << item;
    }
    EXPECT_EQ(setPrintCaption(15), "上位電圧重畳角予測(deg)");
    EXPECT_EQ(setPrintCaption(11), "");
}

TEST(PrintPage, SetPrintComputesThePredictionForTheWindowChannel) {
    HARMDIM s = graphState({0, 60, 7}, 24, 2);
    for (int t = 0; t < 7; ++t) {
        s.VoltageTable(t, 0) = 6600;
        s.VoltageTable(t, 2) = 100;
        for (int ch = 0; ch <= 2; ++ch) s.CurrentTable(ch, t, 2) = 5.0f * (ch + 1);
    }
    PrintSource src = source(kVoltageDistortion, {0, 2});
    src.channel = 1;
    ASSERT_TRUE(preparePrintPrediction(s, src, {kVoltageDistortion}));
    EXPECT_FALSE(s.Prediction.channel.has_value());  // no prediction item, nothing computed
    ASSERT_TRUE(preparePrintPrediction(s, src, {kVoltageDistortion, kPredictedDistortion}));
    EXPECT_EQ(s.Prediction.channel, std::optional<int16_t>(1));
    src.transformer.capacity = 0;
    src.channel = 0;
    EXPECT_FALSE(preparePrintPrediction(s, src, {kPredictedPhaseDifference}));
}

}  // namespace
}  // namespace hg
