// The drawn curves of a graph window as CSV: one line per record of the range shown, the record's
// time stamp and each curve's value (without the fundamental factor) in the time and number
// forms of the conversion, under a heading of the legends and units.
#pragma once

#include "graph/graph_composition.h"
#include "platform/csv_text.h"

namespace hg {

// "日時,総合(%), 3次(%)..." then the records.
CsvText curvesCsv(const HARMDIM& state, const GraphRequest& request, const ShownRange& range);

}  // namespace hg
