#include <gtest/gtest.h>

#include "analysis/harmdim.h"
#include "analysis/period.h"
#include "platform/dates.h"

namespace hg {
namespace {

// The file-selection window's tests type and step the common cases; here the rest of the rules.
TEST(Period, BoxNormalisation) {
    const std::pair<const char*, const char*> dates[] = {
        {"19/05/29(水)", "19/05/29(水)"},  // idempotent
        {"19/05/29(月)", "19/05/29(水)"},
        {"19/02/29", "19/02/29"},
        {"", ""},
    };
    for (auto [typed, shown] : dates) EXPECT_EQ(normaliseDateBox(typed), shown) << typed;
    const std::pair<const char*, const char*> times[] = {
        {"09:30", "09:30"}, {"12:345", "12:34"}, {"", ":"}, {"１２：３０", "１２:３０"}};
    for (auto [typed, shown] : times) EXPECT_EQ(normaliseTimeBox(typed), shown) << typed;
}

TEST(Period, TimeAndDateSteps) {
    struct Case {
        const char* box;
        float interval;
        bool minus;
        std::optional<std::string> shown;
    };
    const Case cases[] = {
        {"00:15", 10, true, "00:05"},      {"10:00", 2.5f, false, "10:02"},  // 602.5 -> 602
        {"10:01", 2.5f, false, "10:04"},                                     // 603.5 -> 604
        {"9::0", 10, false, "09:10"},  // the box's own rewrite reads as 9:00
        {"00:00", 1441, true, "23:59"},    {"25:00", 10, false, std::nullopt},
        {"10:00", 0, false, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto shown =
            c.minus ? stepTimeMinus(c.box, c.interval) : stepTimePlus(c.box, c.interval);
        EXPECT_EQ(shown, c.shown) << c.box;
    }
    EXPECT_EQ(stepDate("29/12/31", 1), std::nullopt);  // would read back as 1930
}

TEST(Period, ReadsTheFourBoxes) {
    struct Case {
        const char *startDate, *startTime, *endDate, *endTime;
        int32_t minutes;
    };
    const Case cases[] = {
        {"19/05/29(水)", "10:00", "19/05/29(水)", "10:00", 1},  // equal: one minute
        {"19/05/29(水)", "23:50", "19/05/30(木)", "00:10", 20},
        {"19/05/29(水)", "10:01", "19/05/29(水)", "10:00", -1},  // start after end
        {"19/05/01", "0:00", "19/06/30", "23:59", 87839},        // past 16 bits
        {"30/01/01", "00:00", "29/12/31", "23:59", 52595999},
    };
    for (const Case& c : cases) {
        const auto p = readPeriod(c.startDate, c.startTime, c.endDate, c.endTime);
        ASSERT_TRUE(p.ok()) << p.error();
        EXPECT_EQ(p->periodMinutes, c.minutes) << c.endTime;
        EXPECT_EQ(p->startAfterEnd(), c.minutes < 0) << c.endTime;
    }
    const auto p = readPeriod("19/05/29(水)", "9:05", "19/05/30", "13:30");
    ASSERT_TRUE(p.ok());
    HARMDIM state;
    applyPeriod(state, *p);
    EXPECT_EQ(state.StartDay, static_cast<float>(*dayNumber(2019, 5, 29)));
    EXPECT_EQ(state.EndDay, state.StartDay + 1);
    EXPECT_EQ(state.StartMinute, 545.0f);
    EXPECT_EQ(state.EndMinute, 810.0f);
    EXPECT_EQ(csvTimestamp(state.AnalysisStart), "2019/05/29 9:05:00");
    EXPECT_EQ(csvTimestamp(state.AnalysisEnd), "2019/05/30 13:30:00");
    EXPECT_EQ(state.PeriodMinutes, 1705);
}

TEST(Period, RefusesBoxesThatDoNotHoldADateOrTime) {
    struct Case {
        const char *startDate, *startTime, *endDate, *endTime, *message;
    };
    const Case cases[] = {
        {"19/02/29", "09:00", "19/05/29", "10:00", "解析開始年月日が正しくありません: 19/02/29"},
        {"19/05/29", "09:00", "00/00/00", "10:00", "解析終了年月日が正しくありません: 00/00/00"},
        {"19/05/29", "09:00", "19/05/29", "24:00", "解析終了時間が正しくありません: 24:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readPeriod(c.startDate, c.startTime, c.endDate, c.endTime).error(), c.message);
}

}  // namespace
}  // namespace hg
