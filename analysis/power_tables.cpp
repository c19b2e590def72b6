#include "analysis/power_tables.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

#include "analysis/quantities.h"

namespace hg {

namespace {

constexpr unsigned kMaxThreads = 8;
constexpr int32_t kSlotsPerThread = 256;

// The powers of slots first..last-1, every channel row.
HG_VECTOR_CLONES void powersOfSlots(const PowerInputs& in, Table<float>& active,
                                    Table<float>& reactive, int32_t first, int32_t last) {
    const long C = in.current.upper(0);
    const auto K = static_cast<std::size_t>(in.current.upper(2) + 1);
    for (int32_t slot = first; slot < last; ++slot)
        for (long ch = 0; ch <= C; ++ch)
            (void)rowPowers(in.voltage.row(slot), in.current.row(ch, slot), in.angle.row(slot, ch),
                            K, in.powerFactorK, active.row(ch, slot), reactive.row(ch, slot));
}

}  // namespace

void PowerTables::compute(const PowerInputs& in) const {
    State& st = *state_;
    std::call_once(st.once, [&] {
        const long C = in.current.upper(0), P = in.current.upper(1), N = in.current.upper(2);
        st.active.dim(C, P, N);
        st.reactive.dim(C, P, N);
        const int32_t slots = std::clamp<int32_t>(in.loadedRecords, 0, static_cast<int32_t>(P + 1));
        const unsigned threads =
            std::clamp<unsigned>(std::min<unsigned>(std::thread::hardware_concurrency(),
                                                    static_cast<unsigned>(slots / kSlotsPerThread)),
                                 1, kMaxThreads);
        const auto part = [&](unsigned t) {
            powersOfSlots(in, st.active, st.reactive,
                          static_cast<int32_t>(int64_t{slots} * t / threads),
                          static_cast<int32_t>(int64_t{slots} * (t + 1) / threads));
        };
        {
            std::vector<std::jthread> workers;  // joined before the tables are marked computed
            for (unsigned t = 1; t < threads; ++t) {
                try {
                    workers.emplace_back(part, t);
                } catch (const std::system_error&) {
                    part(t);  // no thread to be had: this one does the part
                }
            }
            part(0);
        }
        st.done.store(true, std::memory_order_release);
    });
}

PowerTables::State& PowerTables::given(long C, long P, long N) {
    State& st = *state_;
    std::call_once(st.once, [&] {
        st.active.dim(C, P, N);
        st.reactive.dim(C, P, N);
        st.done.store(true, std::memory_order_release);
    });
    return st;
}

}  // namespace hg
