// JisuFlag: the orders the graph windows and the CSV dialog share. Entry k (0..255) is order index
// k: 0 not selected, 1 selected; entries 256..259 are never orders and always 2. The application
// holds one value and passes it to the windows; the CSV dialog opens with the orders the graph
// stored last.
#pragma once

#include <array>
#include <cstdint>

#include "analysis/item_codes.h"

namespace hg {

using OrderFlags = std::array<int16_t, kJisuFlagCount>;

// The flags before anything is chosen: no order selected, 256..259 not available.
OrderFlags initialJisuFlag();

// A graph window's drawn orders stored into the shared flags: orders 0..255 as drawn (1) or not
// (0, also for orders the recording lacks); 256..259 stay 2.
void storeDrawnOrders(OrderFlags& shared, const OrderFlags& drawn);

}  // namespace hg
