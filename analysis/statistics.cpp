#include "analysis/statistics.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "analysis/harmdim.h"
#include "platform/dates.h"

namespace hg {

namespace {

constexpr int kMaxThreads = 8;
// Columns gathered together: the adjacent orders of one row that share a cache line.
constexpr int kGroupWidth = 16;

// Where a column's values lie: value of slot s is base[s · stride], or for a distortion ratio the
// ratio of that to fundamental[s · stride].
struct ColumnLayout {
    const float* base = nullptr;
    std::ptrdiff_t stride = 1;
    const float* fundamental = nullptr;
    bool currentReference = false;  // the current's rule: a fundamental of 0 or less gives 0
};

ColumnLayout orderLayout(const Table<float>& table, long channel, int k, bool threeIndexes) {
    const float* row = threeIndexes ? table.row(channel, 0) : table.row(0);
    return {row + k, table.upper(threeIndexes ? 2 : 1) + 1, nullptr, false};
}

ColumnLayout layoutOf(const StatisticsSource& s, StatColumn c) {
    const int k = c.index;
    switch (c.quantity) {
        case StatQuantity::VoltageDistortion: {
            if (k == 0) return {s.VoltageThd.data(), 1, nullptr, false};
            ColumnLayout l = orderLayout(s.VoltageTable, 0, k, false);
            l.fundamental = s.VoltageTable.row(0);
            return l;
        }
        case StatQuantity::CurrentDistortion: {
            if (k == 0) return {s.CurrentThd.row(c.channel), 1, nullptr, false};
            ColumnLayout l = orderLayout(s.CurrentTable, c.channel, k, true);
            l.fundamental = s.CurrentTable.row(c.channel, 0);
            l.currentReference = true;
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
            return {s.OverloadTable.row(k), 1, nullptr, false};
        case StatQuantity::PhaseVoltage:
            return orderLayout(s.PhaseVoltage, 0, k, false);
        case StatQuantity::PhaseCurrent:
            return orderLayout(s.PhaseCurrent, c.channel, k, true);
    }
    return {};
}

// Gathers `width` adjacent columns starting at `first` into out[0..width) in one pass over the
// records.
void gatherGroup(const ColumnLayout& first, int width, int32_t records, float* const* out) {
    for (int32_t s = 0; s < records; ++s) {
        const float* row = first.base + s * first.stride;
        if (first.fundamental) {
            const float f = first.fundamental[s * first.stride];
            const bool reference = first.currentReference ? f > 0.0f : f != 0.0f;
            for (int j = 0; j < width; ++j)
                out[j][s] = reference ? distortionRatio(row[j], f) : 0.0f;
        } else {
            for (int j = 0; j < width; ++j) out[j][s] = row[j];
        }
    }
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
    return static_cast<int>(std::min<std::size_t>({static_cast<std::size_t>(n), kMaxThreads,
                                                   std::max<std::size_t>(work / 4, 1)}));
}

}  // namespace

float distortionRatio(float part, float fundamental) {
    const float r = static_cast<float>(static_cast<double>(part) / fundamental * 100.0);
    return std::isfinite(r) ? r : 0.0f;
}

int32_t nearestRankIndex(int percent, int32_t n) {
    const int64_t rank = (static_cast<int64_t>(percent) * n + 99) / 100;
    return static_cast<int32_t>(std::clamp<int64_t>(rank, 1, std::max(n, 1)));
}

float nearestRank(std::span<float> values, int percent) {
    if (values.empty()) return 0.0f;
    const auto nth = values.begin() + (nearestRankIndex(percent, static_cast<int32_t>(values.size())) - 1);
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
    // The 99th percentile lies at or after the 95th: the second selection needs only the values
    // the first left above it.
    const auto r95 = values.begin() + (nearestRankIndex(95, st.count) - 1);
    const auto r99 = values.begin() + (nearestRankIndex(99, st.count) - 1);
    std::nth_element(values.begin(), r95, values.end());
    st.p95 = *r95;
    if (r99 != r95) std::nth_element(r95 + 1, r99, values.end());
    st.p99 = *r99;
    return st;
}

StatisticsSource statisticsSourceOf(const HARMDIM& s) {
    return StatisticsSource{s.VoltageTable,  s.CurrentTable, s.ActivePower,
                            s.ReactivePower, s.VoltageThd,   s.CurrentThd,
                            s.OverloadTable, s.PhaseVoltage, s.PhaseCurrent,
                            s.LoadedRecords, s.ChannelCount, s.MaxOrderIndex,
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
    float* target = out.data();
    gatherGroup(layoutOf(source, column), 1, source.records, &target);
}

ColumnStatistics statisticsOf(const StatisticsSource& source, StatColumn column) {
    std::vector<float> values;
    columnValues(source, column, values);
    return columnStatistics(values);
}

std::vector<ColumnStatistics> statisticsOf(const StatisticsSource& source,
                                           std::span<const StatColumn> columns, int threads) {
    std::vector<ColumnStatistics> results(columns.size());
    const auto groups = groupsOf(source, columns);
    const std::size_t n = static_cast<std::size_t>(std::max(source.records, 0));
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        std::vector<float> buffer(n * kGroupWidth);
        float* out[kGroupWidth];
        for (int j = 0; j < kGroupWidth; ++j) out[j] = buffer.data() + n * j;
        for (std::size_t g; (g = next.fetch_add(1)) < groups.size();) {
            const auto [begin, end] = groups[g];
            const int width = static_cast<int>(end - begin);
            gatherGroup(layoutOf(source, columns[begin]), width, source.records, out);
            for (int j = 0; j < width; ++j)
                results[begin + static_cast<std::size_t>(j)] =
                    columnStatistics(std::span<float>(out[j], n));
        }
    };
    const int count = threadsFor(threads, groups.size());
    std::vector<std::jthread> pool;
    for (int t = 1; t < count; ++t) pool.emplace_back(work);
    work();
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
