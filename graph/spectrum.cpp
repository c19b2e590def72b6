#include "graph/spectrum.h"

#include <algorithm>
#include <cmath>

#include "analysis/channels.h"
#include "analysis/harmdim.h"
#include "analysis/item_codes.h"
#include "analysis/percent_of_fundamental.h"
#include "analysis/series_value.h"
#include "graph/cursor_readout.h"
#include "platform/canvas.h"
#include "platform/numtext.h"

namespace hg {

SpectrumShown zoomedOrders(SpectrumShown shown, int last, int around, int steps) {
    constexpr int kLeastBars = 5;
    constexpr double kWheelZoom = 0.8;
    const int count = shown.last - shown.first + 1;
    const int wanted =
        std::clamp(static_cast<int>(std::lround(count * std::pow(kWheelZoom, steps))),
                   std::min(kLeastBars, last), last);
    if (wanted == count) return shown;
    const double share = count > 1 ? double(around - shown.first) / (count - 1) : 0.5;
    int first = around - static_cast<int>(std::lround(share * (wanted - 1)));
    first = std::clamp(first, 1, last - wanted + 1);
    return {first, first + wanted - 1};
}

Spectrum spectrumAt(const HARMDIM& state, int32_t rec, int channel) {
    Spectrum s;
    s.record = rec;
    s.channel = std::clamp(channel, 0, static_cast<int>(std::max<int16_t>(state.ChannelCount, 0)));
    s.when = recordTimeText(state, rec);
    s.channelText = channelName(s.channel, state.ChannelCount);
    const int n = state.MaxOrderIndex;
    const int step = n <= 24 ? 2 : 1;
    const double fundamental =
        state.VoltageTable.contains(rec, 0) ? state.VoltageTable(rec, 0) : 0.0;
    s.totalDistortion = seriesValue(state, kVoltageDistortion, rec, 0, 0, 1.0).value;
    s.fundamentalCurrent = seriesValue(state, kCurrent, rec, 0, s.channel, 1.0).value;
    s.orders.reserve(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k <= n; ++k) {
        SpectrumOrder o;
        o.order = k * step + 1;
        o.distortion = k == 0 ? percentOfFundamental(fundamental, fundamental)
                              : seriesValue(state, kVoltageDistortion, rec, k, 0, 1.0).value;
        o.current = seriesValue(state, kCurrent, rec, k, s.channel, 1.0).value;
        s.orders.push_back(o);
    }
    return s;
}

CsvText spectrumCsv(const Spectrum& spectrum) {
    CsvText csv;
    csv.text("次数").text("電圧歪率(%)").text("電流(A)").endLine();
    for (const SpectrumOrder& o : spectrum.orders)
        csv.integer(o.order)
            .number(static_cast<float>(o.distortion))
            .number(static_cast<float>(o.current))
            .endLine();
    return csv;
}

namespace {

// A round axis top at or above the value: 1, 2 or 5 times a power of ten (1 for nothing).
double roundTop(double v) {
    if (!(v > 0) || !std::isfinite(v)) return 1;
    const double p = std::pow(10.0, std::floor(std::log10(v)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * p >= v) return m * p;
    return 10 * p;
}

// A bar's colour against its limit: green within, red above, grey where the order has none.
Colour verdictColour(double value, const std::optional<double>& limit) {
    if (!limit || !std::isfinite(*limit)) return Colour::palette(8);
    return Colour::palette(value > *limit ? 12 : 2);
}

struct ChartBox {
    double left, top, right, bottom;
};

void drawChart(Canvas& canvas, const Spectrum& s, const SpectrumShown& shown, int chart,
               const ChartBox& box, const std::string& heading, SpectrumDrawing& out) {
    const Colour black = Colour::palette(0);
    canvas.setForeColor(black);
    canvas.text(box.left, box.top - canvas.textHeight() - 4, heading);
    auto valueOf = [&](const SpectrumOrder& o) { return chart == 0 ? o.distortion : o.current; };
    auto limitOf = [&](const SpectrumOrder& o) {
        return chart == 0 ? o.distortionLimit : o.currentLimit;
    };
    double highest = 0;
    bool limited = false;
    for (int i = shown.first; i <= shown.last; ++i) {
        const SpectrumOrder& o = s.orders[static_cast<std::size_t>(i)];
        highest = std::max(highest, valueOf(o));
        if (const auto limit = limitOf(o); limit && std::isfinite(*limit)) {
            highest = std::max(highest, *limit);
            limited = true;
        }
    }
    const double top = roundTop(highest);
    const double height = box.bottom - box.top;
    canvas.setLineWidth(1);
    canvas.setLineStyle(LineStyle::Dotted);
    for (int g = 1; g <= 4; ++g) {
        const double y = std::round(box.bottom - height * g / 4);
        canvas.line(box.left, y, box.right, y, Colour::palette(8));
        canvas.setForeColor(black);
        const std::string label = labelNumber(top * g / 4);
        canvas.text(box.left - canvas.textWidth(label) - 4, y - canvas.textHeight() / 2, label);
    }
    canvas.setLineStyle(LineStyle::Solid);
    canvas.box(box.left, box.top, box.right, box.bottom, black);
    const int count = shown.last - shown.first + 1;
    const double column = (box.right - box.left) / count;
    const int labelEvery =
        std::max(1, static_cast<int>(std::ceil(canvas.textWidth("256") * 1.5 / column)));
    const Colour bar = Colour::palette(chart == 0 ? 9 : 12);
    for (int i = shown.first; i <= shown.last; ++i) {
        const SpectrumOrder& o = s.orders[static_cast<std::size_t>(i)];
        const double left = box.left + column * (i - shown.first);
        const double centre = std::round(left + column / 2);
        const double v = std::max(valueOf(o), 0.0);
        const double y = std::round(box.bottom - std::min(v / top, 1.0) * height);
        // A bar is a filled rectangle over 70 % of its column, standing on the zero line: whole
        // pixels, never below the line or over the order labels under it.
        const double half = std::max(0.5, std::round(column * 0.35));
        if (y < box.bottom)
            canvas.fillBox(centre - half, y, centre + half, box.bottom,
                           limited ? verdictColour(v, limitOf(o)) : bar);
        if (const auto limit = limitOf(o); limit && std::isfinite(*limit)) {
            const double at = std::round(box.bottom - std::min(*limit / top, 1.0) * height);
            canvas.setLineWidth(2);
            canvas.line(centre - half - 1, at, centre + half + 1, at, black);
            canvas.setLineWidth(1);
        }
        out.bars.push_back({chart, o.order, valueOf(o), left, left + column, box.top, box.bottom});
        if ((i - shown.first) % labelEvery == 0) {
            canvas.setForeColor(black);
            const std::string label = plainInteger(o.order);
            canvas.text(centre - canvas.textWidth(label) / 2, box.bottom + 3, label);
        }
    }
    canvas.setLineWidth(1);
}

}  // namespace

SpectrumDrawing composeSpectrum(Canvas& canvas, const Spectrum& s, SpectrumShown shown) {
    SpectrumDrawing out;
    canvas.setFont(kGothicFont, 12, false);
    canvas.setLineWidth(1);
    canvas.setLineStyle(LineStyle::Solid);
    canvas.clear();
    const int last = static_cast<int>(s.orders.size()) - 1;
    shown.first = std::clamp(shown.first, 1, std::max(last, 1));
    shown.last = std::clamp(shown.last, shown.first, std::max(last, 1));
    out.shown = shown;
    const double w = canvas.scaleWidth(), h = canvas.scaleHeight();
    canvas.setForeColor(Colour::palette(0));
    canvas.text(10, 6, s.when + "  " + s.channelText);
    if (last < 1) return out;
    const double line = canvas.textHeight();
    const double left = 10 + canvas.textWidth("00000");
    const double right = w - 20;
    const double firstTop = 6 + 3 * line;
    const double half = (h - firstTop) / 2;
    const ChartBox voltage{left, firstTop, right, firstTop + half - 2 * line - 10};
    const ChartBox current{left, firstTop + half + line, right, h - 2 * line};
    if (voltage.bottom - voltage.top < 10 || right - left < 10) return out;
    drawChart(canvas, s, shown, 0, voltage,
              "電圧歪率(%)  総合 " + readoutNumber(s.totalDistortion) + "%", out);
    drawChart(canvas, s, shown, 1, current,
              "電流(A) " + s.channelText + "  基本波 " + readoutNumber(s.fundamentalCurrent) + "A",
              out);
    return out;
}

std::optional<SpectrumBar> barAt(const SpectrumDrawing& drawing, double x, double y) {
    for (const SpectrumBar& b : drawing.bars)
        if (x >= b.left && x < b.right && y >= b.top && y <= b.bottom) return b;
    return std::nullopt;
}

std::string barText(const SpectrumBar& bar) {
    return plainInteger(bar.order) + "次 " + readoutNumber(bar.value) +
           (bar.chart == 0 ? "%" : "A");
}

}  // namespace hg
