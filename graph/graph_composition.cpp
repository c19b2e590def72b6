#include "graph/graph_composition.h"

#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"
#include "datafile/record_format.h"
#include "graph/axis_rules.h"
#include "graph/series_value.h"
#include "platform/canvas.h"
#include "platform/classic.h"
#include "platform/dates.h"
#include "platform/numtext.h"

namespace hg {

namespace {

const Colour kBlack = Colour::palette(0);
const Colour kGrey = *rgbFromBgrHex("808080");
const Colour kDarkBlue = *rgbFromBgrHex("900000");

int roundInt(double x) {
    return static_cast<int>(roundHalfEven(x));
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

// The legend of order index k of an item; empty for the unbalance rate of items 12 and 13.
std::string legendText(int item, int k, int orderStep) {
    static const char* const kOverloadLegends[] = {"Ｌ無ｺﾝﾃﾞﾝｻ", "Ｌ6%ｺﾝﾃﾞﾝｻ", "Ｌ6%ﾘｱｸﾄﾙ"};
    static const char* const kPhaseVoltageLegends[] = {"Vu-v", "Vv-w", "Vu-w", "正相", "逆相"};
    static const char* const kPhaseCurrentLegends[] = {"Ｉu", "Ｉv", "Ｉw", "正相", "逆相"};
    if (item == kOverload && k <= 2) return kOverloadLegends[k];
    if (item == kPhaseVoltage) return k <= 4 ? kPhaseVoltageLegends[k] : "";
    if (item == kPhaseCurrent) return k <= 4 ? kPhaseCurrentLegends[k] : "";
    if (k == 0) {
        return item == kVoltageDistortion || item == kCurrentDistortion ||
                       item == kPredictedDistortion
                   ? "総合"
                   : "基本";
    }
    return " " + plainInteger(k * orderStep + 1) + "次";
}

// The highest order index an item has series for: the overload rates 0..2, the per-phase values
// 0..5 (five values and the unbalance rate); every order for the others.
int lastSeriesOf(int item, int maxOrderIndex) {
    if (item == kOverload) return std::min(2, maxOrderIndex);
    if (item == kPhaseVoltage || item == kPhaseCurrent) return 5;
    return maxOrderIndex;
}

void printAt(Canvas& canvas, double x, double y, std::string_view text, Colour colour) {
    canvas.setForeColor(colour);
    canvas.text(static_cast<float>(x), static_cast<float>(y), text);
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
    const double minutes = state.PeriodMinutes > 0 ? state.PeriodMinutes : 1;
    g.XScale = span / minutes;
    // The smallest whole number of hours whose hour lines lie more than 56 pixels apart.
    g.hourStep = 1;
    while (!(g.XScale * 60 * g.hourStep > 56) && g.hourStep < 1000000) ++g.hourStep;
    const int32_t slots = std::max<int32_t>(state.PeriodRecords, 0);
    g.RecordPixelX.resize(static_cast<std::size_t>(slots) + 1, 0);
    if (slots > 0) {
        const double step = static_cast<double>(span) / slots;
        for (int32_t t = 0; t <= slots; ++t) g.RecordPixelX[t] = roundInt(step * t);
    }
    return g;
}

std::string graphDateText(const HARMDIM& state) {
    return formatYyMmDdWeekday(state.AnalysisStart);
}

GraphDrawing composeGraph(Canvas& canvas, HARMDIM& state, const GraphRequest& request) {
    GraphDrawing out;
    const int item = request.item;
    if (item == 0 || request.group == 0) return out;

    const auto layout = graphLayout(state, canvas.scaleWidth(), canvas.scaleHeight());
    if (!layout) {
        out.outcome = GraphOutcome::TooSmall;
        return out;
    }
    const GraphLayout& g = *layout;
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

    // The selection drawn becomes the current one (printing reads it).
    state.CurrentItem = request.item;
    state.CurrentGroup = request.group;
    state.CurrentChannel = request.channel;
    std::copy(orders.begin(), orders.end(), state.JisuFlag.begin());
    state.RedrawFlag = 0;
    state.GraphWidth = static_cast<int16_t>(g.GraphWidth);
    state.GraphHeight = static_cast<int16_t>(g.GraphHeight);
    state.XScale = static_cast<float>(g.XScale);

    const int channel = seriesChannel(request.item, request.channel);
    ValueAxisRequest axisRequest;
    axisRequest.item = item;
    axisRequest.channel = channel;
    axisRequest.orderFlags =
        std::span<const int16_t>(orders.data(), static_cast<std::size_t>(n) + 1);
    const ValueAxis axis = computeValueAxis(state, axisRequest);
    out.axis = axis;

    const int clientHeight = request.clientHeight > 0
                                 ? request.clientHeight
                                 : static_cast<int>(canvas.scaleHeight()) + 105;
    const int fontSize = graphFontSize(clientHeight);
    const double L = g.L, T = g.T, W = g.GraphWidth, H = g.GraphHeight;
    const double scale = axis.scale(H);
    auto yOf = [&](double v) { return T + scale * (v - axis.top); };

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
    if (item == kPhaseDifference || item == kVoltageSuperposition ||
        item == kCurrentSuperposition) {
        printAt(canvas, 0, T + H + 30, "遅れ", kBlack);
        printAt(canvas, 0, 0, "進み", kBlack);
    } else if (item == kReactivePower) {
        printAt(canvas, 0, T + H + 30, "進み", kBlack);
        printAt(canvas, 0, 0, "遅れ", kBlack);
    }
    for (const GridLevel& level : gridLevelsDown(axis, AxisStyle::Screen)) {
        const double y = roundInt(yOf(level.at));
        printAt(canvas, 0, y - 8, labelNumber(level.label), kBlack);
        canvas.line(L, y, W, y, Colour::palette(8));
    }

    // Time grid: 10-minute ticks for periods under 300 minutes, else hourly.
    const int64_t span = wholeMinutes(state.AnalysisStart, state.AnalysisEnd);
    const int step = span < 300 ? 10 : 60;
    const double firstMinute = state.StartMinute;
    const double lastMinute =
        (static_cast<double>(state.EndDay) - state.StartDay) * 1440.0 + state.EndMinute;
    for (int64_t t = static_cast<int64_t>(std::ceil(firstMinute / step)) * step; t <= lastMinute;
         t += step) {
        const double x = roundInt((t - firstMinute) * g.XScale + L);
        const int hour = static_cast<int>((t / 60) % 24);
        if (t % 60 == 0) {
            const bool labelled = hour % g.hourStep == 0;
            canvas.setLineStyle(hour == 0  ? LineStyle::Solid
                                : labelled ? LineStyle::DashDot
                                           : LineStyle::Dotted);
            canvas.line(x, T, x, T + H, kGrey);
            if (labelled) {
                const std::string text = plainInteger(hour);
                printAt(canvas, x - static_cast<double>(text.size()), T + H + 5, text, kBlack);
            }
        } else {
            canvas.setLineStyle(LineStyle::Dotted);
            canvas.line(x, T, x, T + H, kDarkBlue);
            if (span < 60) {
                canvas.setFontSize(fontSize);
                const std::string text = plainInteger(hour) + ":" + plainInteger(t % 60);
                printAt(canvas, x - 40, T + H + 5, text, kBlack);
            }
        }
    }

    // Curves.
    canvas.setLineWidth(2);
    canvas.setFontBold(true);
    canvas.setLineStyle(LineStyle::Solid);
    const int orderStep = n <= 24 ? 2 : 1;
    const bool angle = isAngleItem(request.item);
    const double top180 = yOf(180), bottom180 = yOf(-180);
    const int32_t records =
        std::min<int32_t>(state.LoadedRecords, static_cast<int32_t>(g.RecordPixelX.size()));
    int colour = 8;
    for (int k = 0; k <= n && k <= lastSeries && colour < 8 + kMaxCurves; ++k) {
        if (orders[k] != 1) continue;
        ++colour;
        const Colour curveColour = Colour::palette(SwapBlueRed(static_cast<int16_t>(colour)));
        const std::string legend = legendText(item, k, orderStep);
        if (!legend.empty()) {
            double slot = (colour - 8) * kScreenLegendStep + 100;
            if (item == kOverload && k == 1) slot = 4 * kScreenLegendStep + 100;
            if (item == kOverload && k == 2) slot = 7 * kScreenLegendStep + 100;
            printAt(canvas, slot * g.XUnit, 5 * g.YUnit, legend, curveColour);
        }
        // The unbalance rate has no legend; its curve still takes its own colour.
        canvas.setForeColor(curveColour);
        ++out.curves;

        const double factor = k == 0 ? axis.factor : 1.0;
        auto valueAt = [&](int32_t t, bool& atTop) {
            const SeriesValue v = seriesValue(state, request.item, t, k, request.channel, factor);
            atTop = v.atTopEdge;
            return v.value;
        };
        CurvePen pen(canvas);
        double previous = 0;
        for (int32_t t = 0; t < records; ++t) {
            bool atTop = false;
            const double v = valueAt(t, atTop);
            const double x = L + g.RecordPixelX[t];
            const double y = atTop ? T : static_cast<float>(yOf(v));
            if (t == 0) {
                pen.point(x, y);
                previous = v;
                continue;
            }
            if (angle) {
                const double x0 = g.RecordPixelX[t - 1], x1 = g.RecordPixelX[t];
                if (previous - v > 180) {
                    // Leaves through the top, comes back through the bottom.
                    const double xc =
                        roundHalfEven(x0 + (x1 - x0) * (180 - previous) / (v + 360 - previous));
                    pen.lineTo(L + xc, top180);
                    pen.point(L + xc, bottom180);
                } else if (v - previous > 180) {
                    const double xc =
                        roundHalfEven(x0 + (x1 - x0) * (previous + 180) / (previous + 360 - v));
                    pen.lineTo(L + xc, bottom180);
                    pen.point(L + xc, top180);
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
    if (const auto phase = phaseMarker(baseName(state.FilePath));
        phase && (item < 11 || (item >= 14 && item <= 16))) {
        title += *phase;
        title += "相";
    }
    out.title = title;
    canvas.setFontBold(false);
    printAt(canvas, g.XUnit * (item == kOverload ? 1500.0 : 1000.0), g.YUnit * 5.0, title, kBlack);
    printAt(canvas, g.XUnit * 1400.0, g.YUnit * 600.0, "ﾌｧｲﾙ名:" + state.FilePath, kBlack);
    canvas.setFontSize(std::max(1, clientHeight / 40));
    printAt(canvas, g.XUnit * 120.0, g.YUnit * 580.0, graphDateText(state), kBlack);
    printAt(canvas, g.XUnit * 520.0, g.YUnit * 580.0, " " + request.message, kBlack);
    canvas.setFontSize(fontSize);
    out.outcome = GraphOutcome::Drawn;
    return out;
}

}  // namespace hg
