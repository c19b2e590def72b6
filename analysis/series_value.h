// The value of a graph series at a record: for an item code, a record slot and a series index
// (the order index for order items, the column or row for the per-phase and overload items), the
// number the screen graph and the printed graph both plot, read through the item catalogue. The
// wrap strokes of the angle items belong to the drawing.
#pragma once

#include <cstdint>

#include "analysis/item_values.h"

namespace hg {

struct HARMDIM;
struct Prediction;

// The item code as the series reads it: 22 and 23 (the unbalance views) read as 12 and 13, any
// code no item has reads as 1 (voltage distortion).
int16_t seriesItem(int16_t item);

// The channel an item plots: the window's current channel for the items that read one, else 0.
int seriesChannel(int16_t item, int currentChannel);

// Items whose values are degrees in -180..180 on a fixed axis.
bool isAngleItem(int16_t item);

// Items whose series 0 (the fundamental) is multiplied by the fundamental factor.
bool fundamentalFactorApplies(int16_t item);

// The value of series `series` of item `item` at record slot `rec`. `currentChannel` is the
// window's channel (used by the items that plot a channel). Values that are undefined give 0:
// a distortion ratio over a fundamental (voltage, current or predicted voltage) of 0 or too small
// to hold it (percentOfFundamental), a slot at or beyond LoadedRecords, and an index outside the
// item's table. The prediction items read `prediction` (0 without one).
SeriesValue seriesValue(const HARMDIM& state, int16_t item, int32_t rec, int series,
                        int currentChannel, double fundamentalFactor,
                        const Prediction* prediction = nullptr);

}  // namespace hg
