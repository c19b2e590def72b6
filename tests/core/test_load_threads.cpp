// The load split over threads gives, byte for byte, the tables, extremes and counts of the load on
// one thread: generated recordings with hard records, dropped time slots, stamps that are no time
// and values that are no number, over periods that start inside the file, run past its end or hold
// fewer slots than threads. The power tables, computed when first read, on whichever thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <thread>
#include <tuple>
#include <vector>

#include "analysis/harmdim.h"
#include "analysis/item_codes.h"
#include "datafile/synth.h"
#include "platform/dates.h"
#include "support_analysis.h"
#include "support_scratch.h"

namespace hg {
namespace {

// A generated recording of `records` records with some records spoiled after writing: stamps that
// are no time (12:60), a voltage that is no number and one of -0 (equal to the +0 of the records
// without harmonics, so only the order of the records decides which of the two a minimum keeps).
std::string spoiledRecording(const std::string& name, const SynthOptions& options,
                             const std::vector<int64_t>& badStamps, int64_t badValue,
                             int64_t negativeZero) {
    const std::string path = test::scratchPath(name);
    if (!writeSynth(path, options).ok()) return {};
    const int64_t length = kindFromName(name, std::nullopt)->layout.recordLength;
    std::vector<uint8_t> bytes = test::readBytes(path);
    const int16_t noTime = 1260;
    for (const int64_t r : badStamps)
        std::memcpy(bytes.data() + r * length + RecordLayout::timeOffset, &noTime, 2);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(bytes.data() + badValue * length + RecordLayout::voltageOffset + 4, &nan, 4);
    const float minusZero = -0.0f;
    std::memcpy(bytes.data() + negativeZero * length + RecordLayout::voltageOffset + 8, &minusZero,
                4);
    test::writeBytes(path, bytes);
    return path;
}

// The period text "yy/mm/dd hh:mm" of record r's stamp, moved by `minutes`.
std::string textAt(const SynthRecording& plan, int64_t r, int64_t minutes) {
    const double at = plan.stampOf(r) + static_cast<double>(minutes) / 1440.0;
    const int32_t minute = minuteOfDay(at);
    char time[16];
    std::snprintf(time, sizeof time, " %02d:%02d", minute / 60, minute % 60);
    return formatYyMmDd(at) + time;
}

// What a load reports and the tables and extremes it fills, compared byte for byte.
auto counts(const HARMDIM& s, const LoadReport& r) {
    return std::tuple(s.LoadedRecords, s.FirstRecord, r.loadedRecords, r.skippedRecords,
                      r.nonFiniteValues, r.outOfRangeValues, r.fileEnded, r.warnings);
}

// With the extremes as the graphs and `tables` read them (the power items' from the power tables).
void expectSameTables(const HARMDIM& a, const HARMDIM& b) {
    const auto same = [](const auto& x, const auto& y) {
        return x.size() == y.size() && std::memcmp(x.data(), y.data(), x.bytes()) == 0;
    };
    EXPECT_TRUE(same(a.itemMaxTable(), b.itemMaxTable()));
    EXPECT_TRUE(same(a.itemMinTable(), b.itemMinTable()));
    int n = 0;
    for (auto t : {&HARMDIM::RecordX, &HARMDIM::VoltageTable, &HARMDIM::VoltageThd,
                   &HARMDIM::CurrentThd, &HARMDIM::PhaseVoltage, &HARMDIM::PhaseCurrent,
                   &HARMDIM::OverloadTable, &HARMDIM::ItemMax, &HARMDIM::ItemMin})
        EXPECT_TRUE(same(a.*t, b.*t)) << "float table " << n++;
    EXPECT_TRUE(same(a.currentTable(), b.currentTable()));
    EXPECT_TRUE(same(a.activePower(), b.activePower()));
    EXPECT_TRUE(same(a.reactivePower(), b.reactivePower()));
    EXPECT_TRUE(same(a.AngleTable, b.AngleTable));
    EXPECT_EQ(a.SlotRecord, b.SlotRecord);
}

TEST(LoadThreads, SameTablesAsOneThread) {
    struct Case {
        const char* name;
        int64_t records;
        std::vector<int64_t> badStamps;
        int64_t badValue;
        int64_t negativeZero;
        int64_t cleanFrom, cleanTo;  // records whose stamps are all times, with a margin
    };
    // "hh3" records are large (their stamps are read alone by the walk over the stamps), "hv2"
    // ones small (read many at a time).
    const Case cases[] = {
        {"t.hh3", 70, {5, 33, 34, 68}, 40, 60, 6, 20},
        {"t.hv2", 230, {1, 76, 77, 78, 150, 228}, 120, 200, 2, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SynthOptions options;
        options.records = c.records;
        options.gaps = 6;
        options.adversarial = true;
        options.seed = 11;
        const std::string path =
            spoiledRecording(c.name, options, c.badStamps, c.badValue, c.negativeZero);
        auto plan = SynthRecording::plan(path, options);
        ASSERT_TRUE(plan.ok());
        const int64_t last = c.records - 1;
        struct Period {
            int64_t from, fromMinutes, to, toMinutes;
        };
        const Period periods[] = {
            {0, 0, last, 0},                // the whole file
            {3, -4, last, 600},             // from between two records to past the file's end
            {last - 2, 0, last, 0},         // a stamp that is no time among three slots
            {c.records / 3, 0, last, -10},  // a part of the file ending before its last record
            // Records whose stamps are all times.
            {c.cleanFrom, 0, c.cleanTo, 0},
        };
        for (const Period& p : periods) {
            SCOPED_TRACE(testing::Message() << "period from record " << p.from);
            const std::string start = textAt(*plan, p.from, p.fromMinutes);
            const std::string end = textAt(*plan, p.to, p.toMinutes);
            HARMDIM one;
            auto oneReport = test::loadRecording(one, path, start, end, 1);
            ASSERT_TRUE(oneReport.ok()) << oneReport.error();
            for (const int threads : {2, 3}) {
                SCOPED_TRACE(threads);
                HARMDIM many;
                auto manyReport = test::loadRecording(many, path, start, end, threads);
                ASSERT_TRUE(manyReport.ok()) << manyReport.error();
                EXPECT_EQ(counts(many, *manyReport), counts(one, *oneReport));
                if (&p == &periods[0]) {
                    EXPECT_EQ(manyReport->threads, threads);
                }
                expectSameTables(many, one);
            }
            // The period's records were all there to be compared.
            EXPECT_GT(one.LoadedRecords, 1);
            EXPECT_EQ(oneReport->threads, 1);
            if (&p == &periods[0]) {
                EXPECT_EQ(oneReport->skippedRecords, static_cast<int64_t>(c.badStamps.size()));
                EXPECT_EQ(oneReport->nonFiniteValues, 1);
            }
            // A period running past the file's end holds the records up to its last one.
            EXPECT_FALSE(oneReport->fileEnded);
        }
    }
}

}  // namespace
}  // namespace hg

namespace hg {
namespace {

// The power tables are not computed by the load; the first readers, on several threads at once,
// all get the one table, whole, and its values are those the load took the power extremes from.
TEST(LoadThreads, PowerTablesComputedOnceWhenFirstRead) {
    SynthOptions options;
    options.records = 1200;
    options.adversarial = true;
    const std::string path = test::scratchPath("powers.hh2");
    ASSERT_TRUE(writeSynth(path, options).ok());
    HARMDIM s;
    ASSERT_TRUE(test::loadRecording(s, path).ok());
    EXPECT_FALSE(s.powersComputed());
    std::vector<const Table<float>*> seen(4);
    {
        std::vector<std::jthread> readers;
        for (std::size_t i = 0; i < seen.size(); ++i)
            readers.emplace_back(
                [&s, &seen, i] { seen[i] = i % 2 ? &s.activePower() : &s.reactivePower(); });
    }
    EXPECT_TRUE(s.powersComputed());
    EXPECT_EQ(seen[0], seen[2]);
    EXPECT_EQ(seen[1], seen[3]);
    const int slots[2] = {slotOf(kActivePower), slotOf(kReactivePower)};
    for (int q = 0; q < 2; ++q) {
        const Table<float>& power = q == 0 ? s.activePower() : s.reactivePower();
        for (int ch = 0; ch <= s.ChannelCount; ++ch)
            for (int k = 0; k <= s.MaxOrderIndex; ++k) {
                float high = 0, low = 0;  // the extremes start at 0
                for (int32_t t = 0; t < s.LoadedRecords; ++t) {
                    high = std::max(high, power(ch, t, k));
                    low = std::min(low, power(ch, t, k));
                }
                ASSERT_EQ(high, s.itemMax(ch, slots[q], k)) << q << " " << ch << " " << k;
                ASSERT_EQ(low, s.itemMin(ch, slots[q], k)) << q << " " << ch << " " << k;
            }
    }
}

}  // namespace
}  // namespace hg
