// What a graph window lets the user choose, and how each choice changes the window's selection:
// the item list of a file kind, the order groups, the 5 x 5 grid of order boxes with its scroll
// position and captions, the channel, and the ranking of orders by size that the largest-first
// groups select from. The window (GraphWindow) shows this state and forwards its events here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/harmdim.h"
#include "analysis/items.h"

namespace hg {

// The order-group list: "１～９次" .. "41～49次", the 21 ranges from "51～59次" on a file of 256
// orders, then "大きい順１～５", "大きい順６～10", "任　意".
std::vector<std::string> groupListOf(int maxOrderIndex);

constexpr int kGridBoxes = 25;
constexpr int kGridRows = 5;
constexpr int kMaxScroll = 47;
constexpr int kMaxCheckedOrders = 5;

// One order box of the grid as the window shows it.
struct OrderBox {
    int orderIndex = 0;
    int16_t value = 0;  // 0 unchecked, 1 checked, 2 no such order (greyed)
    bool enabled = true;
};

class GraphSelection {
  public:
    // A fresh window on the loaded analysis (kept by reference; only read).
    explicit GraphSelection(const HARMDIM& state);

    // Combo1: an item list text chosen. Returns whether the graph is to be drawn.
    bool chooseItem(std::string_view text);
    // Combo2: an order-group text chosen. Returns whether to draw.
    bool chooseGroup(std::string_view text);
    // Check1(index) set by the user to `checked`. Returns the value the box keeps: a sixth
    // checked order is unchecked at once; a disabled box does not change.
    bool clickBox(int index, bool checked);
    // Sets the order of an order index as a box click would (same limits). Returns the value kept.
    bool setOrder(int orderIndex, bool checked);
    // VScroll1 moved (0..47).
    void scrollTo(int value);
    // Option1(index) chosen. Returns whether to draw (items that plot a channel).
    bool chooseChannel(int index);

    // The window's selection.
    int16_t item() const { return item_; }
    int16_t group() const { return group_; }
    int16_t channel() const { return channel_; }
    const std::array<int16_t, kJisuFlagCount>& orders() const { return orders_; }
    const std::string& itemName() const { return itemName_; }
    int checkedCount() const;

    // The grid and the controls around it.
    OrderBox box(int index) const;
    int scroll() const { return scroll_; }
    bool scrollEnabled() const { return scrollEnabled_; }
    std::string rowCaption(int row) const;
    std::string columnCaption(int column) const;
    bool groupListVisible() const { return groupListVisible_; }
    bool groupLabelEnabled() const { return groupLabelEnabled_; }
    bool drawEnabled() const { return drawEnabled_; }
    // Whether the print dialog's set print may be used with this item.
    bool setPrintEnabled() const { return setPrintEnabled_; }

  private:
    bool chooseFixedSeries(const ItemInfo& info);
    void clearOrders();
    void keepCheckable();
    void selectLargest(int firstRank, int lastRank);

    const HARMDIM& state_;
    int maxOrderIndex_;
    int16_t item_ = 0;
    int16_t group_ = 0;
    int16_t channel_ = 0;
    std::array<int16_t, kJisuFlagCount> orders_{};
    std::string itemName_;
    int scroll_ = 0;
    bool scrollEnabled_;
    bool groupListVisible_ = true;
    bool groupLabelEnabled_ = true;
    bool drawEnabled_ = false;
    bool setPrintEnabled_ = true;
    bool boxesLocked_ = false;  // the unbalance views: one fixed box
    int checkableUpTo_;         // highest order index that may be checked
};

}  // namespace hg
