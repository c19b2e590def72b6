// The verdict of a limit set over a period, row by row: per order (and the total) the statistic a
// condition of the set names, against the limit times the condition's factor. A value equal to
// its limit passes.
//
// Harmonic outflow current per kW of contract power: the current measured at the measuring
// point's voltage is taken to the receiving voltage the limits are stated at by the ratio of the
// two (the same power at either voltage), in mA, divided by the contract power.
// Current of demand: each order's current, and the total demand distortion √Σ I_h² over the set's
// orders, in % of the maximum demand load current I_L.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compliance/limits.h"

namespace hg {

// The values a contract power and a measuring voltage can physically take; others are refused.
struct PhysicalRange {
    double least;
    double most;
};
inline constexpr PhysicalRange kContractKwRange{0.1, 1.0e7};       // kW
inline constexpr PhysicalRange kMeasuredKvRange{0.05, 1000};       // kV
inline constexpr PhysicalRange kCurrentARange{0.001, 1.0e7};       // A (I_L)
inline constexpr PhysicalRange kShortCircuitKaRange{0.001, 1000};  // kA (I_SC)
inline constexpr PhysicalRange kRatioRange{0.001, 1.0e9};          // I_SC / I_L

bool withinRange(double x, const PhysicalRange& range);  // finite and inside
std::string rangeText(const PhysicalRange& range);       // "0.1～1e+07"

struct ComplianceOptions {
    int16_t channel = 0;               // current channel 0..C (C: the composite)
    std::optional<double> contractKw;  // needed by current-per-kW sets
    std::optional<double> measuredKv;  // the measuring point's voltage; the set's when absent
    std::optional<double> iscKa;       // short-circuit current at the point of connection
    std::optional<double> ilA;         // maximum demand load current (current-of-demand sets)
    std::optional<double> iscOverIl;   // the ratio, when I_SC is not given
};

struct ComplianceRow {
    std::string_view quantity;   // "voltage_distortion", "voltage_total_distortion", ...
    int order = 0;               // 0 for the total
    std::optional<int> channel;  // current rows only
    int condition = 0;           // the set's condition the row is judged on
    bool measured = true;        // false: the recording holds no value of this order
    int32_t records = 0;         // values used
    double maxTime = 0;          // the first maximum's value start (date-time)
    float max = 0;
    float min = 0;
    float mean = 0;
    float p95 = 0;
    float p99 = 0;
    float value = 0;              // the condition's statistic
    std::optional<double> limit;  // the set's limit times the condition's factor
    std::optional<bool> pass;
};

// Whether a value keeps to its limit: at or under it, both taken to single precision as
// results are stored.
bool withinLimit(double value, double limit);

// Milliamperes per kW of contract power at the receiving voltage for a current in amperes
// measured at `measuredKv`.
double outflowPerKw(double amperes, double contractKw, double measuredKv, double receivingKv);

// Margin to the limit (limit − value, both as the verdict compares them) and as % of the limit;
// empty without a limit. Negative exactly when the row fails.
std::optional<double> marginOf(const ComplianceRow& row);
std::optional<double> marginPercentOf(const ComplianceRow& row);

}  // namespace hg
