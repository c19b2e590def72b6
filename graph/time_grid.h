// The time grid of a graph, drawn the same way on the screen picture and on the printed block: a
// vertical line at every tick (10 minutes for periods under 300 minutes, else hourly) from the
// first tick at or after the start, dotted dark blue between the hours, and on the hour solid at
// midnight, dash-dot where the hour is labelled (every hourLabelStep hours) and dotted otherwise.
// Hour labels and, for periods under an hour, "h:m" labels stand 5 units under the plot. Over more
// than two days, dates stand inside the plot's top edge right of the midnights (thinned so they
// never meet).
// A zoomed window draws the grid of the range it shows by the same rules.
#pragma once

#include "graph/shown_range.h"
#include "platform/canvas.h"

namespace hg {

struct HARMDIM;

struct TimeGridStyle {
    double left = 0;            // left edge of the plot
    double top = 0;             // top edge
    double height = 0;          // plot height
    double unitsPerMinute = 0;  // see unitsPerMinute()
    // Colours of the midnight and labelled hour lines, and of the other hour lines.
    Colour markedHourLine;
    Colour hourLine;
    // An hour label stands this far left of its line for each digit it has.
    double labelShiftPerDigit = 1;
    // Font size of the "h:m" labels (the size before comes back after each).
    double minuteLabelFontSize = 12;
    // The picture rounds a tick's x from its own edge (left + offset); the page rounds the offset
    // from the plot's left edge, as it places its records.
    bool roundFromPictureEdge = false;
    // The range drawn (none: the whole period); unitsPerMinute is then that of the range.
    const ShownRange* shown = nullptr;
};

// Draws the grid in the canvas's current font; leaves the line style solid.
void drawTimeGrid(Canvas& canvas, const HARMDIM& state, const TimeGridStyle& style);

}  // namespace hg
