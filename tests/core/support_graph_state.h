// A loaded analysis state built directly in memory for graph tests: the period, the sizes and
// zero-filled tables, which each test fills with the values it draws.
#pragma once

#include <string>

#include "analysis/harmdim.h"
#include "platform/dates.h"

namespace hg::testing {

struct PeriodSpec {
    int startMinute = 9 * 60;  // minute of the start day
    int minutes = 60;          // length of the period
    int slots = 61;            // record slots (PeriodRecords + 1), all loaded
};

// A state of `orders` odd orders (N 24) or 256 orders (N 255) and `channels` channels, with the
// period given, starting on 2019-05-29, every slot loaded.
inline HARMDIM graphState(const PeriodSpec& p, int maxOrderIndex = 24, int channels = 1,
                          const std::string& path = "/data/sample.hm1") {
    HARMDIM s;
    s.FilePath = path;
    s.ChannelCount = static_cast<int16_t>(channels);
    s.MaxOrderIndex = static_cast<int16_t>(maxOrderIndex);
    const int32_t day = *dayNumber(2019, 5, 29);
    const int endMinute = p.startMinute + p.minutes;
    s.AnalysisStart = dateTime(day, p.startMinute);
    s.AnalysisEnd = dateTime(day + endMinute / 1440, endMinute % 1440);
    s.StartDay = static_cast<float>(day);
    s.EndDay = static_cast<float>(day + endMinute / 1440);
    s.StartMinute = static_cast<float>(p.startMinute);
    s.EndMinute = static_cast<float>(endMinute % 1440);
    s.PeriodMinutes = p.minutes;
    s.PeriodRecords = p.slots - 1;
    s.LoadedRecords = p.slots;
    s.RecordInterval = p.slots > 1 ? static_cast<float>(p.minutes) / (p.slots - 1) : 1;
    s.dimRanking();
    s.dimTables();
    return s;
}

}  // namespace hg::testing
