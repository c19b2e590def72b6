#include "graph/comparison.h"

#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"
#include "analysis/items.h"
#include "analysis/load_analysis.h"
#include "analysis/series_value.h"
#include "datafile/scan.h"
#include "graph/cursor_readout.h"
#include "graph/curve_rules.h"
#include "platform/canvas.h"
#include "platform/dates.h"

namespace hg {

const char* alignmentName(Alignment alignment) {
    return alignment == Alignment::Week ? "week" : "day";
}

std::optional<Alignment> alignmentNamed(const std::string& name) {
    if (name == "day") return Alignment::Day;
    if (name == "week") return Alignment::Week;
    return std::nullopt;
}

double alignmentShiftDays(double mainStart, double otherStart, Alignment alignment) {
    const double mainDay = std::floor(mainStart + 1e-9);
    const double otherDay = std::floor(otherStart + 1e-9);
    if (alignment == Alignment::Day) return otherDay - mainDay;
    return (otherDay - weekday(otherDay)) - (mainDay - weekday(mainDay));
}

AlignedComparison alignComparison(const HARMDIM& main, const HARMDIM& other, Alignment alignment) {
    AlignedComparison out;
    out.other = &other;
    out.alignment = alignment;
    const double mainStart = std::floor(main.AnalysisStart * 1440.0 + 1e-6) / 1440.0;
    const double shift = alignmentShiftDays(main.AnalysisStart, other.AnalysisStart, alignment);
    const int32_t n = placedRecords(other);
    out.minutes.reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (int32_t rec = 0; rec < n; ++rec)
        out.minutes.push_back(
            std::round((recordDateTime(other, rec) - shift - mainStart) * 1440.0 * 1e6) / 1e6);
    if (n > 0)
        out.legend = "比較 " + recordTimeText(other, 0) + "～" + recordTimeText(other, n - 1);
    return out;
}

bool comparable(const HARMDIM& main, const HARMDIM& other) {
    return main.MaxOrderIndex == other.MaxOrderIndex && main.ChannelCount == other.ChannelCount &&
           main.Kind.family == other.Kind.family && main.Kind.shortHn == other.Kind.shortHn;
}

Result<std::shared_ptr<const HARMDIM>> loadComparedPeriod(const std::string& path,
                                                          PeriodTexts period, const HARMDIM& main) {
    auto scan = scanFile(path);
    if (!scan) return Error{scan.error()};
    const auto fill = [](std::string& text, const std::string& scanned) {
        if (text.empty()) text = scanned;
    };
    fill(period.startDate, scan->startDate);
    fill(period.startTime, scan->startTime);
    fill(period.endDate, scan->endDate);
    fill(period.endTime, scan->endTime);
    Recording recording;
    applyScan(recording, *scan);
    auto loaded = loadAnalysis(recording, period);
    if (!loaded) return Error{loaded.error()};
    if (!loaded->analysis) return Error{"比較する期間の開始が終了より後です。"};
    if (!comparable(main, *loaded->analysis))
        return Error{"比較できるのは同じ種類の記録だけです: " + path};
    return std::shared_ptr<const HARMDIM>(std::move(loaded->analysis));
}

RecordSpan comparisonRecordsIn(const AlignedComparison& comparison, const ShownRange& range) {
    const auto& m = comparison.minutes;
    const auto first = std::lower_bound(m.begin(), m.end(), range.first - 1e-9);
    const auto last = std::upper_bound(m.begin(), m.end(), range.last + 1e-9);
    return {static_cast<int32_t>(first - m.begin()), static_cast<int32_t>(last - m.begin()) - 1};
}

namespace {

// The comparison's records the layout shows (its range, or the main period's length).
RecordSpan shownComparison(const AlignedComparison& c, const GraphLayout& g) {
    const double last = minuteAtX(g, g.GraphWidth);
    return comparisonRecordsIn(c, ShownRange{g.firstMinute, last});
}

// The points of one unbroken dashed curve, kept per pixel column as the first, lowest, highest
// and last point in time order (what a line through every point would cover), drawn dashed.
class ColumnLine {
  public:
    void add(Point p) {
        if (column_.empty() || p.x != column_.front().x) closeColumn();
        column_.push_back(p);
    }
    void draw(Canvas& canvas, const Colour& colour) {
        closeColumn();
        dashed(canvas, colour);
        points_.clear();
    }

  private:
    // Dashes along the line through the points, the pattern running on across them: solid pieces
    // (a dashed pen would start its pattern afresh on every short segment, and strokes a long
    // dashed path slowly on a fine screen).
    void dashed(Canvas& canvas, const Colour& colour) const {
        constexpr double kOn = 6, kOff = 4;
        double phase = 0;
        for (std::size_t i = 1; i < points_.size(); ++i) {
            const Point a = points_[i - 1], b = points_[i];
            const double length = std::hypot(b.x - a.x, b.y - a.y);
            for (double t = 0; t < length;) {
                const bool on = phase < kOn;
                const double step = std::min((on ? kOn : kOn + kOff) - phase, length - t);
                if (on)
                    canvas.line(a.x + (b.x - a.x) * t / length, a.y + (b.y - a.y) * t / length,
                                a.x + (b.x - a.x) * (t + step) / length,
                                a.y + (b.y - a.y) * (t + step) / length, colour);
                t += step;
                phase = std::fmod(phase + step, kOn + kOff);
            }
        }
    }
    void closeColumn() {
        if (column_.empty()) return;
        const auto [low, high] = std::minmax_element(column_.begin(), column_.end(),
                                                     [](Point a, Point b) { return a.y < b.y; });
        std::vector<const Point*> kept{&column_.front(), &*low, &*high, &column_.back()};
        std::sort(kept.begin(), kept.end());
        kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
        for (const Point* p : kept) points_.push_back(*p);
        column_.clear();
    }
    std::vector<Point> column_;
    std::vector<Point> points_;
};

double comparedValue(const AlignedComparison& c, const GraphRequest& request, int32_t rec,
                     int series, double factor) {
    return seriesValue(*c.other, request.item, rec, series, request.channel, factor, nullptr).value;
}

}  // namespace

std::vector<double> comparisonMaxima(const AlignedComparison& comparison,
                                     const GraphRequest& request, const GraphLayout& g) {
    std::vector<double> maxima;
    if (isPredictionItem(request.item)) return maxima;
    const RecordSpan span = shownComparison(comparison, g);
    for (const DrawnCurve& curve : drawnCurves(*comparison.other, request)) {
        double highest = 0;
        for (int32_t rec = span.first; rec <= span.last; ++rec)
            highest = std::max(highest, comparedValue(comparison, request, rec, curve.series, 1.0));
        // A fundamental drawn divided takes its place on the axis through the item's factor.
        const bool divided = curve.series == 0 && fundamentalFactorApplies(request.item);
        if (!divided && std::isfinite(highest)) maxima.push_back(highest);
    }
    return maxima;
}

void drawComparison(Canvas& canvas, const AlignedComparison& comparison,
                    const GraphRequest& request, const GraphLayout& g, const ValueAxis& axis) {
    if (isPredictionItem(request.item)) return;
    // A compared recording whose currents could not be read back draws nothing (its legend says
    // why) rather than zeros.
    if (!tablesFailureFor(*comparison.other, request.item).empty()) return;
    const RecordSpan span = shownComparison(comparison, g);
    const double gap = 2.0 * std::max(1.0f, comparison.other->RecordInterval) + 1e-6;
    canvas.setLineWidth(1);
    canvas.setLineStyle(LineStyle::Solid);
    canvas.setSquareEnds(true);  // the dashes' pieces look alike at every pixel ratio
    for (const DrawnCurve& curve : drawnCurves(*comparison.other, request)) {
        const Colour colour = Colour::palette(curve.colour);
        const double factor = curve.series == 0 ? axis.factor : 1.0;
        ColumnLine line;
        double previousMinute = 0;
        for (int32_t rec = span.first; rec <= span.last; ++rec) {
            const double minute = comparison.minutes[static_cast<std::size_t>(rec)];
            const double v = comparedValue(comparison, request, rec, curve.series, factor);
            const double y = g.T + axis.scale(g.GraphHeight) * (v - axis.top);
            if (!std::isfinite(y)) continue;
            if (rec > span.first && minute - previousMinute > gap) line.draw(canvas, colour);
            line.add({std::round(xOfMinute(g, minute)), std::round(std::clamp(y, -1e6, 1e6))});
            previousMinute = minute;
        }
        line.draw(canvas, colour);
    }
    canvas.setSquareEnds(false);
}

void drawComparisonLegend(Canvas& canvas, const HARMDIM& main, const AlignedComparison& comparison,
                          const GraphLayout& g, int item) {
    const int32_t n = placedRecords(main);
    if (n < 1 || comparison.legend.empty()) return;
    const std::string failed = tablesFailureFor(*comparison.other, item);
    const std::string text =
        "実線 " + recordTimeText(main, 0) + "～" + recordTimeText(main, n - 1) + "  破線 " +
        (failed.empty() ? comparison.legend.substr(comparison.legend.find(' ') + 1) : failed);
    canvas.setForeColor(Colour::palette(0));
    canvas.setFontBold(false);
    canvas.text(g.GraphWidth - canvas.textWidth(text), g.T - canvas.textHeight() - 2, text);
}

}  // namespace hg
