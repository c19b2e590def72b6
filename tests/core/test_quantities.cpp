// Sequence parts of three line magnitudes, and the extreme rules.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/quantities.h"

namespace hg {
namespace {

TEST(SequenceParts, WorkedTriangles) {
    struct Case {
        float a, b, c;
        double positive, negative, unbalance;  // unbalance: negative / positive x 100
    };
    const Case cases[] = {
        {100, 100, 90, 96.55903, 6.559028, 6.79276},
        {100, 50, 50, 50, 50, 100},  // degenerate: still real values
        {100, 40, 40, 62.70607, 21.63213, 34.4977},
        {100, 100, 100, 100, 0, 0},  // balanced: rounding noise only
    };
    for (const Case& c : cases) {
        const SequenceMagnitudes m = SequenceParts(c.a, c.b, c.c);
        EXPECT_NEAR(m.positive, c.positive, 1e-4 * c.positive) << c.c;
        EXPECT_NEAR(m.negative, c.negative, 1e-4 * std::max(1.0, c.negative)) << c.c;
        EXPECT_NEAR(m.negative / m.positive * 100, c.unbalance, 1e-4 * std::max(1.0, c.unbalance))
            << c.c;
    }
}

TEST(ExtremeRules, MaxFromZeroMinFromZeroAndMinFromFirst) {
    float max = 0, minZero = 0, minFirst = 0;
    for (const float x : {5.0f, 3.0f, 7.0f}) {
        trackMax(max, x);
        trackMinFromZero(minZero, x);
        trackMinFromFirst(minFirst, x, x == 5.0f);
    }
    EXPECT_EQ(max, 7.0f);
    EXPECT_EQ(minZero, 0.0f);  // never above 0
    EXPECT_EQ(minFirst, 3.0f);
    int64_t outOfRange = 0;  // a double a single cannot hold counts, and is 0
    EXPECT_EQ(toSingle(1e300, outOfRange), 0.0f);
    EXPECT_EQ(toSingle(2.5, outOfRange), 2.5f);
    EXPECT_EQ(outOfRange, 1);
}

}  // namespace
}  // namespace hg
