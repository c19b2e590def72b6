// The active and reactive power of every channel row, record slot and order: the two largest
// tables of an analysis, so they are computed only when something first reads them (a power graph,
// its print, the statistics, the `tables` output), from the voltages, currents and current angles
// the load kept, by the same arithmetic the load's extremes were taken with, so the values are
// those the load would have stored. Computed once, whole, before any reader sees them: the first
// reader computes them (over the processors) while later ones wait. Their period extremes are
// taken while they are computed (the load does not compute the powers at all), and the ranking
// of their orders from those extremes when first asked for.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "analysis/table.h"

namespace hg {

class RecordFile;
struct RecordLayout;

// Where the channels' current angles are read back from: the recording the load read (kept open),
// its layout, and the file record of every slot. The angles are not held in memory (they are
// only needed for the powers); the records read back must still hold the voltages and currents
// the load stored, and combine to its composite currents, or the powers are not computed (the file
// changed since).
struct PowerSource {
    const RecordFile* file = nullptr;  // none: an analysis made by hand, whose angles are all 0
    const RecordLayout* layout = nullptr;
    const std::vector<int64_t>* slotRecord = nullptr;
};

// What the powers are computed from: the voltages (rec, k), the currents (ch, rec, k; row C the
// composite), where the current angles are read back from (the composite's are combined again
// from the channels'), the slots the load filled and the power factor (1 or sqrt 3).
struct PowerInputs {
    const Table<float>& voltage;
    const Table<float>& current;
    PowerSource source;
    int32_t loadedRecords = 0;
    float powerFactorK = 1.0f;
};

class PowerTables {
  public:
    PowerTables() : state_(std::make_unique<State>()) {}
    PowerTables(PowerTables&& other) : PowerTables() { std::swap(state_, other.state_); }
    PowerTables& operator=(PowerTables&& other) {
        std::swap(state_, other.state_);
        other.forget();
        return *this;
    }

    // The tables (ch, rec, k), kW and kvar, computed from `in` at the first call.
    const Table<float>& active(const PowerInputs& in) const { return ready(in).active; }
    const Table<float>& reactive(const PowerInputs& in) const { return ready(in).reactive; }
    // Their period extremes (ch, row, k), rows kActiveMax, kActiveMin, kReactiveMax, kReactiveMin:
    // a maximum never below 0, a minimum never above 0 (as the load's extremes).
    enum ExtremeRow { kActiveMax = 0, kActiveMin = 1, kReactiveMax = 2, kReactiveMin = 3 };
    const Table<float>& extremes(const PowerInputs& in) const { return ready(in).extremes; }
    // The ranking of the orders (row 0 active, 1 reactive; k), made by `rank` from the extremes
    // at the first call.
    using RankFn = std::function<void(const Table<float>& extremes, Table<float>& ranks)>;
    const Table<float>& ranks(const PowerInputs& in, const RankFn& rank) const;
    // Why the powers could not be computed (the recording changed or cannot be read since the
    // load): empty when they were; the tables then hold zeros and must not be shown as powers.
    const std::string& failure(const PowerInputs& in) const { return ready(in).failure; }
    // Whether they have been computed (or given).
    bool computed() const { return state_->done.load(std::memory_order_acquire); }

    // Tables given as they are (an analysis made by hand): dimensioned 0..C x 0..P x 0..N and
    // zero-filled at the first call, then taken as computed.
    Table<float>& givenActive(long C, long P, long N) { return given(C, P, N).active; }
    Table<float>& givenReactive(long C, long P, long N) { return given(C, P, N).reactive; }

    // Drops the tables: the next reader computes them again (the load dimensioned its tables
    // afresh).
    void forget() { state_ = std::make_unique<State>(); }

  private:
    struct State {
        std::once_flag once;
        std::atomic<bool> done{false};
        Table<float> active;
        Table<float> reactive;
        Table<float> extremes;
        std::string failure;
        std::once_flag rankOnce;
        Table<float> ranks;
    };
    const State& ready(const PowerInputs& in) const {
        if (!state_->done.load(std::memory_order_acquire)) compute(in);
        return *state_;
    }
    void compute(const PowerInputs& in) const;
    State& given(long C, long P, long N);

    std::unique_ptr<State> state_;
};

}  // namespace hg
