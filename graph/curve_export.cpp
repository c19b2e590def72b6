#include "graph/curve_export.h"

#include "analysis/harmdim.h"
#include "analysis/series_value.h"
#include "graph/cursor_readout.h"
#include "platform/dates.h"
#include "platform/numtext.h"

namespace hg {

std::string curvesCsv(const HARMDIM& state, const GraphRequest& request, const ShownRange& range) {
    const std::vector<DrawnCurve> curves = drawnCurves(state, request);
    std::string out = "日時";
    for (const DrawnCurve& c : curves) {
        const std::size_t first = c.legend.find_first_not_of(' ');
        out += ',';
        out += first == std::string::npos ? std::string("不平衡率") : c.legend.substr(first);
        out += '(';
        out += itemUnit(request.item, c.series);
        out += ')';
    }
    out += "\r\n";
    const RecordSpan records = recordsIn(state, range);
    for (int32_t t = records.first; t <= records.last; ++t) {
        appendCsvTimestamp(out, recordDateTime(state, t));
        for (const DrawnCurve& c : curves) {
            out += ',';
            const double v = seriesValue(state, request.item, t, c.series, request.channel, 1.0,
                                         request.prediction)
                                 .value;
            appendFileNumber(out, static_cast<float>(v));
        }
        out += "\r\n";
    }
    return out;
}

Result<std::string> encodedCurvesCsv(const HARMDIM& state, const GraphRequest& request,
                                     const ShownRange& range, TextEncoding encoding) {
    auto text = encodeText(curvesCsv(state, request, range), encoding);
    if (!text) return Error{text.error()};
    text->insert(0, fileStartBytes(encoding));
    return *text;
}

}  // namespace hg
