// Plausibility of an assessment's inputs: what the recording itself says about its voltage and
// length against what the user declared or the set assumes.
#include <cmath>
#include <cstdio>

#include "compliance/assessment.h"

namespace hg {

namespace {

constexpr double kVoltageTolerance = 0.10;

std::string kvText(double kv) {
    char b[32];
    std::snprintf(b, sizeof b, "%.3g kV", kv);
    return b;
}

}  // namespace

std::vector<std::string> plausibilityWarnings(const LimitSet& set, const DataBasis& basis,
                                              const ComplianceOptions& options, double recordedKv) {
    std::vector<std::string> warnings;
    const bool assumed = !options.measuredKv && set.receivingKv > 0;
    const std::optional<double> declared =
        options.measuredKv
            ? options.measuredKv
            : (set.receivingKv > 0 ? std::optional<double>(set.receivingKv) : std::nullopt);
    if (declared && recordedKv > 0 && std::abs(recordedKv / *declared - 1.0) > kVoltageTolerance)
        warnings.push_back(
            "記録された基本波電圧 " + kvText(recordedKv) + " と測定点の電圧 " + kvText(*declared) +
            (assumed ? "（限度値の受電電圧を仮定）" : "（指定値）") + " が 10 % を超えて違います");
    const bool below = set.voltageAboveKv && recordedKv <= *set.voltageAboveKv;
    const bool above =
        set.voltageUpToKv && recordedKv > *set.voltageUpToKv * (1 + kVoltageTolerance);
    if (recordedKv > 0 && (below || above))
        warnings.push_back("限度値 " + set.name + " の電圧区分（" +
                           (set.voltageAboveKv ? kvText(*set.voltageAboveKv) + " 超、" : "") +
                           (set.voltageUpToKv ? kvText(*set.voltageUpToKv) + " 以下" : "") +
                           "）に記録の電圧 " + kvText(recordedKv) + " が入りません");
    const int64_t minutes = basis.endMinute - basis.startMinute + basis.recordMinutes;
    if (set.window == WindowSpan::Week && minutes < 7 * 1440)
        warnings.push_back("期間が限度値の評価期間（7 日）より短いため、判定は参考です");
    if (basis.flaggedRecords > 0)
        warnings.push_back(std::to_string(basis.flaggedRecords) +
                           " レコードは基本波電圧が期間の中央値の 10 % 未満のため除外しました");
    return warnings;
}

}  // namespace hg
