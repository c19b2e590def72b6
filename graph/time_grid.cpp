#include "graph/time_grid.h"

#include <cmath>
#include <cstdint>
#include <string>

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
    for (const DateLabel& d :
         dateLabels(state.StartDay, first, last, style.unitsPerMinute, width)) {
        const double x =
            style.left + (static_cast<double>(d.minute) - first) * style.unitsPerMinute;
        label(canvas, roundHalfEven(x + gap), y, d.text);
    }
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
                const std::string text = plainInteger(hour);
                label(canvas, x - style.labelShiftPerDigit * static_cast<double>(text.size()),
                      labelY, text);
            }
        } else {
            canvas.setLineStyle(LineStyle::Dotted);
            canvas.line(x, top, x, bottom, minuteLine);
            if (minuteLabels) {
                const double size = canvas.font().size;
                canvas.setFontSize(style.minuteLabelFontSize);
                label(canvas, x - 40, labelY,
                      plainInteger(hour) + ":" + plainInteger(classicMod(m, 60)));
                canvas.setFontSize(size);
            }
        }
    }
    canvas.setLineStyle(LineStyle::Solid);
    drawDates(canvas, state, style, first, last);
}

}  // namespace hg
