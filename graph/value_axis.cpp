#include "graph/value_axis.h"

#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"
#include "analysis/items.h"
#include "analysis/series_value.h"
#include "analysis/upstream_prediction.h"
#include "graph/axis_rules.h"
#include "platform/numtext.h"

namespace hg {

namespace {

constexpr int kMaxGridLines = 1000;  // far more than any axis has; stops a runaway walk
// Relative to the grid step: how near the frame's edge a level counts as on it.
constexpr double kGridEdgeTolerance = 1e-9;

bool selected(std::span<const int16_t> flags, long k) {
    return k >= 0 && static_cast<std::size_t>(k) < flags.size() && flags[k] == 1;
}

// The extremes of the item for the channel and order index; 0 outside the tables.
float extreme(const HARMDIM& state, bool maximum, int channel, int item, long k) {
    return maximum ? state.itemMax(channel, item - 1, k) : state.itemMin(channel, item - 1, k);
}

// Rounds to six decimals with halves away from zero, as the grid labels show a level.
double roundSixDecimals(double v) {
    const double scaled = v * 1e6;
    return std::trunc(scaled + (scaled < 0 ? -0.5 : 0.5)) / 1e6;
}

// The divisor of the fundamental: it is brought within ten times the largest harmonic H by
// powers of ten, then to 1, 2 or 10 times that power.
int64_t fundamentalDivisor(double fundamental, double harmonics) {
    if (!(harmonics > 0) || !(fundamental > 0) || !std::isfinite(fundamental) ||
        !std::isfinite(harmonics))
        return 1;
    double f = fundamental;
    int64_t power = 1;
    while (f > 10 * harmonics && power < int64_t{1000000000000000000} / 100) {
        f /= 10;
        power *= 10;
    }
    const double r = f / harmonics;
    if (r > 5) return power * 10;
    if (r > 2) return power * 2;
    return power;
}

// Tick unit of a range: a tenth of it, as 1..9.x times a power of ten; the screen rounds
// 3..6.9 to 5 and 7..9.5 to 10 before taking the whole part of (d + 0.9).
double tickUnit(double range, AxisStyle style) {
    double d = std::fabs(range / 10);
    int e = 0;
    while (d < 1 && e > -300) {
        d *= 10;
        --e;
    }
    while (d >= 10 && e < 300) {
        d /= 10;
        ++e;
    }
    if (style == AxisStyle::Screen) {
        if (d >= 7 && d <= 9.5) {
            d = 10;
        } else if (d >= 3 && d <= 6.9) {
            d = 5;
        }
    }
    double u = std::trunc(d + 0.9);
    for (; e > 0; --e) u *= 10;
    for (; e < 0; ++e) u /= 10;
    return u;
}

// The grid levels from the base towards the top (direction 1) or the bottom (-1). A level is
// kept while it does not pass that edge: direction · level <= direction · edge.
std::vector<GridLevel> gridLevels(const ValueAxis& axis, AxisStyle style, int direction) {
    std::vector<GridLevel> levels;
    if (!(axis.unit > 0)) return levels;
    const double d = direction;
    const double edge = direction > 0 ? axis.top : axis.low;
    const double step = d * axis.unit;
    // A level on the frame's edge is drawn: the sums of steps and the edge, each rounded on its
    // own way, may differ in the last bits, so the edge is reached within a tolerance far below
    // the six-decimal rounding of the levels.
    const double reach = d * edge + axis.unit * kGridEdgeTolerance;
    if (style == AxisStyle::Screen) {
        double v = axis.base;
        while (d * (v + step) <= reach && levels.size() < kMaxGridLines) {
            v = roundSixDecimals(v + step);
            levels.push_back({v, v});
        }
    } else {
        for (int i = 1; i <= kMaxGridLines; ++i) {
            const double v = axis.base + i * step;
            if (!(d * v <= reach)) break;
            levels.push_back({v, roundSixDecimals(v)});
        }
    }
    return levels;
}

// A fixed axis: top, bottom and tick unit, the base line at 0.
ValueAxis fixedAxis(double top, double low, double unit) {
    ValueAxis axis;
    axis.top = top;
    axis.low = low;
    axis.unit = unit;
    axis.base = 0;
    axis.fixedRange = true;
    return axis;
}

// The plain 0..1 axis of nothing but zeros (or of no usable extreme).
ValueAxis zeroAxis(ValueAxis axis) {
    axis.top = 1;
    axis.low = 0;
    axis.unit = 0.1;
    axis.base = 0;
    return axis;
}

// The largest and smallest value the axis must hold: over the drawn orders, the extremes of the
// period (or of the records shown), with the fundamental taken times its factor, which is decided
// here and kept in `axis`.
std::pair<double, double> drawnExtremes(const HARMDIM& state, const ValueAxisRequest& request,
                                        ValueAxis& axis) {
    const int item = request.item;
    const long n = state.MaxOrderIndex;
    const int ch = request.channel;
    const auto& flags = request.orderFlags;
    int checkedCount = 0;
    for (long k = 0; k <= n; ++k) checkedCount += selected(flags, k) ? 1 : 0;
    const bool onlyFundamental = checkedCount == 1 && selected(flags, 0);
    const ItemInfo& info = seriesInfo(item);
    const bool factorApplies = info.fundamentalFactor;

    const ItemExtremes* shown = request.shown;
    auto shownAt = [](const std::vector<float>& v, long k) {
        return k >= 0 && static_cast<std::size_t>(k) < v.size() ? v[static_cast<std::size_t>(k)]
                                                                : 0.0f;
    };
    auto highest = [&](long k) -> double {
        if (shown) return shownAt(shown->max, k);
        if (!info.prediction) return extreme(state, true, ch, item, k);
        const Prediction* p = request.prediction;
        return p && p->PredictMax.contains(k) ? p->PredictMax(k) : 0.0f;
    };
    auto lowest = [&](long k) -> double {
        return shown ? shownAt(shown->min, k) : extreme(state, false, ch, item, k);
    };
    double max = 0;
    double min = 0;
    if (info.axis == AxisFamily::Floating || (info.axis == AxisFamily::Voltage && onlyFundamental))
        min = lowest(0);
    if (info.axis == AxisFamily::Overload) min = 130;
    for (long k = factorApplies && !onlyFundamental ? 1 : 0; k <= n; ++k) {
        if (!selected(flags, k)) continue;
        max = std::max(max, highest(k));
        min = std::min(min, lowest(k));
    }
    if (factorApplies && selected(flags, 0)) {
        const double fMax = highest(0);
        const double fMin = lowest(0);
        const double F = std::max(std::fabs(fMax), std::fabs(fMin));
        const double H = std::max(std::fabs(max), std::fabs(min));
        axis.divisor = fundamentalDivisor(F, H);
        axis.factor = 1.0 / static_cast<double>(axis.divisor);
        axis.factorText = plainInteger(axis.divisor);
        max = std::max(max, fMax * axis.factor);
        min = std::min(min, fMin * axis.factor);
    }
    // A limit drawn over the graph stays on the axis, above the values if need be.
    for (const double limit : request.mustShow)
        if (std::isfinite(limit)) max = std::max(max, limit);
    return {max, min};
}

bool usable(double top, double low) {
    return top > low && std::isfinite(top) && std::isfinite(low);
}

}  // namespace

ValueAxis computeValueAxis(const HARMDIM& state, const ValueAxisRequest& request) {
    const int item = request.item;
    if (isAngleItem(static_cast<int16_t>(item))) return fixedAxis(180, -180, 90);
    const ItemInfo& info = seriesInfo(item);
    if (info.axis == AxisFamily::Overload && request.fixedOverloadRange)
        return fixedAxis(160, 0, 20);

    ValueAxis axis;
    const auto [max, min] = drawnExtremes(state, request, axis);
    double lower = 0;
    double upper = 0;
    ScaleLimit(max, kScaleUpper, lower, upper);
    double top = upper;
    double low = 0;
    const AxisFamily family = info.axis;
    if (family != AxisFamily::FromZero) {
        ScaleLimit(min, kScaleLower, lower, upper);
        low = lower;
    }
    if (!usable(top, low)) return zeroAxis(axis);

    const double u = tickUnit(top - low, request.style);
    long j = 0;
    while (u * static_cast<double>(j) < top && j < 1000000) ++j;
    top = u * static_cast<double>(j);
    const double targetLow = low;
    j = 0;
    while (!(top + 1.001 * u * static_cast<double>(j) <= targetLow) && j > -1000000) --j;
    low = top + u * static_cast<double>(j);
    if (low > -1e-10 && low < 0) low = 0;
    // Extremes too close to zero for a unit of their own (-1e-12 .. 0): never a zero height.
    if (!usable(top, low)) return zeroAxis(axis);

    axis.top = top;
    axis.low = low;
    axis.unit = u;
    axis.base = family == AxisFamily::FromZero || family == AxisFamily::Signed ? 0 : low;
    return axis;
}

std::vector<GridLevel> gridLevelsUp(const ValueAxis& axis, AxisStyle style) {
    return gridLevels(axis, style, 1);
}

std::vector<GridLevel> gridLevelsDown(const ValueAxis& axis, AxisStyle style) {
    return gridLevels(axis, style, -1);
}

std::string titleWithFactor(std::string_view itemName, int item, const ValueAxis& axis) {
    if (axis.factorText == "1" || !fundamentalFactorApplies(static_cast<int16_t>(item)) ||
        itemName.empty())
        return std::string(itemName);
    // Drop the last character (the closing parenthesis), whole in UTF-8.
    std::size_t end = itemName.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(itemName[end]) & 0xC0) == 0x80) --end;
    return std::string(itemName.substr(0, end)) + "，基本波は" + axis.factorText + "倍)";
}

}  // namespace hg
