#include "analysis/period.h"

#include <cmath>

#include "platform/classic.h"
#include "platform/dates.h"

namespace hg {

namespace {

// Captions of the four boxes, used to name a box the reading refuses.
constexpr std::string_view kStartDateCaption = "解析開始年月日";
constexpr std::string_view kStartTimeCaption = "解析開始時間";
constexpr std::string_view kEndDateCaption = "解析終了年月日";
constexpr std::string_view kEndTimeCaption = "解析終了時間";

Error badBox(std::string_view caption, std::string_view text) {
    std::string message(caption);
    message += "が正しくありません: ";
    message += text;
    return Error{std::move(message)};
}

bool startsWithDigit(std::string_view s) {
    return !s.empty() && s[0] >= '0' && s[0] <= '9';
}

// Minutes of the day as the step buttons read a time box: Val of characters 1-2 as hours and of
// characters 4-5 as minutes (so the box's own "9::0" steps from 9:00). Empty when either part does
// not start with a digit or reads past 23 hours or 59 minutes.
std::optional<double> boxMinutes(std::string_view text) {
    const std::string_view hh = mid(text, 1, 2);
    const std::string_view mm = mid(text, 4, 2);
    if (!startsWithDigit(hh) || !startsWithDigit(mm)) return std::nullopt;
    const double h = val(hh);
    const double m = val(mm);
    if (h > 23 || m > 59) return std::nullopt;
    return h * 60 + m;
}

std::optional<std::string> stepTime(std::string_view text, float recordInterval, bool minus) {
    if (!(recordInterval > 0) || !std::isfinite(recordInterval)) return std::nullopt;
    const auto base = boxMinutes(text);
    if (!base) return std::nullopt;
    const double step = static_cast<double>(recordInterval);
    const auto rounded = toInt32(minus ? *base - step : *base + step);
    if (!rounded) return std::nullopt;
    int64_t m = classicMod(*rounded, 1440);
    // Before midnight the minus buttons stop at the last minute of the day, whatever the step.
    if (minus && m < 0) m = 1439;
    const int64_t h = intDiv(m, 60);
    const int64_t mi = classicMod(m, 60);
    std::string out = "00:00";
    out[0] = static_cast<char>('0' + h / 10);
    out[1] = static_cast<char>('0' + h % 10);
    out[3] = static_cast<char>('0' + mi / 10);
    out[4] = static_cast<char>('0' + mi % 10);
    return out;
}

}  // namespace

std::string normaliseDateBox(std::string_view text) {
    const auto day = parseDateText(text);
    if (!day) return std::string(text);
    return formatYyMmDdWeekday(*day);
}

std::string normaliseTimeBox(std::string_view text) {
    std::string out(mid(text, 1, 2));
    out += ':';
    out += mid(text, 4, 2);
    return out;
}

std::optional<std::string> stepTimePlus(std::string_view timeText, float recordInterval) {
    return stepTime(timeText, recordInterval, false);
}

std::optional<std::string> stepTimeMinus(std::string_view timeText, float recordInterval) {
    return stepTime(timeText, recordInterval, true);
}

std::optional<std::string> stepDate(std::string_view dateText, int days) {
    const auto day = parseDateText(dateText);
    if (!day) return std::nullopt;
    const int32_t next = *day + days;
    std::string out = formatYyMmDdWeekday(next);
    // A step out of the two-digit years (past 29/12/31 or before 30/01/01) would show a date a
    // century away; the box keeps its date instead.
    if (parseDateText(out) != next) return std::nullopt;
    return out;
}

Result<PeriodReading> readPeriod(std::string_view startDate, std::string_view startTime,
                                 std::string_view endDate, std::string_view endTime) {
    const auto startDay = parseDateText(startDate);
    if (!startDay) return badBox(kStartDateCaption, startDate);
    const auto startOfDay = parseTimeText(startTime);
    if (!startOfDay) return badBox(kStartTimeCaption, startTime);
    const auto endDay = parseDateText(endDate);
    if (!endDay) return badBox(kEndDateCaption, endDate);
    const auto endOfDay = parseTimeText(endTime);
    if (!endOfDay) return badBox(kEndTimeCaption, endTime);

    PeriodReading p;
    p.startDay = static_cast<float>(*startDay);
    p.endDay = static_cast<float>(*endDay);
    p.startMinute = static_cast<float>(minuteOfDay(*startOfDay));
    p.endMinute = static_cast<float>(minuteOfDay(*endOfDay));
    p.analysisStart = *startDay + *startOfDay;
    p.analysisEnd = *endDay + *endOfDay;

    // Day numbers of two-digit years and minutes of the day are exact in single precision, so
    // the difference is exact and always fits 32 bits.
    const double minutes =
        (static_cast<double>(p.endDay) - static_cast<double>(p.startDay)) * 24 * 60 +
        (static_cast<double>(p.endMinute) - static_cast<double>(p.startMinute));
    const auto whole = toInt32(minutes);
    if (!whole) return badBox(kEndDateCaption, endDate);
    p.periodMinutes = *whole == 0 ? 1 : *whole;
    return p;
}

void applyPeriod(Period& state, const PeriodReading& period) {
    state.AnalysisStart = period.analysisStart;
    state.AnalysisEnd = period.analysisEnd;
    state.StartDay = period.startDay;
    state.EndDay = period.endDay;
    state.StartMinute = period.startMinute;
    state.EndMinute = period.endMinute;
    state.PeriodMinutes = period.periodMinutes;
}

}  // namespace hg
