// A graph window zoomed into part of the period: the layout places the records of the range by
// their time across the plot, and the value axis takes the item's extremes over those records by
// the rules the load keeps for the whole period.
#pragma once

#include <cstdint>
#include <span>

#include "graph/graph_composition.h"

namespace hg {

// Makes the layout show `range`: its scale, hour-label step, first minute and the records shown,
// each placed at its minute.
void showRange(GraphLayout& g, const HARMDIM& state, const ShownRange& range);

// The request's item extremes over `records` for the series flagged in `orders` and the
// fundamental: maxima never below 0; minima of the voltage, overload and per-phase items from the
// first record shown, the others never above 0.
ItemExtremes shownExtremes(const HARMDIM& state, const GraphRequest& request,
                           std::span<const int16_t> orders, const RecordSpan& records);

}  // namespace hg
