#include "graph/graph_composition.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "analysis/harmdim.h"
#include "datafile/record_format.h"
#include "graph/curve_rules.h"
#include "graph/graph_selection.h"
#include "graph/items.h"
#include "graph/series_value.h"
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

// Joins the points of one curve. Records that fall on the same pixel column are joined by vertical
// strokes only, so the column is drawn as the union of those strokes: one line per stretch it
// covers (a wrap stroke of an angle curve leaves the column at one edge and comes back at the
// other, giving two stretches), entered by the slanted line from the previous column's last point
// and left at the column's last point. The pixels are those of one segment per record, in a
// handful of lines per column.
class CurvePen {
  public:
    explicit CurvePen(Canvas& canvas) : canvas_(canvas) {}
    ~CurvePen() { flush(); }

    // A point that the next line starts from (the first record, the return of a wrap stroke).
    void point(double x, double y) {
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

std::string graphDateText(const HARMDIM& state) {
    return formatYyMmDdWeekday(state.AnalysisStart);
}

GraphDrawing composeGraph(Canvas& canvas, const HARMDIM& state, const GraphRequest& request) {
    GraphDrawing out;
    const int item = request.item;
    if (item == 0 || request.group == 0) return out;

    const auto layout = graphLayout(state, canvas.scaleWidth(), canvas.scaleHeight());
    if (!layout) {
        out.outcome = GraphOutcome::TooSmall;
        return out;
    }
    GraphLayout g = *layout;
    if (request.range) showRange(g, state, *request.range);
    out.layout = g;

    const int n = state.MaxOrderIndex;
    const int lastSeries = lastSeriesOf(item, n);
    std::vector<int16_t> orders(kJisuFlagCount, 0);
    for (std::size_t k = 0; k < orders.size() && k < request.orders.size(); ++k)
        orders[k] = request.orders[k];
    int checked = 0;
    for (int k = 0; k <= std::min(n, lastSeries); ++k) checked += orders[k] == 1 ? 1 : 0;
    if (checked == 0) {
        out.outcome = GraphOutcome::NoOrders;
        return out;
    }

    const int channel = seriesChannel(request.item, request.channel);
    ValueAxisRequest axisRequest;
    axisRequest.item = item;
    axisRequest.channel = channel;
    axisRequest.orderFlags =
        std::span<const int16_t>(orders.data(), static_cast<std::size_t>(n) + 1);
    axisRequest.prediction = request.prediction;
    ItemExtremes shown;
    if (g.shownRecords) {
        shown = shownExtremes(state, request, axisRequest.orderFlags, *g.shownRecords);
        axisRequest.shown = &shown;
    }
    const ValueAxis axis = computeValueAxis(state, axisRequest);
    out.axis = axis;

    const int clientHeight = request.clientHeight > 0
                                 ? request.clientHeight
                                 : static_cast<int>(canvas.scaleHeight()) + kGraphControlBand;
    const int fontSize = graphFontSize(clientHeight);
    const double L = g.L, T = g.T, W = g.GraphWidth, H = g.GraphHeight;
    const double scale = axis.scale(H);
    // Values far outside the axis (a recording's damaged values) stay far outside the frame, at a
    // coordinate every surface can take; one that is not a number lies on the frame's bottom.
    auto yOf = [&](double v) {
        const double y = T + scale * (v - axis.top);
        return y == y ? std::clamp(y, -kFarOffFrame, kFarOffFrame) : T + H;
    };

    canvas.setFont(kGothicFont, fontSize, false);
    canvas.setLineWidth(1);
    canvas.setLineStyle(LineStyle::Solid);
    canvas.setForeColor(kBlack);
    canvas.clear();

    // Frame and base line.
    canvas.box(L, T, W, T + H, kBlack);
    const double y0 = roundInt(yOf(axis.base));
    canvas.line(L, y0, W, y0);
    printAt(canvas, 0, y0 - 10, labelNumber(axis.base), kBlack);

    // Grid above the base line, the hour mark, lag and lead, the grid below.
    canvas.setLineStyle(LineStyle::Dotted);
    for (const GridLevel& level : gridLevelsUp(axis, AxisStyle::Screen)) {
        const double y = roundInt(yOf(level.at));
        printAt(canvas, 0, y - 8, labelNumber(level.label), kBlack);
        canvas.line(L, y, W, y, kGrey);
    }
    printAt(canvas, W + 10, T + H - g.YUnit * 20.0, "時", kBlack);
    if (const auto marks = leadLagMarks(item)) {
        printAt(canvas, 0, T + H + 30, marks->below, kBlack);
        printAt(canvas, 0, 0, marks->above, kBlack);
    }
    for (const GridLevel& level : gridLevelsDown(axis, AxisStyle::Screen)) {
        const double y = roundInt(yOf(level.at));
        printAt(canvas, 0, y - 8, labelNumber(level.label), kBlack);
        canvas.line(L, y, W, y, Colour::palette(8));
    }

    // Time grid, all its hour lines grey.
    TimeGridStyle timeGrid;
    timeGrid.left = L;
    timeGrid.top = T;
    timeGrid.height = H;
    timeGrid.unitsPerMinute = g.XScale;
    timeGrid.markedHourLine = kGrey;
    timeGrid.hourLine = kGrey;
    timeGrid.labelShiftPerDigit = 1;
    timeGrid.minuteLabelFontSize = fontSize;
    timeGrid.roundFromPictureEdge = true;
    if (request.range) timeGrid.shown = &*request.range;
    drawTimeGrid(canvas, state, timeGrid);

    // Curves.
    canvas.setLineWidth(2);
    canvas.setFontBold(true);
    canvas.setLineStyle(LineStyle::Solid);
    const bool angle = isAngleItem(request.item);
    const int32_t loaded =
        std::min<int32_t>(state.LoadedRecords, static_cast<int32_t>(g.RecordPixelX.size()));
    const RecordSpan shownSpan = g.shownRecords.value_or(RecordSpan{0, loaded - 1});
    const int32_t from = std::max(shownSpan.first, 0);
    const int32_t records = std::min(shownSpan.last + 1, loaded);
    const LegendPlacement legends{kScreenLegendStep, 100, 1};
    int drawn = 0;
    if (!request.notice.empty()) printAt(canvas, L + 10, T + 10, request.notice, kBlack);
    // A notice stands instead of the curves.
    const std::vector<DrawnCurve> curves =
        request.notice.empty() ? drawnCurves(state, request) : std::vector<DrawnCurve>{};
    for (const DrawnCurve& curve : curves) {
        const int k = curve.series;
        ++drawn;
        // Printing the legend gives the curve its colour; the unbalance rate has no legend, so
        // its curve keeps the fore colour it finds (black after the time grid's labels).
        const std::string& legend = curve.legend;
        if (!legend.empty())
            printAt(canvas, legendX(item, k, drawn, legends) * g.XUnit, 5 * g.YUnit, legend,
                    Colour::palette(curve.colour));
        ++out.curves;

        const double factor = k == 0 ? axis.factor : 1.0;
        auto valueAt = [&](int32_t t, bool& atTop) {
            const SeriesValue v =
                seriesValue(state, request.item, t, k, request.channel, factor, request.prediction);
            atTop = v.atTopEdge;
            return v.value;
        };
        CurvePen pen(canvas);
        double previous = 0;
        for (int32_t t = from; t < records; ++t) {
            bool atTop = false;
            const double v = valueAt(t, atTop);
            const double x = L + g.RecordPixelX[t];
            const double y = atTop ? T : static_cast<float>(yOf(v));
            if (t == from) {
                pen.point(x, y);
                previous = v;
                continue;
            }
            if (angle) {
                if (const auto wrap =
                        angleWrap(previous, v, g.RecordPixelX[t - 1], g.RecordPixelX[t])) {
                    pen.lineTo(L + wrap->x, yOf(wrap->leaveAt));
                    pen.point(L + wrap->x, yOf(wrap->enterAt));
                }
                previous = v;
            }
            pen.lineTo(x, y);
        }
        pen.flush();
        if (request.afterCurve) request.afterCurve();
    }

    // Title and footers.
    std::string title = titleWithFactor(request.itemName, item, axis);
    if (const ItemInfo* info = itemInfo(item); info && info->phaseMarkOnScreen)
        title += phaseMarkText(state.FilePath);
    title += channelMarkText(item, request.channel, state.ChannelCount);
    out.title = title;
    canvas.setFontBold(false);
    printAt(canvas, g.XUnit * titleX(item), g.YUnit * 5.0, title, kBlack);
    printAt(canvas, g.XUnit * 1400.0, g.YUnit * 600.0, "ﾌｧｲﾙ名:" + state.FilePath, kBlack);
    canvas.setFontSize(std::max(1, clientHeight / 40));
    printAt(canvas, g.XUnit * 120.0, g.YUnit * 580.0, graphDateText(state), kBlack);
    printAt(canvas, g.XUnit * 520.0, g.YUnit * 580.0, " " + request.message, kBlack);
    canvas.setFontSize(fontSize);
    out.outcome = GraphOutcome::Drawn;
    return out;
}

}  // namespace hg
