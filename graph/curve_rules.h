// Rules the screen graph and the printed graph block share for their curves and their time axis:
// which series an item has, the legend, colour and place of each, the lead and lag marks and the
// title's phase mark, the scale, tick interval and hour-label step of the time axis, and where an
// angle curve wraps past ±180 degrees. Where the picture and the page place things differently,
// the difference is a parameter here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// Where the legend of series k, the n-th curve drawn (from 1), stands across: `n` steps after
// `offset`. The overload item's legends keep their own slots whatever is drawn: the 6% capacitor
// 4 steps and the 6% reactor 7 steps after 100, the plain load `overloadFirstSlot` steps after it.
struct LegendPlacement {
    double step = 0;
    double offset = 0;
    int overloadFirstSlot = 0;
};
double legendX(int item, int k, int n, const LegendPlacement& placement);

// The palette colour of the n-th curve drawn (from 1): light blue, light green, light cyan, light
// red, light magenta; on a monochrome page the dark colour of each (8 less).
int curveColour(int n, bool monochrome);

// Where the title stands across, in the units of the legends: 1500 for the overload item (its
// legends take the room before), else 1000.
double titleX(int item);

// The phase mark of a title: the phase letter of a single-phase recording's name and "相"
// ("R相"), empty for a three-phase one.
std::string phaseMarkText(std::string_view filePath);

// The channel mark of a title: one blank and the channel's name for the items that read the
// window's channel and the predictions computed for it (" 2ch", " 合成"), empty for the others.
std::string channelMarkText(int item, int channel, int channelCount);

// The marks of the angle and reactive power graphs: `below` under the plot, `above` over it.
// Lag is under the phase differences and the superposition angles, lead under the reactive power;
// other items have none.
struct LeadLagMarks {
    std::string_view below;
    std::string_view above;
};
std::optional<LeadLagMarks> leadLagMarks(int item);

// Units of the time axis per minute: `width` units over the analysis period (at least a minute).
double unitsPerMinute(const HARMDIM& state, double width);

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
