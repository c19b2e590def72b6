// The analysis period: normalisation of the four period boxes, the step buttons, and the reading
// of the four texts into the period fields of the shared state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace hg {

struct HARMDIM;

// Date box (on every change): when the first eight characters are a real "yy/mm/dd", the text
// becomes "yy/mm/dd(aaa)"; otherwise it is returned unchanged. Idempotent.
std::string normaliseDateBox(std::string_view text);

// Time box (on losing the focus): characters 1-2, ":", characters 4-5 ("9:30" -> "9::0").
std::string normaliseTimeBox(std::string_view text);

// Time step buttons: +/- the recording interval, wrapping at midnight; the minus buttons turn a
// time before 00:00 into 23:59. Empty when the box does not hold a time.
std::optional<std::string> stepTimePlus(std::string_view timeText, float recordInterval);
std::optional<std::string> stepTimeMinus(std::string_view timeText, float recordInterval);

// Date step buttons: +/- one day, as "yy/mm/dd(aaa)". Empty when the box does not hold a date.
std::optional<std::string> stepDate(std::string_view dateText, int days);

struct PeriodReading {
    double analysisStart = 0;
    double analysisEnd = 0;
    float startDay = 0;
    float endDay = 0;
    float startMinute = 0;
    float endMinute = 0;
    int32_t periodMinutes = 1;  // at least 1
    bool startAfterEnd() const { return analysisStart > analysisEnd; }
};

// Reads the four boxes (start date, start time, end date, end time). A box that does not hold a
// date or a time is refused with a message naming it.
Result<PeriodReading> readPeriod(std::string_view startDate, std::string_view startTime,
                                 std::string_view endDate, std::string_view endTime);

// Stores the period into the shared state.
void applyPeriod(HARMDIM& state, const PeriodReading& period);

}  // namespace hg
