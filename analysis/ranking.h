// The ranking of orders by size that the graph windows' largest-first groups select from.
#pragma once

namespace hg {

struct HARMDIM;
struct ItemInfo;

// Items the ranking covers (codes 1, 2, 3, 4, 5, 7).
bool isRankedItem(int item);

// The ranking of a graph-mode load: the size of every order per ranked item from the period
// extremes of channel 0, and ranks 1..10 by size (ties to the lower order index). When fewer
// orders than ten have a size above 0, the ranks stop there.
// Ranked items whose extremes come with the power tables (active and reactive power) are
// ranked when first asked for (AnalysisTables::orderRank), the others here.
void rankOrders(HARMDIM& state);

// The size an order of a ranked item is ranked by: its maximum, for a signed item the larger of
// its maximum and the size of its minimum.
float rankSize(const ItemInfo& item, float max, float min);
// Ranks 1..10 of size[0..n] into rank[0..n] (-1 unranked), ties to the lower order index.
void rankBySize(const float* size, float* rank, long n);

}  // namespace hg
