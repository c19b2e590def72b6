#include "graph/curve_export.h"

#include "analysis/harmdim.h"
#include "analysis/series_value.h"
#include "graph/cursor_readout.h"

namespace hg {

CsvText curvesCsv(const HARMDIM& state, const GraphRequest& request, const ShownRange& range) {
    const std::vector<DrawnCurve> curves = drawnCurves(state, request);
    CsvText csv;
    csv.text("日時");
    for (const DrawnCurve& c : curves) {
        const std::size_t first = c.legend.find_first_not_of(' ');
        csv.text((first == std::string::npos ? std::string("不平衡率") : c.legend.substr(first)) +
                 "(" + std::string(itemUnit(request.item, c.series)) + ")");
    }
    csv.endLine();
    const RecordSpan records = recordsIn(state, range);
    for (int32_t t = records.first; t <= records.last; ++t) {
        csv.dateTime(recordDateTime(state, t));
        for (const DrawnCurve& c : curves)
            csv.number(static_cast<float>(seriesValue(state, request.item, t, c.series,
                                                      request.channel, 1.0, request.prediction)
                                              .value));
        csv.endLine();
    }
    return csv;
}

}  // namespace hg
