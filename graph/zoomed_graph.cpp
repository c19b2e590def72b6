#include "graph/zoomed_graph.h"

#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"
#include "analysis/series_value.h"
#include "graph/curve_rules.h"
#include "platform/classic.h"

namespace hg {

void showRange(GraphLayout& g, const HARMDIM& state, const ShownRange& range) {
    const double span = g.GraphWidth - g.L;
    const double minutes = std::max(range.minutes(), 1.0);
    g.XScale = span / minutes;
    g.hourStep = hourLabelStep(g.XScale);
    g.firstMinute = range.first;
    const RecordSpan records = recordsIn(state, range);
    g.shownRecords = records;
    for (int32_t t = records.first; t <= records.last; ++t) {
        if (static_cast<std::size_t>(t) >= g.RecordPixelX.size()) break;
        g.RecordPixelX[static_cast<std::size_t>(t)] =
            static_cast<int>(roundHalfEven((recordMinute(state, t) - range.first) * g.XScale));
    }
}

namespace {
// Items whose period minimum starts from the first record rather than from 0.
bool minimumFromFirst(int16_t item) {
    const int16_t s = seriesItem(item);
    return s == 8 || s == 11 || s == 12 || s == 13;
}
}  // namespace

ItemExtremes shownExtremes(const HARMDIM& state, const GraphRequest& request,
                           std::span<const int16_t> orders, const RecordSpan& records) {
    const int lastSeries = lastSeriesOf(request.item, state.MaxOrderIndex);
    const auto size = static_cast<std::size_t>(std::max(lastSeries, 0) + 1);
    ItemExtremes e{std::vector<float>(size, 0.0f), std::vector<float>(size, 0.0f)};
    const bool fromFirst = minimumFromFirst(request.item);
    for (int k = 0; k <= lastSeries; ++k) {
        const auto ks = static_cast<std::size_t>(k);
        if (k != 0 && (ks >= orders.size() || orders[ks] != 1)) continue;
        float& max = e.max[ks];
        float& min = e.min[ks];
        for (int32_t t = records.first; t <= records.last; ++t) {
            const auto v = static_cast<float>(
                seriesValue(state, request.item, t, k, request.channel, 1.0, request.prediction)
                    .value);
            if (!std::isfinite(v)) continue;
            max = std::max(max, v);
            min = (fromFirst && t == records.first) ? v : std::min(min, v);
        }
    }
    return e;
}

}  // namespace hg
