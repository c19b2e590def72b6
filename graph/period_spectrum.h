// The spectrum of a stretch of the period: per order, the 95th percentile (nearest rank) or the
// maximum over the records shown of the voltage distortion and of one channel's current, beside
// the spectrum of the record at the cursor; and a limit set's value of each order on the bars.
#pragma once

#include <optional>

#include "graph/shown_range.h"
#include "graph/spectrum.h"

namespace hg {

struct LimitSet;

// 瞬時 (the record at the cursor), 95%値, 最大値.
enum class SpectrumStatistic { Instant, P95, Max };

// "瞬時", "95%値", "最大値".
const char* spectrumStatisticText(SpectrumStatistic statistic);

// The spectrum of `records` for `channel`: each order's (and the total distortion's and the
// fundamental current's) statistic over the records, each taken on its own. The record is the
// first of the records; `when` names the stretch and the statistic ("19/05/29(水) 00:00～
// 19/05/30(木) 00:00  95%値"). Statistic Instant gives the spectrum of the first record.
Spectrum spectrumOver(const HARMDIM& state, const RecordSpan& records, int channel,
                      SpectrumStatistic statistic);

// Sets each order's limits from `set`: voltage distortion sets limit the distortion bars,
// current-per-kW sets the current bars (in amperes with `contractKw`; none: no current limits).
void applySpectrumLimits(Spectrum& spectrum, const HARMDIM& state, const LimitSet& set,
                         std::optional<double> contractKw);

}  // namespace hg
