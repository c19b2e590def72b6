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

// The limit of order index k in the unit the item is drawn in.
std::optional<double> limitOf(const LimitOverlayRequest& r, int k, int orderStep) {
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

}  // namespace

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
        if (request.set) c.limit = limitOf(request, k, orderStepOf(maxOrderIndex));
        curves.push_back(c);
    }
    return curves;
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
    return "最大 " + reportNumber(curve.max, decimals) + "  95% " +
           reportNumber(curve.p95, decimals);
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
    for (const OverlayCurve& c : curves) {
        const Colour colour = Colour::palette(curveColour(c.drawn, false));
        canvas.setForeColor(colour);
        canvas.text(legendX(item, c.k, c.drawn, legends) * g.XUnit, 5 * g.YUnit + fontSize * 1.6,
                    overlayStripText(c));
        drawLimitLine(canvas, c, drawing.axis, plot, colour);
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
