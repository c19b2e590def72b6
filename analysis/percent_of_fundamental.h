// A harmonic's share of its fundamental in percent: the one rule the load, the statistics, the
// graph series and the spectrum all compute a distortion ratio by.
#pragma once

#include <cmath>

namespace hg {

// part ÷ fundamental × 100 in double precision (the tables keep it in single, the drawing as it
// is). A ratio single precision cannot hold as a finite number (over a fundamental of 0, or one
// so small that the ratio overflows) is 0, so every path has the same ratios and the same gaps.
// Small enough to inline into the load's vectorised loops.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline double
percentOfFundamental(double part, double fundamental) {
    const double ratio = part / fundamental * 100.0;
    return std::isfinite(static_cast<float>(ratio)) ? ratio : 0.0;
}

}  // namespace hg
