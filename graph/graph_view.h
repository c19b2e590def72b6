// A graph window's view of the loaded analysis: its selection (item, group, channel, orders), the
// transformer of its prediction and the prediction itself, computed for this window's channel and
// transformer when it draws a prediction item. The loaded tables are only read, so any number of
// views look at one analysis without disturbing each other; the command line's `plot` draws
// through a view as well.
#pragma once

#include <memory>
#include <string>

#include "graph/graph_composition.h"
#include "graph/graph_selection.h"
#include "graph/upstream_prediction.h"
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

    // What the view asks the composition to draw, with the window's print message.
    GraphRequest request(std::string message) const;

  private:
    const HARMDIM& analysis_;
    GraphSelection selection_;
    TransformerParameters transformer_;
    std::shared_ptr<const Prediction> prediction_;
};

}  // namespace hg
