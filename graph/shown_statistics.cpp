#include "graph/shown_statistics.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "analysis/harmdim.h"
#include "analysis/series_value.h"
#include "compliance/statistics.h"

namespace hg {

namespace {

// The values of one drawn curve over the records shown, as the cursor reads them.
std::vector<float> curveValues(const HARMDIM& state, const GraphRequest& request,
                               const DrawnCurve& curve, const RecordSpan& records) {
    std::vector<float> values;
    values.reserve(static_cast<std::size_t>(records.count()));
    for (int32_t rec = records.first; rec <= records.last; ++rec)
        values.push_back(static_cast<float>(seriesValue(state, request.item, rec, curve.series,
                                                        request.channel, 1.0, request.prediction)
                                                .value));
    return values;
}

std::string legendOf(const DrawnCurve& curve) {
    const std::size_t first = curve.legend.find_first_not_of(' ');
    return first == std::string::npos ? "不平衡率" : curve.legend.substr(first);
}

}  // namespace

std::vector<CurveStatistics> shownStatistics(const HARMDIM& state, const GraphRequest& request,
                                             const RecordSpan& records) {
    std::vector<CurveStatistics> out;
    for (const DrawnCurve& curve : drawnCurves(state, request)) {
        CurveStatistics s;
        s.legend = legendOf(curve);
        s.colour = curve.colour;
        s.unit = itemUnit(request.item, curve.series);
        std::vector<float> values = curveValues(state, request, curve, records);
        const ColumnStatistics c = columnStatistics(values);
        s.count = c.count;
        s.max = c.max;
        s.maxRecord = c.maxSlot < 0 ? -1 : records.first + c.maxSlot;
        s.p95 = c.p95;
        s.mean = c.mean;
        out.push_back(std::move(s));
    }
    return out;
}

std::optional<int32_t> maximumRecord(const HARMDIM& state, const GraphRequest& request, int curve,
                                     const RecordSpan& records) {
    const std::vector<DrawnCurve> curves = drawnCurves(state, request);
    if (curve < 0 || curve >= static_cast<int>(curves.size()) || records.empty()) return {};
    std::vector<float> values =
        curveValues(state, request, curves[static_cast<std::size_t>(curve)], records);
    const ColumnStatistics c = columnStatistics(values);
    if (c.maxSlot < 0) return {};
    return records.first + c.maxSlot;
}

std::string statisticsText(const HARMDIM& state, const CurveStatistics& s) {
    if (s.count == 0) return "最大 -  95% -  平均 -";
    return "最大 " + readoutNumber(s.max) + " (" + recordTimeText(state, s.maxRecord) + ")  95% " +
           readoutNumber(s.p95) + "  平均 " + readoutNumber(s.mean);
}

std::string timeDifferenceText(double minutes) {
    const long total = std::lround(std::abs(minutes));
    const long days = total / 1440;
    char hhmm[16];
    std::snprintf(hhmm, sizeof hhmm, "%02ld:%02ld", total % 1440 / 60, total % 60);
    std::string text = "Δt ";
    if (minutes < 0 && total > 0) text += "-";
    if (days > 0) text += std::to_string(days) + "日 ";
    return text + hhmm;
}

CursorPair cursorPair(const HARMDIM& state, const GraphRequest& request, int32_t first,
                      int32_t second) {
    CursorPair pair;
    pair.first = cursorReadout(state, request, first);
    pair.second = cursorReadout(state, request, second);
    pair.timeDifference = timeDifferenceText(
        std::round((recordDateTime(state, second) - recordDateTime(state, first)) * 1440.0));
    const std::vector<DrawnCurve> curves = drawnCurves(state, request);
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const auto at = [&](int32_t rec) {
            return static_cast<float>(seriesValue(state, request.item, rec, curves[i].series,
                                                  request.channel, 1.0, request.prediction)
                                          .value);
        };
        ReadoutLine line = pair.first.lines[i];
        line.value = readoutNumber(static_cast<double>(at(second)) - at(first));
        pair.deltas.push_back(std::move(line));
    }
    return pair;
}

}  // namespace hg
