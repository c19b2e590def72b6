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

std::vector<OverlayCurve> overlayCurves(const StatisticsSource& source,
                                        const LimitOverlayRequest& request) {
    std::vector<OverlayCurve> curves;
    if (itemLimitsOf(request.item) == ItemLimit::None) return curves;
    std::vector<StatColumn> columns;
    const int n = std::min<int>(source.maxOrderIndex, static_cast<int>(request.orders.size()) - 1);
    for (int k = 0; k <= n && curves.size() < static_cast<std::size_t>(kMaxCurves); ++k) {
        if (request.orders[static_cast<std::size_t>(k)] != 1) continue;
        OverlayCurve c;
        c.k = k;
        c.drawn = static_cast<int>(curves.size()) + 1;
        if (request.set) c.limit = limitOf(request, k, orderStepOf(source.maxOrderIndex));
        curves.push_back(c);
        columns.push_back(
            itemLimitsOf(request.item) == ItemLimit::Distortion
                ? StatColumn{StatQuantity::VoltageDistortion, 0, static_cast<int16_t>(k)}
                : StatColumn{StatQuantity::Current, request.channel, static_cast<int16_t>(k)});
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
    const double top = g.T, bottom = g.T + g.GraphHeight;
    const LegendPlacement legends{kScreenLegendStep, 100, 1};
    canvas.setLineWidth(1);
    canvas.setFont(kGothicFont, std::max(8, fontSize - 2), false);
    for (const OverlayCurve& c : curves) {
        const Colour colour = Colour::palette(curveColour(c.drawn, false));
        canvas.setForeColor(colour);
        canvas.text(legendX(item, c.k, c.drawn, legends) * g.XUnit, 5 * g.YUnit + fontSize * 1.6,
                    overlayStripText(c));
        if (!c.limit) continue;
        // Limits are for harmonics and totals, which are never drawn divided.
        const double y = drawing.axis.position(*c.limit, top, g.GraphHeight);
        if (!(y >= top && y <= bottom)) continue;  // off the value axis: the strip tells
        canvas.setLineStyle(LineStyle::DashDot);
        canvas.line(g.L, y, g.GraphWidth, y, colour);
        canvas.setLineStyle(LineStyle::Solid);
    }
}

}  // namespace hg
