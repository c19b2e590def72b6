#include "graph/graph_composition.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "analysis/harmdim.h"
#include "analysis/items.h"
#include "analysis/series_value.h"
#include "datafile/record_format.h"
#include "graph/comparison.h"
#include "graph/curve_rules.h"
#include "graph/date_labels.h"
#include "graph/footer_text.h"
#include "graph/graph_selection.h"
#include "graph/time_grid.h"
#include "graph/zoomed_graph.h"
#include "platform/canvas.h"
#include "platform/classic.h"
#include "platform/dates.h"
#include "platform/numtext.h"

namespace hg {

namespace {

const Colour kBlack = Colour::palette(0);
constexpr double kFarOffFrame = 1.0e6;  // pixels
const Colour kGrey = *rgbFromBgrHex("808080");

// A drawing coordinate: never from a value that is not a number or lies far off the surface.
int roundInt(double x) {
    if (!(x == x)) return 0;
    return static_cast<int>(roundHalfEven(std::clamp(x, -kFarOffFrame, kFarOffFrame)));
}

// Joins the points of one curve, by pixel columns (the M4 aggregation of line charts: per column
// only the first, last, lowest and highest point matter). Records that fall on the same pixel
// column are joined by vertical strokes only, so the column is drawn as the union of those
// strokes: one line per stretch it covers (a wrap stroke of an angle curve leaves the column at
// one edge and comes back at the other, giving two stretches), entered by the slanted line from
// the previous column's last point and left at the column's last point. The pixels are those of
// one segment per record, in a handful of lines per column, whatever the device pixel ratio
// (record positions are whole pixels of the picture, so a column is a whole number of device
// columns). Without `byColumns` every segment is drawn as it comes.
class CurvePen {
  public:
    CurvePen(Canvas& canvas, bool byColumns) : canvas_(canvas), byColumns_(byColumns) {}
    ~CurvePen() { flush(); }

    // A point that the next line starts from (the first record, the return of a wrap stroke).
    void point(double x, double y) {
        if (!byColumns_) return canvas_.point(x, y);
        if (open_ && x == x_) {
            runs_.push_back({y, y});
            last_ = y;
            return;
        }
        flush();
        canvas_.point(x, y);
        open(x, y);
    }
    void lineTo(double x, double y) {
        if (!byColumns_) return canvas_.lineTo(x, y);
        if (open_ && x == x_) {
            Run& run = runs_.back();
            run.low = std::min(run.low, y);
            run.high = std::max(run.high, y);
            last_ = y;
            return;
        }
        flush();
        canvas_.lineTo(x, y);
        open(x, y);
    }
    void flush() {
        if (!open_) return;
        open_ = false;
        if (runs_.size() == 1 && runs_[0].low == runs_[0].high) return;  // the entry alone
        std::sort(runs_.begin(), runs_.end(),
                  [](const Run& a, const Run& b) { return a.low < b.low; });
        std::size_t kept = 0;
        for (std::size_t i = 1; i < runs_.size(); ++i) {
            if (runs_[i].low <= runs_[kept].high) {
                runs_[kept].high = std::max(runs_[kept].high, runs_[i].high);
            } else {
                runs_[++kept] = runs_[i];
            }
        }
        runs_.resize(kept + 1);
        for (const Run& run : runs_) {
            if (run.low != run.high) {
                canvas_.line(x_, run.low, x_, run.high);
            } else if (run.low != entry_) {  // the entry is drawn by the line into the column
                canvas_.point(x_, run.low);
            }
        }
        canvas_.moveTo(x_, last_);
    }

  private:
    struct Run {
        double low;
        double high;
    };
    void open(double x, double y) {
        open_ = true;
        x_ = x;
        entry_ = last_ = y;
        runs_.assign(1, Run{y, y});
    }

    Canvas& canvas_;
    const bool byColumns_;
    bool open_ = false;
    double x_ = 0, entry_ = 0, last_ = 0;
    std::vector<Run> runs_;
};

void printAt(Canvas& canvas, double x, double y, std::string_view text, Colour colour) {
    canvas.setForeColor(colour);
    canvas.text(static_cast<float>(x), static_cast<float>(y), text);
}

// Where each record stands across the plot: its time, as the page places it by RecordX, scaled
// to the plot's width. The minutes from the period start are read back from RecordX (whole
// minutes, so exactly) and measured in record slots, so that a record on a regular stamp falls on
// its slot's pixel exactly: a gap-free period from stamp to stamp places record t at t slot steps.
// Slots no record filled keep their slot position.
void placeRecords(const HARMDIM& state, int span, std::vector<int>& pixelX) {
    const int32_t slots = std::max<int32_t>(state.PeriodRecords, 0);
    pixelX.assign(static_cast<std::size_t>(slots) + 1, 0);
    if (slots == 0) return;
    const double step = static_cast<double>(span) / slots;
    const double minutes = std::max<int32_t>(state.PeriodMinutes, 1);
    for (int32_t t = 0; t <= slots; ++t) {
        double slot = t;
        if (t < state.LoadedRecords && state.RecordX.contains(t)) {
            const double m = std::round(static_cast<double>(state.RecordX(t)) * minutes / 2000.0);
            slot = m * slots / minutes;
        }
        pixelX[static_cast<std::size_t>(t)] = roundInt(step * slot);
    }
}

}  // namespace

int graphFontSize(int clientHeight) {
    return std::max(12, clientHeight / 80);
}

std::optional<GraphLayout> graphLayout(const HARMDIM& state, double width, double height) {
    if (!(width >= kMinGraphPicture) || !(height >= kMinGraphPicture)) return std::nullopt;
    if (width > 32767 || height > 32767) return std::nullopt;
    GraphLayout g;
    g.XUnit = static_cast<float>(width / 2250);
    g.YUnit = static_cast<float>(height / 630);
    g.L = roundInt(g.YUnit * 20.0 + 30);
    g.T = roundInt(g.YUnit * 50.0);
    g.GraphWidth = roundInt(width - g.L);
    g.GraphHeight = roundInt(g.YUnit * 500.0);
    const int span = g.GraphWidth - g.L;
    if (span <= 0 || g.GraphHeight <= 0) return std::nullopt;
    g.XScale = unitsPerMinute(state, span);
    g.hourStep = hourLabelStep(g.XScale);
    placeRecords(state, span, g.RecordPixelX);
    return g;
}

double minuteAtX(const GraphLayout& g, double x) {
    return g.XScale > 0 ? g.firstMinute + (x - g.L) / g.XScale : g.firstMinute;
}

double xOfMinute(const GraphLayout& g, double minute) {
    return g.L + (minute - g.firstMinute) * g.XScale;
}

std::vector<DrawnCurve> drawnCurves(const HARMDIM& state, const GraphRequest& request) {
    std::vector<DrawnCurve> curves;
    const int n = state.MaxOrderIndex;
    const int lastSeries = lastSeriesOf(request.item, n);
    const int orderStep = orderStepOf(n);
    for (int k = 0; k <= n && k <= lastSeries && static_cast<int>(curves.size()) < kMaxCurves;
         ++k) {
        if (static_cast<std::size_t>(k) >= request.orders.size() || request.orders[k] != 1)
            continue;
        const int drawn = static_cast<int>(curves.size()) + 1;
        std::string legend = legendText(request.item, k, orderStep);
        // A curve without a legend is drawn in the colour the legends leave: black.
        const int colour = legend.empty() ? 0 : curveColour(drawn, false);
        curves.push_back({k, colour, std::move(legend)});
    }
    return curves;
}

GraphRequest graphRequestOf(const GraphSelection& selection, std::string message) {
    GraphRequest request;
    request.item = selection.item();
    request.group = selection.group();
    request.channel = selection.channel();
    request.orders = selection.orders();
    request.itemName = selection.itemName();
    request.message = std::move(message);
    return request;
}

std::string graphDateText(const HARMDIM& state, const std::optional<ShownRange>& range) {
    return shownDaysText(state, range ? &*range : nullptr);
}

namespace {

// Where values land on the picture: the layout and the value axis.
struct Plot {
    const GraphLayout& g;
    const ValueAxis& axis;
    double L, T, W, H;

    Plot(const GraphLayout& layout, const ValueAxis& valueAxis)
        : g(layout),
          axis(valueAxis),
          L(layout.L),
          T(layout.T),
          W(layout.GraphWidth),
          H(layout.GraphHeight) {}

    // Values far outside the axis (a recording's damaged values) stay far outside the frame, at
    // a coordinate every surface can take; one that is not a number lies on the frame's bottom.
    double yOf(double v) const {
        const double y = T + axis.scale(H) * (v - axis.top);
        return y == y ? std::clamp(y, -kFarOffFrame, kFarOffFrame) : T + H;
    }
};

// The request's order flags for every order index (missing entries 0).
std::vector<int16_t> requestOrders(const GraphRequest& request) {
    std::vector<int16_t> orders(kJisuFlagCount, 0);
    for (std::size_t k = 0; k < orders.size() && k < request.orders.size(); ++k)
        orders[k] = request.orders[k];
    return orders;
}

bool anySeriesChecked(const std::vector<int16_t>& orders, int item, int maxOrderIndex) {
    const int last = std::min(maxOrderIndex, lastSeriesOf(item, maxOrderIndex));
    for (int k = 0; k <= last; ++k)
        if (orders[k] == 1) return true;
    return false;
}

// The value axis of the drawn orders, over the records shown when the graph is zoomed.
ValueAxis screenAxis(const HARMDIM& state, const GraphRequest& request, const GraphLayout& g,
                     const std::vector<int16_t>& orders) {
    ValueAxisRequest axisRequest;
    axisRequest.item = request.item;
    axisRequest.channel = seriesChannel(request.item, request.channel);
    axisRequest.orderFlags =
        std::span<const int16_t>(orders.data(), static_cast<std::size_t>(state.MaxOrderIndex) + 1);
    axisRequest.prediction = request.prediction;
    axisRequest.mustShow = request.limits;
    ItemExtremes shown;
    if (g.shownRecords) {
        shown = shownExtremes(state, request, axisRequest.orderFlags, *g.shownRecords);
        axisRequest.shown = &shown;
    }
    const std::vector<double> compared = request.comparison
                                             ? comparisonMaxima(*request.comparison, request, g)
                                             : std::vector<double>{};
    std::vector<double> mustShow(request.limits.begin(), request.limits.end());
    mustShow.insert(mustShow.end(), compared.begin(), compared.end());
    axisRequest.mustShow = mustShow;
    const ValueAxis axis = computeValueAxis(state, axisRequest);
    return request.axisByHand ? withAxisByHand(axis, *request.axisByHand) : axis;
}

// The frame, the base line and the value grid with its labels, the hour mark and the lead and
// lag marks.
void drawFrameAndGrid(Canvas& canvas, const Plot& p, int item) {
    canvas.box(p.L, p.T, p.W, p.T + p.H, kBlack);
    const double y0 = roundInt(p.yOf(p.axis.base));
    canvas.line(p.L, y0, p.W, y0);
    printAt(canvas, 0, y0 - 10, labelNumber(p.axis.base), kBlack);

    canvas.setLineStyle(LineStyle::Dotted);
    for (const GridLevel& level : gridLevelsUp(p.axis, AxisStyle::Screen)) {
        const double y = roundInt(p.yOf(level.at));
        printAt(canvas, 0, y - 8, labelNumber(level.label), kBlack);
        canvas.line(p.L, y, p.W, y, kGrey);
    }
    printAt(canvas, p.W + 10, p.T + p.H - p.g.YUnit * 20.0, "時", kBlack);
    if (const auto marks = leadLagMarks(item)) {
        printAt(canvas, 0, p.T + p.H + 30, marks->below, kBlack);
        printAt(canvas, 0, 0, marks->above, kBlack);
    }
    for (const GridLevel& level : gridLevelsDown(p.axis, AxisStyle::Screen)) {
        const double y = roundInt(p.yOf(level.at));
        printAt(canvas, 0, y - 8, labelNumber(level.label), kBlack);
        canvas.line(p.L, y, p.W, y, Colour::palette(8));
    }
}

// The time grid of the screen: all its hour lines grey.
void drawScreenTimeGrid(Canvas& canvas, const HARMDIM& state, const Plot& p, int fontSize,
                        const std::optional<ShownRange>& range) {
    TimeGridStyle timeGrid;
    timeGrid.left = p.L;
    timeGrid.top = p.T;
    timeGrid.height = p.H;
    timeGrid.unitsPerMinute = p.g.XScale;
    timeGrid.markedHourLine = kGrey;
    timeGrid.hourLine = kGrey;
    timeGrid.labelShiftPerDigit = 1;
    timeGrid.minuteLabelFontSize = fontSize;
    timeGrid.roundFromPictureEdge = true;
    if (range) timeGrid.shown = &*range;
    drawTimeGrid(canvas, state, timeGrid);
}

// One curve over the records shown, with the wrap strokes of an angle curve.
void drawCurve(Canvas& canvas, const HARMDIM& state, const GraphRequest& request, const Plot& p,
               int k, RecordSpan span) {
    const double factor = k == 0 ? p.axis.factor : 1.0;
    const bool angle = isAngleItem(request.item);
    const std::vector<int>& x = p.g.RecordPixelX;
    CurvePen pen(canvas, request.byColumns);
    double previous = 0;
    for (int32_t t = span.first; t <= span.last; ++t) {
        const SeriesValue sv =
            seriesValue(state, request.item, t, k, request.channel, factor, request.prediction);
        const double v = sv.value;
        const double y = sv.atTopEdge ? p.T : static_cast<float>(p.yOf(v));
        if (t == span.first) {
            pen.point(p.L + x[t], y);
            previous = v;
            continue;
        }
        if (angle) {
            if (const auto wrap = angleWrap(previous, v, x[t - 1], x[t])) {
                pen.lineTo(p.L + wrap->x, p.yOf(wrap->leaveAt));
                pen.point(p.L + wrap->x, p.yOf(wrap->enterAt));
            }
            previous = v;
        }
        pen.lineTo(p.L + x[t], y);
    }
    pen.flush();
}

// The records whose lines can show on a canvas that paints one part of the picture: from the last
// one left of the part to the first one right of it. Every line reaching the part is drawn as from
// the whole span (a column is whole from its first record, the line into it starts where the one
// before ends); what is drawn of the columns left out of, or cut at, either end cannot show. All of
// the span when the records do not run left to right.
RecordSpan reachedRecords(const Canvas& canvas, const Plot& p, RecordSpan span) {
    const auto reach = canvas.reachedX();
    if (!reach || span.first >= span.last) return span;
    const std::vector<int>& x = p.g.RecordPixelX;
    const auto at = [&](int32_t t) { return p.L + x[static_cast<std::size_t>(t)]; };
    for (int32_t t = span.first; t < span.last; ++t)
        if (at(t + 1) < at(t)) return span;
    RecordSpan reached = span;
    while (reached.first < reached.last && at(reached.first + 1) < reach->first) ++reached.first;
    while (reached.last > reached.first && at(reached.last - 1) > reach->second) --reached.last;
    return reached;
}

// The curves with their legends (a notice stands instead of them); returns how many were drawn.
int drawCurves(Canvas& canvas, const HARMDIM& state, const GraphRequest& request, const Plot& p,
               const std::string& notice) {
    canvas.setLineWidth(2);
    canvas.setFontBold(true);
    canvas.setLineStyle(LineStyle::Solid);
    const int32_t loaded =
        std::min<int32_t>(state.LoadedRecords, static_cast<int32_t>(p.g.RecordPixelX.size()));
    const RecordSpan shownSpan = p.g.shownRecords.value_or(RecordSpan{0, loaded - 1});
    const RecordSpan span = reachedRecords(
        canvas, p, {std::max(shownSpan.first, 0), std::min(shownSpan.last, loaded - 1)});
    const LegendPlacement legends{kScreenLegendStep, 100, 1};
    if (!notice.empty()) {
        printAt(canvas, p.L + 10, p.T + 10, notice, kBlack);
        return 0;
    }
    int drawn = 0;
    for (const DrawnCurve& curve : drawnCurves(state, request)) {
        ++drawn;
        // Printing the legend gives the curve its colour; the unbalance rate has no legend, so
        // its curve keeps the fore colour it finds (black after the time grid's labels).
        if (!curve.legend.empty())
            printAt(canvas, legendX(request.item, curve.series, drawn, legends) * p.g.XUnit,
                    5 * p.g.YUnit, curve.legend, Colour::palette(curve.colour));
        if (span.first <= span.last) drawCurve(canvas, state, request, p, curve.series, span);
        if (request.afterCurve) request.afterCurve();
    }
    return drawn;
}

// The footers: the file name at (1400, 600) and the date line (the date, then the message at 520)
// at (120, 580) in units of the picture, each moved down just under the hour labels where a small
// picture would bring them together, and the message just after a date line too long for its
// place.
void drawFooters(Canvas& canvas, const HARMDIM& state, const GraphRequest& request, const Plot& p,
                 int clientHeight, int fontSize) {
    const GraphLayout& g = p.g;
    const double hourLabelsBottom = p.T + p.H + 5 + canvas.textHeight();  // in the grid's font
    const double footerX = g.XUnit * 1400.0;
    printAt(canvas, footerX, std::max(g.YUnit * 600.0, hourLabelsBottom),
            fittedFileNameText(canvas, state.FilePath, footerX, canvas.scaleWidth()), kBlack);
    canvas.setFontSize(std::max(1, clientHeight / 40));
    const double y = std::max(g.YUnit * 580.0, hourLabelsBottom);
    const std::string date = graphDateText(state, request.range);
    const double dateX = g.XUnit * 120.0;
    printAt(canvas, dateX, y, date, kBlack);
    printAt(canvas, std::max(g.XUnit * 520.0, dateX + canvas.textWidth(date)), y,
            " " + request.message, kBlack);
    canvas.setFontSize(fontSize);
}

// The title (with the fundamental factor, the phase and the channel) and the footers: the file,
// the date and the print message. Returns the title.
std::string drawTitleAndFooters(Canvas& canvas, const HARMDIM& state, const GraphRequest& request,
                                const Plot& p, int clientHeight, int fontSize) {
    const int item = request.item;
    std::string title = titleWithFactor(request.itemName, item, p.axis);
    if (const ItemInfo* info = itemInfo(item); info && info->phaseMarkOnScreen)
        title += phaseMarkText(state.FilePath);
    title += channelMarkText(item, request.channel, state.ChannelCount);
    canvas.setFontBold(false);
    printAt(canvas, p.g.XUnit * titleX(item), p.g.YUnit * 5.0, title, kBlack);
    drawFooters(canvas, state, request, p, clientHeight, fontSize);
    return title;
}

}  // namespace

GraphDrawing composeGraph(Canvas& canvas, const HARMDIM& state, const GraphRequest& request) {
    GraphDrawing out;
    if (request.item == 0 || request.group == 0) return out;

    const auto layout = graphLayout(state, canvas.scaleWidth(), canvas.scaleHeight());
    if (!layout) {
        out.outcome = GraphOutcome::TooSmall;
        return out;
    }
    GraphLayout g = *layout;
    if (request.range) showRange(g, state, *request.range);
    out.layout = g;

    const std::vector<int16_t> orders = requestOrders(request);
    if (!anySeriesChecked(orders, request.item, state.MaxOrderIndex)) {
        out.outcome = GraphOutcome::NoOrders;
        return out;
    }
    out.axis = screenAxis(state, request, g, orders);
    const Plot plot(g, out.axis);

    const int clientHeight = request.clientHeight > 0
                                 ? request.clientHeight
                                 : static_cast<int>(canvas.scaleHeight()) + kGraphControlBand;
    const int fontSize = graphFontSize(clientHeight);
    canvas.setFont(kGothicFont, fontSize, false);
    canvas.setLineWidth(1);
    canvas.setLineStyle(LineStyle::Solid);
    canvas.setForeColor(kBlack);
    canvas.clear();

    drawFrameAndGrid(canvas, plot, request.item);
    drawScreenTimeGrid(canvas, state, plot, fontSize, request.range);
    if (request.axisByHand) canvas.clipTo(plot.L, plot.T, plot.W, plot.T + plot.H);
    // Powers that could not be computed are told instead of being drawn as zeros.
    const std::string failed = request.notice.empty() ? tablesFailureFor(state, request.item) : "";
    out.curves = drawCurves(canvas, state, request, plot, failed.empty() ? request.notice : failed);
    if (request.comparison) drawComparison(canvas, *request.comparison, request, g, out.axis);
    canvas.unclip();
    if (request.comparison)
        drawComparisonLegend(canvas, state, *request.comparison, g, request.item);
    out.title = drawTitleAndFooters(canvas, state, request, plot, clientHeight, fontSize);
    out.outcome = GraphOutcome::Drawn;
    return out;
}

}  // namespace hg
