// A limit set over a drawn graph: for each drawn curve whose item the set limits (voltage
// distortion, or the current against a current-per-kW set, taken back to amperes at the measuring
// point), its limit as a dash-dot line across the plot in the curve's colour, and under the
// legends a strip with each drawn curve's maximum and 95th percentile over the period. Drawn
// after the graph, only when the window has a set chosen. The printed graph block draws the same
// lines (without the strip) when the window it prints has a set chosen.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "compliance/compliance.h"
#include "compliance/limits.h"
#include "compliance/statistics.h"

namespace hg {

class Canvas;
struct Point;
struct Colour;
struct GraphDrawing;
struct ValueAxis;

struct LimitOverlayRequest {
    int16_t item = 0;
    int16_t channel = 0;
    std::span<const int16_t> orders;  // the drawn graph's order flags: 1 drawn
    const LimitSet* set = nullptr;
    ComplianceOptions options;  // contract power and measuring voltage for current sets
};

struct OverlayCurve {
    int k = 0;      // order index
    int drawn = 0;  // 1.. in drawing order (its colour and legend place)
    float max = 0;  // over the period, in the item's unit
    float p95 = 0;
    std::optional<double> limit;  // in the item's unit
};

// The overlay of a graph of `item` on `channel` with its order flags against `set`, without a
// contract power (current sets then draw no line).
LimitOverlayRequest limitOverlayOf(int16_t item, int16_t channel, std::span<const int16_t> orders,
                                   const LimitSet& set);

// The limit of order index k (0: the total, for the distortion) of the request's item in the unit
// the item is drawn in; none when the set does not limit it (or a current-per-kW set has no
// contract power). `orderStep` is 2 on files of odd orders, else 1.
std::optional<double> orderLimit(const LimitOverlayRequest& request, int k, int orderStep);

// The curves the graph drew (up to five, by order index) with their limits; empty for items other
// than voltage distortion (1) and current (5). `overlayCurves` adds each curve's statistics.
std::vector<OverlayCurve> limitCurves(int maxOrderIndex, const LimitOverlayRequest& request);
std::vector<OverlayCurve> overlayCurves(const StatisticsSource& source,
                                        const LimitOverlayRequest& request);
// The limits of those curves, which the value axis extends to show.
std::vector<double> limitValues(int maxOrderIndex, const LimitOverlayRequest& request);

// Where a graph plots its curves: from x `left` to `right`, `height` down from `top`.
struct PlotArea {
    double left = 0;
    double right = 0;
    double top = 0;
    double height = 0;
};

// A curve's limit line: dash-dot across the plot at the limit's height on `axis`, in `colour`;
// nothing when the curve has no limit or it lies off the axis.
void drawLimitLine(Canvas& canvas, const OverlayCurve& curve, const ValueAxis& axis,
                   const PlotArea& plot, const Colour& colour);

// The strip text of a curve: "最大 4.16  95% 3.99  限度 5.00" (no limit: without the last).
std::string overlayStripText(const OverlayCurve& curve);

// Where the strip texts stand from `y` down: each at its curve's legend place `starts[i]` or just
// after the text before it, whichever is further right; a text that would pass `right` begins a
// new line at the first place. So no two texts meet.
std::vector<Point> stripPlaces(const Canvas& canvas, const std::vector<double>& starts,
                               const std::vector<std::string>& texts, double y, double right);

// Draws the lines and the strip over the graph `drawing` just composed on `canvas` (its picture
// pixels), with the graph's label font size.
void drawLimitOverlay(Canvas& canvas, const GraphDrawing& drawing,
                      const std::vector<OverlayCurve>& curves, int item, int fontSize);

}  // namespace hg
