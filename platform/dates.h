// Date-time rules of the classic runtime: day numbers counted from 1899-12-30 with the time of day
// as the fraction, two-digit years 30..99 -> 1930..1999 and 00..29 -> 2000..2029, whole minutes
// between two date-times, and the date texts the screens, the boxes and the CSV files use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hg {

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The four-digit year of a two-digit one (30..99 -> 19yy, 0..29 -> 20yy).
int expandYear(int yy);

// Day number of a real calendar date (1899-12-30 is day 0); empty for a date that does not exist.
std::optional<int32_t> dayNumber(int year, int month, int day);

// Calendar date of the whole part of a day number (floor, so times before 1899-12-30 work too).
CivilDate civilDate(double dayNumber);

// Weekday of a day number: 0 Sunday .. 6 Saturday.
int weekday(double dayNumber);

// Japanese short weekday name: 日 月 火 水 木 金 土.
std::string_view japaneseWeekday(int weekday);

// "yy/mm/dd" of a day number, and "yy/mm/dd(aaa)" with the Japanese short weekday.
std::string formatYyMmDd(double dayNumber);
std::string formatYyMmDdWeekday(double dayNumber);

// Strictly "yy/mm/dd" of a real date in the first eight characters; the rest is ignored.
// Returns the day number.
std::optional<int32_t> parseDateText(std::string_view text);
inline bool isDateText(std::string_view text) {
    return parseDateText(text).has_value();
}

// Strictly "hh:mm" (0..23, 0..59; one or two digits each) as the fraction of a day.
std::optional<double> parseTimeText(std::string_view text);

// Minute of the day, 0..1439, of a date-time (rounded to the nearest minute so that sums of
// binary fractions such as 10:30 land on their minute).
int32_t minuteOfDay(double dateTime);

// Whole minutes from a to b: each truncated to its minute, then subtracted.
int64_t wholeMinutes(double a, double b);

// The date-time of a day number and a minute of the day.
double dateTime(int32_t dayNumber, int32_t minuteOfDay);

// "yy/mm/dd hh:mm" of a date-time, to the nearest minute (the period texts of the command line).
std::string formatYyMmDdHhMm(double dateTime);

// The CSV time stamp a Japanese system writes: "yyyy/mm/dd H:mm:ss" (hour without leading zero);
// exactly midnight writes the date alone ("2019/05/29").
std::string csvTimestamp(double dateTime);
void appendCsvTimestamp(std::string& out, double dateTime);

// The record stamp fields of a recording: the date number yymmdd (single) and the time number hhmm.
// Texts as the boxes show them ("yy/mm/dd", "hh:mm"), zero-padded on the left; empty when the
// number cannot be written in that many digits.
std::optional<std::string> stampDateText(float dateNumber);
std::optional<std::string> stampTimeText(int16_t timeNumber);

// The date-time of a record stamp; empty when the date or the time is not a real one
// (month 13, 2400, 1260, negative, NaN, more than six digits).
std::optional<double> stampDateTime(float dateNumber, int16_t timeNumber);

}  // namespace hg
