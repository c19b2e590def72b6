// The assessment a limit set makes of a period: the data basis (10-minute values, flagged and
// missing intervals), the set's windows (7-day windows cut from the period's start, or the whole
// period), per window its coverage and its rows judged on each condition the recording can show,
// the conditions it cannot show and why, the orders the set limits that the recording does not
// hold, plausibility warnings, a trend over the period and one overall verdict.
//
// A window is indicative (参考) when it is shorter than 7 days, when fewer than 90 % of its
// expected intervals were used, or when its values are not 10-minute values. The overall verdict
// is 適合 only when every judged row of every window passes, no window is indicative and no
// limited order is unmeasured; a failing row of a window that is not indicative makes it 超過;
// anything else is 参考, saying whether a limit was exceeded. An outflow current per kW is a
// reference figure from measurement (the guideline assesses by calculation): always 参考.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compliance/basis.h"
#include "compliance/compliance.h"
#include "compliance/limits.h"
#include "platform/result.h"

namespace hg {

// The label of an outflow current per kW on every output.
inline constexpr std::string_view kReferenceFromMeasurement =
    "実測による参考値（ガイドラインの評価は機器データによる計算です）";

struct AssessedWindow {
    double start = 0;  // date-time of its first minute
    double end = 0;    // date-time its last value ends (clipped to the period)
    int32_t expected = 0;
    int32_t present = 0;
    int32_t flagged = 0;
    int32_t used = 0;
    std::vector<std::string> indicative;  // why it is 参考; empty when it is not
    std::vector<ComplianceRow> rows;
    double coverage() const { return expected > 0 ? 100.0 * used / expected : 0.0; }
};

// A condition of the set the recording cannot show.
struct UnassessableCondition {
    int condition = 0;
    std::string reason;
};

enum class OverallVerdict { Pass, Fail, Indicative };

struct Overall {
    OverallVerdict verdict = OverallVerdict::Indicative;
    bool exceeded = false;             // some judged row fails, in any window
    std::vector<std::string> reasons;  // why the verdict is 参考
    int unassessable = 0;              // conditions of the set the recording cannot show
};

struct TrendPoint {
    double time = 0;  // the value's start
    float value = 0;
};

// One quantity over the period (the total distortion, or the order closest to its limit).
struct Trend {
    int order = 0;  // 0: the total
    std::optional<double> limit;
    std::vector<TrendPoint> points;
};

struct Assessment {
    DataBasis basis;  // without its values
    LimitSet limits;  // as judged: a current-of-demand set's band chosen
    std::optional<double> iscOverIl;
    std::vector<AssessedWindow> windows;
    std::vector<int> unmeasured;  // orders the set limits that the recording does not hold
    bool oddOrdersOnly = false;   // the recording holds odd orders only
    int highestRecordedOrder = 0;
    std::vector<UnassessableCondition> unassessable;
    std::vector<std::string> warnings;
    double recordedKv = 0;  // the median fundamental voltage, in kV
    Overall overall;
    Trend trend;
};

// Refuses a channel the tables do not hold, a current set without its inputs or with inputs
// outside their physical range, and a row whose figures are not finite numbers.
Result<Assessment> assess(const LimitSet& set, const BasisInput& input,
                          const ComplianceOptions& options);

// The plausibility warnings: the declared or assumed measuring voltage against the recorded
// fundamental (more than 10 % apart), the set's voltage class against the recorded voltage, and
// a period shorter than the set's window.
std::vector<std::string> plausibilityWarnings(const LimitSet& set, const DataBasis& basis,
                                              const ComplianceOptions& options, double recordedKv);

}  // namespace hg
