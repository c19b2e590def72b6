#include "graph/curve_rules.h"

#include <algorithm>

#include "analysis/harmdim.h"
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
    return " " + plainInteger(static_cast<long long>(k) * orderStep + 1) + "次";
}

int lastSeriesOf(int item, int maxOrderIndex) {
    if (item == kOverload) return std::min(2, maxOrderIndex);
    if (item == kPhaseVoltage || item == kPhaseCurrent) return 5;
    return maxOrderIndex;
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
