#include "analysis/items.h"

#include <iterator>

namespace hg {

namespace {

using A = AxisFamily;
using O = KindOffer;

// Columns: code, list text, paper title, series code, offer, axis, channel, fundamental factor,
// fixed series, set print, phase mark on screen, phase mark on paper.
constexpr ItemInfo kItems[] = {
    {1, "電圧歪率(%)", "電圧歪率(%)", 1, O::Every, A::FromZero, false, false, false, true, true,
     true},
    {5, "電    流(A)", "電    流(A)", 5, O::Every, A::FromZero, true, true, false, true, true,
     true},
    {6, "位 相 差(deg)", "位 相 差(deg)", 6, O::Every, A::Angle, true, false, false, true, true,
     true},
    {2, "電流歪率(%)", "電流歪率(%)", 2, O::Every, A::FromZero, true, false, false, true, true,
     true},
    {3, "有効電力(kW)", "有効電力(kW)", 3, O::Every, A::Signed, true, true, false, true, true,
     true},
    {4, "無効電力(kVar)", "無効電力(kVar)", 4, O::Every, A::Signed, true, true, false, true, true,
     true},
    {11, "電    圧(V)", "電    圧(V)", 11, O::Every, A::Floating, false, true, false, true, false,
     true},
    {7, "ｲﾝﾋﾟｰﾀﾞﾝｽ(Ω)", "ｲﾝﾋﾟｰﾀﾞﾝｽ(Ω)", 7, O::Every, A::FromZero, true, true, false, true, true,
     true},
    {8, "過負荷率(%)", "過負荷率(%)", 8, O::Every, A::Floating, false, false, true, true, true,
     true},
    {14, "上位電圧歪率予測(%)", "上位電圧歪率予測(%)", 14, O::Every, A::Floating, false, false,
     false, true, true, true},
    {15, "上位位相差予測(deg)", "上位位相差予測(deg)", 15, O::Every, A::Angle, false, false, false,
     true, true, true},
    {9, "電圧重畳角(deg)", "電圧重畳角(deg)", 9, O::SuperpositionKinds, A::Angle, false, false,
     false, true, true, true},
    {16, "上位電圧重畳角予測(deg)", "上位電圧重畳角予測(deg)", 16, O::SuperpositionKinds, A::Angle,
     false, false, false, true, true, true},
    {10, "電流重畳角(deg)", "電流重畳角(deg)", 10, O::Ha4Only, A::Angle, false, false, false, true,
     true, true},
    {12, "相別電圧(V)", "", 12, O::PerPhaseKinds, A::Floating, false, false, true, false, false,
     false},
    {13, "相別電流(A)", "", 13, O::PerPhaseKinds, A::Floating, true, false, false, false, false,
     false},
    {22, "電圧不平衡率(%)", "", 12, O::PerPhaseKinds, A::Floating, false, false, true, false, false,
     false},
    {23, "電流不平衡率(%)", "", 13, O::PerPhaseKinds, A::Floating, true, false, true, false, false,
     false},
};

}  // namespace

std::span<const ItemInfo> itemCatalogue() {
    return kItems;
}

const ItemInfo* itemInfo(int code) {
    for (const ItemInfo& item : kItems)
        if (item.code == code) return &item;
    return nullptr;
}

bool itemOfferedFor(int code, KindFamily f) {
    const ItemInfo* item = itemInfo(code);
    if (!item) return false;
    using K = KindFamily;
    switch (item->offer) {
        case O::Every:
            return true;
        case O::SuperpositionKinds:
            return f == K::ha4 || f == K::hv || f == K::hn;
        case O::Ha4Only:
            return f == K::ha4;
        case O::PerPhaseKinds:
            return f == K::ha5 || f == K::ha6 || f == K::hv;
    }
    return false;
}

std::vector<ItemEntry> itemListOf(KindFamily family) {
    std::vector<ItemEntry> list;
    for (const ItemInfo& item : kItems)
        if (itemOfferedFor(item.code, family)) list.push_back({item.code, item.listText});
    return list;
}

std::optional<int16_t> itemCodeOf(std::string_view text) {
    for (const ItemInfo& item : kItems)
        if (item.listText == text) return item.code;
    return std::nullopt;
}

std::string_view itemTextOf(int code) {
    const ItemInfo* item = itemInfo(code);
    return item ? item->listText : std::string_view{};
}

}  // namespace hg
