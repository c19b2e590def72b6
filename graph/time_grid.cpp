#include "graph/time_grid.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "analysis/harmdim.h"
#include "graph/curve_rules.h"
#include "graph/date_labels.h"
#include "platform/classic.h"
#include "platform/numtext.h"

namespace hg {

namespace {

void label(Canvas& canvas, double x, double y, const std::string& text) {
    canvas.setForeColor(Colour::palette(0));
    canvas.text(static_cast<float>(x), static_cast<float>(y), text);
}

// The dates of a span of more than two days, inside the plot at its top edge, each just right of
// its midnight line: there they meet neither the hour labels nor the footers under the plot, at
// any size of picture or page.
void drawDates(Canvas& canvas, const HARMDIM& state, const TimeGridStyle& style, double first,
               double last) {
    if (!(last - first > kDatedSpanMinutes)) return;
    const double width = canvas.textWidth("12/31");
    const double gap = canvas.textWidth(" ") / 2;
    const double y = style.top + gap;
    const double right = style.left + (last - first) * style.unitsPerMinute;
    for (const DateLabel& d :
         dateLabels(state.StartDay, first, last, style.unitsPerMinute, width)) {
        const double x =
            style.left + (static_cast<double>(d.minute) - first) * style.unitsPerMinute;
        if (x + gap + canvas.textWidth(d.text) > right) break;  // no room before the plot's edge
        label(canvas, roundHalfEven(x + gap), y, d.text);
    }
}

struct AxisLabel {
    double x = 0;
    std::string text;
    double size = 12;
    bool midnight = false;
};

// The labels under the plot, left to right. A label that would run into the one kept before it is
// left out (its line stays), unless it is a midnight's and that one is not: then the midnight's
// takes its place. Where the labels have room, all are drawn.
void drawAxisLabels(Canvas& canvas, const std::vector<AxisLabel>& labels, double y) {
    const double size = canvas.font().size;
    std::vector<std::pair<const AxisLabel*, double>> kept;  // label, right edge
    for (const AxisLabel& l : labels) {
        canvas.setFontSize(l.size);
        const double right = l.x + canvas.textWidth(l.text);
        if (!kept.empty() && l.x < kept.back().second) {
            if (!l.midnight || kept.back().first->midnight) continue;
            kept.pop_back();
            if (!kept.empty() && l.x < kept.back().second) continue;
        }
        kept.push_back({&l, right});
    }
    for (const auto& [l, right] : kept) {
        canvas.setFontSize(l->size);
        label(canvas, l->x, y, l->text);
    }
    canvas.setFontSize(size);
}

}  // namespace

void drawTimeGrid(Canvas& canvas, const HARMDIM& state, const TimeGridStyle& style) {
    const Colour minuteLine = *rgbFromBgrHex("900000");  // dark blue
    const double scale = style.unitsPerMinute;
    const int hourStep = hourLabelStep(scale);
    int tick = timeTickMinutes(state);
    bool minuteLabels = labelsMinuteTicks(state);
    double first = state.StartMinute;
    double last = (static_cast<double>(state.EndDay) - state.StartDay) * 1440.0 + state.EndMinute;
    if (style.shown) {
        last = first + style.shown->last;
        first += style.shown->first;
        tick = last - first < 300 ? 10 : 60;
        minuteLabels = last - first < 60;
    }
    if (!std::isfinite(first) || !std::isfinite(last)) return;
    const double top = style.top, bottom = style.top + style.height;
    const double labelY = bottom + 5;
    std::vector<AxisLabel> labels;
    for (int64_t m = static_cast<int64_t>(std::ceil(first / tick)) * tick;
         static_cast<double>(m) <= last; m += tick) {
        const double offset = (static_cast<double>(m) - first) * scale;
        const double x = style.roundFromPictureEdge ? roundHalfEven(offset + style.left)
                                                    : style.left + roundHalfEven(offset);
        const int64_t hour = classicMod(intDiv(m, 60), 24);
        if (classicMod(m, 60) == 0) {
            const bool labelled = classicMod(hour, hourStep) == 0;
            canvas.setLineStyle(hour == 0  ? LineStyle::Solid
                                : labelled ? LineStyle::DashDot
                                           : LineStyle::Dotted);
            canvas.line(x, top, x, bottom,
                        hour == 0 || labelled ? style.markedHourLine : style.hourLine);
            if (labelled) {
                std::string text = plainInteger(hour);
                const double at = x - style.labelShiftPerDigit * static_cast<double>(text.size());
                labels.push_back({at, std::move(text), canvas.font().size, hour == 0});
            }
        } else {
            canvas.setLineStyle(LineStyle::Dotted);
            canvas.line(x, top, x, bottom, minuteLine);
            if (minuteLabels)
                labels.push_back({x - 40,
                                  plainInteger(hour) + ":" + plainInteger(classicMod(m, 60)),
                                  style.minuteLabelFontSize, false});
        }
    }
    canvas.setLineStyle(LineStyle::Solid);
    drawAxisLabels(canvas, labels, labelY);
    drawDates(canvas, state, style, first, last);
}

}  // namespace hg
