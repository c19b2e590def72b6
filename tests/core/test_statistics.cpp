// Statistics of the loaded period: nearest-rank percentiles on hand-worked sets, one column's
// figures, every column of a real load against the load's own extremes and a sorted reference,
// one rule for a distortion ratio on every path, and the time stamp of a slot.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

#include "analysis/harmdim.h"
#include "analysis/item_codes.h"
#include "analysis/percent_of_fundamental.h"
#include "analysis/series_value.h"
#include "compliance/statistics.h"
#include "graph/spectrum.h"
#include "platform/dates.h"
#include "support_analysis.h"

namespace hg {
namespace {

using test::loadRecording;
using test::writeRecording;

std::vector<float> oneTo(int n) {
    std::vector<float> v(static_cast<std::size_t>(n));
    std::iota(v.begin(), v.end(), 1.0f);
    std::shuffle(v.begin(), v.end(), std::mt19937(7));
    return v;
}

TEST(Statistics, NearestRank) {
    struct Case {
        std::vector<float> values;
        int percent;
        float expected;
    };
    const Case cases[] = {
        {oneTo(20), 95, 19},  // 0.95 · 20 is 19 exactly: rank 19, never 20
        {oneTo(20), 99, 20},  // rank ⌈19.8⌉
        {oneTo(100), 95, 95},
        {oneTo(100), 99, 99},
        {oneTo(101), 95, 96},  // rank ⌈95.95⌉
        {{7}, 95, 7},          // one record
        {{7}, 99, 7},
        {{3, 3, 3, 3}, 95, 3},     // all equal
        {{1, 2, 2, 2, 5}, 95, 5},  // ties: rank ⌈4.75⌉ = 5
        {{1, 2, 2, 2, 5}, 50, 2},  // rank 3 among the ties
        {{5, 1, 4, 2, 3}, 40, 2},  // rank 2
        {{-1, -3, -2}, 99, -1},
    };
    for (const Case& c : cases) {
        std::vector<float> v = c.values;
        EXPECT_EQ(nearestRank(v, c.percent), c.expected)
            << c.values.size() << " values, p" << c.percent;
    }
    std::vector<float> none;
    EXPECT_EQ(nearestRank(none, 95), 0.0f);
}

TEST(Statistics, OneColumn) {
    std::vector<float> v = {2, 5, 1, 5, 3};
    const ColumnStatistics st = columnStatistics(v);
    EXPECT_EQ(st.count, 5);
    EXPECT_EQ(st.max, 5);
    EXPECT_EQ(st.maxSlot, 1);  // the first of the equal maxima
    EXPECT_EQ(st.min, 1);
    EXPECT_DOUBLE_EQ(st.mean, 3.2);
    EXPECT_EQ(st.p95, 5);
    EXPECT_EQ(st.p99, 5);

    std::vector<float> none;
    EXPECT_EQ(columnStatistics(none).count, 0);
    EXPECT_EQ(columnStatistics(none).maxSlot, -1);
}

// The reference of one column: its values sorted whole.
ColumnStatistics sortedReference(std::vector<float> v) {
    ColumnStatistics st;
    st.count = static_cast<int32_t>(v.size());
    st.maxSlot = static_cast<int32_t>(std::max_element(v.begin(), v.end()) - v.begin());
    st.mean = std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    std::sort(v.begin(), v.end());
    const auto at = [&](int p) {
        return v[static_cast<std::size_t>(
                     std::ceil(p * static_cast<double>(v.size()) / 100 - 1e-9)) -
                 1];
    };
    st.min = v.front();
    st.max = v.back();
    st.p95 = at(95);
    st.p99 = at(99);
    return st;
}

// Every column's figures are those of its values sorted whole: the values of the source's slots
// among those of the tables from the first slot on.
void expectSortedReference(const StatisticsSource& source, const std::vector<StatColumn>& columns,
                           const std::vector<ColumnStatistics>& all) {
    StatisticsSource fromFirstSlot = source;
    fromFirstSlot.firstSlot = 0;
    fromFirstSlot.records = source.firstSlot + source.records;
    std::vector<float> values;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const StatColumn c = columns[i];
        columnValues(fromFirstSlot, c, values);
        values.erase(values.begin(), values.begin() + source.firstSlot);
        ColumnStatistics want = sortedReference(values);
        want.maxSlot += source.firstSlot;
        const ColumnStatistics& got = all[i];
        SCOPED_TRACE(::testing::Message() << "quantity " << static_cast<int>(c.quantity)
                                          << " channel " << c.channel << " index " << c.index);
        EXPECT_EQ(got.count, want.count);
        EXPECT_EQ(got.max, want.max);
        EXPECT_EQ(got.maxSlot, want.maxSlot);
        EXPECT_EQ(got.min, want.min);
        EXPECT_NEAR(got.mean, want.mean, 1e-9 * std::max(1.0, std::fabs(want.mean)));
        EXPECT_EQ(got.p95, want.p95);
        EXPECT_EQ(got.p99, want.p99);
    }
}

TEST(Statistics, EveryColumnOfALoad) {
    // Per-phase values, two channels, odd orders: every quantity the tables hold.
    const std::string path = writeRecording("stats.hv2", 157, [](int64_t r, RecordValues& v) {
        std::mt19937 rng(static_cast<unsigned>(r));
        std::uniform_real_distribution<float> u(0.0f, 1.0f);
        for (int k = 0; k < v.orders; ++k) v.V[k] = k == 0 ? 6600 : 200 * u(rng);
        for (int ch = 0; ch < v.channels; ++ch)
            for (int k = 0; k < v.orders; ++k) {
                v.current(ch, k) = k == 0 ? (r % 13 == 0 ? 0.0f : 50 + u(rng)) : 5 * u(rng);
                v.A[static_cast<std::size_t>(ch * v.orders + k)] =
                    static_cast<int16_t>(r * 7 % 360);
            }
        for (float& p : v.Vp) p = 6500 + 200 * u(rng);
        for (float& p : v.Ip) p = 40 + u(rng);
    });
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, path));
    const StatisticsSource source = statisticsSourceOf(s);
    const std::vector<StatColumn> columns = allColumns(source);
    ASSERT_EQ(columns.size(), std::size_t{25 * 2 + 25 * 3 * 4 + 3 + 6 + 6 * 3});
    const auto all = statisticsOf(source, columns, 3);
    expectSortedReference(source, columns, all);
    EXPECT_EQ(all[0].count, 157);
    // The maxima agree with the extremes the load kept on its own.
    const auto at = [&](StatQuantity q, int ch, int k) {
        const auto it = std::find(columns.begin(), columns.end(),
                                  StatColumn{q, static_cast<int16_t>(ch), static_cast<int16_t>(k)});
        return all[static_cast<std::size_t>(it - columns.begin())];
    };
    for (int k = 0; k <= s.MaxOrderIndex; ++k) {
        EXPECT_EQ(at(StatQuantity::VoltageDistortion, 0, k).max, s.ItemMax(0, 0, k)) << k;
        EXPECT_EQ(at(StatQuantity::Voltage, 0, k).min, s.ItemMin(0, 10, k)) << k;
        for (int ch = 0; ch <= s.ChannelCount; ++ch) {
            EXPECT_EQ(at(StatQuantity::CurrentDistortion, ch, k).max, s.ItemMax(ch, 1, k));
            EXPECT_EQ(at(StatQuantity::Current, ch, k).max, s.ItemMax(ch, 4, k));
        }
    }
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(at(StatQuantity::PhaseVoltage, 0, i).max, s.ItemMax(0, 11, i));
}

TEST(Statistics, LongPeriodsAgreeWithASortedReference) {
    // Long enough for the selection among the largest values only. Order 3 drifts upward over
    // the period (a poor sample would misjudge it); order 5 is high at every fifth record only,
    // which is where a sample of a 2560-record period looks; order 7 is all equal.
    const std::string path = writeRecording("long.hm1", 2560, [](int64_t r, RecordValues& v) {
        std::mt19937 rng(static_cast<unsigned>(r));
        v.V[0] = 100;
        v.V[1] = static_cast<float>(r) * 0.01f + std::uniform_real_distribution<float>(0, 1)(rng);
        v.V[2] = r % 5 == 0 && r < 400 ? 100.0f : static_cast<float>(r % 97);
        v.V[3] = 2.5f;
        v.current(0, 0) = 10;
    });
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, path));
    const StatisticsSource source = statisticsSourceOf(s);
    const std::vector<StatColumn> columns = allColumns(source);
    expectSortedReference(source, columns, statisticsOf(source, columns, 2));
    // A stretch of the period (a zoomed graph's records), its maxima's slots those of the tables.
    StatisticsSource stretch = source;
    stretch.firstSlot = 400;
    stretch.records = 2100;
    expectSortedReference(stretch, columns, statisticsOf(stretch, columns, 2));
}

// One rule for a distortion ratio on every path: the load's totals and extremes and the
// statistics (in single precision), the graph series and the spectrum agree record by record for
// fundamentals of 0, subnormal ones (the ratio too large for single precision, or not), a plain
// and a negative one.
TEST(Statistics, PercentOfFundamentalIsOneRuleOnEveryPath) {
    constexpr float kTiny = 1e-40f;
    const struct {
        float fundamental, part, percent;
    } cases[] = {{0, 3, 0}, {kTiny, 3, 0}, {kTiny, kTiny / 4, 25}, {100, 3, 3}, {-10, 3, -30}};
    constexpr int32_t kRecords = 5;
    // The 5th (order index 2) over the fundamental, in the voltage and in channel 1's current.
    const std::string path = writeRecording("fund.hm1", kRecords, [&](int64_t r, RecordValues& v) {
        v.V[0] = v.current(0, 0) = cases[r].fundamental;
        v.V[2] = v.current(0, 2) = cases[r].part;
    });
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, path));
    for (const int16_t item : {kVoltageDistortion, kCurrentDistortion}) {
        const bool voltage = item == kVoltageDistortion;
        std::vector<float> statistics;
        columnValues(
            statisticsSourceOf(s),
            {voltage ? StatQuantity::VoltageDistortion : StatQuantity::CurrentDistortion, 0, 2},
            statistics);
        float highest = 0;
        for (int32_t r = 0; r < kRecords; ++r) {
            const double percent = percentOfFundamental(cases[r].part, cases[r].fundamental);
            const float stored = static_cast<float>(percent);
            EXPECT_NEAR(percent, cases[r].percent, 1e-2) << r;
            highest = std::max(highest, stored);
            // A record with one harmonic: its total is that harmonic's ratio, without the sign.
            EXPECT_EQ(voltage ? s.VoltageThd(r) : s.CurrentThd(0, r), std::fabs(stored)) << r;
            EXPECT_EQ(statistics[static_cast<std::size_t>(r)], stored) << r;
            EXPECT_EQ(seriesValue(s, item, r, 2, 0, 1).value, percent) << r;
            if (!voltage) continue;
            const Spectrum spectrum = spectrumAt(s, r, 0);
            EXPECT_EQ(spectrum.orders[2].distortion, percent) << r;
            EXPECT_EQ(spectrum.orders[0].distortion, cases[r].fundamental == 0 ? 0 : 100) << r;
        }
        EXPECT_EQ(s.ItemMax(0, item - 1, 2), highest);
    }
}

TEST(Statistics, SlotTimeIsTheRecordStamp) {
    // Records every 10 minutes; the period starts between two records.
    const std::string path =
        writeRecording("times.hm1", 40, [](int64_t, RecordValues& v) { v.V[0] = 100; });
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, path, "19/05/29 00:25", "19/05/29 06:00"));
    ASSERT_GT(s.LoadedRecords, 30);
    for (int slot = 0; slot < s.LoadedRecords; ++slot) {
        const int minutes = 30 + 10 * slot;
        const std::string want = "19/05/29 " + std::string(minutes / 60 < 10 ? "0" : "") +
                                 std::to_string(minutes / 60) + ":" +
                                 (minutes % 60 < 10 ? "0" : "") + std::to_string(minutes % 60);
        EXPECT_EQ(formatYyMmDdHhMm(slotTime(s.RecordX(slot), s.AnalysisStart, s.PeriodMinutes)),
                  want);
    }
}

}  // namespace
}  // namespace hg
