#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "platform/dates.h"

namespace hg {
namespace {

constexpr int32_t k190529 = 43614;  // 2019-05-29, a Wednesday

TEST(Dates, DayNumbersWeekdaysAndTwoDigitYears) {
    const std::tuple<int, int, int, int32_t> days[] = {
        {1899, 12, 30, 0},      {1899, 12, 29, -1},   {1900, 3, 1, 61},
        {2019, 5, 29, k190529}, {2000, 2, 29, 36585},
    };
    for (auto [y, m, d, day] : days) {
        EXPECT_EQ(dayNumber(y, m, d), day) << y << "-" << m << "-" << d;
        const CivilDate back = civilDate(day + 0.75);
        EXPECT_EQ(back.year * 10000 + back.month * 100 + back.day, y * 10000 + m * 100 + d);
    }
    for (auto [y, m, d] : {std::tuple{2019, 2, 29}, {1900, 2, 29}, {2019, 4, 31}, {2019, 13, 1}})
        EXPECT_FALSE(dayNumber(y, m, d)) << y << "-" << m << "-" << d;
    EXPECT_EQ(expandYear(29), 2029);
    EXPECT_EQ(expandYear(30), 1930);
    EXPECT_EQ(formatYyMmDdWeekday(k190529), "19/05/29(水)");
    EXPECT_EQ(formatYyMmDdWeekday(*dayNumber(1930, 1, 1)), "30/01/01(水)");
    EXPECT_EQ(weekday(-1), 5);  // Friday
}

TEST(Dates, BoxTextsAreStrictRealDatesAndTimes) {
    const std::pair<const char*, std::optional<int32_t>> dates[] = {
        {"19/05/29(月)", k190529},  // only the first eight characters count
        {"29/12/31", *dayNumber(2029, 12, 31)},
        {"19/02/29", std::nullopt},
        {"19/00/10", std::nullopt},
        {"19/5/29", std::nullopt},
        {"19-05-29", std::nullopt},
        {"", std::nullopt},
    };
    for (auto [text, day] : dates) EXPECT_EQ(parseDateText(text), day) << text;
    for (auto [text, minute] : {std::pair{"09:30", 570}, {"9:5", 545}, {"23:59", 1439}})
        EXPECT_EQ(parseTimeText(text), minute / 1440.0) << text;
    for (const char* text : {"24:00", "12:60", "9::0", "930", ":30", "12:345", " 9:30", "-1:00"})
        EXPECT_FALSE(parseTimeText(text)) << text;
}

TEST(Dates, RecordStamps) {
    EXPECT_EQ(stampDateTime(50312.0f, 5), *dayNumber(2005, 3, 12) + 5 / 1440.0);
    EXPECT_EQ(stampDateTime(10203.0f, 0), *dayNumber(2001, 2, 3));
    const std::pair<float, int16_t> refused[] = {
        {191301.0f, 0},  {190229.0f, 0},     {190529.0f, 2400}, {190529.0f, 1260}, {-190529.0f, 0},
        {190529.0f, -5}, {std::nanf(""), 0}, {1234567.0f, 0},   {190529.5f, 0},
    };
    for (auto [date, time] : refused)
        EXPECT_FALSE(stampDateTime(date, time)) << date << " " << time;
}

// A record's stamp reads the same as its box texts do, for every day of the two-digit-year window
// (and some that are not days) at a spread of times.
TEST(Dates, RecordStampAgreesWithItsBoxTexts) {
    for (int32_t n = 0; n < 1000000; n += 7) {
        for (int16_t t : {0, 5, 59, 60, 905, 1260, 2359, 2400, 9999}) {
            const auto day = parseDateText(*stampDateText(static_cast<float>(n)));
            const auto tod = parseTimeText(*stampTimeText(t));
            const auto stamp = stampDateTime(static_cast<float>(n), t);
            ASSERT_EQ(stamp.has_value(), day && tod) << n << " " << t;
            if (stamp) {
                ASSERT_EQ(*stamp, *day + *tod) << n << " " << t;
            }
        }
    }
}

TEST(Dates, WholeMinutesAndCsvTimestamps) {
    EXPECT_EQ(wholeMinutes(dateTime(k190529, 631), dateTime(k190529, 630)), -1);
    EXPECT_EQ(wholeMinutes(dateTime(k190529, 1439), dateTime(k190529 + 1, 1)), 2);
    EXPECT_EQ(csvTimestamp(dateTime(k190529, 545)), "2019/05/29 9:05:00");
    EXPECT_EQ(csvTimestamp(dateTime(k190529, 1439)), "2019/05/29 23:59:00");
    EXPECT_EQ(csvTimestamp(k190529), "2019/05/29");  // midnight: the date alone
    EXPECT_EQ(csvTimestamp(*stampDateTime(10203.0f, 905)), "2001/02/03 9:05:00");
    EXPECT_EQ(csvTimestamp(k190529 + 1 - 1e-9), "2019/05/30");  // rounds to the next midnight
    EXPECT_EQ(csvTimestamp(std::nan("")), "1899/12/30");        // never undefined
    std::string line = "a,";
    appendCsvTimestamp(line, dateTime(k190529, 61));
    EXPECT_EQ(line, "a,2019/05/29 1:01:00");
}

TEST(Dates, PeriodTextOfADateTime) {
    EXPECT_EQ(formatYyMmDdHhMm(dateTime(k190529, 545)), "19/05/29 09:05");
    EXPECT_EQ(formatYyMmDdHhMm(dateTime(k190529, 0)), "19/05/29 00:00");
    EXPECT_EQ(formatYyMmDdHhMm(k190529 + 1 - 1e-9), "19/05/30 00:00");  // the nearest minute
    EXPECT_EQ(formatYyMmDdHhMm(dateTime(k190529, 1439)), "19/05/29 23:59");
}

}  // namespace
}  // namespace hg
