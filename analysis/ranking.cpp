#include "analysis/ranking.h"

#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"

namespace hg {

bool isRankedItem(int item) {
    return item >= 1 && item <= 7 && item != 6;
}

void rankOrders(HARMDIM& s) {
    const long n = s.MaxOrderIndex;
    if (s.RankMagnitude.upper(0) < 7 || s.RankMagnitude.upper(1) < n || s.OrderRank.upper(1) < n)
        return;
    auto extreme = [&](const Table<float>& t, long i, long k) {
        return t.contains(0, i, k) ? t(0, i, k) : 0.0f;
    };
    for (long i = 0; i <= 6; ++i) {
        if (i == 5) continue;
        for (long k = 0; k <= n; ++k) {
            float size = extreme(s.ItemMax, i, k);
            if (i == 2 || i == 3) size = std::max(size, std::fabs(extreme(s.ItemMin, i, k)));
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
}

}  // namespace hg
