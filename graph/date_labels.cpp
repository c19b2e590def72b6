#include "graph/date_labels.h"

#include <cmath>

#include "analysis/harmdim.h"
#include "graph/shown_range.h"
#include "platform/dates.h"
#include "platform/numtext.h"

namespace hg {

std::string shortDateText(double dayNumber) {
    const CivilDate d = civilDate(dayNumber);
    return plainInteger(d.month) + "/" + plainInteger(d.day);
}

std::string shownDaysText(const HARMDIM& state, const ShownRange* range) {
    if (!range || showsWholePeriod(state, *range)) return formatYyMmDdWeekday(state.AnalysisStart);
    const double first = state.AnalysisStart + range->first / 1440.0;
    const double last = state.AnalysisStart + range->last / 1440.0;
    const double firstDay = std::floor(first);
    double lastDay = std::floor(last);
    if (lastDay == last && last > first) lastDay -= 1;  // ends at the midnight
    if (!(lastDay > firstDay)) return formatYyMmDdWeekday(firstDay);
    return formatYyMmDdWeekday(firstDay) + "～" + formatYyMmDdWeekday(lastDay);
}

int dateLabelStep(double unitsPerDay, double labelWidth) {
    const double needed = labelWidth * 1.25 + 4;  // a quarter of a label and a little more apart
    if (!(unitsPerDay > 0) || !std::isfinite(needed)) return 0;
    int step = 1;
    while (step * unitsPerDay < needed) {
        step = step == 1 ? 2 : step == 2 ? 7 : step * 2;
        if (step > 1 << 20) return 0;
    }
    return step;
}

std::vector<DateLabel> dateLabels(double startDay, double first, double last, double unitsPerMinute,
                                  double labelWidth) {
    std::vector<DateLabel> labels;
    if (!(last - first > kDatedSpanMinutes) || !std::isfinite(first) || !std::isfinite(last))
        return labels;
    const int step = dateLabelStep(unitsPerMinute * 1440, labelWidth);
    if (step == 0) return labels;
    const auto firstDay = static_cast<int64_t>(std::ceil(first / 1440));
    for (int64_t day = firstDay; static_cast<double>(day) * 1440 <= last; day += step)
        labels.push_back(
            {day * 1440, shortDateText(std::floor(startDay) + static_cast<double>(day))});
    return labels;
}

}  // namespace hg
