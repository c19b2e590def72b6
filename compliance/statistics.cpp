#include "compliance/statistics.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "analysis/harmdim.h"
#include "analysis/percent_of_fundamental.h"
#include "platform/dates.h"

#if defined(__GNUC__)
#define HG_ROW_INLINE __attribute__((always_inline)) inline
#else
#define HG_ROW_INLINE inline
#endif

namespace hg {

namespace {

constexpr int kMaxThreads = 8;
// Columns gathered together: adjacent orders of one row, so that each record's row is read in
// runs of whole cache lines that the processor fetches ahead.
constexpr int kGroupWidth = 64;

// Where a column's values lie: value of slot s is base[s · stride], or for a distortion ratio the
// percentage of that of fundamental[s · stride].
struct ColumnLayout {
    const float* base = nullptr;
    std::ptrdiff_t stride = 1;
    const float* fundamental = nullptr;
};

ColumnLayout orderLayout(const Table<float>& table, long channel, int k, bool threeIndexes) {
    const float* row = threeIndexes ? table.row(channel, 0) : table.row(0);
    return {row + k, table.upper(threeIndexes ? 2 : 1) + 1, nullptr};
}

ColumnLayout tableLayout(const StatisticsSource& s, StatColumn c) {
    const int k = c.index;
    switch (c.quantity) {
        case StatQuantity::VoltageDistortion: {
            if (k == 0) return {s.VoltageThd.data(), 1, nullptr};
            ColumnLayout l = orderLayout(s.VoltageTable, 0, k, false);
            l.fundamental = s.VoltageTable.row(0);
            return l;
        }
        case StatQuantity::CurrentDistortion: {
            if (k == 0) return {s.CurrentThd.row(c.channel), 1, nullptr};
            ColumnLayout l = orderLayout(s.CurrentTable, c.channel, k, true);
            l.fundamental = s.CurrentTable.row(c.channel, 0);
            return l;
        }
        case StatQuantity::Voltage:
            return orderLayout(s.VoltageTable, 0, k, false);
        case StatQuantity::Current:
            return orderLayout(s.CurrentTable, c.channel, k, true);
        case StatQuantity::ActivePower:
            return orderLayout(s.ActivePower, c.channel, k, true);
        case StatQuantity::ReactivePower:
            return orderLayout(s.ReactivePower, c.channel, k, true);
        case StatQuantity::Overload:
            return {s.OverloadTable.row(k), 1, nullptr};
        case StatQuantity::PhaseVoltage:
            return orderLayout(s.PhaseVoltage, 0, k, false);
        case StatQuantity::PhaseCurrent:
            return orderLayout(s.PhaseCurrent, c.channel, k, true);
    }
    return {};
}

// Where a column's values lie from the first slot counted: slot s of the layout is slot
// firstSlot + s of the tables.
ColumnLayout layoutOf(const StatisticsSource& s, StatColumn c) {
    ColumnLayout l = tableLayout(s, c);
    const std::ptrdiff_t skip = static_cast<std::ptrdiff_t>(s.firstSlot) * l.stride;
    if (l.base) l.base += skip;
    if (l.fundamental) l.fundamental += skip;
    return l;
}

// A maximum's slot counted from the first slot, as a slot of the tables.
void toTableSlot(const StatisticsSource& s, ColumnStatistics& st) {
    if (st.maxSlot >= 0) st.maxSlot += s.firstSlot;
}

// The values of record slot s of `width` adjacent columns starting at `first`: the row itself,
// or its ratios to the fundamental (computed for the whole row at once, on vectors).
HG_ROW_INLINE void rowValues(const ColumnLayout& first, int width, int32_t s, float* out) {
    const float* row = first.base + s * first.stride;
    if (!first.fundamental) {
        for (int j = 0; j < width; ++j) out[j] = row[j];
        return;
    }
    const double fundamental = first.fundamental[s * first.stride];
    for (int j = 0; j < width; ++j)
        out[j] = static_cast<float>(percentOfFundamental(row[j], fundamental));
}

// Runs of columns that lie side by side in one row layout: [begin, end) pairs.
std::vector<std::pair<std::size_t, std::size_t>> groupsOf(const StatisticsSource& source,
                                                          std::span<const StatColumn> columns) {
    std::vector<std::pair<std::size_t, std::size_t>> groups;
    std::size_t i = 0;
    while (i < columns.size()) {
        const ColumnLayout a = layoutOf(source, columns[i]);
        std::size_t end = i + 1;
        while (end < columns.size() && end - i < kGroupWidth) {
            const ColumnLayout b = layoutOf(source, columns[end]);
            const bool adjacent = b.base == a.base + (end - i) && b.stride == a.stride &&
                                  b.fundamental == a.fundamental && a.stride > 1;
            if (!adjacent) break;
            ++end;
        }
        groups.emplace_back(i, end);
        i = end;
    }
    return groups;
}

int threadsFor(int requested, std::size_t work) {
    int n = requested;
    if (n <= 0) n = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    return static_cast<int>(std::min<std::size_t>(
        {static_cast<std::size_t>(n), kMaxThreads, std::max<std::size_t>(work / 4, 1)}));
}

// The 95th and 99th percentiles of a column from `among`, which holds every value of the column
// from rank below + 1 up (the values left out all lie below those kept), in any order.
void percentilesFrom(std::span<float> among, std::size_t below, ColumnStatistics& st) {
    const auto r95 = static_cast<std::size_t>(nearestRankIndex(95, st.count) - 1);
    const auto r99 = static_cast<std::size_t>(nearestRankIndex(99, st.count) - 1);
    // The 99th lies at or after the 95th: the second selection needs only the values the first
    // left above it.
    const auto p95 = among.begin() + static_cast<std::ptrdiff_t>(r95 - below);
    const auto p99 = among.begin() + static_cast<std::ptrdiff_t>(r99 - below);
    std::nth_element(among.begin(), p95, among.end());
    st.p95 = *p95;
    if (p99 != p95) std::nth_element(p95 + 1, p99, among.end());
    st.p99 = *p99;
}

// Percentile selection works on the values at or above a threshold estimated from a sample of
// the column (the 90th percentile of kSample records spread over the period); the 95th and 99th
// percentiles lie among them unless the estimate was too high, in which case the whole column is
// selected from. The ranks stay exact either way.
constexpr int32_t kSample = 512;
constexpr int32_t kSampledFrom = 4 * kSample;

void sampleThresholds(const ColumnLayout& first, int width, int32_t records, float* threshold) {
    for (int j = 0; j < width; ++j) threshold[j] = -std::numeric_limits<float>::infinity();
    if (records < kSampledFrom) return;
    thread_local std::vector<float> sample(static_cast<std::size_t>(kSample) * kGroupWidth);
    alignas(64) float row[kGroupWidth];
    for (int32_t i = 0; i < kSample; ++i) {
        rowValues(first, width, i * (records / kSample), row);
        for (int j = 0; j < width; ++j) sample[static_cast<std::size_t>(j * kSample + i)] = row[j];
    }
    for (int j = 0; j < width; ++j) {
        float* begin = sample.data() + static_cast<std::ptrdiff_t>(j) * kSample;
        float* cut = begin + kSample * 90 / 100;
        std::nth_element(begin, cut, begin + kSample);
        threshold[j] = *cut;
    }
}

// Statistics of `width` adjacent columns in one pass over the records: per column the sum,
// extremes and first maximum's slot (on vectors across the columns), and the values at or above
// the column's threshold copied into its part of `upper` (records values each).
void groupStatistics(const ColumnLayout& first, int width, int32_t records, float* upper,
                     ColumnStatistics* out) {
    alignas(64) float threshold[kGroupWidth], hi[kGroupWidth], lo[kGroupWidth], v[kGroupWidth];
    alignas(64) double sum[kGroupWidth];
    alignas(64) int32_t slot[kGroupWidth], kept[kGroupWidth];
    alignas(64) uint8_t keep[kGroupWidth] = {};  // past `width`: never kept
    sampleThresholds(first, width, records, threshold);
    for (int j = 0; j < width; ++j) {
        hi[j] = -std::numeric_limits<float>::infinity();
        lo[j] = std::numeric_limits<float>::infinity();
        sum[j] = 0;
        slot[j] = kept[j] = 0;
    }
    const std::size_t n = static_cast<std::size_t>(records);
    for (int32_t s = 0; s < records; ++s) {
        rowValues(first, width, s, v);
        for (int j = 0; j < width; ++j) sum[j] += v[j];
        for (int j = 0; j < width; ++j) slot[j] = v[j] > hi[j] ? s : slot[j];
        for (int j = 0; j < width; ++j) hi[j] = v[j] > hi[j] ? v[j] : hi[j];
        for (int j = 0; j < width; ++j) lo[j] = v[j] < lo[j] ? v[j] : lo[j];
        // The few values at or above their threshold: flags compared on vectors, then the
        // flags read eight at a time and only the set ones stored.
        for (int j = 0; j < width; ++j) keep[j] = v[j] >= threshold[j] ? 1 : 0;
        for (int j8 = 0; j8 < width; j8 += 8) {
            uint64_t flags;
            std::memcpy(&flags, keep + j8, 8);
            while (flags) {
                const int j = j8 + std::countr_zero(flags) / 8;
                upper[static_cast<std::size_t>(j) * n + static_cast<std::size_t>(kept[j]++)] = v[j];
                flags &= flags - 1;
            }
        }
    }
    for (int j = 0; j < width; ++j) {
        ColumnStatistics& st = out[j];
        st =
            ColumnStatistics{records, hi[j], slot[j], lo[j], sum[j] / static_cast<double>(n), 0, 0};
        float* column = upper + static_cast<std::size_t>(j) * n;
        auto below = n - static_cast<std::size_t>(kept[j]);
        if (below > static_cast<std::size_t>(nearestRankIndex(95, records) - 1)) {
            // The estimate was too high: select among the whole column.
            for (int32_t s = 0; s < records; ++s) {
                rowValues(first, width, s, v);
                column[s] = v[j];
            }
            below = 0;
        }
        percentilesFrom(std::span<float>(column, n - below), below, st);
    }
}

}  // namespace

int32_t nearestRankIndex(int percent, int32_t n) {
    const int64_t rank = (static_cast<int64_t>(percent) * n + 99) / 100;
    return static_cast<int32_t>(std::clamp<int64_t>(rank, 1, std::max(n, 1)));
}

float nearestRank(std::span<float> values, int percent) {
    if (values.empty()) return 0.0f;
    const auto nth =
        values.begin() + (nearestRankIndex(percent, static_cast<int32_t>(values.size())) - 1);
    std::nth_element(values.begin(), nth, values.end());
    return *nth;
}

ColumnStatistics columnStatistics(std::span<float> values) {
    ColumnStatistics st;
    st.count = static_cast<int32_t>(values.size());
    if (values.empty()) return st;
    st.max = st.min = values[0];
    st.maxSlot = 0;
    double sum = 0;
    for (std::size_t s = 0; s < values.size(); ++s) {
        const float v = values[s];
        sum += v;
        if (v > st.max) {
            st.max = v;
            st.maxSlot = static_cast<int32_t>(s);
        }
        if (v < st.min) st.min = v;
    }
    st.mean = sum / static_cast<double>(values.size());
    percentilesFrom(values, 0, st);
    return st;
}

StatisticsSource statisticsSourceOf(const HARMDIM& s) {
    return StatisticsSource{s.VoltageTable,
                            s.currentTable(),
                            s.activePower(),
                            s.reactivePower(),
                            s.VoltageThd,
                            s.CurrentThd,
                            s.OverloadTable,
                            s.PhaseVoltage,
                            s.PhaseCurrent,
                            s.LoadedRecords,
                            s.ChannelCount,
                            s.MaxOrderIndex,
                            !s.PhaseVoltage.empty() && s.Kind.layout.hasPhaseValues()};
}

std::vector<StatColumn> allColumns(const StatisticsSource& s) {
    std::vector<StatColumn> columns;
    const auto add = [&](StatQuantity q, int channels, int indexes) {
        for (int ch = 0; ch < channels; ++ch)
            for (int k = 0; k < indexes; ++k)
                columns.push_back({q, static_cast<int16_t>(ch), static_cast<int16_t>(k)});
    };
    const int K = s.maxOrderIndex + 1, C = s.channels + 1;
    add(StatQuantity::VoltageDistortion, 1, K);
    add(StatQuantity::CurrentDistortion, C, K);
    add(StatQuantity::Voltage, 1, K);
    add(StatQuantity::Current, C, K);
    add(StatQuantity::ActivePower, C, K);
    add(StatQuantity::ReactivePower, C, K);
    add(StatQuantity::Overload, 1, 3);
    if (s.perPhase) {
        add(StatQuantity::PhaseVoltage, 1, 6);
        add(StatQuantity::PhaseCurrent, C, 6);
    }
    return columns;
}

void columnValues(const StatisticsSource& source, StatColumn column, std::vector<float>& out) {
    out.resize(static_cast<std::size_t>(std::max(source.records, 0)));
    const ColumnLayout layout = layoutOf(source, column);
    for (int32_t s = 0; s < source.records; ++s)
        rowValues(layout, 1, s, &out[static_cast<std::size_t>(s)]);
}

ColumnStatistics statisticsOf(const StatisticsSource& source, StatColumn column) {
    std::vector<float> values;
    columnValues(source, column, values);
    ColumnStatistics st = columnStatistics(values);
    toTableSlot(source, st);
    return st;
}

std::vector<ColumnStatistics> statisticsOf(const StatisticsSource& source,
                                           std::span<const StatColumn> columns, int threads) {
    std::vector<ColumnStatistics> results(columns.size());
    if (source.records <= 0) return results;
    const auto groups = groupsOf(source, columns);
    const std::size_t n = static_cast<std::size_t>(source.records);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        std::vector<float> upper(n * kGroupWidth);
        for (std::size_t g; (g = next.fetch_add(1)) < groups.size();) {
            const auto [begin, end] = groups[g];
            groupStatistics(layoutOf(source, columns[begin]), static_cast<int>(end - begin),
                            source.records, upper.data(), results.data() + begin);
        }
    };
    const int count = threadsFor(threads, groups.size());
    std::vector<std::jthread> pool;
    for (int t = 1; t < count; ++t) pool.emplace_back(work);
    work();
    pool.clear();
    for (ColumnStatistics& st : results) toTableSlot(source, st);
    return results;
}

double slotTime(float recordX, double analysisStart, int32_t periodMinutes) {
    const int64_t minutes = std::llround(static_cast<double>(recordX) * periodMinutes / 2000.0);
    const int64_t start =
        static_cast<int64_t>(std::floor(analysisStart)) * 1440 + minuteOfDay(analysisStart);
    const int64_t total = start + minutes;
    return dateTime(static_cast<int32_t>(total / 1440), static_cast<int32_t>(total % 1440));
}

}  // namespace hg
