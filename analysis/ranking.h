// The ranking of orders by size that the graph windows' largest-first groups select from.
#pragma once

namespace hg {

struct HARMDIM;

// Items the ranking covers (codes 1, 2, 3, 4, 5, 7).
bool isRankedItem(int item);

// The ranking of a graph-mode load: the size of every order per ranked item from the period
// extremes of channel 0, and ranks 1..10 by size (ties to the lower order index). When fewer
// orders than ten have a size above 0, the ranks stop there.
void rankOrders(HARMDIM& state);

}  // namespace hg
