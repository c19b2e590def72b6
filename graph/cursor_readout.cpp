#include "graph/cursor_readout.h"

#include <cstdio>

#include "analysis/harmdim.h"
#include "analysis/items.h"
#include "analysis/series_value.h"
#include "platform/dates.h"
#include "platform/numtext.h"

namespace hg {

std::string_view itemUnit(int16_t item, int series) {
    const ItemInfo& info = seriesInfo(item);
    return info.series == SeriesSet::PerPhase && series == kUnbalanceSeries ? "%" : info.unit;
}

std::string readoutNumber(double value) {
    std::string text = fileNumber(static_cast<float>(value));
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::string recordTimeText(const HARMDIM& state, int32_t rec) {
    const double when = recordDateTime(state, rec);
    const int32_t minute = minuteOfDay(when);
    char hhmm[8];
    std::snprintf(hhmm, sizeof hhmm, "%02d:%02d", minute / 60 % 24, minute % 60);
    return formatYyMmDdWeekday(when) + " " + hhmm;
}

CursorReadout cursorReadout(const HARMDIM& state, const GraphRequest& request, int32_t rec) {
    CursorReadout out;
    out.record = rec;
    out.when = recordTimeText(state, rec);
    // Values whose tables could not be read back are not read out (the plot says why).
    if (!tablesFailureFor(state, request.item).empty()) return out;
    for (const DrawnCurve& curve : drawnCurves(state, request)) {
        ReadoutLine line;
        const std::size_t first = curve.legend.find_first_not_of(' ');
        line.legend = first == std::string::npos ? "不平衡率" : curve.legend.substr(first);
        line.colour = curve.colour;
        const SeriesValue v = seriesValue(state, request.item, rec, curve.series, request.channel,
                                          1.0, request.prediction);
        line.value = readoutNumber(v.value);
        line.unit = itemUnit(request.item, curve.series);
        out.lines.push_back(std::move(line));
    }
    return out;
}

}  // namespace hg
