#include "graph/comparison.h"

#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"
#include "graph/cursor_readout.h"
#include "platform/dates.h"

namespace hg {

const char* alignmentName(Alignment alignment) {
    return alignment == Alignment::Week ? "week" : "day";
}

std::optional<Alignment> alignmentNamed(const std::string& name) {
    if (name == "day") return Alignment::Day;
    if (name == "week") return Alignment::Week;
    return std::nullopt;
}

double alignmentShiftDays(double mainStart, double otherStart, Alignment alignment) {
    const double mainDay = std::floor(mainStart + 1e-9);
    const double otherDay = std::floor(otherStart + 1e-9);
    if (alignment == Alignment::Day) return otherDay - mainDay;
    return (otherDay - weekday(otherDay)) - (mainDay - weekday(mainDay));
}

AlignedComparison alignComparison(const HARMDIM& main, const HARMDIM& other, Alignment alignment) {
    AlignedComparison out;
    out.other = &other;
    out.alignment = alignment;
    const double mainStart = std::floor(main.AnalysisStart * 1440.0 + 1e-6) / 1440.0;
    const double shift = alignmentShiftDays(main.AnalysisStart, other.AnalysisStart, alignment);
    const int32_t n = placedRecords(other);
    out.minutes.reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (int32_t rec = 0; rec < n; ++rec)
        out.minutes.push_back(
            std::round((recordDateTime(other, rec) - shift - mainStart) * 1440.0 * 1e6) / 1e6);
    if (n > 0)
        out.legend = "比較 " + recordTimeText(other, 0) + "～" + recordTimeText(other, n - 1);
    return out;
}

bool comparable(const HARMDIM& main, const HARMDIM& other) {
    return main.MaxOrderIndex == other.MaxOrderIndex && main.ChannelCount == other.ChannelCount &&
           main.Kind.family == other.Kind.family && main.Kind.shortHn == other.Kind.shortHn;
}

RecordSpan comparisonRecordsIn(const AlignedComparison& comparison, const ShownRange& range) {
    const auto& m = comparison.minutes;
    const auto first = std::lower_bound(m.begin(), m.end(), range.first - 1e-9);
    const auto last = std::upper_bound(m.begin(), m.end(), range.last + 1e-9);
    return {static_cast<int32_t>(first - m.begin()), static_cast<int32_t>(last - m.begin()) - 1};
}

}  // namespace hg
