#include "analysis/power_tables.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/composite.h"
#include "analysis/quantities.h"
#include "analysis/record_read_back.h"
#include "datafile/record_file.h"

namespace hg {

namespace {

using Row = PowerTables::ExtremeRow;

HG_INLINE void maxInto(float* __restrict cells, const float* __restrict values, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) cells[k] = values[k] > cells[k] ? values[k] : cells[k];
}
HG_INLINE void minInto(float* __restrict cells, const float* __restrict values, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k) cells[k] = values[k] < cells[k] ? values[k] : cells[k];
}

// The powers of one slot's channel rows and their extremes, from the channels' current angles A
// (C x K) and the composite's (K).
HG_VECTOR_CLONES void powersOfSlot(const PowerInputs& in, int32_t slot, const int16_t* A,
                                   const int16_t* compositeA, Table<float>& active,
                                   Table<float>& reactive, Table<float>& extremes) {
    const long C = in.current.upper(0);
    const auto K = static_cast<std::size_t>(in.current.upper(2) + 1);
    for (long ch = 0; ch <= C; ++ch) {
        float* P = active.row(ch, slot);
        float* Q = reactive.row(ch, slot);
        const int16_t* angles = ch == C ? compositeA : A + static_cast<std::size_t>(ch) * K;
        (void)rowPowers(in.voltage.row(slot), in.current.row(ch, slot), angles, K, in.powerFactorK,
                        P, Q);
        maxInto(extremes.row(ch, Row::kActiveMax), P, K);
        minInto(extremes.row(ch, Row::kActiveMin), P, K);
        maxInto(extremes.row(ch, Row::kReactiveMax), Q, K);
        minInto(extremes.row(ch, Row::kReactiveMin), Q, K);
    }
}

// The powers of slots first..last-1 and their extremes into `extremes` (zero-filled), the
// channels' current angles read back from the recording: each record's voltages and currents
// must be those the load stored. Returns why not, or nothing.
std::string powersOfSlots(const PowerInputs& in, Table<float>& active, Table<float>& reactive,
                          Table<float>& extremes, int32_t first, int32_t last) {
    const long C = in.current.upper(0);
    const auto K = static_cast<std::size_t>(in.current.upper(2) + 1);
    const std::size_t row = static_cast<std::size_t>(C) * K;
    CurrentCombiner combiner(static_cast<int>(K));
    std::vector<float> combined(K);
    std::vector<int16_t> compositeAngles(K);
    const PowerSource& src = in.source;
    if (!src.file || !src.layout || !src.slotRecord) {  // made by hand: every angle 0
        const std::vector<int16_t> zero(row + K);
        for (int32_t slot = first; slot < last; ++slot)
            powersOfSlot(in, slot, zero.data(), zero.data() + row, active, reactive, extremes);
        return {};
    }
    const auto same = [&](const float* a, const float* b) {
        return std::memcmp(a, b, K * sizeof(float)) == 0;
    };
    return readBackRecords(
        src, first, last, "電力を計算できません", [&](int32_t slot, RecordValues& rv) {
            if (!same(rv.V.data(), in.voltage.row(slot))) return false;
            for (long c = 0; c < C; ++c)
                if (!same(rv.I.data() + static_cast<std::size_t>(c) * K, in.current.row(c, slot)))
                    return false;
            // The composite's angles, combined as the load combined its currents; its currents come
            // out as they were read unless an angle changed.
            (void)combiner.combine(rv.I.data(), rv.A.data(), K, static_cast<int>(C),
                                   combined.data(), compositeAngles.data());
            if (!same(combined.data(), in.current.row(C, slot))) return false;
            powersOfSlot(in, slot, rv.A.data(), compositeAngles.data(), active, reactive, extremes);
            return true;
        });
}

// Merges the extremes of one part into those of all: maxima by the larger, minima by the smaller.
void mergeExtremes(Table<float>& into, const Table<float>& part) {
    const long C = into.upper(0);
    const auto K = static_cast<std::size_t>(into.upper(2) + 1);
    for (long ch = 0; ch <= C; ++ch) {
        maxInto(into.row(ch, Row::kActiveMax), part.row(ch, Row::kActiveMax), K);
        minInto(into.row(ch, Row::kActiveMin), part.row(ch, Row::kActiveMin), K);
        maxInto(into.row(ch, Row::kReactiveMax), part.row(ch, Row::kReactiveMax), K);
        minInto(into.row(ch, Row::kReactiveMin), part.row(ch, Row::kReactiveMin), K);
    }
}

}  // namespace

void PowerTables::compute(const PowerInputs& in) const {
    State& st = *state_;
    std::call_once(st.once, [&] {
        const long C = in.current.upper(0), P = in.current.upper(1), N = in.current.upper(2);
        st.active.dim(C, P, N);
        st.reactive.dim(C, P, N);
        st.extremes.dim(C, 3, N);
        const int32_t slots = std::clamp<int32_t>(in.loadedRecords, 0, static_cast<int32_t>(P + 1));
        const unsigned threads = readBackParts(slots);
        std::vector<Table<float>> partExtremes(threads);
        for (unsigned t = 1; t < threads; ++t) partExtremes[t].dim(C, 3, N);
        st.failure = runReadBackParts(slots, threads, [&](unsigned t, int32_t first, int32_t last) {
            return powersOfSlots(in, st.active, st.reactive, t == 0 ? st.extremes : partExtremes[t],
                                 first, last);
        });
        for (unsigned t = 1; t < threads; ++t) mergeExtremes(st.extremes, partExtremes[t]);
        if (!st.failure.empty()) {  // nothing half computed is left to be read as powers
            st.active.dim(C, P, N);
            st.reactive.dim(C, P, N);
            st.extremes.dim(C, 3, N);
        }
        st.done.store(true, std::memory_order_release);
    });
}

const Table<float>& PowerTables::ranks(const PowerInputs& in, const RankFn& rank) const {
    const State& st = ready(in);
    std::call_once(state_->rankOnce, [&] {
        state_->ranks.dim(1, st.extremes.upper(2));
        rank(st.extremes, state_->ranks);
    });
    return state_->ranks;
}

PowerTables::State& PowerTables::given(long C, long P, long N) {
    State& st = *state_;
    std::call_once(st.once, [&] {
        st.active.dim(C, P, N);
        st.reactive.dim(C, P, N);
        st.extremes.dim(C, 3, N);
        st.done.store(true, std::memory_order_release);
    });
    return st;
}

}  // namespace hg
