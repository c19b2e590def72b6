// The value axis of a graph: the range, tick unit and base value of the plotted item, and the
// fundamental factor by which the fundamental of a power, current, impedance or voltage graph is
// divided when it dwarfs the harmonics drawn with it. The screen graph and the printed graph block
// share these rules; the paper differs only in the tick unit (no rounding of the step to 5 or 10)
// and in the fixed overload range of the set print.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hg {

struct HARMDIM;
struct Prediction;

enum class AxisStyle { Screen, Paper };

// The extremes of the plotted item and channel over the records a zoomed window shows, by order
// index (series), taking the place of the period extremes ItemMax / ItemMin.
struct ItemExtremes {
    std::vector<float> max;
    std::vector<float> min;
};

struct ValueAxisRequest {
    int item = 0;     // item code 1..16 (12 and 13 also for the unbalance views)
    int channel = 0;  // the channel the item reads (0 for items without a channel)
    // Order flags by order index 0..MaxOrderIndex (more entries are ignored): 1 = drawn.
    std::span<const int16_t> orderFlags;
    AxisStyle style = AxisStyle::Screen;
    bool fixedOverloadRange = false;  // item 8 in the printed set: 0..160, step 20
    // The prediction drawn (item 14 takes its maxima from it); none: the maxima are 0.
    const Prediction* prediction = nullptr;
    // Values the axis extends to show above its extremes (the limits drawn over the graph).
    std::span<const double> mustShow;
    // The extremes over the records shown (none: the period's).
    const ItemExtremes* shown = nullptr;
};

struct ValueAxis {
    double top = 1;     // value at the top edge of the plot
    double low = 0;     // value at the bottom edge
    double unit = 0.1;  // tick unit of the grid
    double base = 0;    // value of the solid base line the grid starts from
    // The fundamental of items with a fundamental factor is drawn times `factor` = 1 / divisor.
    double factor = 1;
    int64_t divisor = 1;
    std::string factorText = "1";  // the divisor as plain digits, for the title
    bool fixedRange = false;       // angle items (and the printed overload set)

    // Plot height per value unit (negative: larger values are higher up).
    double scale(double plotHeight) const { return plotHeight / (low - top); }
    // Vertical position of a value on a plot whose top edge is at `topEdge`.
    double position(double value, double topEdge, double plotHeight) const {
        return topEdge + (value - top) * scale(plotHeight);
    }
};

// The value axis of an item for the selected orders, from the period extremes ItemMax / ItemMin.
// The prediction extremes of item 14 must be computed before. Every selected value 0 gives the
// axis 0..1 with unit 0.1; harmonics all 0 give the factor 1.
ValueAxis computeValueAxis(const HARMDIM& state, const ValueAxisRequest& request);

// A grid level: the value the line is drawn at and the value its label shows.
struct GridLevel {
    double at = 0;
    double label = 0;
};
// Grid levels above the base value (up to the top) and below it (down to the bottom), in drawing
// order. On the screen each level is the previous one plus (minus) the unit, rounded to six
// decimals; on paper it is the base plus (minus) a whole number of units, labelled rounded to six
// decimals.
std::vector<GridLevel> gridLevelsUp(const ValueAxis& axis, AxisStyle style);
std::vector<GridLevel> gridLevelsDown(const ValueAxis& axis, AxisStyle style);

// The title of an item whose fundamental is drawn divided: the name without its closing
// parenthesis, then "，基本波は", the divisor and "倍)". Otherwise the name itself.
std::string titleWithFactor(std::string_view itemName, int item, const ValueAxis& axis);

}  // namespace hg
