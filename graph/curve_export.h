// The drawn curves of a graph window as CSV: one line per record of the range shown, the record's
// time stamp and each curve's value (without the fundamental factor) in the time and number
// forms of the conversion, under a heading of the legends and units.
#pragma once

#include <string>

#include "graph/graph_composition.h"
#include "platform/result.h"
#include "platform/textcode.h"

namespace hg {

// The CSV text (UTF-8): "日時,総合(%), 3次(%)..." then the records, lines ending CR LF.
std::string curvesCsv(const HARMDIM& state, const GraphRequest& request, const ShownRange& range);

// The same in a file's encoding, starting as the conversion's files start.
Result<std::string> encodedCurvesCsv(const HARMDIM& state, const GraphRequest& request,
                                     const ShownRange& range, TextEncoding encoding);

}  // namespace hg
