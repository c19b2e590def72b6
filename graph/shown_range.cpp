#include "graph/shown_range.h"

#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"

namespace hg {

ShownRange wholePeriod(const HARMDIM& state) {
    return {0, static_cast<double>(std::max(state.PeriodMinutes, 0))};
}

int32_t placedRecords(const HARMDIM& state) {
    const long placed = state.RecordX.empty() ? 0 : state.RecordX.upper(0) + 1;
    return static_cast<int32_t>(std::clamp<long>(state.LoadedRecords, 0, placed));
}

double recordMinute(const HARMDIM& state, int32_t rec) {
    if (rec < 0 || !state.RecordX.contains(rec)) return 0;
    // RecordX = 2000 x whole minutes / period minutes: the minutes come back whole.
    return std::round(static_cast<double>(state.RecordX(rec)) * state.PeriodMinutes / 2000.0);
}

double recordDateTime(const HARMDIM& state, int32_t rec) {
    const double start = std::floor(state.AnalysisStart * 1440.0 + 1e-6) / 1440.0;
    return start + recordMinute(state, rec) / 1440.0;
}

std::optional<int32_t> nearestRecord(const HARMDIM& state, double minute) {
    const int32_t n = placedRecords(state);
    if (n <= 0) return std::nullopt;
    // The first record at or after the minute, then the nearer of it and the one before.
    int32_t lo = 0, hi = n;
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        if (recordMinute(state, mid) < minute) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    if (lo == n) return n - 1;
    if (lo == 0) return 0;
    const double after = recordMinute(state, lo) - minute;
    const double before = minute - recordMinute(state, lo - 1);
    return before <= after ? lo - 1 : lo;
}

std::optional<int32_t> recordAtOrAfter(const HARMDIM& state, double minute) {
    const RecordSpan after =
        recordsIn(state, {minute, recordMinute(state, placedRecords(state) - 1)});
    if (after.empty()) return std::nullopt;
    return after.first;
}

RecordSpan recordsIn(const HARMDIM& state, const ShownRange& range) {
    const int32_t n = placedRecords(state);
    auto firstAtOrAfter = [&](double minute, bool strictly) {
        int32_t lo = 0, hi = n;
        while (lo < hi) {
            const int32_t mid = lo + (hi - lo) / 2;
            const double m = recordMinute(state, mid);
            if (strictly ? m <= minute : m < minute) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        return lo;
    };
    return {firstAtOrAfter(range.first, false), firstAtOrAfter(range.last, true) - 1};
}

double shortestRange(const HARMDIM& state) {
    const double interval = std::isfinite(state.RecordInterval) ? state.RecordInterval : 0;
    return std::max(2.0, 2.0 * interval);
}

namespace {
// The range of that length placed as near `first` as the period allows.
ShownRange placed(const HARMDIM& state, double first, double length) {
    const ShownRange whole = wholePeriod(state);
    length = std::min(std::max(length, shortestRange(state)), whole.minutes());
    first = std::clamp(first, whole.first, whole.last - length);
    return {first, first + length};
}
}  // namespace

ShownRange rangeBetween(const HARMDIM& state, double a, double b) {
    const double first = std::min(a, b), last = std::max(a, b);
    const double length = last - first;
    const double shortest = shortestRange(state);
    if (length >= shortest) return placed(state, first, length);
    return placed(state, (first + last) / 2 - shortest / 2, shortest);
}

ShownRange zoomAround(const HARMDIM& state, const ShownRange& range, double minute, double factor) {
    if (!(factor > 0) || !std::isfinite(factor) || !(range.minutes() > 0)) return range;
    const double share = std::clamp((minute - range.first) / range.minutes(), 0.0, 1.0);
    const double length = range.minutes() * factor;
    const double shortest = shortestRange(state);
    const double kept = std::max(length, std::min(shortest, range.minutes()));
    return placed(state, minute - share * kept, kept);
}

ShownRange panBy(const HARMDIM& state, const ShownRange& range, double minutes) {
    if (!std::isfinite(minutes)) return range;
    return placed(state, range.first + minutes, range.minutes());
}

bool showsWholePeriod(const HARMDIM& state, const ShownRange& range) {
    const ShownRange whole = wholePeriod(state);
    return range.first <= whole.first && range.last >= whole.last;
}

}  // namespace hg
