#include "analysis/current_tables.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "analysis/composite.h"
#include "analysis/quantities.h"
#include "analysis/record_read_back.h"
#include "datafile/record_file.h"

namespace hg {

namespace {

bool sameValues(const float* a, const float* b, std::size_t n) {
    return std::memcmp(a, b, n * sizeof(float)) == 0;
}

// Whether a record read back (its values as the load took them: not-a-number as 0, the composite
// combined into row C) is the one the load stored into `slot`: the same voltages, and each channel
// row's current distortion (worked out into `totals`, one for each row) and phase currents as the
// load computed them.
bool sameRecord(const CurrentInputs& in, int32_t slot, const RecordValues& rv, bool phaseValues,
                std::vector<float>& totals) {
    const auto K = static_cast<std::size_t>(in.N + 1);
    if (!sameValues(rv.V.data(), in.voltage.row(slot), K)) return false;
    currentDistortionTotals(rv.I.data(), static_cast<int>(in.C) + 1, static_cast<int>(K),
                            totals.data());
    for (long ch = 0; ch <= in.C; ++ch) {
        if (totals[static_cast<std::size_t>(ch)] != in.distortion(ch, slot)) return false;
        if (phaseValues && ch < in.C &&
            !sameValues(rv.Ip.data() + static_cast<std::size_t>(ch) * 3,
                        in.phaseCurrent.row(ch, slot), 3))
            return false;
    }
    return true;
}

// The currents of slots first..last-1, read back from the recording. Returns why not, or nothing.
std::string currentsOfSlots(const CurrentInputs& in, Table<float>& table, int32_t first,
                            int32_t last) {
    const auto K = static_cast<std::size_t>(in.N + 1);
    const auto C = static_cast<int>(in.C);
    const bool phaseValues = in.source.layout->hasPhaseValues();
    CurrentCombiner combiner(static_cast<int>(K));
    std::vector<float> totals(static_cast<std::size_t>(C) + 1);
    return readBackRecords(
        in.source, first, last, "電流を読めません", [&](int32_t slot, RecordValues& rv) {
            float* composite = rv.I.data() + static_cast<std::size_t>(C) * K;
            (void)combiner.combine(rv.I.data(), rv.A.data(), K, C, composite, nullptr);
            if (!sameRecord(in, slot, rv, phaseValues, totals)) return false;
            for (int ch = 0; ch <= C; ++ch)
                std::memcpy(table.row(ch, slot), rv.I.data() + static_cast<std::size_t>(ch) * K,
                            K * sizeof(float));
            return true;
        });
}

}  // namespace

void CurrentTables::compute(const CurrentInputs& in) const {
    State& st = *state_;
    std::call_once(st.once, [&] {
        st.table.dim(in.C, in.P, in.N);
        const PowerSource& src = in.source;
        // An analysis made by hand without currents has none to read back: zeros.
        if (src.file && src.layout && src.slotRecord && !st.table.empty()) {
            const int32_t slots =
                std::clamp<int32_t>(in.loadedRecords, 0, static_cast<int32_t>(in.P + 1));
            st.failure = runReadBackParts(slots, readBackParts(slots),
                                          [&](unsigned, int32_t first, int32_t last) {
                                              return currentsOfSlots(in, st.table, first, last);
                                          });
            if (!st.failure.empty()) st.table.dim(in.C, in.P, in.N);  // nothing half read is left
        }
        st.done.store(true, std::memory_order_release);
    });
}

Table<float>& CurrentTables::given(long C, long P, long N) {
    State& st = *state_;
    std::call_once(st.once, [&] {
        st.table.dim(C, P, N);
        st.done.store(true, std::memory_order_release);
    });
    return st.table;
}

}  // namespace hg
