// The graph of a graph window composed on a drawing surface: from the picture size the layout
// (plot edges, record positions, hour-label step), the value axis with its grid and labels, the
// time grid, up to five curves with their legends and the wrap strokes of angle curves, the title
// and the footers. The window's picture, the PNG and PDF of `harmograph plot` and the tests draw
// through this one composition.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "graph/axis_by_hand.h"
#include "graph/shown_range.h"
#include "graph/value_axis.h"

namespace hg {

class Canvas;
class GraphSelection;
struct AlignedComparison;
struct HARMDIM;
struct Prediction;

// Pictures smaller than this in either direction get no graph.
constexpr int kMinGraphPicture = 100;
// The most curves of one graph.
constexpr int kMaxCurves = 5;
// Height of the band of controls above the picture in a graph window, in pixels.
constexpr int kGraphControlBand = 105;
// Horizontal spacing of the legends on the screen, in layout units.
constexpr int kScreenLegendStep = 140;

// Where things go on a picture of a given size.
struct GraphLayout {
    float XUnit = 0;                // picture width / 2250: layout unit of texts across
    float YUnit = 0;                // picture height / 630: layout unit down
    int L = 0;                      // left edge of the plot
    int T = 0;                      // top edge
    int GraphWidth = 0;             // right edge
    int GraphHeight = 0;            // plot height (the bottom edge is T + GraphHeight)
    double XScale = 0;              // pixels per minute
    int hourStep = 1;               // hours between labelled hour lines (at least 56 pixels apart)
    std::vector<int> RecordPixelX;  // x offset of each record from L, by its time
    // A zoomed layout: the records shown (placed by time from the range's first minute, which
    // stands at L); none: every loaded record over the whole period.
    std::optional<RecordSpan> shownRecords;
    double firstMinute = 0;
};

// The minute (from the analysis start) at a picture x, and the x of a minute, on a layout.
double minuteAtX(const GraphLayout& g, double x);
double xOfMinute(const GraphLayout& g, double minute);

// The layout of a picture, or nothing when the picture is too small to hold a graph (under
// 100 x 100, or no room between the plot edges).
std::optional<GraphLayout> graphLayout(const HARMDIM& state, double width, double height);

// What a graph window asks to draw.
struct GraphRequest {
    int16_t item = 0;     // the window's item code (12 / 13 also for the unbalance views)
    int16_t group = 0;    // the window's order-group code
    int16_t channel = 0;  // the window's channel option
    // Order flags by order index (0..259): 1 drawn, 0 not, 2 no such order.
    std::span<const int16_t> orders;
    std::string itemName;  // the item list text chosen (the title)
    std::string message;   // the print message
    // Inner height of the graph window in pixels, from which the font sizes follow; 0 takes the
    // picture height + kGraphControlBand (the picture sits in the window under the controls).
    int clientHeight = 0;
    // The window's prediction, which items 14 to 16 draw (none: they draw zeros).
    const Prediction* prediction = nullptr;
    // Why the curves cannot be drawn (the prediction's transformer parameters are not usable):
    // when set, the graph is drawn without curves and this one line stands in the plot.
    std::string notice;
    // Called after each curve (the window lets pending events through).
    std::function<void()> afterCurve;
    // Limit values the value axis extends to show (the lines of the window's limit set).
    std::vector<double> limits;
    // The range a zoomed window shows; none: the whole period.
    std::optional<ShownRange> range;
    // The value axis set by hand; none: the item's own axis rules.
    std::optional<AxisByHand> axisByHand;
    // A second period drawn dashed over the first (none: no comparison).
    const AlignedComparison* comparison = nullptr;
    // Curves are drawn by pixel columns (the first, last, lowest and highest point of each); off,
    // every record's segment is drawn. The pixels are the same either way.
    bool byColumns = true;
};

// A curve the request draws: its series, palette colour and legend (empty for the unbalance).
struct DrawnCurve {
    int series = 0;
    int colour = 0;
    std::string legend;
};
// The curves of a request in drawing order: the checked series of the item, at most five.
std::vector<DrawnCurve> drawnCurves(const HARMDIM& state, const GraphRequest& request);

// The request of a graph window's selection (kept by reference for the orders) with its print
// message.
GraphRequest graphRequestOf(const GraphSelection& selection, std::string message);

enum class GraphOutcome {
    Drawn,
    NoSelection,  // no item or no group yet: nothing happens
    NoOrders,     // no order checked: the picture is left as it is
    TooSmall,     // the picture cannot hold a graph: nothing is drawn
};

struct GraphDrawing {
    GraphOutcome outcome = GraphOutcome::NoSelection;
    GraphLayout layout;
    ValueAxis axis;
    std::string title;
    int curves = 0;
};

// Font size of the graph's labels for a window inner height: height / 80, at least 12.
int graphFontSize(int clientHeight);

// Draws the request's graph on `canvas`, whose user window is the picture's pixels, from the
// loaded tables (only read) and the request's prediction. The drawing tells the plot geometry.
GraphDrawing composeGraph(Canvas& canvas, const HARMDIM& state, const GraphRequest& request);

// The date footer of a graph: "yy/mm/dd(aaa)" of the analysis start, or the days a zoomed range
// shows (shownDaysText).
std::string graphDateText(const HARMDIM& state, const std::optional<ShownRange>& range);

}  // namespace hg
