#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <string>

#include "platform/classic.h"
#include "platform/system_reason.h"

namespace hg {
namespace {

TEST(ClassicRules, RoundingDivisionAndWholeNumbersThatDoNotFit) {
    for (auto [x, want] : {std::pair{2.5, 2.0}, {3.5, 4.0}, {-2.5, -2.0}, {-0.4, 0.0}, {2.6, 3.0}})
        EXPECT_EQ(roundHalfEven(x), want) << x;
    EXPECT_EQ(toInt16(-32768.5), -32768);  // the half goes to the even -32768
    EXPECT_FALSE(toInt16(32767.5));
    EXPECT_FALSE(toInt16(std::nan("")));
    EXPECT_FALSE(toInt32(2147483647.5));
    EXPECT_EQ(intDiv(-7, 2), -3);
    EXPECT_EQ(classicMod(-5, 1440), -5);  // the dividend's sign
}

TEST(ClassicRules, ValReadsTheLeadingNumberAndMidCountsCharacters) {
    for (auto [text, want] : {std::pair{"  12.5kV", 12.5},
                              {"abc", 0.0},
                              {"1e", 1.0},
                              {"-.25", -0.25},
                              {"-", 0.0},
                              {"12:30", 12.0},
                              {"1E-2x", 0.01}})
        EXPECT_EQ(val(text), want) << text;
    EXPECT_EQ(mid("9:30", 4, 2), "0");
    EXPECT_EQ(mid("9:30", 6, 2), "");
    EXPECT_EQ(mid("１２:３０", 4, 2), "３０");
    EXPECT_EQ(valMid("１:45", 3, 2), 45);
}

}  // namespace
}  // namespace hg

// Every reason a message gives is Japanese: the common error numbers by name, any other by number.
TEST(SystemReason, EveryReasonInJapanese) {
    for (const int err : {ENOENT, EACCES, ENOSPC, EROFS, EISDIR, ENOTDIR, ENAMETOOLONG, EEXIST,
                          ELOOP, EFBIG, EIO, EXDEV}) {
        const std::string text = hg::systemReasonText(err);
        EXPECT_TRUE(!text.empty() && static_cast<unsigned char>(text[0]) >= 0x80) << err << text;
    }
    EXPECT_EQ(hg::systemReasonText(ENOTDIR), "途中の名前がフォルダーではありません");
    EXPECT_EQ(hg::systemReasonText(9999), "システムエラー（番号 9999）");
}
