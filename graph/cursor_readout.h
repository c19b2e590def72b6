// What the cursor of a graph window reads: for the record under it, the record's date and time
// and each drawn curve's value with its legend, colour and unit (the predicted values for the
// prediction items), in the number form of the conversion.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graph/graph_composition.h"

namespace hg {

struct ReadoutLine {
    std::string legend;  // the curve's legend ("総合", "3次", "Vu-v"; "不平衡率" for the unbalance)
    int colour = 0;     // palette colour of the curve
    std::string value;  // "2.345"
    std::string_view unit;
};

struct CursorReadout {
    int32_t record = 0;
    std::string when;  // "19/05/29(水) 12:30"
    std::vector<ReadoutLine> lines;
};

// The unit of series `series` of an item: "%", "kW", "kvar", "A", "°", "Ω", "V".
std::string_view itemUnit(int16_t item, int series);

// The readout at record `rec` of what the request draws (values without the fundamental factor).
CursorReadout cursorReadout(const HARMDIM& state, const GraphRequest& request, int32_t rec);

// The date and time of a record: "yy/mm/dd(aaa) hh:mm".
std::string recordTimeText(const HARMDIM& state, int32_t rec);

// A value in the conversion's number form without its blanks ("0.5", "-170").
std::string readoutNumber(double value);

}  // namespace hg
