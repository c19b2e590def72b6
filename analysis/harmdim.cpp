#include "analysis/harmdim.h"

namespace hg {

void HARMDIM::dimRanking() {
    RankMagnitude.dim(7, MaxOrderIndex);
    OrderRank.dim(7, MaxOrderIndex);
}

void HARMDIM::dimTables() {
    const long P = PeriodRecords, N = MaxOrderIndex, C = ChannelCount;
    RecordX.dim(P);
    VoltageTable.dim(P, N);
    CurrentTable.dim(C, P, N);
    ActivePower.dim(C, P, N);
    ReactivePower.dim(C, P, N);
    AngleTable.dim(1, P, N);
    VoltageThd.dim(P);
    CurrentThd.dim(C, P);
    PhaseVoltage.dim(P, 5);
    PhaseCurrent.dim(C, P, 5);
    OverloadTable.dim(5, P);
    PredictTable.dim(P, N);
    PredictAngle.dim(1, P, N);
    PredictTotal.dim(P);
    ItemMax.dim(C, kItemSlots - 1, N);
    ItemMin.dim(C, kItemSlots - 1, N);
    Prediction = {};
}

std::size_t HARMDIM::tableBytes() const {
    const std::size_t P = static_cast<std::size_t>(PeriodRecords) + 1;
    const std::size_t K = static_cast<std::size_t>(MaxOrderIndex) + 1;
    const std::size_t C = static_cast<std::size_t>(ChannelCount) + 1;
    std::size_t floats = P                            // RecordX
                         + P * K                      // VoltageTable
                         + 3 * C * P * K              // CurrentTable, ActivePower, ReactivePower
                         + P + C * P                  // VoltageThd, CurrentThd
                         + P * 6 + C * P * 6 + 6 * P  // PhaseVoltage, PhaseCurrent, Overload
                         + P * K + 2 * P * K + P      // PredictTable, PredictAngle, PredictTotal
                         + 2 * C * kItemSlots * K;    // ItemMax, ItemMin
    return floats * sizeof(float) + 2 * P * K * sizeof(int16_t);
}

void HARMDIM::releaseTables() {
    for (Table<float>* t : {&RecordX, &VoltageTable, &CurrentTable, &ActivePower, &ReactivePower,
                            &VoltageThd, &CurrentThd, &PhaseVoltage, &PhaseCurrent, &OverloadTable,
                            &PredictTable, &PredictAngle, &PredictTotal, &ItemMax, &ItemMin})
        t->clear();
    AngleTable.clear();
    Prediction = {};
}

}  // namespace hg
