#include "compliance/compliance.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace hg {

bool withinRange(double x, const PhysicalRange& r) {
    return std::isfinite(x) && x >= r.least && x <= r.most;
}

std::string rangeText(const PhysicalRange& r) {
    char text[80];
    std::snprintf(text, sizeof text, "%g～%g", r.least, r.most);
    return text;
}

bool withinLimit(double value, double limit) {
    return static_cast<float>(value) <= static_cast<float>(limit);
}

double outflowPerKw(double amperes, double contractKw, double measuredKv, double receivingKv) {
    return amperes * 1000.0 * (measuredKv / receivingKv) / contractKw;
}

// The margin from the single-precision limit and value the verdict compares: the difference of
// two singles is exact in double, so it is negative exactly when the verdict is 超過.
std::optional<double> marginOf(const ComplianceRow& row) {
    if (!row.limit) return std::nullopt;
    return static_cast<double>(static_cast<float>(*row.limit)) - row.value;
}

std::optional<double> marginPercentOf(const ComplianceRow& row) {
    const auto margin = marginOf(row);
    if (!margin) return std::nullopt;
    return *margin / static_cast<float>(*row.limit) * 100.0;
}

}  // namespace hg
