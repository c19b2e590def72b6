#include "analysis/ranking.h"

#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"
#include "analysis/items.h"

namespace hg {

namespace {

// The size of every order of one ranked item from the period extremes of channel 0 (signed
// items by the larger of their maximum and the size of their minimum), then ranks 1..10.
void rankItem(HARMDIM& s, const ItemInfo& item) {
    const long n = s.MaxOrderIndex;
    const long i = item.code - 1;
    auto extreme = [&](const Table<float>& t, long k) {
        return t.contains(0, i, k) ? t(0, i, k) : 0.0f;
    };
    for (long k = 0; k <= n; ++k) {
        float size = extreme(s.ItemMax, k);
        if (item.axis == AxisFamily::Signed)
            size = std::max(size, std::fabs(extreme(s.ItemMin, k)));
        s.RankMagnitude(i, k) = size;
        s.OrderRank(i, k) = -1;
    }
    for (int m = 1; m <= 10; ++m) {
        long candidate = -1;
        float largest = 0;
        for (long k = 0; k <= n; ++k) {
            if (s.OrderRank(i, k) == -1 && s.RankMagnitude(i, k) > largest) {
                largest = s.RankMagnitude(i, k);
                candidate = k;
            }
        }
        if (candidate < 0) break;  // no order of any size left to rank
        s.OrderRank(i, candidate) = static_cast<float>(m);
    }
}

}  // namespace

bool isRankedItem(int item) {
    const ItemInfo* info = itemInfo(item);
    return info && info->ranked;
}

void rankOrders(HARMDIM& s) {
    const long n = s.MaxOrderIndex;
    if (s.RankMagnitude.upper(0) < kRankedItemRows - 1 || s.RankMagnitude.upper(1) < n ||
        s.OrderRank.upper(1) < n)
        return;
    for (const ItemInfo& item : itemCatalogue())
        if (item.ranked) rankItem(s, item);
}

}  // namespace hg
