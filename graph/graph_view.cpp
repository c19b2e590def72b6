#include "graph/graph_view.h"

#include "analysis/item_codes.h"

namespace hg {

bool GraphView::showsPrediction() const {
    return isPredictionItem(selection_.item());
}

Status GraphView::preparePrediction() {
    if (!showsPrediction()) return success();
    if (predictionHeld(prediction_.get(), selection_.channel(), transformer_)) return success();
    auto run = UpstreamPrediction(analysis_, selection_.channel(), transformer_);
    if (!run) return Error{run.error()};
    prediction_ = std::move(*run);
    return success();
}

GraphRequest GraphView::request(std::string message) const {
    GraphRequest r = graphRequestOf(selection_, std::move(message));
    if (showsPrediction()) r.prediction = prediction_.get();
    r.range = range_;
    if (const auto overlay = limitOverlay())
        r.limits = limitValues(analysis_.MaxOrderIndex, *overlay);
    r.axisByHand = axisByHand_;
    if (comparison_) r.comparison = &*comparison_;
    return r;
}

void GraphView::setComparison(std::shared_ptr<const HARMDIM> other, Alignment alignment) {
    compared_ = std::move(other);
    comparison_ =
        compared_ ? std::optional(alignComparison(analysis_, *compared_, alignment)) : std::nullopt;
}

void GraphView::clearComparison() {
    comparison_.reset();
    compared_.reset();
}

void GraphView::setRange(const std::optional<ShownRange>& range) {
    if (range && showsWholePeriod(analysis_, *range))
        range_.reset();
    else
        range_ = range;
}

std::optional<LimitOverlayRequest> GraphView::limitOverlay() const {
    if (!limitSet_) return std::nullopt;
    LimitOverlayRequest r =
        limitOverlayOf(selection_.item(), selection_.channel(), selection_.orders(), *limitSet_);
    r.options.contractKw = contractKw_;
    return r;
}

ShownRange GraphView::shownRange() const {
    return range_ ? *range_ : wholePeriod(analysis_);
}

}  // namespace hg
