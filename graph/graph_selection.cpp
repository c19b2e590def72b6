#include "graph/graph_selection.h"

#include <algorithm>
#include <cmath>

#include "analysis/ranking.h"
#include "datafile/record_format.h"
#include "platform/classic.h"

namespace hg {

namespace {

// The order groups of codes 1..5: group g checks the odd orders 10(g-1)+1 .. 10(g-1)+9, and on a
// file of 256 orders scrolls the grid to them.
struct OrderGroup {
    std::string_view text;
    int scroll256;
};
constexpr OrderGroup kOrderGroups[] = {
    {"１～９次", 0}, {"11～19次", 0}, {"21～29次", 1}, {"31～39次", 3}, {"41～49次", 5},
};
constexpr std::string_view kLargest5 = "大きい順１～５";
constexpr std::string_view kLargest10 = "大きい順６～10";
constexpr std::string_view kAnyOrders = "任　意";
constexpr std::string_view kRangeMark = "～";

// Whole number of the leading numeric part of a text, halves to even.
long wholeNumber(std::string_view text) {
    const double v = roundHalfEven(val(text));
    return v > 1e9 ? 1000000000L : v < -1e9 ? -1000000000L : static_cast<long>(v);
}

}  // namespace

std::vector<std::string> groupListOf(int maxOrderIndex) {
    std::vector<std::string> list;
    for (const OrderGroup& group : kOrderGroups) list.emplace_back(group.text);
    if (maxOrderIndex > 24) {
        for (int a = 51; a <= 251; a += 10) {
            const int b = std::min(a + 8, 255);
            list.push_back(std::to_string(a) + std::string(kRangeMark) + std::to_string(b) + "次");
        }
    }
    list.emplace_back(kLargest5);
    list.emplace_back(kLargest10);
    list.emplace_back(kAnyOrders);
    return list;
}

GraphSelection::GraphSelection(const HARMDIM& state)
    : state_(state),
      maxOrderIndex_(std::clamp<int>(state.MaxOrderIndex, 0, kJisuFlagCount - 5)),
      scrollEnabled_(state.MaxOrderIndex > 24),
      checkableUpTo_(maxOrderIndex_) {
    for (int k = maxOrderIndex_ + 1; k < kJisuFlagCount; ++k) orders_[k] = 2;
}

int GraphSelection::checkedCount() const {
    int sum = 0;
    for (int k = 0; k <= maxOrderIndex_; ++k) sum += orders_[k] == 1 ? 1 : 0;
    return sum;
}

void GraphSelection::clearOrders() {
    for (int k = 0; k <= maxOrderIndex_; ++k) orders_[k] = 0;
}

void GraphSelection::keepCheckable() {
    for (int k = checkableUpTo_ + 1; k <= maxOrderIndex_; ++k) orders_[k] = 0;
}

void GraphSelection::selectLargest(int firstRank, int lastRank) {
    // The predicted distortion has no ranking of its own: the orders stay as they are (the ranked
    // orders of the item before stay checked and are drawn as predicted distortion).
    if (const ItemInfo* info = itemInfo(item_); info && info->largestKeepsOrders) return;
    clearOrders();
    // Only the ranked items have ranks; for any other item (or none yet) nothing is selected.
    if (!isRankedItem(item_)) return;
    const long slot = item_ - 1;
    for (int k = 0; k <= maxOrderIndex_; ++k) {
        if (!state_.OrderRank.contains(slot, k)) continue;
        const float rank = state_.orderRank(slot, k);
        if (rank >= static_cast<float>(firstRank) && rank <= static_cast<float>(lastRank))
            orders_[k] = 1;
    }
}

// The per-phase items' own series, and the unbalance views: a fixed choice of series without
// the order groups. Returns whether to draw (always: the selection is made).
bool GraphSelection::chooseFixedSeries(const ItemInfo& info) {
    clearOrders();
    scroll_ = 0;
    scrollEnabled_ = false;
    if (info.choice == ItemChoice::UnbalanceView) {
        orders_[kUnbalanceSeries] = 1;
        checkableUpTo_ = std::min(kUnbalanceSeries, maxOrderIndex_);
        boxesLocked_ = true;
    } else {
        for (int k = 0; k < info.fixedSeries && k <= maxOrderIndex_; ++k) orders_[k] = 1;
        checkableUpTo_ = std::min(info.fixedSeries - 1, maxOrderIndex_);
        boxesLocked_ = false;
    }
    groupLabelEnabled_ = false;
    groupListVisible_ = false;
    item_ = info.seriesCode;
    group_ = 8;  // the selection is made: a draw follows even as the first choice
    drawEnabled_ = true;
    setPrintEnabled_ = false;
    return true;
}

bool GraphSelection::chooseItem(std::string_view text) {
    const auto found = itemCodeOf(text);
    if (!found) return false;
    const ItemInfo& info = *itemInfo(*found);
    const int16_t code = info.seriesCode;
    itemName_ = std::string(text);

    // The per-phase items with fixed series: the per-phase voltage and the unbalance views.
    if (info.choice == ItemChoice::UnbalanceView ||
        (info.choice == ItemChoice::FixedSeries && info.series == SeriesSet::PerPhase))
        return chooseFixedSeries(info);

    boxesLocked_ = false;
    if (info.choice == ItemChoice::FixedSeries) {
        clearOrders();
        scroll_ = 0;
        scrollEnabled_ = false;
        for (int k = 0; k < info.fixedSeries && k <= maxOrderIndex_; ++k) orders_[k] = 1;
        checkableUpTo_ = std::min(info.fixedSeries - 1, maxOrderIndex_);
        drawEnabled_ = true;
        group_ = 8;
        groupListVisible_ = false;
    } else {
        groupListVisible_ = true;
        groupLabelEnabled_ = true;
        setPrintEnabled_ = true;
        if (info.choice == ItemChoice::PerPhaseGroups) {
            // Five per-phase values and the unbalance rate: order indexes 0..5 only.
            checkableUpTo_ = std::min(kUnbalanceSeries, maxOrderIndex_);
            keepCheckable();
            scrollEnabled_ = false;
            scroll_ = 0;
            if (maxOrderIndex_ > 24 && checkedCount() == 0) {
                // The groups of a 256-order file do not fit these series: start from the five.
                for (int k = 0; k <= 4; ++k) orders_[k] = 1;
                group_ = 8;
            }
        } else {
            checkableUpTo_ = maxOrderIndex_;
            scrollEnabled_ = maxOrderIndex_ > 24;
        }
    }
    item_ = code;
    if (group_ == 6) selectLargest(1, 5);
    if (group_ == 7) selectLargest(6, 10);
    if (group_ > 0) {
        drawEnabled_ = true;
        return true;
    }
    return false;
}

bool GraphSelection::chooseGroup(std::string_view text) {
    const int m = maxOrderIndex_ < 25 ? 1 : 2;
    int16_t code = 0;
    auto checkRun = [&](int first, int last) {
        for (int i = first; i <= last; ++i)
            if (m * i <= maxOrderIndex_) orders_[m * i] = 1;
    };
    const auto group = std::find_if(std::begin(kOrderGroups), std::end(kOrderGroups),
                                    [&](const OrderGroup& g) { return g.text == text; });
    if (group != std::end(kOrderGroups)) {
        clearOrders();
        const int g = static_cast<int>(group - std::begin(kOrderGroups));
        code = static_cast<int16_t>(g + 1);
        checkRun(5 * g, 5 * g + 4);
        scroll_ = m == 1 ? 0 : group->scroll256;
    } else if (text == kLargest5) {
        code = 6;
        selectLargest(1, 5);
    } else if (text == kLargest10) {
        code = 7;
        selectLargest(6, 10);
    } else if (text == kAnyOrders) {
        clearOrders();
        code = 8;
    } else if (const auto mark = text.find(kRangeMark);
               mark != std::string_view::npos && maxOrderIndex_ >= 25) {
        clearOrders();
        code = 5;
        const long a = wholeNumber(text.substr(0, mark));
        const long b = wholeNumber(text.substr(mark + kRangeMark.size()));
        for (long i = a / 2; i <= b / 2 && i >= 0; ++i)
            if (2 * i <= maxOrderIndex_) orders_[2 * i] = 1;
        scroll_ = static_cast<int>(std::clamp<long>(a / 5 - 3, 0, kMaxScroll));
    } else {
        return false;
    }
    if (!scrollEnabled_) scroll_ = 0;
    keepCheckable();
    group_ = code;
    if (item_ > 0) {
        drawEnabled_ = true;
        return true;
    }
    return false;
}

bool GraphSelection::clickBox(int index, bool checked) {
    if (index < 0 || index >= kGridBoxes) return false;
    return setOrder(box(index).orderIndex, checked);
}

bool GraphSelection::setOrder(int orderIndex, bool checked) {
    if (orderIndex < 0 || orderIndex > maxOrderIndex_) return false;
    if (boxesLocked_ || orderIndex > checkableUpTo_) return orders_[orderIndex] == 1;
    orders_[orderIndex] = checked ? 1 : 0;
    if (checkedCount() > kMaxCheckedOrders) {
        orders_[orderIndex] = 0;
        return false;
    }
    return checked;
}

void GraphSelection::scrollTo(int value) {
    if (!scrollEnabled_) return;
    scroll_ = std::clamp(value, 0, kMaxScroll);
}

bool GraphSelection::chooseChannel(int index) {
    channel_ = static_cast<int16_t>(index);
    if (const ItemInfo* info = itemInfo(item_); info && info->channelDependent) {
        drawEnabled_ = true;
        return true;
    }
    return false;
}

OrderBox GraphSelection::box(int index) const {
    OrderBox b;
    b.orderIndex = std::clamp(scroll_ * 5 + index, 0, kJisuFlagCount - 1);
    b.value = orders_[b.orderIndex];
    b.enabled = !boxesLocked_ && b.value != 2 && b.orderIndex <= checkableUpTo_;
    return b;
}

std::string GraphSelection::rowCaption(int row) const {
    std::string caption = "+";
    if (maxOrderIndex_ <= 24) return caption.append(std::to_string(row * 10));
    // A blank before the order number, then its last three characters.
    std::string number = " ";
    number += std::to_string((scroll_ + row) * 5);
    return caption.append(number, number.size() > 3 ? number.size() - 3 : 0);
}

std::string GraphSelection::columnCaption(int column) const {
    return std::to_string(column * orderStepOf(maxOrderIndex_) + 1);
}

}  // namespace hg
