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

std::string legendText(int item, int k, int orderStep) {
    static const char* const kOverloadLegends[] = {"Ｌ無ｺﾝﾃﾞﾝｻ", "Ｌ6%ｺﾝﾃﾞﾝｻ", "Ｌ6%ﾘｱｸﾄﾙ"};
    static const char* const kPhaseVoltageLegends[] = {"Vu-v", "Vv-w", "Vu-w", "正相", "逆相"};
    static const char* const kPhaseCurrentLegends[] = {"Ｉu", "Ｉv", "Ｉw", "正相", "逆相"};
    if (k < 0) return {};
    if (item == kOverload && k <= 2) return kOverloadLegends[k];
    if (item == kPhaseVoltage) return k <= 4 ? kPhaseVoltageLegends[k] : "";
    if (item == kPhaseCurrent) return k <= 4 ? kPhaseCurrentLegends[k] : "";
    if (k == 0) {
        return item == kVoltageDistortion || item == kCurrentDistortion ||
                       item == kPredictedDistortion
                   ? "総合"
                   : "基本";
    }
    std::string text = " ";
    return text.append(plainInteger(static_cast<long long>(k) * orderStep + 1)).append("次");
}

int lastSeriesOf(int item, int maxOrderIndex) {
    if (item == kOverload) return std::min(2, maxOrderIndex);
    if (item == kPhaseVoltage || item == kPhaseCurrent) return 5;
    return maxOrderIndex;
}

double legendX(int item, int k, int n, const LegendPlacement& placement) {
    if (item == kOverload) {
        const int slots[] = {placement.overloadFirstSlot, 4, 7};
        return slots[std::clamp(k, 0, 2)] * placement.step + 100;
    }
    return n * placement.step + placement.offset;
}

int curveColour(int n, bool monochrome) {
    return SwapBlueRed(static_cast<int16_t>(8 + n)) - (monochrome ? 8 : 0);
}

double titleX(int item) {
    return item == kOverload ? 1500 : 1000;
}

std::string phaseMarkText(std::string_view filePath) {
    const auto phase = phaseMarker(baseName(filePath));
    if (!phase) return {};
    return std::string(1, *phase) + "相";
}

std::string channelMarkText(int item, int channel, int channelCount) {
    const ItemInfo* info = itemInfo(item);
    if (!info || !info->channelDependent) return {};
    std::string mark(" ");
    mark += channelName(channel, channelCount);
    return mark;
}

std::optional<LeadLagMarks> leadLagMarks(int item) {
    if (item == kPhaseDifference || item == kVoltageSuperposition || item == kCurrentSuperposition)
        return LeadLagMarks{"遅れ", "進み"};
    if (item == kReactivePower) return LeadLagMarks{"進み", "遅れ"};
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
