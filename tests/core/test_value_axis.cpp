// The value axis of the graph and the printed block: automatic and fixed ranges, the fundamental
// factor, grid levels, and the limit and colour rules they use.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "graph/axis_rules.h"
#include "graph/value_axis.h"
#include "support_graph_state.h"

namespace hg {
namespace {

using namespace test;  // the graph-state helpers

void setExtremes(HARMDIM& s, int item, int k, float max, float min, int ch = 0) {
    s.ItemMax(ch, item - 1, k) = max;
    s.ItemMin(ch, item - 1, k) = min;
}

ValueAxis axisOf(const HARMDIM& s, int item, const std::vector<int16_t>& f,
                 AxisStyle style = AxisStyle::Screen, int channel = 0) {
    ValueAxisRequest r;
    r.item = item;
    r.channel = channel;
    r.orderFlags = f;
    r.style = style;
    return computeValueAxis(s, r);
}

TEST(ValueAxis, AutomaticRangeOnScreenAndPaper) {
    using Extremes = std::vector<std::pair<int, std::pair<float, float>>>;  // k -> (max, min)
    struct Case {
        const char* what;
        int item;
        Extremes extremes;
        std::vector<int16_t> orders;
        double top, low, unit, base;           // screen
        double paperTop, paperLow, paperUnit;  // paper
    };
    const Case cases[] = {
        {"distortion 38: top 39 -> unit 5 on screen, 4 on paper", 1,
         Extremes{{1, {38, 0}}, {2, {12, 0}}}, flags({1, 2}), 40, 0, 5, 0, 40, 0, 4},
        {"reactive power down to -5.2: low -5.5 on screen, -5.4 on paper", 4,
         Extremes{{1, {0, -5.2f}}}, flags({1}), 0, -5.5, 0.5, 0, 0, -5.4, 0.6},
        {"overload starts its minimum at 130 and keeps the base at the bottom", 8,
         Extremes{{0, {105, 95}}, {1, {98, 90}}, {2, {120, 100}}}, flags({0, 1, 2}), 130, 85, 5, 85,
         130, 85, 5},
        {"unselected orders do not count", 1, Extremes{{1, {38, 0}}, {2, {500, 0}}}, flags({1}), 40,
         0, 5, 0, 40, 0, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HARMDIM s = graphState({});
        for (const auto& [k, e] : c.extremes) setExtremes(s, c.item, k, e.first, e.second);
        const ValueAxis screen = axisOf(s, c.item, c.orders);
        EXPECT_NEAR(screen.top, c.top, 1e-9);
        EXPECT_NEAR(screen.low, c.low, 1e-9);
        EXPECT_NEAR(screen.unit, c.unit, 1e-9);
        EXPECT_NEAR(screen.base, c.base, 1e-9);
        const ValueAxis paper = axisOf(s, c.item, c.orders, AxisStyle::Paper);
        EXPECT_NEAR(paper.top, c.paperTop, 1e-9);
        EXPECT_NEAR(paper.low, c.paperLow, 1e-9);
        EXPECT_NEAR(paper.unit, c.paperUnit, 1e-9);
    }
}

TEST(ValueAxis, FixedRanges) {
    HARMDIM s = graphState({});
    setExtremes(s, 8, 0, 300, 0);
    for (int item : {6, 9, 10, 15, 16}) {
        const ValueAxis a = axisOf(s, item, flags({0, 1}));
        EXPECT_TRUE(a.top == 180 && a.low == -180 && a.unit == 90 && a.fixedRange) << item;
    }
    ValueAxisRequest set;  // overload in a printed set: 0..160 step 20
    set.item = 8;
    set.orderFlags = flags({0, 1, 2});
    set.style = AxisStyle::Paper;
    set.fixedOverloadRange = true;
    const ValueAxis a = computeValueAxis(s, set);
    EXPECT_TRUE(a.top == 160 && a.low == 0 && a.unit == 20);
}

TEST(ValueAxis, FundamentalFactor) {
    // Fundamental / largest harmonic, and the divisor.
    for (int item : {3, 4, 5, 7, 11}) {
        for (auto [ratio, divisor] : {std::pair{400.0, 200},
                                      {40.0, 20},
                                      {70.0, 100},
                                      {8.0, 10},
                                      {1.0, 1},
                                      {2.5, 2},
                                      {0.5, 1}}) {
            SCOPED_TRACE(::testing::Message() << "item " << item << " ratio " << ratio);
            HARMDIM s = graphState({});
            setExtremes(s, item, 1, 10, 0);
            setExtremes(s, item, 0, static_cast<float>(10 * ratio), 0);
            const ValueAxis a = axisOf(s, item, flags({0, 1}));
            EXPECT_EQ(a.factorText, std::to_string(divisor));
            EXPECT_DOUBLE_EQ(a.factor, 1.0 / divisor);
            EXPECT_GE(a.top, 10 * ratio / divisor);  // the divided fundamental fits under the top
        }
    }
    // A negative fundamental counts by its size; the axis reaches down to the divided value.
    HARMDIM s = graphState({});
    setExtremes(s, 3, 1, 10, -4);
    setExtremes(s, 3, 0, 0, -4000);
    const ValueAxis a = axisOf(s, 3, flags({0, 1}));
    EXPECT_EQ(a.factorText, "200");
    EXPECT_LE(a.low, -20);
    setExtremes(s, 1, 0, 4000, 0);  // items without a factor never divide
    setExtremes(s, 1, 1, 10, 0);
    EXPECT_EQ(axisOf(s, 1, flags({0, 1})).factorText, "1");
}

TEST(ValueAxis, ZeroValuesGiveZeroToOne) {
    const std::pair<int, std::vector<int16_t>> cases[] = {
        {1, flags({0, 1, 2})},         // distortion
        {3, flags({1, 2})},            // harmonics beside no fundamental: factor 1
        {12, flags({0, 1, 2, 3, 4})},  // per-phase voltage
        {8, flags({0, 1, 2})},         // overload
    };
    for (const auto& [item, orders] : cases) {
        HARMDIM s = graphState({});
        const ValueAxis a = axisOf(s, item, orders);
        EXPECT_TRUE(a.top == 1 && a.low == 0 && a.unit == 0.1 && a.base == 0) << item;
        EXPECT_EQ(a.factorText, "1") << item;
    }
    // Extremes too close to zero for a unit of their own never collapse the axis.
    for (const float tiny : {-1e-12f, -3e-11f, -1e-38f, 1e-38f}) {
        HARMDIM t = graphState({});
        setExtremes(t, 4, 1, tiny > 0 ? tiny : 0, tiny < 0 ? tiny : 0);
        const ValueAxis a = axisOf(t, 4, flags({1}));
        EXPECT_GT(a.top, a.low) << tiny;
        EXPECT_TRUE(std::isfinite(a.scale(600))) << tiny;
    }
    // Harmonics all zero beside a fundamental: no factor, the fundamental sets the range.
    HARMDIM s = graphState({});
    setExtremes(s, 5, 0, 120, 0);
    const ValueAxis a = axisOf(s, 5, flags({0, 1}));
    EXPECT_EQ(a.factorText, "1");
    EXPECT_GE(a.top, 120);
}

TEST(ValueAxis, GridLevelsCarryNoAccumulatedError) {
    ValueAxis zeroToOne;  // 0..1, unit 0.1: labels rounded to six decimals
    const auto up = gridLevelsUp(zeroToOne, AxisStyle::Screen);
    ASSERT_EQ(up.size(), 10u);
    EXPECT_EQ(up[2].label, 0.3);
    EXPECT_EQ(up[9].label, 1.0);
    ValueAxis paper;  // base 0, unit 0.6 down to -5.4
    paper.top = 0, paper.low = -5.4, paper.unit = 0.6;
    const auto down = gridLevelsDown(paper, AxisStyle::Paper);
    ASSERT_EQ(down.size(), 9u);
    EXPECT_EQ(down[2].label, -1.8);
}

// The bottom level is on the frame's edge however the sums of steps round: axes with the edge
// at -1.2 (as the automatic range forms it, top = u·j, low = top + u·j') keep their bottom line.
TEST(ValueAxis, BottomLevelOnTheFrameEdgeIsDrawn) {
    struct Case {
        double u;
        int topSteps, lowSteps;
    };
    for (const Case& c :
         {Case{0.1, 1, -13}, Case{0.2, 12, -18}, Case{0.3, 2, -6}, Case{0.1, 4, -5}}) {
        ValueAxis axis;
        axis.unit = c.u;
        axis.top = c.u * c.topSteps;
        axis.low = axis.top + c.u * (c.lowSteps);
        const auto expected = static_cast<std::size_t>(-(c.topSteps + c.lowSteps));
        for (AxisStyle style : {AxisStyle::Screen, AxisStyle::Paper}) {
            const auto down = gridLevelsDown(axis, style);
            ASSERT_EQ(down.size(), expected) << c.u << " " << c.topSteps;
            EXPECT_NEAR(down.back().label, -c.u * static_cast<double>(expected), 1e-9);
        }
        EXPECT_EQ(gridLevelsUp(axis, AxisStyle::Screen).size(),
                  static_cast<std::size_t>(c.topSteps));
    }
}

TEST(ScaleLimit, RoundsAtTheSecondDigitAndWritesOnlyItsOwnLimit) {
    struct Case {
        double x;
        int16_t mode;
        double expected;
    };
    const Case cases[] = {
        {23.4, kScaleUpper, 24},   {23.4, kScaleLower, 22}, {0.0734, kScaleLower, 0.072},
        {100, kScaleUpper, 110},   {100, kScaleLower, 90},  {23, kScaleUpper, 24},
        {-5.2, kScaleUpper, -5.3}, {0, kScaleUpper, 0},     {1e-30, kScaleUpper, 1.1e-30}};
    for (const Case& c : cases) {
        double lower = -99, upper = 99;
        ScaleLimit(c.x, c.mode, lower, upper);
        const bool up = c.mode == kScaleUpper;
        EXPECT_NEAR(up ? upper : lower, c.expected, 1e-12 * std::max(1.0, std::fabs(c.expected)))
            << c.x << " mode " << c.mode;
        EXPECT_EQ(up ? lower : upper, up ? -99 : 99) << c.x;
    }
    double lower = 1, upper = 2;
    ScaleLimit(23.4, 3, lower, upper);  // other modes write nothing
    EXPECT_EQ(lower + upper, 3);
    ScaleLimit(std::numeric_limits<double>::infinity(), kScaleUpper, lower, upper);
    ScaleLimit(std::numeric_limits<double>::quiet_NaN(), kScaleLower, lower, upper);
    EXPECT_EQ(upper, 0);  // non-numbers end as 0, never loop
    EXPECT_EQ(lower, 0);
}

TEST(SwapBlueRed, SwapsNineAndTwelveOnly) {
    for (auto [c, swapped] : {std::pair<int16_t, int16_t>{9, 12}, {12, 9}, {10, 10}, {13, 13}})
        EXPECT_EQ(SwapBlueRed(c), swapped) << c;
}

}  // namespace
}  // namespace hg
