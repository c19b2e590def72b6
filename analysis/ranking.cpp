#include "analysis/ranking.h"

#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"
#include "analysis/items.h"

namespace hg {

namespace {

// The size of every order of one ranked item from the period extremes of channel 0, then its
// ranks.
void rankItem(HARMDIM& s, const ItemInfo& item) {
    const long n = s.MaxOrderIndex;
    const long i = item.code - 1;
    auto extreme = [&](const Table<float>& t, long k) {
        return t.contains(0, i, k) ? t(0, i, k) : 0.0f;
    };
    for (long k = 0; k <= n; ++k)
        s.RankMagnitude(i, k) = rankSize(item, extreme(s.ItemMax, k), extreme(s.ItemMin, k));
    rankBySize(s.RankMagnitude.row(i), s.OrderRank.row(i), n);
}

}  // namespace

float rankSize(const ItemInfo& item, float max, float min) {
    return item.axis == AxisFamily::Signed ? std::max(max, std::fabs(min)) : max;
}

void rankBySize(const float* size, float* rank, long n) {
    for (long k = 0; k <= n; ++k) rank[k] = -1;
    for (int m = 1; m <= 10; ++m) {
        long candidate = -1;
        float largest = 0;
        for (long k = 0; k <= n; ++k) {
            if (rank[k] == -1 && size[k] > largest) {
                largest = size[k];
                candidate = k;
            }
        }
        if (candidate < 0) break;  // no order of any size left to rank
        rank[candidate] = static_cast<float>(m);
    }
}

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
        if (item.ranked && !s.powerExtremesOfSlot(item.code - 1)) rankItem(s, item);
}

}  // namespace hg
