#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "analysis/items.h"
#include "analysis/ranking.h"
#include "graph/graph_selection.h"
#include "support_graph_state.h"

namespace hg {
namespace {

using namespace test;  // the graph-state helpers

std::vector<int> checkedOrders(const GraphSelection& g) {
    std::vector<int> out;
    for (int k = 0; k < kJisuFlagCount; ++k)
        if (g.orders()[k] == 1) out.push_back(k);
    return out;
}

TEST(GraphSelection, ItemListPerKind) {
    using K = KindFamily;
    // Every kind lists the eleven common items, in the table's order, then its own.
    const std::pair<K, std::vector<int>> cases[] = {{K::ha3, {}},
                                                    {K::hm, {}},
                                                    {K::hh, {}},
                                                    {K::ha4, {9, 16, 10}},
                                                    {K::hv, {9, 16, 12, 13, 22, 23}},
                                                    {K::hn, {9, 16}},
                                                    {K::ha5, {12, 13, 22, 23}},
                                                    {K::ha6, {12, 13, 22, 23}}};
    for (const auto& [kind, extra] : cases) {
        std::vector<int> codes{1, 5, 6, 2, 3, 4, 11, 7, 8, 14, 15};
        codes.insert(codes.end(), extra.begin(), extra.end());
        std::vector<int> listed;
        for (const ItemEntry& e : itemListOf(kind)) listed.push_back(e.code);
        EXPECT_EQ(listed, codes) << static_cast<int>(kind);
    }
    EXPECT_EQ(itemCodeOf("電    流(A)"), 5);
    EXPECT_EQ(itemCodeOf("電 流(A)"), std::nullopt);  // the list's own text, blanks included
}

// Every row of the item catalogue says all a reader needs: a text, a unit, a value, a table item
// that is its own, and the series its selection makes; the slots of the extremes cover them all.
TEST(ItemCatalogue, EveryEntryIsComplete) {
    std::vector<int> codes;
    for (const ItemInfo& item : itemCatalogue()) {
        SCOPED_TRACE(item.code);
        codes.push_back(item.code);
        EXPECT_FALSE(item.listText.empty());
        EXPECT_FALSE(item.unit.empty());
        EXPECT_NE(item.value, nullptr);
        const ItemInfo* table = itemInfo(item.seriesCode);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->seriesCode, item.seriesCode);
        EXPECT_LE(item.seriesCode, kItemSlots);
        EXPECT_EQ(item.printBoxTop > 0, !item.paperTitle.empty());
        if (item.choice == ItemChoice::FixedSeries) {
            EXPECT_GT(item.fixedSeries, 0);
            EXPECT_GE(item.legends.size(), static_cast<std::size_t>(item.fixedSeries));
        }
        EXPECT_EQ(item.series == SeriesSet::Orders, item.legends.empty());
    }
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(std::adjacent_find(codes.begin(), codes.end()), codes.end()) << "a code twice";
}

TEST(GraphSelection, GroupsCheckTheirOrders) {
    struct Case {
        int maxOrderIndex;
        const char* group;
        std::vector<int> orders;
        int scroll;
        int16_t code;
    };
    const Case cases[] = {
        {24, "21～29次", {10, 11, 12, 13, 14}, 0, 3},
        {255, "１～９次", {0, 2, 4, 6, 8}, 0, 1},
        {255, "21～29次", {20, 22, 24, 26, 28}, 1, 3},
        {255, "41～49次", {40, 42, 44, 46, 48}, 5, 5},
        {255, "251～255次", {250, 252, 254}, 47, 5},  // the last of the 21 extra ranges
        {255, "任　意", {}, 0, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.group);
        HARMDIM s = graphState({}, c.maxOrderIndex);
        GraphSelection g(s);
        EXPECT_FALSE(g.chooseGroup(c.group));  // no item yet: nothing to draw
        EXPECT_EQ(checkedOrders(g), c.orders);
        EXPECT_EQ(g.scroll(), c.scroll);
        EXPECT_EQ(g.group(), c.code);
        EXPECT_TRUE(g.chooseItem("電圧歪率(%)"));  // item after group: draws
    }
}

TEST(GraphSelection, ItemsThatSetTheirOwnSeries) {
    {  // the unbalance views (their grid is the graph window's test): no set print
        HARMDIM s = graphState({}, 24, 1, "/d/x.ha5");
        GraphSelection g(s);
        EXPECT_TRUE(g.chooseItem("電流不平衡率(%)"));
        EXPECT_EQ(g.item(), 13);
        EXPECT_EQ(checkedOrders(g), std::vector<int>{5});
        EXPECT_FALSE(g.setPrintEnabled());
    }
    {  // per-phase voltage on a 256-order file after a high group: the five values only
        HARMDIM s = graphState({}, 255, 2, "/d/x.hv2");
        GraphSelection g(s);
        g.chooseGroup("51～59次");
        EXPECT_TRUE(g.chooseItem("相別電圧(V)"));
        EXPECT_EQ(checkedOrders(g), (std::vector<int>{0, 1, 2, 3, 4}));
        EXPECT_EQ(g.scroll(), 0);
        EXPECT_FALSE(g.box(5).enabled);
        EXPECT_TRUE(g.chooseGroup("１～９次"));  // the orders the per-phase series hold
        EXPECT_EQ(checkedOrders(g), (std::vector<int>{0, 2, 4}));
        // Back to an order item: the grid is free again.
        EXPECT_TRUE(g.chooseItem("電圧歪率(%)"));
        EXPECT_TRUE(g.box(5).enabled);
        EXPECT_TRUE(g.groupListVisible());
    }
    {  // overload: its three rates
        HARMDIM s = graphState({});
        GraphSelection g(s);
        EXPECT_TRUE(g.chooseItem("過負荷率(%)"));
        EXPECT_EQ(checkedOrders(g), (std::vector<int>{0, 1, 2}));
        EXPECT_FALSE(g.clickBox(3, true));
    }
}

TEST(GraphSelection, RankingAndLargestFirst) {
    HARMDIM s = graphState({});
    // Voltage distortion: seven orders of some size, the rest 0.
    const float sizes[] = {0, 5, 9, 1, 9, 3, 7, 2};
    for (int k = 0; k < 8; ++k) s.ItemMax(0, 0, k) = sizes[k];
    // Active power ranks by the larger of the maximum and the size of the minimum.
    s.ItemMax(0, 2, 3) = 4;
    s.ItemMin(0, 2, 5) = -6;
    rankOrders(s);
    std::vector<int> ranks;
    for (int k = 0; k < 8; ++k) ranks.push_back(s.OrderRank(0, k));
    // Ties go to the lower index; size 0 is unranked.
    EXPECT_EQ(ranks, (std::vector<int>{-1, 4, 1, 7, 2, 5, 3, 6}));
    EXPECT_EQ(s.OrderRank(2, 5), 1);
    EXPECT_EQ(s.RankMagnitude(2, 5), 6);

    GraphSelection g(s);
    EXPECT_FALSE(g.chooseGroup("大きい順１～５"));  // no item yet: nothing selected
    EXPECT_EQ(g.checkedCount(), 0);
    EXPECT_TRUE(g.chooseItem("電圧歪率(%)"));
    EXPECT_EQ(checkedOrders(g), (std::vector<int>{1, 2, 4, 5, 6}));
    EXPECT_TRUE(g.chooseGroup("大きい順６～10"));
    EXPECT_EQ(checkedOrders(g), (std::vector<int>{3, 7}));
    EXPECT_TRUE(g.chooseItem("有効電力(kW)"));
    EXPECT_EQ(checkedOrders(g), std::vector<int>{});  // ranks 6..10 of active power: none
    for (const char* uncovered : {"位 相 差(deg)", "電    圧(V)"}) {
        g.chooseItem(uncovered);
        g.chooseGroup("大きい順１～５");
        EXPECT_EQ(g.checkedCount(), 0) << uncovered;
    }
    // The predicted distortion has no ranking: after a largest-first group the ranked orders
    // stay checked and are drawn.
    GraphSelection p(s);
    p.chooseItem("電圧歪率(%)");
    p.chooseGroup("大きい順１～５");
    EXPECT_TRUE(p.chooseItem("上位電圧歪率予測(%)"));
    EXPECT_EQ(checkedOrders(p), (std::vector<int>{1, 2, 4, 5, 6}));
    EXPECT_TRUE(p.chooseGroup("大きい順６～10"));
    EXPECT_EQ(checkedOrders(p), (std::vector<int>{1, 2, 4, 5, 6}));
}

TEST(GraphSelection, ChannelDrawsOnlyChannelItems) {
    HARMDIM s = graphState({}, 24, 3);
    GraphSelection g(s);
    g.chooseGroup("１～９次");
    g.chooseItem("電圧歪率(%)");
    EXPECT_FALSE(g.chooseChannel(2));  // voltage has no channel: kept, no draw
    EXPECT_EQ(g.channel(), 2);
    g.chooseItem("ｲﾝﾋﾟｰﾀﾞﾝｽ(Ω)");
    EXPECT_TRUE(g.chooseChannel(3));
}

}  // namespace
}  // namespace hg
