// The spectrum of one record: the voltage distortion of each order (% of the fundamental voltage)
// with the total distortion, and one channel's current of each order (A) with the fundamental,
// drawn as two bar charts over a range of orders, and written as CSV (one line per order).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/channels.h"
#include "platform/csv_text.h"

namespace hg {

class Canvas;
struct HARMDIM;

struct SpectrumOrder {
    int order = 1;          // 1, 3, 5 ... or 1, 2, 3 ...
    double distortion = 0;  // % of the fundamental voltage (100 for the fundamental itself)
    double current = 0;     // A
    // The limit set's values for the order, in the chart's unit (none: not limited or no set).
    std::optional<double> distortionLimit;
    std::optional<double> currentLimit;
};

struct Spectrum {
    int32_t record = 0;
    int channel = 0;                    // 0..ChannelCount, ChannelCount being the composite
    std::string when;                   // "yy/mm/dd(aaa) hh:mm"
    std::string channelText;            // "1ch" .. "9ch", "合成"
    double totalDistortion = 0;         // %
    double fundamentalCurrent = 0;      // A
    std::vector<SpectrumOrder> orders;  // every order of the recording, the fundamental first
};

// The spectrum at record slot `rec` for `channel`; the channel is kept within the recording's.
Spectrum spectrumAt(const HARMDIM& state, int32_t rec, int channel);

// CSV lines: "次数,電圧歪率(%),電流(A)", then order, distortion and current of each order in the
// conversion's number form.
CsvText spectrumCsv(const Spectrum& spectrum);

// The harmonic orders the charts show: positions first..last in Spectrum::orders (the fundamental,
// position 0, is written apart and never a bar).
struct SpectrumShown {
    int first = 1;
    int last = 1 << 20;  // clipped to the last order
};

// The orders shown after `steps` wheel steps (> 0: zoom in, each step showing 0.8 times the bars,
// never fewer than 5 nor more than there are) around position `around`, whose bar keeps its share
// of the charts' width; `last` is the last position. The range stays within 1..last.
SpectrumShown zoomedOrders(SpectrumShown shown, int last, int around, int steps);

struct SpectrumBar {
    int chart = 0;  // 0 the voltage distortion, 1 the current
    int order = 0;
    double value = 0;
    double left = 0, right = 0, top = 0, bottom = 0;  // the bar's extent (the whole column wide)
};

struct SpectrumDrawing {
    std::vector<SpectrumBar> bars;
    SpectrumShown shown;  // the positions drawn
};

// Draws both charts on the canvas (user window = the picture's pixels). A chart with limits marks
// each limited bar's limit with a short black line across its column, extends its axis to show
// them, and colours its bars by verdict: green within the limit, red above it, grey unlimited.
SpectrumDrawing composeSpectrum(Canvas& canvas, const Spectrum& spectrum, SpectrumShown shown);

// The bar under a point (its column, anywhere from the top of its chart to the base), if any.
std::optional<SpectrumBar> barAt(const SpectrumDrawing& drawing, double x, double y);

// The text of a bar for the hover: "5次 2.345%" / "5次 12.5A".
std::string barText(const SpectrumBar& bar);

}  // namespace hg
