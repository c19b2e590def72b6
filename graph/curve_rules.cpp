#include "graph/curve_rules.h"

#include <algorithm>
#include <string>

#include "analysis/channels.h"
#include "analysis/harmdim.h"
#include "analysis/items.h"
#include "datafile/record_format.h"
#include "graph/axis_rules.h"
#include "platform/classic.h"
#include "platform/dates.h"
#include "platform/numtext.h"

namespace hg {

namespace {
// The item whose series are drawn (an unknown code draws as voltage distortion).
SeriesSet seriesSetOf(int item) {
    return seriesInfo(item).series;
}
}  // namespace

std::string legendText(int item, int k, int orderStep) {
    if (k < 0) return {};
    const ItemInfo& info = seriesInfo(item);
    if (!info.legends.empty()) {
        // Fixed series; the unbalance rate after the per-phase values has no legend.
        const auto index = static_cast<std::size_t>(k);
        return index < info.legends.size() ? std::string(info.legends[index]) : std::string();
    }
    if (k == 0) return std::string(info.firstLegend);
    std::string text = " ";
    return text.append(plainInteger(static_cast<long long>(k) * orderStep + 1)).append("次");
}

int lastSeriesOf(int item, int maxOrderIndex) {
    switch (seriesSetOf(item)) {
        case SeriesSet::OverloadRates:
            return std::min(static_cast<int>(seriesInfo(item).legends.size()) - 1, maxOrderIndex);
        case SeriesSet::PerPhase:
            return kUnbalanceSeries;
        case SeriesSet::Orders:
            break;
    }
    return maxOrderIndex;
}

double legendX(int item, int k, int n, const LegendPlacement& placement) {
    if (seriesSetOf(item) == SeriesSet::OverloadRates) {
        const int slots[] = {placement.overloadFirstSlot, 4, 7};
        return slots[std::clamp(k, 0, 2)] * placement.step + 100;
    }
    return n * placement.step + placement.offset;
}

int curveColour(int n, bool monochrome) {
    return SwapBlueRed(static_cast<int16_t>(8 + n)) - (monochrome ? 8 : 0);
}

double titleX(int item) {
    return seriesSetOf(item) == SeriesSet::OverloadRates ? 1500 : 1000;
}

std::string phaseMarkText(std::string_view filePath) {
    const auto phase = phaseMarker(baseName(filePath));
    if (!phase) return {};
    return std::string(1, *phase) + "相";
}

std::string channelMarkText(int item, int channel, int channelCount) {
    // The items read from a channel, and the predictions, which are computed for one.
    const ItemInfo* info = itemInfo(item);
    if (!info || !(info->channelDependent || info->prediction)) return {};
    std::string mark(" ");
    mark += channelName(channel, channelCount);
    return mark;
}

std::optional<LeadLagMarks> leadLagMarks(int item) {
    const ItemInfo* info = itemInfo(item);
    if (!info) return std::nullopt;
    switch (info->marks) {
        case LeadLag::LagBelow:
            return LeadLagMarks{"遅れ", "進み"};
        case LeadLag::LeadBelow:
            return LeadLagMarks{"進み", "遅れ"};
        case LeadLag::None:
            break;
    }
    return std::nullopt;
}

double unitsPerMinute(const HARMDIM& state, double width) {
    const double minutes = state.PeriodMinutes > 0 ? state.PeriodMinutes : 1;
    return width / minutes;
}

int timeTickMinutes(const HARMDIM& state) {
    return wholeMinutes(state.AnalysisStart, state.AnalysisEnd) < 300 ? 10 : 60;
}

bool labelsMinuteTicks(const HARMDIM& state) {
    return wholeMinutes(state.AnalysisStart, state.AnalysisEnd) < 60;
}

int hourLabelStep(double unitsPerMinute) {
    if (!(unitsPerMinute > 0)) return 1;
    int h = 1;
    while (!(unitsPerMinute * 60 * h > 56) && h < 1000000) ++h;
    return h;
}

std::optional<AngleWrap> angleWrap(double previous, double value, double x0, double x1) {
    const double p = previous, v = value;
    if (p - v > 180) {
        // Leaves through the top, comes back through the bottom.
        return AngleWrap{roundHalfEven(x0 + (x1 - x0) * (180 - p) / (v + 360 - p)), 180, -180};
    }
    if (v - p > 180) {
        return AngleWrap{roundHalfEven(x0 + (x1 - x0) * (p + 180) / (p + 360 - v)), -180, 180};
    }
    return std::nullopt;
}

}  // namespace hg
