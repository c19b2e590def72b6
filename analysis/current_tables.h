// The currents of every channel row, record slot and order (the largest table of a load after the
// powers): the load computes everything it gives (distortion, extremes, ranking, the warnings'
// counts) from each record as it reads it, but does not keep the currents themselves; they are
// read back from the recording the load kept open when something first reads them (a current,
// impedance or power graph, its print, the statistics, the spectrum, the `tables` output), the
// composite combined again as the load combined it. Computed once, whole, before any reader sees
// them: the first reader reads them back (over the processors) while later ones wait. A record
// read back must still be the one loaded (its voltages, its channels' current distortion and phase
// currents as the load took them), or the table is not filled and the failure is told.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "analysis/power_tables.h"
#include "analysis/table.h"

namespace hg {

// What the currents are read back and checked with: where from, the voltages (rec, k), the
// current distortion (ch, rec) and phase currents (ch, rec, 0..5) the load stored, the slots it
// filled and the table's bounds (channel rows 0..C, slots 0..P, orders 0..N).
struct CurrentInputs {
    PowerSource source;
    const Table<float>& voltage;
    const Table<float>& distortion;
    const Table<float>& phaseCurrent;
    int32_t loadedRecords = 0;
    long C = -1, P = -1, N = -1;
};

class CurrentTables {
  public:
    CurrentTables() : state_(std::make_unique<State>()) {}
    CurrentTables(CurrentTables&& other) : CurrentTables() { std::swap(state_, other.state_); }
    CurrentTables& operator=(CurrentTables&& other) {
        std::swap(state_, other.state_);
        other.forget();
        return *this;
    }

    // The table (ch, rec, k), A, read back at the first call.
    const Table<float>& table(const CurrentInputs& in) const { return ready(in).table; }
    // Why the currents could not be read back (the table then holds zeros): empty when they were.
    const std::string& failure(const CurrentInputs& in) const { return ready(in).failure; }
    bool computed() const { return state_->done.load(std::memory_order_acquire); }

    // A table given as it is (an analysis made by hand): dimensioned and zero-filled at the first
    // call, then taken as read.
    Table<float>& given(long C, long P, long N);
    // Drops the table: the next reader reads it back again.
    void forget() { state_ = std::make_unique<State>(); }

  private:
    struct State {
        std::once_flag once;
        std::atomic<bool> done{false};
        Table<float> table;
        std::string failure;
    };
    const State& ready(const CurrentInputs& in) const {
        if (!state_->done.load(std::memory_order_acquire)) compute(in);
        return *state_;
    }
    void compute(const CurrentInputs& in) const;

    std::unique_ptr<State> state_;
};

}  // namespace hg
