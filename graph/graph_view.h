// A graph window's view of the loaded analysis: everything the window shows and prints. Its
// selection (item, group, channel, orders), the transformer of its prediction and the prediction
// itself (computed for this window's channel and transformer when it draws a prediction item),
// the range shown, the cursor, the limit set drawn over the graph (with the contract power its
// current sets need) and the print message. The loaded tables are only read, so any number of
// views look at one analysis without disturbing each other; the command line's `plot` draws
// through a view as well.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "analysis/upstream_prediction.h"
#include "compliance/limits.h"
#include "graph/axis_by_hand.h"
#include "graph/comparison.h"
#include "graph/graph_composition.h"
#include "graph/graph_selection.h"
#include "graph/limit_overlay.h"
#include "platform/result.h"

namespace hg {

class GraphView {
  public:
    explicit GraphView(const HARMDIM& analysis) : analysis_(analysis), selection_(analysis) {}

    const HARMDIM& analysis() const { return analysis_; }
    GraphSelection& selection() { return selection_; }
    const GraphSelection& selection() const { return selection_; }

    const TransformerParameters& transformer() const { return transformer_; }
    void setTransformer(const TransformerParameters& parameters) { transformer_ = parameters; }

    // Whether the selected item draws the prediction (14, 15, 16).
    bool showsPrediction() const;
    // Makes sure the view holds the prediction of its channel and transformer when its item
    // needs one (kept while the channel and transformer stay). Refuses parameters of 0 or less.
    [[nodiscard]] Status preparePrediction();
    const std::shared_ptr<const Prediction>& prediction() const { return prediction_; }

    // The stretch of the period the window shows; none: the whole period.
    const std::optional<ShownRange>& range() const { return range_; }
    // Shows `range`; a range covering the whole period shows the whole period again.
    void setRange(const std::optional<ShownRange>& range);
    // The range shown, the whole period when the window is not zoomed.
    ShownRange shownRange() const;

    // The record under the window's cursor; none before the cursor is placed.
    const std::optional<int32_t>& cursor() const { return cursor_; }
    void setCursor(std::optional<int32_t> record) { cursor_ = record; }

    // The limit set drawn over the graph; none: no set.
    const LimitSet* limitSet() const { return limitSet_ ? &*limitSet_ : nullptr; }
    void setLimitSet(std::optional<LimitSet> set) { limitSet_ = std::move(set); }
    // The contract power a current-per-kW set is taken back to amperes with; none: such a set
    // draws no line.
    const std::optional<double>& contractKw() const { return contractKw_; }
    void setContractKw(std::optional<double> kw) { contractKw_ = kw; }
    // The limit lines of the selection against the limit set; none without a set. Refers to the
    // view: used while it stays as it is.
    std::optional<LimitOverlayRequest> limitOverlay() const;

    // The value axis set by hand; none: the item's own axis rules (自動).
    const std::optional<AxisByHand>& axisByHand() const { return axisByHand_; }
    void setAxisByHand(std::optional<AxisByHand> axis) { axisByHand_ = axis; }

    // The period compared with the one shown (another period of the recording or another
    // recording of its kind), placed on this view's time axis; none: no comparison.
    void setComparison(std::shared_ptr<const HARMDIM> other, Alignment alignment);
    void clearComparison();
    const std::optional<AlignedComparison>& comparison() const { return comparison_; }
    const std::shared_ptr<const HARMDIM>& comparedAnalysis() const { return compared_; }

    // The print message the window shows under the graph and prints.
    const std::string& message() const { return message_; }
    void setMessage(std::string message) { message_ = std::move(message); }

    // What the view asks the composition to draw, with a print message, over the range shown.
    GraphRequest request(std::string message) const;

  private:
    const HARMDIM& analysis_;
    GraphSelection selection_;
    TransformerParameters transformer_;
    std::shared_ptr<const Prediction> prediction_;
    std::optional<ShownRange> range_;
    std::optional<int32_t> cursor_;
    std::optional<LimitSet> limitSet_;
    std::optional<double> contractKw_;
    std::string message_;
    std::optional<AxisByHand> axisByHand_;
    std::shared_ptr<const HARMDIM> compared_;
    std::optional<AlignedComparison> comparison_;
};

}  // namespace hg
