// A limit set over a drawn graph: for each drawn curve whose item the set limits (voltage
// distortion, or the current against a current-per-kW set, taken back to amperes at the measuring
// point), its limit as a dash-dot line across the plot in the curve's colour, and under the
// legends a strip with each drawn curve's maximum and 95th percentile over the period. Drawn
// after the graph, only when the window has a set chosen.
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
struct GraphDrawing;

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

// The curves the graph drew (up to five, by order index) with their statistics and limits; empty
// for items other than voltage distortion (1) and current (5).
std::vector<OverlayCurve> overlayCurves(const StatisticsSource& source,
                                        const LimitOverlayRequest& request);

// The strip text of a curve: "最大 4.16  95% 3.99".
std::string overlayStripText(const OverlayCurve& curve);

// Draws the lines and the strip over the graph `drawing` just composed on `canvas` (its picture
// pixels), with the graph's label font size.
void drawLimitOverlay(Canvas& canvas, const GraphDrawing& drawing,
                      const std::vector<OverlayCurve>& curves, int item, int fontSize);

}  // namespace hg
