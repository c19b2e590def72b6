// "値軸の設定": asks for the value axis of a graph window by hand — its low and high ends and the
// step of its grid, starting from the axis shown.
#pragma once

#include <optional>

#include "graph/axis_by_hand.h"

class QWidget;

namespace hg {

// The axis asked; none when cancelled. Texts that make no axis are told (the reason in Japanese)
// and asked again.
std::optional<AxisByHand> askValueAxis(QWidget* parent, const ValueAxis& shown);

}  // namespace hg
