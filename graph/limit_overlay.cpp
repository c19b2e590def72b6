#include "graph/limit_overlay.h"

#include <cmath>

#include "analysis/harmdim.h"
#include "analysis/items.h"
#include "compliance/compliance_text.h"
#include "datafile/record_format.h"
#include "graph/curve_rules.h"
#include "graph/graph_composition.h"
#include "platform/canvas.h"

namespace hg {

namespace {

ItemLimit itemLimitsOf(int item) {
    const ItemInfo* info = itemInfo(item);
    return info ? info->limits : ItemLimit::None;
}

}  // namespace

std::optional<double> orderLimit(const LimitOverlayRequest& r, int k, int orderStep) {
    const int order = k * orderStep + 1;
    const ItemLimit limits = itemLimitsOf(r.item);
    if (limits == ItemLimit::Distortion && r.set->quantity == LimitQuantity::VoltageDistortion)
        return k == 0 ? r.set->total : r.set->limitFor(order);
    if (limits == ItemLimit::CurrentPerKw && r.set->quantity == LimitQuantity::CurrentPerKw &&
        k > 0 && r.options.contractKw) {
        const auto perKw = r.set->limitFor(order);
        if (!perKw) return std::nullopt;
        const double measured = r.options.measuredKv.value_or(r.set->receivingKv);
        return *perKw / outflowPerKw(1.0, *r.options.contractKw, measured, r.set->receivingKv);
    }
    return std::nullopt;
}

LimitOverlayRequest limitOverlayOf(int16_t item, int16_t channel, std::span<const int16_t> orders,
                                   const LimitSet& set) {
    LimitOverlayRequest r;
    r.item = item;
    r.channel = channel;
    r.orders = orders;
    r.set = &set;
    r.options.channel = channel;
    return r;
}

std::vector<OverlayCurve> limitCurves(int maxOrderIndex, const LimitOverlayRequest& request) {
    std::vector<OverlayCurve> curves;
    if (itemLimitsOf(request.item) == ItemLimit::None) return curves;
    const int n = std::min<int>(maxOrderIndex, static_cast<int>(request.orders.size()) - 1);
    for (int k = 0; k <= n && curves.size() < static_cast<std::size_t>(kMaxCurves); ++k) {
        if (request.orders[static_cast<std::size_t>(k)] != 1) continue;
        OverlayCurve c;
        c.k = k;
        c.drawn = static_cast<int>(curves.size()) + 1;
        if (request.set) c.limit = orderLimit(request, k, orderStepOf(maxOrderIndex));
        curves.push_back(c);
    }
    return curves;
}

std::vector<double> limitValues(int maxOrderIndex, const LimitOverlayRequest& request) {
    std::vector<double> values;
    for (const OverlayCurve& c : limitCurves(maxOrderIndex, request))
        if (c.limit && std::isfinite(*c.limit)) values.push_back(*c.limit);
    return values;
}

std::vector<OverlayCurve> overlayCurves(const StatisticsSource& source,
                                        const LimitOverlayRequest& request) {
    std::vector<OverlayCurve> curves = limitCurves(source.maxOrderIndex, request);
    if (curves.empty()) return curves;
    std::vector<StatColumn> columns;
    for (const OverlayCurve& c : curves) {
        const auto k = static_cast<int16_t>(c.k);
        columns.push_back(itemLimitsOf(request.item) == ItemLimit::Distortion
                              ? StatColumn{StatQuantity::VoltageDistortion, 0, k}
                              : StatColumn{StatQuantity::Current, request.channel, k});
    }
    const auto stats = statisticsOf(source, columns, 1);
    for (std::size_t i = 0; i < curves.size(); ++i) {
        curves[i].max = stats[i].max;
        curves[i].p95 = stats[i].p95;
    }
    return curves;
}

std::string overlayStripText(const OverlayCurve& curve) {
    const int decimals = std::fabs(curve.max) >= 100 ? 1 : 2;
    std::string text =
        "最大 " + reportNumber(curve.max, decimals) + "  95% " + reportNumber(curve.p95, decimals);
    if (curve.limit) text += "  限度 " + reportNumber(static_cast<float>(*curve.limit), decimals);
    return text;
}

std::vector<Point> stripPlaces(const Canvas& canvas, const std::vector<double>& starts,
                               const std::vector<std::string>& texts, double y, double right) {
    const double gap = canvas.textWidth("  ");
    std::vector<Point> places;
    double x = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const double width = canvas.textWidth(texts[i]);
        x = i == 0 ? starts[i] : std::max(starts[i], x + gap);
        if (i > 0 && x + width > right) {  // no room left on this line: the next line
            y += canvas.textHeight();
            x = starts[0];
        }
        places.push_back({x, y});
        x += width;
    }
    return places;
}

void drawLimitOverlay(Canvas& canvas, const GraphDrawing& drawing,
                      const std::vector<OverlayCurve>& curves, int item, int fontSize) {
    if (drawing.outcome != GraphOutcome::Drawn) return;
    const GraphLayout& g = drawing.layout;
    const PlotArea plot{static_cast<double>(g.L), static_cast<double>(g.GraphWidth),
                        static_cast<double>(g.T), static_cast<double>(g.GraphHeight)};
    const LegendPlacement legends{kScreenLegendStep, 100, 1};
    canvas.setLineWidth(1);
    canvas.setFont(kGothicFont, std::max(8, fontSize - 2), false);
    std::vector<double> starts;
    std::vector<std::string> texts;
    for (const OverlayCurve& c : curves) {
        starts.push_back(legendX(item, c.k, c.drawn, legends) * g.XUnit);
        texts.push_back(overlayStripText(c));
    }
    const auto places =
        stripPlaces(canvas, starts, texts, 5 * g.YUnit + fontSize * 1.6, canvas.scaleWidth());
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const Colour colour = Colour::palette(curveColour(curves[i].drawn, false));
        canvas.setForeColor(colour);
        canvas.text(places[i].x, places[i].y, texts[i]);
        drawLimitLine(canvas, curves[i], drawing.axis, plot, colour);
    }
}

void drawLimitLine(Canvas& canvas, const OverlayCurve& curve, const ValueAxis& axis,
                   const PlotArea& plot, const Colour& colour) {
    if (!curve.limit) return;
    // Limits are for harmonics and totals, which are never drawn divided.
    const double y = axis.position(*curve.limit, plot.top, plot.height);
    if (!(y >= plot.top && y <= plot.top + plot.height)) return;  // off the axis: the strip tells
    canvas.setLineStyle(LineStyle::DashDot);
    canvas.line(plot.left, y, plot.right, y, colour);
    canvas.setLineStyle(LineStyle::Solid);
}

}  // namespace hg
