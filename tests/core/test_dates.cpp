#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "platform/dates.h"

namespace hg {
namespace {

constexpr int32_t k190529 = 43614;  // 2019-05-29, a Wednesday

TEST(Dates, DayNumbersCountFromTheEpoch) {
    struct Case {
        int y, m, d;
        int32_t day;
    };
    const Case cases[] = {
        {1899, 12, 30, 0},      {1899, 12, 29, -1},   {1900, 3, 1, 61},
        {2019, 5, 29, k190529}, {2000, 2, 29, 36585}, {2020, 2, 29, 43890},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dayNumber(c.y, c.m, c.d), c.day) << c.y << "-" << c.m << "-" << c.d;
        const CivilDate back = civilDate(c.day + 0.75);
        EXPECT_EQ(back.year * 10000 + back.month * 100 + back.day, c.y * 10000 + c.m * 100 + c.d);
    }
    for (auto [y, m, d] : {std::tuple{2019, 2, 29},
                           {1900, 2, 29},
                           {2019, 4, 31},
                           {2019, 13, 1},
                           {2019, 0, 1},
                           {2019, 1, 0}})
        EXPECT_FALSE(dayNumber(y, m, d)) << y << "-" << m << "-" << d;
    EXPECT_EQ(expandYear(29), 2029);
    EXPECT_EQ(expandYear(30), 1930);
    EXPECT_EQ(expandYear(0), 2000);
    EXPECT_EQ(expandYear(99), 1999);
}

TEST(Dates, DateTextsWithTheWeekday) {
    EXPECT_EQ(formatYyMmDd(k190529 + 0.5), "19/05/29");
    EXPECT_EQ(formatYyMmDdWeekday(k190529), "19/05/29(水)");
    EXPECT_EQ(formatYyMmDdWeekday(*dayNumber(2019, 3, 1)), "19/03/01(金)");
    EXPECT_EQ(formatYyMmDdWeekday(*dayNumber(1930, 1, 1)), "30/01/01(水)");
    EXPECT_EQ(weekday(0), 6);   // Saturday
    EXPECT_EQ(weekday(-1), 5);  // Friday
    EXPECT_EQ(japaneseWeekday(0), "日");
}

TEST(Dates, DateTextsAreStrictRealDates) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {"19/05/29", k190529},
        {"19/05/29(月)", k190529},  // only the first eight characters count
        {"29/12/31", *dayNumber(2029, 12, 31)},
        {"30/01/01", *dayNumber(1930, 1, 1)},
        {"20/02/29", *dayNumber(2020, 2, 29)},
        {"19/02/29", std::nullopt},
        {"19/13/01", std::nullopt},
        {"19/00/10", std::nullopt},
        {"19/5/29", std::nullopt},
        {"19-05-29", std::nullopt},
        {"19/05/2", std::nullopt},
        {"", std::nullopt},
        {"00/00/00", std::nullopt},
    };
    for (auto [text, day] : cases) EXPECT_EQ(parseDateText(text), day) << text;
}

TEST(Dates, TimeTextsAreStrictHoursAndMinutes) {
    const std::pair<const char*, int> valid[] = {
        {"09:30", 570}, {"9:30", 570}, {"9:5", 545}, {"00:00", 0}, {"23:59", 1439},
    };
    for (auto [text, minute] : valid) {
        const auto t = parseTimeText(text);
        ASSERT_TRUE(t) << text;
        EXPECT_EQ(minuteOfDay(*t), minute) << text;
        EXPECT_EQ(*t, minute / 1440.0) << text;
    }
    for (const char* text : {"24:00", "12:60", "9::0", "930", "", ":30", "12:", "12:345", "1a:00",
                             " 9:30", "123:00", "-1:00", "12:30 "})
        EXPECT_FALSE(parseTimeText(text)) << text;
}

TEST(Dates, RecordStamps) {
    EXPECT_EQ(stampDateText(50312.0f), "05/03/12");
    EXPECT_EQ(stampTimeText(5), "00:05");
    EXPECT_EQ(stampDateTime(50312.0f, 5), *dayNumber(2005, 3, 12) + 5 / 1440.0);
    EXPECT_EQ(stampDateTime(190529.0f, 2359), k190529 + 1439 / 1440.0);
    EXPECT_EQ(stampDateTime(10203.0f, 0), *dayNumber(2001, 2, 3));
    const std::pair<float, int16_t> refused[] = {
        {191301.0f, 0},  {190229.0f, 0},     {190529.0f, 2400}, {190529.0f, 1260}, {-190529.0f, 0},
        {190529.0f, -5}, {std::nanf(""), 0}, {1234567.0f, 0},   {190529.5f, 0},    {0.0f, 0},
    };
    for (auto [date, time] : refused)
        EXPECT_FALSE(stampDateTime(date, time)) << date << " " << time;
}

// A record's stamp reads the same as its box texts do, for every day of the two-digit-year window
// (and some that are not days) at a spread of times.
TEST(Dates, RecordStampAgreesWithItsBoxTexts) {
    for (int32_t n = 0; n < 1000000; n += 7) {
        for (int16_t t : {0, 5, 59, 60, 905, 1260, 2359, 2400, 9999}) {
            const auto date = stampDateText(static_cast<float>(n));
            const auto time = stampTimeText(t);
            const auto day = parseDateText(*date);
            const auto tod = parseTimeText(*time);
            const auto stamp = stampDateTime(static_cast<float>(n), t);
            ASSERT_EQ(stamp.has_value(), day && tod) << n << " " << t;
            if (stamp) {
                ASSERT_EQ(*stamp, *day + *tod) << n << " " << t;
            }
        }
    }
}

TEST(Dates, WholeMinutesBetweenDateTimes) {
    const double t1030 = k190529 + *parseTimeText("10:30");
    const double t1031 = k190529 + *parseTimeText("10:31");
    const double t2359 = k190529 + *parseTimeText("23:59");
    const double next0001 = k190529 + 1 + *parseTimeText("00:01");
    EXPECT_EQ(wholeMinutes(t1030, t1031), 1);
    EXPECT_EQ(wholeMinutes(t1031, t1030), -1);
    EXPECT_EQ(wholeMinutes(t1030, t1030), 0);
    EXPECT_EQ(wholeMinutes(t2359, next0001), 2);
    EXPECT_EQ(wholeMinutes(k190529, k190529 + 31), 31 * 1440);
    EXPECT_EQ(wholeMinutes(dateTime(k190529, 600), dateTime(k190529 + 1, 600)), 1440);
}

TEST(Dates, CsvTimestamps) {
    EXPECT_EQ(csvTimestamp(k190529 + *parseTimeText("9:05")), "2019/05/29 9:05:00");
    EXPECT_EQ(csvTimestamp(k190529 + *parseTimeText("23:59")), "2019/05/29 23:59:00");
    EXPECT_EQ(csvTimestamp(k190529), "2019/05/29");
    EXPECT_EQ(csvTimestamp(*stampDateTime(10203.0f, 0)), "2001/02/03");
    EXPECT_EQ(csvTimestamp(k190529 + 1 - 1e-9), "2019/05/30");  // rounds to the next midnight
    EXPECT_EQ(csvTimestamp(std::nan("")), "1899/12/30");        // never undefined
    std::string line = "a,";
    appendCsvTimestamp(line, dateTime(k190529, 61));
    EXPECT_EQ(line, "a,2019/05/29 1:01:00");
}

}  // namespace
}  // namespace hg
