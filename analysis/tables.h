// The per-record tables of a graph-mode load and the period extremes, with the ranking of orders by
// size made from them. Written by the load only; afterwards read-only and shared by every graph
// window and the printed pages (held once in memory, never copied per window).
//
// The power tables are computed when first read (activePower() / reactivePower()), from the
// voltages, currents and current angles the load keeps.
//
// Index names: rec = record slot 0..PeriodRecords; k = order index 0..MaxOrderIndex (0 is the
// fundamental); ch = channel 0..ChannelCount, ch = ChannelCount being the composite of all
// channels; slot = item code - 1 (0..15).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/current_tables.h"
#include "analysis/item_codes.h"
#include "analysis/power_tables.h"
#include "analysis/table.h"
#include "datafile/record_file.h"

namespace hg {

struct AnalysisTables {
    int32_t LoadedRecords = 0;  // slots filled by the load
    int64_t FirstRecord = 0;    // file record number of slot 0 (from the load's search)

    Table<float> RecordX;        // (rec)
    Table<float> VoltageTable;   // (rec, k)
    Table<int16_t> AngleTable;   // (0..1, rec, k) voltage / current superposition angle
    Table<float> VoltageThd;     // (rec) %
    Table<float> CurrentThd;     // (ch, rec) %
    Table<float> PhaseVoltage;   // (rec, 0..5)
    Table<float> PhaseCurrent;   // (ch, rec, 0..5)
    Table<float> OverloadTable;  // (0..5, rec) %
    Table<float> ItemMax;        // (ch, slot, k); read through itemMax()
    Table<float> ItemMin;        // (ch, slot, k); read through itemMin()
    Table<float> RankMagnitude;  // (0..7, k)
    Table<float> OrderRank;      // (0..7, k); read through orderRank()
    float PowerFactorK = 1.0f;   // 1 or sqrt 3 (single), as the load took it from the file name
    // The recording the load read, kept open, its layout and the file record of each slot: the
    // current and power tables read the currents and their angles back from it.
    std::shared_ptr<const RecordFile> RecordSource;
    RecordLayout SourceLayout;
    std::vector<int64_t> SlotRecord;  // (rec)

    // The currents (ch, rec, k), A, row C the composite: read back from the recording at the
    // first read, once (a reader meanwhile waits for them).
    const Table<float>& currentTable() const { return currents_.table(currentInputs()); }
    bool currentsComputed() const { return currents_.computed(); }
    // Why the currents could not be read back (the recording changed or went unreadable since
    // the load; the table then holds zeros): empty when they were. Reading it reads them back.
    const std::string& currentsFailure() const { return currents_.failure(currentInputs()); }
    // A current table given as it is (an analysis made by hand), dimensioned 0..C x 0..P x 0..N.
    Table<float>& givenCurrentTable() {
        return currents_.given(bounds_[0], bounds_[1], bounds_[2]);
    }

    // The power tables (ch, rec, k), kW and kvar: computed from the loaded tables at the first
    // read, once (a reader meanwhile waits for them).
    const Table<float>& activePower() const { return powers_.active(powerInputs()); }
    const Table<float>& reactivePower() const { return powers_.reactive(powerInputs()); }
    bool powersComputed() const { return powers_.computed(); }
    // Why the power tables could not be computed (the recording changed or went unreadable since
    // the load, the currents' failure first; they then hold zeros): empty when they were.
    // Reading it computes them.
    const std::string& powersFailure() const {
        const std::string& currents = currentsFailure();
        return currents.empty() ? powers_.failure(powerInputs()) : currents;
    }
    // Power tables given as they are (an analysis made by hand), dimensioned like CurrentTable.
    Table<float>& givenActivePower() {
        return powers_.givenActive(powerBounds(0), powerBounds(1), powerBounds(2));
    }
    Table<float>& givenReactivePower() {
        return powers_.givenReactive(powerBounds(0), powerBounds(1), powerBounds(2));
    }

    // The period extremes of item slot `slot`, channel row ch, order k (0 outside the tables). A
    // loaded analysis takes the powers' with the power tables, so reading them computes those.
    float itemMax(long ch, long slot, long k) const { return extreme(ch, slot, k, true); }
    float itemMin(long ch, long slot, long k) const { return extreme(ch, slot, k, false); }
    // The rank 1..10 of order k of ranked item slot `slot` (-1 unranked, 0 outside the tables).
    float orderRank(long slot, long k) const;
    // ItemMax / ItemMin whole, the powers' slots included.
    Table<float> itemMaxTable() const { return extremesTable(true); }
    Table<float> itemMinTable() const { return extremesTable(false); }
    // Whether the extremes of `slot` are the powers' taken with their tables (set by the load:
    // the load leaves those slots of ItemMax / ItemMin and their ranking untouched).
    bool powerExtremesOfSlot(long slot) const;
    void takePowerExtremesWithTables() { powerExtremesWithTables_ = true; }

    // Dimensions (zero-fills) the ranking tables for orders 0..N.
    void dimRanking(int16_t maxOrderIndex);
    // Dimensions (zero-fills) the per-record tables and the extremes for slots 0..P, orders 0..N
    // and channels 0..C.
    void dimTables(int32_t periodRecords, int16_t maxOrderIndex, int16_t channelCount);
    // Bytes the per-record tables and extremes need for those sizes.
    static std::size_t tableBytes(int32_t periodRecords, int16_t maxOrderIndex,
                                  int16_t channelCount);
    // Releases the per-record tables.
    void releaseTables();

  private:
    PowerInputs powerInputs() const {
        return {VoltageTable, currentTable(), source(), LoadedRecords, PowerFactorK};
    }
    CurrentInputs currentInputs() const {
        return {source(),      VoltageTable, CurrentThd, PhaseCurrent,
                LoadedRecords, bounds_[0],   bounds_[1], bounds_[2]};
    }
    PowerSource source() const {
        return {RecordSource.get(), RecordSource ? &SourceLayout : nullptr,
                RecordSource ? &SlotRecord : nullptr};
    }
    long powerBounds(int d) const { return bounds_[d]; }
    float extreme(long ch, long slot, long k, bool maximum) const;
    Table<float> extremesTable(bool maxima) const;
    CurrentTables currents_;
    PowerTables powers_;
    long bounds_[3] = {-1, -1, -1};  // channel rows 0..C, slots 0..P, orders 0..N
    bool powerExtremesWithTables_ = false;
};

}  // namespace hg
