// The stretch of the period a graph window shows: a time range in minutes from the analysis
// start, the records that fall in it, the record nearest a time, and the zoom and pan steps that
// move the range. Records are placed by their time (RecordX), so a range picks records by time.
#pragma once

#include <cstdint>
#include <optional>

namespace hg {

struct HARMDIM;

// Minutes from the analysis start: first <= last.
struct ShownRange {
    double first = 0;
    double last = 0;
    double minutes() const { return last - first; }
    friend bool operator==(const ShownRange&, const ShownRange&) = default;
};

// Record slots first..last inclusive; empty when last < first.
struct RecordSpan {
    int32_t first = 0;
    int32_t last = -1;
    bool empty() const { return last < first; }
    int32_t count() const { return empty() ? 0 : last - first + 1; }
};

// The whole period: 0 .. PeriodMinutes.
ShownRange wholePeriod(const HARMDIM& state);

// Slots holding a loaded record with a position.
int32_t placedRecords(const HARMDIM& state);

// The minute of a record from the analysis start, as its position RecordX tells it.
double recordMinute(const HARMDIM& state, int32_t rec);

// The date-time of a record (the analysis start's minute plus the record's minutes).
double recordDateTime(const HARMDIM& state, int32_t rec);

// The record nearest a minute (the earlier on a tie); none when nothing is loaded.
std::optional<int32_t> nearestRecord(const HARMDIM& state, double minute);

// The first record at or after a minute; none when every record is earlier.
std::optional<int32_t> recordAtOrAfter(const HARMDIM& state, double minute);

// The records whose time lies in the range.
RecordSpan recordsIn(const HARMDIM& state, const ShownRange& range);

// The shortest range a zoom may reach: two record intervals, at least two minutes.
double shortestRange(const HARMDIM& state);

// A range made from two minutes (a drag, in either direction), kept inside the whole period and
// at least the shortest range long.
ShownRange rangeBetween(const HARMDIM& state, double a, double b);

// The range zoomed by `factor` (below 1 closer, above 1 farther) around `minute`, which stays
// where it is on the picture; never wider than the whole period.
ShownRange zoomAround(const HARMDIM& state, const ShownRange& range, double minute, double factor);

// The range moved by `minutes` (later when positive), its length kept, inside the period.
ShownRange panBy(const HARMDIM& state, const ShownRange& range, double minutes);

// Whether a range shows the whole period.
bool showsWholePeriod(const HARMDIM& state, const ShownRange& range);

}  // namespace hg
