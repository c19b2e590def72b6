// Statistics of the loaded period: for every quantity, order and channel the tables hold, the
// count, the maximum with the slot where it first occurs, the minimum, the mean and the 95th and
// 99th percentiles by nearest rank (the value at rank ⌈p/100 · n⌉ of the n values in ascending
// order). Every loaded record counts, including those whose distortion was stored as 0 because
// the fundamental was missing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "analysis/table.h"

namespace hg {

struct HARMDIM;

struct ColumnStatistics {
    int32_t count = 0;
    float max = 0;
    int32_t maxSlot = -1;  // first record slot holding the maximum (-1 without records)
    float min = 0;
    double mean = 0;
    float p95 = 0;
    float p99 = 0;
};

// Rank of the p-th percentile by nearest rank among n values: ⌈p/100 · n⌉, at least 1 (1-based).
int32_t nearestRankIndex(int percent, int32_t n);

// The p-th percentile of `values` by nearest rank; reorders them (a selection, not a sort).
// 0 for no values.
float nearestRank(std::span<float> values, int percent);

// Statistics of `values` (slot order); reorders them.
ColumnStatistics columnStatistics(std::span<float> values);

// The per-record quantities statistics are kept for. `index` of a column is the order index k
// (for the distortions 0 is the total distortion and k ≥ 1 the order's ratio to the
// fundamental), the overload row 0..2, or the per-phase column 0..5.
enum class StatQuantity : int16_t {
    VoltageDistortion,
    CurrentDistortion,
    Voltage,
    Current,
    ActivePower,
    ReactivePower,
    Overload,
    PhaseVoltage,
    PhaseCurrent,
};

struct StatColumn {
    StatQuantity quantity = StatQuantity::Voltage;
    int16_t channel = 0;  // 0 for the quantities that have no channel
    int16_t index = 0;
    friend bool operator==(const StatColumn&, const StatColumn&) = default;
};

// The loaded tables statistics read; the per-phase tables may be empty (kinds without them).
struct StatisticsSource {
    const Table<float>& VoltageTable;   // (rec, k)
    const Table<float>& CurrentTable;   // (ch, rec, k)
    const Table<float>& ActivePower;    // (ch, rec, k)
    const Table<float>& ReactivePower;  // (ch, rec, k)
    const Table<float>& VoltageThd;     // (rec)
    const Table<float>& CurrentThd;     // (ch, rec)
    const Table<float>& OverloadTable;  // (0..5, rec)
    const Table<float>& PhaseVoltage;   // (rec, 0..5)
    const Table<float>& PhaseCurrent;   // (ch, rec, 0..5)
    int32_t records = 0;                // record slots counted
    int16_t channels = 0;               // C: rows 0..C, C being the composite
    int16_t maxOrderIndex = 0;          // N
    bool perPhase = false;              // the kind carries per-phase values
    // The first slot counted: a stretch of the period counts slots firstSlot .. firstSlot +
    // records - 1. A maximum's slot is still a slot of the tables.
    int32_t firstSlot = 0;
};

// Every loaded record of the period.
StatisticsSource statisticsSourceOf(const HARMDIM& state);

// Every column the tables hold, in quantity, channel, index order.
std::vector<StatColumn> allColumns(const StatisticsSource& source);

// The values of one column in slot order (source.records of them, from source.firstSlot).
void columnValues(const StatisticsSource& source, StatColumn column, std::vector<float>& out);

// Statistics of one column.
ColumnStatistics statisticsOf(const StatisticsSource& source, StatColumn column);

// Statistics of the given columns, in their order, shared by `threads` threads (0: one per
// processor, up to 8). Adjacent orders of one table are gathered together, so each record's row
// is read once for a group of columns.
std::vector<ColumnStatistics> statisticsOf(const StatisticsSource& source,
                                           std::span<const StatColumn> columns, int threads = 0);

// The time stamp of a record slot from its horizontal position: the period start's minute plus
// the whole minutes RecordX stands for.
double slotTime(float recordX, double analysisStart, int32_t periodMinutes);

}  // namespace hg
