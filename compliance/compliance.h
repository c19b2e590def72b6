// The verdict of a limit set over the loaded period: per order (and the total, for voltage
// distortion) the statistics of the period and the set's statistic against its limit. A value
// equal to its limit passes.
//
// Harmonic outflow current per kW of contract power: the current measured at the measuring
// point's voltage is taken to the receiving voltage the limits are stated at by the ratio of the
// two (the same power at either voltage), in mA, divided by the contract power.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compliance/limits.h"
#include "compliance/statistics.h"
#include "platform/result.h"

namespace hg {

// The values a contract power and a measuring voltage can physically take; others are refused.
struct PhysicalRange {
    double least;
    double most;
};
inline constexpr PhysicalRange kContractKwRange{0.1, 1.0e7};  // kW
inline constexpr PhysicalRange kMeasuredKvRange{0.05, 1000};  // kV

bool withinRange(double x, const PhysicalRange& range);  // finite and inside
std::string rangeText(const PhysicalRange& range);       // "0.1～1e+07"

struct ComplianceOptions {
    int16_t channel = 0;               // current channel 0..C (C: the composite)
    std::optional<double> contractKw;  // needed by current-per-kW sets
    std::optional<double> measuredKv;  // the measuring point's voltage; the set's when absent
};

struct ComplianceRow {
    std::string_view
        quantity;   // "voltage_distortion", "voltage_total_distortion", "current_per_kw"
    int order = 0;  // 0 for the total
    std::optional<int> channel;  // current rows only
    int32_t records = 0;
    int32_t maxSlot = -1;
    float max = 0;
    float min = 0;
    float mean = 0;
    float p95 = 0;
    float p99 = 0;
    float value = 0;  // the set's statistic
    std::optional<double> limit;
    std::optional<bool> pass;
};

// Whether a value keeps to its limit: at or under it, both taken to single precision as
// results are stored.
bool withinLimit(double value, double limit);

// Milliamperes per kW of contract power at the receiving voltage for a current in amperes
// measured at `measuredKv`.
double outflowPerKw(double amperes, double contractKw, double measuredKv, double receivingKv);

// The rows of a set: for voltage distortion the total then every order of the tables from the
// second up, for current per kW every order from the second up of the chosen channel. Refuses a
// channel the tables do not hold, a current set without a contract power or with a contract power
// or measuring voltage outside its physical range, and any row whose statistics are not finite
// numbers (naming the row).
Result<std::vector<ComplianceRow>> complianceRows(const LimitSet& set,
                                                  const StatisticsSource& source,
                                                  const ComplianceOptions& options,
                                                  int threads = 0);

// Margin to the limit (limit − value, both as the verdict compares them) and as % of the limit;
// empty without a limit. Negative exactly when the row fails.
std::optional<double> marginOf(const ComplianceRow& row);
std::optional<double> marginPercentOf(const ComplianceRow& row);

}  // namespace hg
