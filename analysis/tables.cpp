#include "analysis/tables.h"

#include "analysis/items.h"

namespace hg {

void AnalysisTables::dimRanking(int16_t maxOrderIndex) {
    RankMagnitude.dim(kRankedItemRows, maxOrderIndex);
    OrderRank.dim(kRankedItemRows, maxOrderIndex);
}

void AnalysisTables::dimTables(int32_t periodRecords, int16_t maxOrderIndex, int16_t channelCount) {
    const long P = periodRecords, N = maxOrderIndex, C = channelCount;
    RecordX.dim(P);
    VoltageTable.dim(P, N);
    CurrentTable.dim(C, P, N);
    CurrentAngle.dim(P, C, N);
    powers_.forget();
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
    return floats * sizeof(float) + (2 + C) * P * K * sizeof(int16_t);  // AngleTable, CurrentAngle
}

void AnalysisTables::releaseTables() {
    for (Table<float>* t : {&RecordX, &VoltageTable, &CurrentTable, &VoltageThd, &CurrentThd,
                            &PhaseVoltage, &PhaseCurrent, &OverloadTable, &ItemMax, &ItemMin})
        t->clear();
    AngleTable.clear();
    CurrentAngle.clear();
    powers_.forget();
}

}  // namespace hg
