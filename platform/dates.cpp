#include "platform/dates.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace hg {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

CivilDate civilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr int64_t kEpochOffset = 25569;  // day number of 1970-01-01

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void append2(std::string& out, int v) {
    out.push_back(static_cast<char>('0' + v / 10 % 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

}  // namespace

int expandYear(int yy) {
    return yy < 30 ? 2000 + yy : 1900 + yy;
}

std::optional<int32_t> dayNumber(int year, int month, int day) {
    static constexpr std::array<int, 12> kDays{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return std::nullopt;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leap) return std::nullopt;
    return static_cast<int32_t>(daysFromCivil(year, month, day) + kEpochOffset);
}

namespace {
// The whole day of a day number; a value that is not a date at all (NaN, infinite, beyond any
// calendar) reads as day 0 rather than as an undefined conversion.
int64_t wholeDay(double dayNumber) {
    if (!(std::fabs(dayNumber) < 1e9)) return 0;
    return static_cast<int64_t>(std::floor(dayNumber));
}
}  // namespace

CivilDate civilDate(double dayNumber) {
    return civilFromDays(wholeDay(dayNumber) - kEpochOffset);
}

int weekday(double dayNumber) {
    // Day 0 (1899-12-30) was a Saturday.
    const int64_t d = wholeDay(dayNumber);
    return static_cast<int>(((d + 6) % 7 + 7) % 7);
}

std::string_view japaneseWeekday(int wd) {
    static constexpr std::array<std::string_view, 7> kNames{"日", "月", "火", "水",
                                                            "木", "金", "土"};
    return kNames[static_cast<std::size_t>(((wd % 7) + 7) % 7)];
}

std::string formatYyMmDd(double day) {
    const CivilDate c = civilDate(day);
    std::string out;
    append2(out, ((c.year % 100) + 100) % 100);
    out.push_back('/');
    append2(out, c.month);
    out.push_back('/');
    append2(out, c.day);
    return out;
}

std::string formatYyMmDdWeekday(double day) {
    std::string out = formatYyMmDd(day);
    out.push_back('(');
    out.append(japaneseWeekday(weekday(day)));
    out.push_back(')');
    return out;
}

std::optional<int32_t> parseDateText(std::string_view text) {
    if (text.size() < 8) return std::nullopt;
    const std::string_view t = text.substr(0, 8);
    for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u})
        if (!isDigit(t[i])) return std::nullopt;
    if (t[2] != '/' || t[5] != '/') return std::nullopt;
    const int yy = (t[0] - '0') * 10 + (t[1] - '0');
    const int mm = (t[3] - '0') * 10 + (t[4] - '0');
    const int dd = (t[6] - '0') * 10 + (t[7] - '0');
    return dayNumber(expandYear(yy), mm, dd);
}

std::optional<double> parseTimeText(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2) return std::nullopt;
    const std::string_view hh = text.substr(0, colon);
    const std::string_view mm = text.substr(colon + 1);
    if (mm.empty() || mm.size() > 2) return std::nullopt;
    int h = 0, m = 0;
    for (char c : hh) {
        if (!isDigit(c)) return std::nullopt;
        h = h * 10 + (c - '0');
    }
    for (char c : mm) {
        if (!isDigit(c)) return std::nullopt;
        m = m * 10 + (c - '0');
    }
    if (h > 23 || m > 59) return std::nullopt;
    return (h * 60 + m) / 1440.0;
}

int32_t minuteOfDay(double dt) {
    if (!(std::fabs(dt) < 1e9)) return 0;  // not a date-time
    const double total = std::round(dt * 1440.0);
    const int64_t m = static_cast<int64_t>(total);
    return static_cast<int32_t>(((m % 1440) + 1440) % 1440);
}

int64_t wholeMinutes(double a, double b) {
    // Each date-time truncated to its minute count, with a hair of tolerance for the binary
    // fraction of the time of day (10:31 - 10:30 is one minute, never 0), then subtracted.
    const auto minutes = [](double dt) -> int64_t {
        if (!(std::fabs(dt) < 1e9)) return 0;  // not a date-time
        const double whole = std::floor(dt);
        const double frac = dt - whole;
        return static_cast<int64_t>(whole) * 1440 +
               static_cast<int64_t>(std::floor(frac * 1440.0 + 1e-6));
    };
    return minutes(b) - minutes(a);
}

double dateTime(int32_t day, int32_t minute) {
    return day + minute / 1440.0;
}

std::string formatYyMmDdHhMm(double dt) {
    const int64_t total = std::fabs(dt) < 1e9 ? std::llround(dt * 1440.0) : 0;
    const int64_t day = total >= 0 ? total / 1440 : (total - 1439) / 1440;
    const int64_t minute = total - day * 1440;
    char hm[8];
    std::snprintf(hm, sizeof hm, " %02d:%02d", static_cast<int>(minute / 60),
                  static_cast<int>(minute % 60));
    return formatYyMmDd(static_cast<double>(day)) + hm;
}

void appendCsvTimestamp(std::string& out, double dt) {
    const double t = std::fabs(dt) < 1e9 ? dt : 0.0;  // not a date-time: day 0
    int64_t day = wholeDay(t);
    int64_t seconds = std::llround((t - static_cast<double>(day)) * 86400.0);
    if (seconds >= 86400) {  // a time a hair before midnight is the next day's midnight
        ++day;
        seconds -= 86400;
    }
    const CivilDate c = civilDate(static_cast<double>(day));
    int y = c.year;
    out.push_back(static_cast<char>('0' + y / 1000 % 10));
    out.push_back(static_cast<char>('0' + y / 100 % 10));
    append2(out, y % 100);
    out.push_back('/');
    append2(out, c.month);
    out.push_back('/');
    append2(out, c.day);
    if (seconds == 0) return;  // midnight: the date alone
    const int h = static_cast<int>(seconds / 3600);
    const int m = static_cast<int>(seconds / 60 % 60);
    const int s = static_cast<int>(seconds % 60);
    out.push_back(' ');
    if (h >= 10) out.push_back(static_cast<char>('0' + h / 10));
    out.push_back(static_cast<char>('0' + h % 10));
    out.push_back(':');
    append2(out, m);
    out.push_back(':');
    append2(out, s);
}

std::string csvTimestamp(double dt) {
    std::string out;
    appendCsvTimestamp(out, dt);
    return out;
}

namespace {
// The stamp number as plain digits, zero-padded on the left to `width`; empty when it is not a
// whole non-negative number of at most `width` digits.
std::optional<std::string> paddedDigits(double number, int width) {
    if (!std::isfinite(number) || number < 0 || number != std::floor(number)) return std::nullopt;
    if (number >= std::pow(10.0, width)) return std::nullopt;
    auto n = static_cast<int64_t>(number);
    std::string out(static_cast<std::size_t>(width), '0');
    for (int i = width - 1; i >= 0 && n > 0; --i, n /= 10)
        out[static_cast<std::size_t>(i)] = static_cast<char>('0' + n % 10);
    return out;
}
}  // namespace

std::optional<std::string> stampDateText(float dateNumber) {
    auto d = paddedDigits(dateNumber, 6);
    if (!d) return std::nullopt;
    return d->substr(0, 2) + "/" + d->substr(2, 2) + "/" + d->substr(4, 2);
}

std::optional<std::string> stampTimeText(int16_t timeNumber) {
    auto t = paddedDigits(timeNumber, 4);
    if (!t) return std::nullopt;
    return t->substr(0, 2) + ":" + t->substr(2, 2);
}

std::optional<double> stampDateTime(float dateNumber, int16_t timeNumber) {
    // The same reading as the box texts (six date digits yymmdd, four time digits hhmm), done on
    // the numbers directly: the load reads one stamp per record.
    const double d = dateNumber;
    if (!std::isfinite(d) || d < 0 || d >= 1e6 || d != std::floor(d)) return std::nullopt;
    if (timeNumber < 0 || timeNumber >= 10000) return std::nullopt;
    const auto n = static_cast<int32_t>(d);
    const auto day = dayNumber(expandYear(n / 10000), n / 100 % 100, n % 100);
    const int hh = timeNumber / 100, mm = timeNumber % 100;
    if (!day || hh > 23 || mm > 59) return std::nullopt;
    return *day + (hh * 60 + mm) / 1440.0;
}

}  // namespace hg
