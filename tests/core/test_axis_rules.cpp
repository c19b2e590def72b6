// Axis limits of two significant digits and the blue/red swap of the curve colours.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graph/axis_rules.h"

namespace hg {
namespace {

TEST(ScaleLimit, RoundsAtTheSecondDigitAndWritesOnlyItsOwnLimit) {
    struct Case {
        double x;
        int16_t mode;
        double expected;
    };
    const Case cases[] = {
        {23.4, kScaleUpper, 24},      {23.4, kScaleLower, 22},     {0.0734, kScaleUpper, 0.074},
        {0.0734, kScaleLower, 0.072}, {100, kScaleUpper, 110},     {100, kScaleLower, 90},
        {23, kScaleUpper, 24},        {-5.2, kScaleLower, -5.3},   {-5.2, kScaleUpper, -5.3},
        {0, kScaleUpper, 0},          {12345, kScaleUpper, 13000}, {1e-30, kScaleUpper, 1.1e-30},
    };
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
    EXPECT_EQ(SwapBlueRed(9), 12);
    EXPECT_EQ(SwapBlueRed(12), 9);
    for (int16_t c : {0, 10, 11, 13}) EXPECT_EQ(SwapBlueRed(c), c);
}

}  // namespace
}  // namespace hg
