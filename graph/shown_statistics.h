// Reading the curves of a graph window over the records it shows: each drawn curve's maximum with
// its time, 95th percentile and mean (the statistics the compliance work uses, by nearest rank),
// the record of a curve's maximum for the cursor to jump to, and the differences between two
// cursors (the time between them and each curve's change, in the curve's unit).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "graph/cursor_readout.h"
#include "graph/graph_composition.h"

namespace hg {

struct CurveStatistics {
    std::string legend;  // as the readout names the curve
    int colour = 0;
    std::string_view unit;
    int32_t count = 0;       // records counted
    double max = 0;          // the largest value
    int32_t maxRecord = -1;  // the first record slot holding it (-1 without records)
    double p95 = 0;
    double mean = 0;
};

// The statistics of every curve the request draws over `records` (values as the cursor reads
// them, without the fundamental factor).
std::vector<CurveStatistics> shownStatistics(const HARMDIM& state, const GraphRequest& request,
                                             const RecordSpan& records);

// The record of curve `curve`'s (0-based, in drawing order) maximum among `records`; none when
// the curve is not drawn or no record is shown.
std::optional<int32_t> maximumRecord(const HARMDIM& state, const GraphRequest& request, int curve,
                                     const RecordSpan& records);

// One curve's statistics as the strip shows them: "最大 5.90 (19/05/29(水) 12:30)  95% 5.80
// 平均 3.21".
std::string statisticsText(const HARMDIM& state, const CurveStatistics& s);

// Two cursors of one window: what each reads, the time from the first to the second, and each
// curve's value at the second less its value at the first.
struct CursorPair {
    CursorReadout first;
    CursorReadout second;
    std::string timeDifference;       // "Δt 1日 02:30", "Δt -00:10"
    std::vector<ReadoutLine> deltas;  // each curve with its signed change as value ("-0.125")
};

CursorPair cursorPair(const HARMDIM& state, const GraphRequest& request, int32_t first,
                      int32_t second);

// A signed time difference in minutes as the strip shows it: "Δt 02:30", "Δt 1日 02:30",
// "Δt -00:10".
std::string timeDifferenceText(double minutes);

}  // namespace hg
