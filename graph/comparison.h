// Before and after on one graph: a second period (of the same recording, or of another recording
// of the same kind) drawn over the first, its records placed on the first period's time axis by
// time of day (a day against a day) or by day of the week (a week against a week), its curves
// dashed in the colours of the first's.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/execute.h"
#include "graph/graph_composition.h"
#include "platform/result.h"

namespace hg {

enum class Alignment { Day, Week };

// "day" / "week" and back.
const char* alignmentName(Alignment alignment);
std::optional<Alignment> alignmentNamed(const std::string& name);

// The whole days the comparison's times move back by to stand on the main period's axis: the
// days between the two starts' midnights (Day), or between the Sundays that begin their weeks
// (Week), so that times of day (and weekdays) meet. Date-times are day numbers.
double alignmentShiftDays(double mainStart, double otherStart, Alignment alignment);

// The comparison as the main graph draws it: for each record of the other analysis, its minute
// on the main period's axis (from the main analysis start).
struct AlignedComparison {
    const HARMDIM* other = nullptr;
    Alignment alignment = Alignment::Day;
    std::vector<double> minutes;  // by the other's record slot
    std::string legend;           // "比較 19/06/05(水) 00:00～19/06/06(木) 00:00"
};

AlignedComparison alignComparison(const HARMDIM& main, const HARMDIM& other, Alignment alignment);

// The period to compare loaded (graph-mode Execute): `period`'s empty texts stand for the
// recording's first or last record. Refuses, in Japanese, a recording that cannot be read, a
// period without records, and one of another kind than `main`'s.
Result<std::shared_ptr<const HARMDIM>> loadComparedPeriod(const std::string& path,
                                                          PeriodTexts period, const HARMDIM& main);

// Whether two analyses may be compared: the same kind of recording (the same orders and channels).
bool comparable(const HARMDIM& main, const HARMDIM& other);

// The records of the comparison that stand inside a range of the main axis.
RecordSpan comparisonRecordsIn(const AlignedComparison& comparison, const ShownRange& range);

// The largest value of each curve the request draws, over the comparison's records the layout
// shows (the value axis extends to show them). The prediction items compare nothing.
std::vector<double> comparisonMaxima(const AlignedComparison& comparison,
                                     const GraphRequest& request, const GraphLayout& g);

// The comparison's curves, dashed in the colours of the request's, over the records the layout
// shows: each at its minute on the main axis. A gap in the comparison's records (more than twice
// its interval) breaks the curve.
void drawComparison(Canvas& canvas, const AlignedComparison& comparison,
                    const GraphRequest& request, const GraphLayout& g, const ValueAxis& axis);

// The legend line naming both periods, right-aligned just above the plot: "実線 <main period>
// 破線 <comparison period>" (in place of the comparison period, why its currents of item `item`
// could not be read back).
void drawComparisonLegend(Canvas& canvas, const HARMDIM& main, const AlignedComparison& comparison,
                          const GraphLayout& g, int item);

}  // namespace hg
