// Rules the screen graph and the printed graph block share for their curves and their time axis:
// which series an item has, the legend of each, the tick interval and hour-label step of the time
// axis, and where an angle curve wraps past ±180 degrees.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace hg {

struct HARMDIM;

// The legend of series k of an item: "総合" (items 1, 2, 14) or "基本" for k = 0, " 3次" for the
// harmonics (order k·orderStep + 1), the capacitor and reactor names of the overload item, the
// phase and sequence names of the per-phase items. Empty for the unbalance rate (k = 5 of items
// 12 and 13), which has no legend.
std::string legendText(int item, int k, int orderStep);

// The highest series index an item has: 0..2 for the overload rates, 0..5 for the per-phase
// values (five values and the unbalance rate), every order index for the others.
int lastSeriesOf(int item, int maxOrderIndex);

// Minutes between two ticks of the time axis: 10 when the analysis period spans less than 300
// minutes, else 60. Ticks that are not on the hour are labelled "h:m" when it spans less than 60.
int timeTickMinutes(const HARMDIM& state);
bool labelsMinuteTicks(const HARMDIM& state);

// The smallest whole number of hours whose labelled hour lines lie more than 56 units apart at
// `unitsPerMinute` (at least 1; a scale of 0 or less gives 1).
int hourLabelStep(double unitsPerMinute);

// Where an angle curve going from `previous` (at x0) to `value` (at x1) wraps: when the two differ
// by more than 180 degrees, the curve leaves through the edge `leaveAt` (180 when it falls from
// near 180 to near -180 the short way round, -180 the other way) at the interpolated crossing x
// (rounded to a whole unit, halves to even) and comes back through `enterAt`.
struct AngleWrap {
    double x = 0;
    double leaveAt = 180;
    double enterAt = -180;
};
std::optional<AngleWrap> angleWrap(double previous, double value, double x0, double x1);

}  // namespace hg
