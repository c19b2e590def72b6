#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/classic.h"

namespace hg {
namespace {

TEST(ClassicRules, RoundingHalfToEvenAndWholeNumbersThatDoNotFit) {
    const std::pair<double, double> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {99.5, 100}, {2.6, 3}, {-0.4, 0},
    };
    for (auto [x, want] : cases) EXPECT_EQ(roundHalfEven(x), want) << x;
    EXPECT_EQ(toInt16(-32768.5), -32768);  // the half goes to the even -32768
    EXPECT_FALSE(toInt16(32767.5));
    EXPECT_FALSE(toInt16(std::nan("")));
    EXPECT_FALSE(toInt16(std::numeric_limits<double>::infinity()));
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    EXPECT_FALSE(toInt32(2147483647.5));
}

TEST(ClassicRules, DivisionTruncatesAndModKeepsTheDividendsSign) {
    EXPECT_EQ(intDiv(-7, 2), -3);
    EXPECT_EQ(intDiv(7, -2), -3);
    EXPECT_EQ(classicMod(-7, 2), -1);
    EXPECT_EQ(classicMod(7, -2), 1);
    EXPECT_EQ(classicMod(-5, 1440), -5);
}

TEST(ClassicRules, ValReadsTheLeadingNumberAndMidCountsCharacters) {
    const std::pair<const char*, double> cases[] = {
        {"  12.5kV", 12.5}, {"abc", 0}, {"1e3", 1000}, {"1e", 1},     {".5", 0.5}, {"-.25", -0.25},
        {"+4", 4},          {"", 0},    {"-", 0},      {"12:30", 12}, {"\t7", 7},  {"1E-2x", 0.01},
    };
    for (auto [text, want] : cases) EXPECT_EQ(val(text), want) << text;
    EXPECT_EQ(mid("9:30", 4, 2), "0");
    EXPECT_EQ(mid("9:30", 6, 2), "");
    EXPECT_EQ(mid("9:30", 0, 2), "");
    EXPECT_EQ(mid("abc", 2), "bc");
    EXPECT_EQ(mid("１２:３０", 4, 2), "３０");
    EXPECT_EQ(valMid("１:45", 3, 2), 45);
    EXPECT_EQ(valMid("10", 4, 2), 0);
}

}  // namespace
}  // namespace hg
