#include "analysis/items.h"

#include <algorithm>

#include "analysis/harmdim.h"

namespace hg {

using catalogue_rows::kRows;

std::span<const ItemInfo> itemCatalogue() {
    return kRows;
}

const ItemInfo* itemInfo(int code) {
    for (const ItemInfo& item : kRows)
        if (item.code == code) return &item;
    return nullptr;
}

const ItemInfo& seriesInfo(int code) {
    const ItemInfo* info = itemInfo(code);
    if (!info) info = itemInfo(kVoltageDistortion);
    return *itemInfo(info->seriesCode);
}

bool itemOfferedFor(int code, KindFamily f) {
    const ItemInfo* item = itemInfo(code);
    if (!item) return false;
    using K = KindFamily;
    switch (item->offer) {
        case KindOffer::Every:
            return true;
        case KindOffer::SuperpositionKinds:
            return f == K::ha4 || f == K::hv || f == K::hn;
        case KindOffer::Ha4Only:
            return f == K::ha4;
        case KindOffer::PerPhaseKinds:
            return f == K::ha5 || f == K::ha6 || f == K::hv;
    }
    return false;
}

int largestItemCode() {
    int largest = 0;
    for (const ItemInfo& item : kRows) largest = std::max<int>(largest, item.code);
    return largest;
}

bool isPredictionItem(int code) {
    const ItemInfo* item = itemInfo(code);
    return item && item->prediction;
}

bool readsCurrentTable(int code) {
    const ItemInfo& item = seriesInfo(code);
    return readsPowerTables(code) || item.value == item_values::current ||
           item.value == item_values::currentDistortion || item.value == item_values::impedance;
}

std::string tablesFailureFor(const HARMDIM& state, int code) {
    if (readsPowerTables(code)) return state.powersFailure();
    return readsCurrentTable(code) ? state.currentsFailure() : std::string();
}

bool readsPowerTables(int code) {
    const ItemInfo& item = seriesInfo(code);
    return item.prediction || item.value == item_values::activePower ||
           item.value == item_values::reactivePower || item.value == item_values::phaseDifference;
}

int16_t unbalanceViewOf(int code) {
    for (const ItemInfo& item : kRows)
        if (item.choice == ItemChoice::UnbalanceView && item.seriesCode == code) return item.code;
    return 0;
}

std::vector<ItemEntry> itemListOf(KindFamily family) {
    std::vector<ItemEntry> list;
    for (const ItemInfo& item : kRows)
        if (itemOfferedFor(item.code, family)) list.push_back({item.code, item.listText});
    return list;
}

std::optional<int16_t> itemCodeOf(std::string_view text) {
    for (const ItemInfo& item : kRows)
        if (item.listText == text) return item.code;
    return std::nullopt;
}

std::string_view itemTextOf(int code) {
    const ItemInfo* item = itemInfo(code);
    return item ? item->listText : std::string_view{};
}

}  // namespace hg
