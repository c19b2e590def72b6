// Check box values of the windows as the forms store them: 0 not checked, 1 checked, 2 grey (not
// available). Qt numbers its states differently (Checked is 2), so box values go through these two
// functions and never through Qt::CheckState's numbers.
#pragma once

#include <cstdint>

class QCheckBox;

namespace hg {

enum CheckValue : int16_t { kUnchecked = 0, kChecked = 1, kGrey = 2 };

// The value a box shows: 2 for a box in the grey (partially checked) state.
int16_t checkValue(const QCheckBox& box);

// Shows `value` in the box: 2 greys it (partially checked); 0 and 1 make it a plain two-state box
// again, so a click toggles between them. Values outside 0..2 read as 1 (checked). Whether the box
// is enabled is left to the caller.
void setCheckValue(QCheckBox& box, int16_t value);

}  // namespace hg
