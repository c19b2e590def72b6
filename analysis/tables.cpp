#include "analysis/tables.h"

#include <algorithm>
#include <vector>

#include "analysis/items.h"
#include "analysis/ranking.h"

namespace hg {

namespace {
constexpr long kActiveSlot = slotOf(kActivePower);
constexpr long kReactiveSlot = slotOf(kReactivePower);

// The row of the power tables' extremes of an item slot.
PowerTables::ExtremeRow powerRow(long slot, bool maximum) {
    using R = PowerTables::ExtremeRow;
    if (slot == kActiveSlot) return maximum ? R::kActiveMax : R::kActiveMin;
    return maximum ? R::kReactiveMax : R::kReactiveMin;
}
}  // namespace

bool AnalysisTables::powerExtremesOfSlot(long slot) const {
    return powerExtremesWithTables_ && (slot == kActiveSlot || slot == kReactiveSlot);
}

float AnalysisTables::extreme(long ch, long slot, long k, bool maximum) const {
    const Table<float>& held = maximum ? ItemMax : ItemMin;
    if (!held.contains(ch, slot, k)) return 0.0f;
    if (!powerExtremesOfSlot(slot)) return held(ch, slot, k);
    const Table<float>& taken = powers_.extremes(powerInputs());
    const long row = powerRow(slot, maximum);
    return taken.contains(ch, row, k) ? taken(ch, row, k) : 0.0f;
}

Table<float> AnalysisTables::extremesTable(bool maxima) const {
    const Table<float>& held = maxima ? ItemMax : ItemMin;
    Table<float> all;
    all.dim(held.upper(0), held.upper(1), held.upper(2));
    if (all.size() != held.size()) return all;
    std::copy(held.data(), held.data() + held.size(), all.data());
    for (long ch = 0; ch <= held.upper(0); ++ch)
        for (long slot : {kActiveSlot, kReactiveSlot})
            for (long k = 0; k <= held.upper(2); ++k)
                if (all.contains(ch, slot, k)) all(ch, slot, k) = extreme(ch, slot, k, maxima);
    return all;
}

float AnalysisTables::orderRank(long slot, long k) const {
    if (!OrderRank.contains(slot, k)) return 0.0f;
    if (!powerExtremesOfSlot(slot)) return OrderRank(slot, k);
    const auto rank = [](const Table<float>& extremes, Table<float>& ranks) {
        using R = PowerTables::ExtremeRow;
        const long n = extremes.upper(2);
        if (n < 0 || extremes.upper(0) < 0) return;
        std::vector<float> size(static_cast<std::size_t>(n + 1));
        const auto rankRow = [&](int code, R maxRow, R minRow, long row) {
            const ItemInfo& item = *itemInfo(code);
            for (long k = 0; k <= n; ++k)
                size[static_cast<std::size_t>(k)] =
                    rankSize(item, extremes(0, maxRow, k), extremes(0, minRow, k));
            rankBySize(size.data(), ranks.row(row), n);
        };
        rankRow(kActivePower, R::kActiveMax, R::kActiveMin, 0);
        rankRow(kReactivePower, R::kReactiveMax, R::kReactiveMin, 1);
    };
    const Table<float>& ranks = powers_.ranks(powerInputs(), rank);
    const long row = slot == kActiveSlot ? 0 : 1;
    return ranks.contains(row, k) ? ranks(row, k) : 0.0f;
}

void AnalysisTables::dimRanking(int16_t maxOrderIndex) {
    RankMagnitude.dim(kRankedItemRows, maxOrderIndex);
    OrderRank.dim(kRankedItemRows, maxOrderIndex);
}

void AnalysisTables::dimTables(int32_t periodRecords, int16_t maxOrderIndex, int16_t channelCount) {
    const long P = periodRecords, N = maxOrderIndex, C = channelCount;
    RecordX.dim(P);
    VoltageTable.dim(P, N);
    currents_.forget();
    bounds_[0] = C, bounds_[1] = P, bounds_[2] = N;
    SlotRecord.assign(static_cast<std::size_t>(std::max(P + 1, 0L)), 0);
    RecordSource.reset();
    powers_.forget();
    powerExtremesWithTables_ = false;
    AngleTable.dim(1, P, N);
    VoltageThd.dim(P);
    CurrentThd.dim(C, P);
    PhaseVoltage.dim(P, 5);
    PhaseCurrent.dim(C, P, 5);
    OverloadTable.dim(5, P);
    ItemMax.dim(C, kItemSlots - 1, N);
    ItemMin.dim(C, kItemSlots - 1, N);
}

std::size_t AnalysisTables::tableBytes(int32_t periodRecords, int16_t maxOrderIndex,
                                       int16_t channelCount) {
    const std::size_t P = static_cast<std::size_t>(periodRecords) + 1;
    const std::size_t K = static_cast<std::size_t>(maxOrderIndex) + 1;
    const std::size_t C = static_cast<std::size_t>(channelCount) + 1;
    std::size_t floats = P                            // RecordX
                         + P * K                      // VoltageTable
                         + 3 * C * P * K              // CurrentTable, the two power tables
                         + P + C * P                  // VoltageThd, CurrentThd
                         + P * 6 + C * P * 6 + 6 * P  // PhaseVoltage, PhaseCurrent, Overload
                         + 2 * C * kItemSlots * K;    // ItemMax, ItemMin
    return floats * sizeof(float) + 2 * P * K * sizeof(int16_t)  // AngleTable
           + P * sizeof(int64_t);                                // SlotRecord
}

void AnalysisTables::releaseTables() {
    currents_.forget();
    for (Table<float>* t : {&RecordX, &VoltageTable, &VoltageThd, &CurrentThd, &PhaseVoltage,
                            &PhaseCurrent, &OverloadTable, &ItemMax, &ItemMin})
        t->clear();
    AngleTable.clear();
    SlotRecord.clear();
    RecordSource.reset();
    powers_.forget();
    powerExtremesWithTables_ = false;
}

}  // namespace hg
