// The value axis of a graph window set by hand: typed as low, high and step (値軸の設定...), or
// dragged with Ctrl held over the plot. Without one the item's own axis rules hold, and 自動
// returns to them. The fundamental factor of the item's own axis is kept.
#pragma once

#include <string>

#include "graph/value_axis.h"
#include "platform/result.h"

namespace hg {

struct AxisByHand {
    double low = 0;
    double high = 1;
    double step = 0.1;
    friend bool operator==(const AxisByHand&, const AxisByHand&) = default;
};

// The most grid steps an axis by hand may have.
inline constexpr int kMostHandSteps = 100;

// An axis from typed texts; refuses, in Japanese, numbers that are not numbers, a low not below
// the high, a step of 0 or less, or more than kMostHandSteps steps.
Result<AxisByHand> axisByHand(const std::string& low, const std::string& high,
                              const std::string& step);

// The axis between two values dragged over the plot (either order), its step a round 1, 2 or 5
// times a power of ten giving 4 to 10 steps; none when the two are (nearly) the same.
std::optional<AxisByHand> axisBetween(double a, double b);

// The item's axis with its range and grid taken from the hand-set axis; the base line stands at
// 0 when 0 lies inside, else at the low end. The factor is the item's own.
ValueAxis withAxisByHand(const ValueAxis& automatic, const AxisByHand& hand);

}  // namespace hg
