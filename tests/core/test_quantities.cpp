// Sequence parts of three line magnitudes, and the extreme rules.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/quantities.h"

namespace hg {
namespace {

TEST(SequenceParts, WorkedTriangles) {
    struct Case {
        float a, b, c;
        double positive;
        double negative;
        double unbalance;  // negative / positive x 100
        double tolerance;
    };
    const Case cases[] = {
        {100, 100, 90, 96.55903, 6.559028, 6.79276, 1e-5},
        {100, 50, 50, 50, 50, 100, 1e-4},  // degenerate: still real values
        {100, 40, 40, 62.70607, 21.63213, 34.4977, 1e-4},
        {100, 100, 100, 100, 0, 0, 1e-5},  // balanced: rounding noise only
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " " << c.b << " " << c.c);
        const SequenceMagnitudes m = SequenceParts(c.a, c.b, c.c);
        EXPECT_TRUE(std::isfinite(m.positive));
        EXPECT_TRUE(std::isfinite(m.negative));
        EXPECT_NEAR(m.positive, c.positive, c.tolerance * c.positive);
        EXPECT_NEAR(m.negative, c.negative, c.tolerance * std::max(1.0, c.negative));
        EXPECT_NEAR(m.negative / m.positive * 100, c.unbalance,
                    c.tolerance * std::max(1.0, c.unbalance));
    }
    // A balanced system leaves only the rounding of single and double precision, well above 0.
    const SequenceMagnitudes balanced = SequenceParts(100, 100, 100);
    EXPECT_GT(balanced.negative, 0.0f);
    EXPECT_LE(balanced.negative / balanced.positive * 100, 1e-5);
}

TEST(ExtremeRules, MaxFromZeroMinFromZeroAndMinFromFirst) {
    const float values[] = {5, 3, 7, 4};
    float max = 0, minZero = 0, minFirst = 0;
    for (int i = 0; i < 4; ++i) {
        trackMax(max, values[i]);
        trackMinFromZero(minZero, values[i]);
        trackMinFromFirst(minFirst, values[i], i == 0);
    }
    EXPECT_EQ(max, 7.0f);
    EXPECT_EQ(minZero, 0.0f);  // never above 0
    EXPECT_EQ(minFirst, 3.0f);
    float negMax = 0;
    trackMax(negMax, -2.0f);
    EXPECT_EQ(negMax, 0.0f);  // never below 0

    int64_t outOfRange = 0;
    EXPECT_EQ(toSingle(1e300, outOfRange), 0.0f);
    EXPECT_EQ(toSingle(2.5, outOfRange), 2.5f);
    EXPECT_EQ(outOfRange, 1);
}

}  // namespace
}  // namespace hg
