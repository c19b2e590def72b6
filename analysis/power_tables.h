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

#include "analysis/table.h"

namespace hg {

// What the powers are computed from: the voltages (rec, k), the currents (ch, rec, k; row C the
// composite), the channels' current angles (rec, ch, k; the composite's are combined again from
// them), the slots the load filled and the power factor (1 or sqrt 3).
struct PowerInputs {
    const Table<float>& voltage;
    const Table<float>& current;
    const Table<int16_t>& angle;
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
