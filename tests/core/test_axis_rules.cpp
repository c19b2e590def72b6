// Axis limits of two significant digits and the blue/red swap of the curve colours.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graph/axis_rules.h"

namespace hg {
namespace {

TEST(ScaleLimit, RoundsAtTheSecondDigit) {
    struct Case {
        double x;
        int16_t mode;
        double expected;
    };
    const Case cases[] = {
        {23.4, kScaleUpper, 24},      {23.4, kScaleLower, 22},       {0.0734, kScaleUpper, 0.074},
        {0.0734, kScaleLower, 0.072}, {100, kScaleUpper, 110},       {100, kScaleLower, 90},
        {23, kScaleUpper, 24},        {-5.2, kScaleLower, -5.3},     {-5.2, kScaleUpper, -5.3},
        {0, kScaleUpper, 0},          {0, kScaleLower, 0},           {38, kScaleUpper, 39},
        {12345, kScaleUpper, 13000},  {1e-30, kScaleUpper, 1.1e-30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << " mode " << c.mode);
        double lower = -99, upper = 99;
        ScaleLimit(c.x, c.mode, lower, upper);
        const double got = c.mode == kScaleUpper ? upper : lower;
        EXPECT_NEAR(got, c.expected, 1e-12 * std::max(1.0, std::fabs(c.expected)));
        // The other output is left as it was.
        EXPECT_EQ(c.mode == kScaleUpper ? lower : upper, c.mode == kScaleUpper ? -99 : 99);
    }
}

TEST(ScaleLimit, OtherModesWriteNothingAndNonNumbersEnd) {
    double lower = 1, upper = 2;
    ScaleLimit(23.4, 0, lower, upper);
    ScaleLimit(23.4, 3, lower, upper);
    EXPECT_EQ(lower, 1);
    EXPECT_EQ(upper, 2);
    ScaleLimit(std::numeric_limits<double>::infinity(), kScaleUpper, lower, upper);
    ScaleLimit(std::numeric_limits<double>::quiet_NaN(), kScaleLower, lower, upper);
    EXPECT_EQ(upper, 0);
    EXPECT_EQ(lower, 0);
}

TEST(SwapBlueRed, SwapsNineAndTwelveOnly) {
    EXPECT_EQ(SwapBlueRed(9), 12);
    EXPECT_EQ(SwapBlueRed(12), 9);
    for (int16_t c : {0, 1, 10, 11, 13, 15}) EXPECT_EQ(SwapBlueRed(c), c);
}

}  // namespace
}  // namespace hg
