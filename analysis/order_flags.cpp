#include "analysis/order_flags.h"

namespace hg {

OrderFlags initialJisuFlag() {
    OrderFlags flags{};
    for (int e = kFirstUnavailableFlag; e < kJisuFlagCount; ++e) flags[e] = 2;
    return flags;
}

void storeDrawnOrders(OrderFlags& shared, const OrderFlags& drawn) {
    for (int k = 0; k < kFirstUnavailableFlag; ++k) shared[k] = drawn[k] == 1 ? 1 : 0;
    for (int e = kFirstUnavailableFlag; e < kJisuFlagCount; ++e) shared[e] = 2;
}

}  // namespace hg
