// The analysis period: normalisation of the four period boxes, the step buttons, the reading of
// the four texts, and the period itself as Execute's preparation makes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/period_records.h"
#include "platform/result.h"

namespace hg {

// The analysis period of one Execute: one value, made by Execute's preparation from the four boxes
// and the recording; the load and the conversion read it.
struct Period {
    double AnalysisStart = 0;
    double AnalysisEnd = 0;
    float StartDay = 0;
    float EndDay = 0;
    float StartMinute = 0;
    float EndMinute = 0;
    // Minutes and slots are 32-bit here; the graph-mode limit of 32 767 slots is enforced where
    // the tables are dimensioned.
    int32_t PeriodMinutes = 0;
    int32_t PeriodRecords = 0;  // record slots of the period minus one
    // The file records of the period as the preparation found them (none before it has).
    std::optional<FoundPeriodRecords> PeriodFound;
};

// The message of a period that holds no record, in graph and conversion mode alike.
inline constexpr const char* kNoRecordsInPeriod = "指定期間にデータがありません";

// Date box (on every change): when the first eight characters are a real "yy/mm/dd", the text
// becomes "yy/mm/dd(aaa)"; otherwise it is returned unchanged. Idempotent.
std::string normaliseDateBox(std::string_view text);

// Time box (on losing the focus): characters 1-2, ":", characters 4-5 ("9:30" -> "9::0").
std::string normaliseTimeBox(std::string_view text);

// Time step buttons: +/- the recording interval on the minutes Val reads from characters 1-2 and
// 4-5, rounded half to even, wrapping at midnight (23:55 + 10 -> "00:05"); the minus buttons turn a
// time before 00:00 into 23:59. The date box is not touched. Empty (the click is ignored) when the
// box does not hold a time or the interval is not a positive number.
std::optional<std::string> stepTimePlus(std::string_view timeText, float recordInterval);
std::optional<std::string> stepTimeMinus(std::string_view timeText, float recordInterval);

// Date step buttons: +/- one day, as "yy/mm/dd(aaa)". Empty when the box does not hold a date or
// the step would leave the two-digit years (29/12/31 + 1).
std::optional<std::string> stepDate(std::string_view dateText, int days);

struct PeriodReading {
    double analysisStart = 0;
    double analysisEnd = 0;
    float startDay = 0;
    float endDay = 0;
    float startMinute = 0;
    float endMinute = 0;
    // (EndDay - StartDay) x 1440 + EndMinute - StartMinute; 1 for equal start and end, negative
    // when the start is after the end.
    int32_t periodMinutes = 1;
    bool startAfterEnd() const { return analysisStart > analysisEnd; }
};

// Reads the four boxes (start date, start time, end date, end time): the first eight characters
// of a date box as "yy/mm/dd", the whole time box strictly as "hh:mm" (one reading for both the
// minute and the date-time). A box that does not hold a date or a time is refused with a message
// naming it ("解析開始時間が正しくありません: 9::0"). A start after the end is not refused here:
// the caller checks startAfterEnd().
Result<PeriodReading> readPeriod(std::string_view startDate, std::string_view startTime,
                                 std::string_view endDate, std::string_view endTime);

// Takes the four boxes' reading into the period (its slots are left to the preparation).
void applyPeriod(Period& period, const PeriodReading& reading);

}  // namespace hg
