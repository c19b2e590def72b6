#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "platform/numtext.h"

namespace hg {
namespace {

struct Case {
    double value;
    const char* file;
    const char* label;
};

TEST(NumberText, SinglePrecisionFileAndLabelForms) {
    const float below1e4 = std::nextafter(0.0001f, 0.0f);
    const Case cases[] = {
        {0.5f, " 0.5 ", " .5"},
        {-0.25f, "-0.25 ", "-.25"},
        {-170.f, "-170 ", "-170"},
        {90.f, " 90 ", " 90"},
        {0.f, " 0 ", " 0"},
        {-0.f, " 0 ", " 0"},
        {100.1f, " 100.1 ", " 100.1"},
        {-2 / 3.0f, "-0.6666667 ", "-.6666667"},
        {9999999.f, " 9999999 ", " 9999999"},
        {1e7f, " 1E+07 ", " 1E+07"},
        {12345678.f, " 1.234568E+07 ", " 1.234568E+07"},
        {1.0000001f, " 1 ", " 1"},  // 8 digits rounded to 7, zeros stripped
        // Shortest texts ending in a 5 after the seventh digit: the value itself decides.
        {1.0000005f, " 1 ", " 1"},              // 1.00000047684...
        {1234567.5f, " 1234568 ", " 1234568"},  // exact halves go to the even digit
        {12345675.f, " 1.234568E+07 ", " 1.234568E+07"},
        {1.0119215f, " 1.011922 ", " 1.011922"},  // 1.011921525...
        {0.0001f, " 0.0001 ", " .0001"},
        {below1e4, " 9.999999E-05 ", " 9.999999E-05"},
        {1e-5f, " 1E-05 ", " 1E-05"},
        {-1.5e-7f, "-1.5E-07 ", "-1.5E-07"},
        {std::numeric_limits<float>::max(), " 3.402823E+38 ", " 3.402823E+38"},
        {std::numeric_limits<float>::denorm_min(), " 1E-45 ", " 1E-45"},
        // In files bare, so that the column still reads as numbers.
        {std::numeric_limits<float>::quiet_NaN(), "NaN", " NaN"},
        {std::numeric_limits<float>::infinity(), "Infinity", " Infinity"},
        {-std::numeric_limits<float>::infinity(), "-Infinity", "-Infinity"}};
    for (const Case& c : cases) {
        const float f = static_cast<float>(c.value);
        EXPECT_EQ(fileNumber(f), c.file);
        EXPECT_EQ(labelNumber(f), c.label) << c.file;
    }
}

TEST(NumberText, DoublePrecisionFileAndLabelForms) {
    const Case cases[] = {
        {0.5, " 0.5 ", " .5"},
        {0.1 + 0.2, " 0.3 ", " .3"},  // 17 shortest digits rounded to 15
        {2 / 3.0, " 0.666666666666667 ", " .666666666666667"},
        {9.999999999999998, " 10 ", " 10"},                              // rounded into a new digit
        {1.000000000003885, " 1.00000000000388 ", " 1.00000000000388"},  // ...3884892...
        {0.1f, " 0.100000001490116 ", " .100000001490116"},              // the single's exact value
        {123456789012345.0, " 123456789012345 ", " 123456789012345"},
        {999999999999999.9, " 1E+15 ", " 1E+15"},
        {-1234567890123456789.0, "-1.23456789012346E+18 ", "-1.23456789012346E+18"},
        {std::numeric_limits<double>::quiet_NaN(), "NaN", " NaN"},
        {-std::numeric_limits<double>::infinity(), "-Infinity", "-Infinity"}};
    for (const Case& c : cases) {
        EXPECT_EQ(fileNumber(c.value), c.file);
        EXPECT_EQ(labelNumber(c.value), c.label) << c.file;
    }
}

// Any single either reads back from its text, or needed more than seven digits and the text is
// the value rounded once to seven.
TEST(NumberText, SinglesReadBackOrCarrySevenDigits) {
    std::mt19937 rng(7);
    for (int i = 0; i < 200000; ++i) {
        const uint32_t bits = rng() & 0x7FFFFFFFu;
        float f;
        std::memcpy(&f, &bits, sizeof f);
        if (!std::isfinite(f)) continue;
        const std::string text = fileNumber(f);
        ASSERT_EQ(text.front(), ' ');
        ASSERT_EQ(text.back(), ' ');
        float back = 0;
        std::from_chars(text.data() + 1, text.data() + text.size() - 1, back);
        if (back == f) continue;
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, f, std::chars_format::scientific, 6);
        double rounded = 0, written = 0;
        std::from_chars(buf, r.ptr, rounded);
        std::from_chars(text.data() + 1, text.data() + text.size() - 1, written);
        ASSERT_EQ(written, rounded) << text;
    }
}

// Whole numbers (the angles of every record) are their digits, in both precisions, up to the
// exponent form; writing in place gives the same text as appending.
TEST(NumberText, WholeNumbersAreTheirDigits) {
    std::mt19937 rng(11);
    for (int i = 0; i < 100000; ++i) {
        const int32_t n = static_cast<int32_t>(rng() % 19999999) - 9999999;
        std::string sign = n < 0 ? "" : " ";
        const std::string digits = sign.append(std::to_string(n)).append(" ");
        ASSERT_EQ(fileNumber(static_cast<float>(n)), digits);
        ASSERT_EQ(fileNumber(static_cast<double>(n) * 1000),
                  digits.substr(0, digits.size() - 1) + "000 ");
        char buf[kFileNumberRoom];
        ASSERT_EQ(std::string(buf, writeFileNumber(buf, static_cast<float>(n))), digits);
    }
    EXPECT_EQ(fileNumber(-1e15), "-1E+15 ");
    EXPECT_EQ(fileNumber(999999999999999.0), " 999999999999999 ");
    std::string line = "x,";
    appendFileNumber(line, 0.5f);
    EXPECT_EQ(line, "x, 0.5 ");
    EXPECT_EQ(plainInteger(std::numeric_limits<long long>::min()), "-9223372036854775808");
}

}  // namespace
}  // namespace hg
