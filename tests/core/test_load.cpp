// The graph-mode load: the first slot and RecordX, skipped stamps, values that are not numbers,
// the composite channel, the per-record quantities of hand-made records, the powers read back from
// the recording, and the sequence parts and extreme rules they use.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>

#include "analysis/harmdim.h"
#include "analysis/items.h"
#include "analysis/load.h"
#include "analysis/quantities.h"
#include "graph/cursor_readout.h"
#include "graph/graph_composition.h"
#include "platform/recording_canvas.h"
#include "support_analysis.h"

namespace hg {
namespace {

using test::loadRecording;
using test::writeRecording;

void plainRecord(int64_t, RecordValues& v) {
    v.V[0] = 100;
    v.current(0, 0) = 10;
}

TEST(Load, FirstSlotAndRecordX) {
    const std::string path = writeRecording("slots.hm1", 12, plainRecord);
    struct Case {
        const char* start;
        const char* end;
        int64_t firstRecord;
        int32_t loaded;
        float firstX;
        float lastX;
    };
    const Case cases[] = {
        // A start on a record: that record is slot 0 at x 0.
        {"19/05/29 00:20", "19/05/29 01:00", 2, 5, 0.0f, 2000.0f},
        // A start between two records: the next record, x above 0; the records after the end
        // are not the period's.
        {"19/05/29 00:22", "19/05/29 00:58", 3, 3, 2000.0f * 8 / 36, 2000.0f * 28 / 36},
        // A start before the file: its first record, up to the end.
        {"19/05/28 23:00", "19/05/29 00:30", 0, 4, 2000.0f * 60 / 90, 2000.0f * 90 / 90},
        // Start equal to end on a record: one slot.
        {"19/05/29 01:50", "19/05/29 01:50", 11, 1, 0.0f, 0.0f},
        // The end beyond the file: the file's last three records.
        {"19/05/29 01:30", "19/05/29 05:00", 9, 3, 0.0f, 2000.0f * 20 / 210},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        HARMDIM s;
        auto report = loadRecording(s, path, c.start, c.end);
        ASSERT_TRUE(report.ok()) << report.error();
        EXPECT_EQ(s.FirstRecord, c.firstRecord);
        EXPECT_EQ(s.LoadedRecords, c.loaded);
        EXPECT_FALSE(report->fileEnded);
        EXPECT_FLOAT_EQ(s.RecordX(0), c.firstX);
        EXPECT_FLOAT_EQ(s.RecordX(c.loaded - 1), c.lastX);
    }
}

TEST(Load, SkipsUnreadableStampsAndZeroesValuesThatAreNotNumbers) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::string path = writeRecording("bad.hm2", 8, [&](int64_t r, RecordValues& v) {
        plainRecord(r, v);
        v.current(1, 0) = 5;
        if (r == 3) v.time = 1260;  // 12:60 is no time
        if (r == 5) v.date = nan;
        if (r == 1) {
            v.V[3] = nan;
            v.current(0, 2) = inf;
            v.current(1, 0) = -inf;
        }
    });
    HARMDIM s;
    auto report = loadRecording(s, path, "19/05/29 00:00", "19/05/29 01:10");
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->skippedRecords, 2);
    EXPECT_EQ(report->nonFiniteValues, 3);
    EXPECT_EQ(report->warnings.size(), 2u);
    // Six slots: records 0, 1, 2, 4, 6, 7 (the skipped ones take no slot).
    EXPECT_EQ(s.LoadedRecords, 6);
    EXPECT_FLOAT_EQ(s.RecordX(4), 2000.0f * 60 / 70);
    EXPECT_EQ(s.currentTable()(1, 1, 0), 0.0f);
    for (const Table<float>* t : std::initializer_list<const Table<float>*>{
             &s.RecordX, &s.VoltageTable, &s.currentTable(), &s.activePower(), &s.reactivePower(),
             &s.VoltageThd, &s.CurrentThd, &s.PhaseVoltage, &s.PhaseCurrent, &s.OverloadTable,
             &s.ItemMax, &s.ItemMin})
        for (std::size_t i = 0; i < t->size(); ++i) ASSERT_TRUE(std::isfinite(t->data()[i]));
}

// The composite channel sums the channels' currents as vectors; its power uses its own angle.
// (The phase marker's powers are the kinds' test.)
TEST(Load, CompositeChannel) {
    struct Case {
        const char* name;
        int angle0, angle1;  // the second channel's only on "hm2"
        float magnitude;     // of the composite
        float power;         // 100 V x magnitude x cos(angle) / 1000 x sqrt 3
    };
    const Case cases[] = {
        {"c30.ha3", 30, 0, 10.0f, 1.5f},
        {"c120.ha3", 120, 0, 10.0f, -0.8660254f},
        {"c0_90.hm2", 0, 90, 14.142136f, 1.7320508f},  // 45 degrees
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = writeRecording(c.name, 2, [&](int64_t, RecordValues& v) {
            v.V[0] = 100;
            for (int ch = 0; ch < v.channels; ++ch) {
                v.current(ch, 0) = 10;
                v.angle(ch, 0) = static_cast<int16_t>(ch ? c.angle1 : c.angle0);
            }
        });
        HARMDIM s;
        ASSERT_TRUE(loadRecording(s, path).ok());
        const int C = s.ChannelCount;
        EXPECT_FLOAT_EQ(s.currentTable()(C, 0, 0), c.magnitude);
        EXPECT_NEAR(s.activePower()(C, 0, 0), c.power, 1e-5);
    }
}

// Hand-made records through the load: the fundamental only, a 5 % fifth, small currents, a dead
// fundamental, and the extreme rules.
TEST(Load, RecordQuantities) {
    const std::string path = writeRecording("q.hm1", 5, [](int64_t r, RecordValues& v) {
        plainRecord(r, v);                   // 0: the fundamental only
        if (r == 1) v.V[2] = 5;              // 1: a 5 % fifth (its overload is the kinds' test)
        if (r == 2) v.V[0] = 0, v.V[2] = 5;  // 2: a dead fundamental voltage
        if (r == 3) {  // larger voltage, reverse power flow; small currents at orders 3 and 5
            v.V[0] = 120, v.angle(0, 0) = 180;
            v.V[1] = v.V[2] = 100;
            v.current(0, 1) = 0.01f, v.current(0, 2) = 0.0101f;
        }
        if (r == 4) v.current(0, 1) = 5;
    });
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, path).ok());

    EXPECT_EQ(s.VoltageThd(0), 0.0f);
    EXPECT_FLOAT_EQ(s.OverloadTable(0, 0), 100.0f);
    EXPECT_FLOAT_EQ(s.OverloadTable(1, 0), 105.0f);
    EXPECT_EQ(s.OverloadTable(2, 0), 0.0f);

    EXPECT_EQ(s.activePower()(0, 3, 1), 0.0f);  // 0.01 A: no power
    EXPECT_EQ(s.reactivePower()(0, 3, 1), 0.0f);
    EXPECT_GT(s.activePower()(0, 3, 2), 0.0f);  // 0.0101 A

    EXPECT_EQ(s.VoltageThd(2), 0.0f);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(s.OverloadTable(i, 2), 0.0f);
    // Extremes: voltage min from the first record; power min from 0 catches the reverse flow.
    EXPECT_EQ(s.itemMin(0, 10, 0), 0.0f);
    EXPECT_LT(s.itemMin(0, 2, 0), 0.0f);
    EXPECT_FLOAT_EQ(s.itemMax(0, 1, 1), 50.0f);  // 5 A of 10 A
    EXPECT_FLOAT_EQ(s.itemMax(0, 6, 0), 12.0f);  // 120 V / 10 A
}

// The impedance maximum takes a quotient above it by the last digit of single precision, and one
// of currents and voltages among the smallest numbers single precision has.
TEST(Load, ImpedanceMaximaAtTheEdgesOfSinglePrecision) {
    constexpr float kSmallest = 1.4e-45f;  // 2^-149
    const float justAbove = std::nextafter(120.0f, 200.0f);
    const std::string path = writeRecording("z.hm1", 2, [&](int64_t r, RecordValues& v) {
        plainRecord(r, v);
        v.V[1] = r == 0 ? 120.0f : justAbove;
        v.V[2] = r == 0 ? 120.0f : 14 * kSmallest;
        v.current(0, 1) = v.current(0, 2) = r == 0 ? 10.0f : kSmallest;
        if (r == 1) v.current(0, 1) = 10.0f;
    });
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, path).ok());
    EXPECT_EQ(s.itemMax(0, 6, 1), static_cast<float>(static_cast<double>(justAbove) / 10.0));
    EXPECT_GT(s.itemMax(0, 6, 1), 12.0f);
    EXPECT_EQ(s.itemMax(0, 6, 2), 14.0f);
}

TEST(Load, UnbalanceOfLineVoltagesAndPhaseCurrents) {
    const std::string path = writeRecording("u.hv2", 2, [](int64_t r, RecordValues& v) {
        v.V[0] = v.Vp[0] = v.Vp[1] = 100;
        v.Vp[2] = r == 0 ? 90.0f : 100.0f;
        for (std::size_t i = 0; i < 6; ++i) v.Ip[i] = static_cast<float>(10 + i / 3 + i % 3);
    });
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, path).ok());
    EXPECT_NEAR(s.PhaseVoltage(0, 3), 96.55903, 1e-4);  // 100, 100, 90: small positive unbalance
    EXPECT_NEAR(s.PhaseVoltage(0, 5), 6.79276, 1e-5);
    EXPECT_LE(s.PhaseVoltage(1, 5), 1e-5f);     // balanced
    EXPECT_EQ(s.PhaseCurrent(2, 0, 2), 25.0f);  // the composite's phase currents are the sums
    EXPECT_EQ(s.itemMin(0, 11, 2), 90.0f);      // per-phase minimum from the first record

    // Line values near the single-precision limit: every sequence part too large is stored as 0
    // and counted, the negative sequence as its neighbours.
    const std::string huge = writeRecording("huge.ha5", 1, [](int64_t, RecordValues& v) {
        v.V[0] = 100;
        v.Vp[0] = v.Vp[1] = v.Vp[2] = 3.4e38f;
    });
    HARMDIM h;
    auto report = loadRecording(h, huge);
    ASSERT_TRUE(report.ok()) << report.error();
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(std::isfinite(h.PhaseVoltage(0, i))) << i;
    EXPECT_EQ(h.PhaseVoltage(0, 4), 0.0f);
    EXPECT_EQ(h.PhaseVoltage(0, 3), 0.0f);
    EXPECT_GE(report->outOfRangeValues, 2);
}

// Powers too large for a single are counted by the load (which does not compute the powers) just
// as the power tables store them as 0: around the bound where V x I x sqrt 3 / 1000 leaves the
// single range, on either side.
TEST(Load, PowersTooLargeAreCountedAtTheLoad) {
    // The count of the load's report, and the active and reactive power of the fifth's order.
    struct Counted {
        int64_t count;
        float p, q;
    };
    const auto load = [](const char* name, float volts, float amps, int16_t degrees) {
        const std::string path = writeRecording(name, 1, [&](int64_t r, RecordValues& v) {
            plainRecord(r, v);
            v.V[1] = volts, v.current(0, 1) = amps, v.angle(0, 1) = degrees;
        });
        HARMDIM s;
        auto report = loadRecording(s, path);
        EXPECT_TRUE(report.ok());
        return Counted{report ? report->outOfRangeValues : -1, s.activePower()(0, 0, 1),
                       s.reactivePower()(0, 0, 1)};
    };
    const Counted below = load("below.hm1", 1e20f, 0.99e21f, 45);  // V x I just under 1E+41
    EXPECT_EQ(below.count, 0);
    EXPECT_GT(below.p, 1e37f);
    // Each counted for the channel and for the composite of the one channel.
    EXPECT_EQ(load("cos.hm1", 1e20f, 5e21f, 0).count, 2);   // only the active power
    EXPECT_EQ(load("sin.hm1", 2e20f, 2e21f, 90).count, 2);  // only the reactive power
    const Counted both = load("both.hm1", 3e20f, 3e21f, 45);
    EXPECT_EQ(both.count, 4);
    EXPECT_EQ(both.p, 0.0f);
    EXPECT_EQ(both.q, 0.0f);
}

// The current and power tables read the currents and their angles back from the recording the
// load kept open: a record changed in place since is refused (the tables stay zero and are not
// drawn; the voltages still are), while a file replaced under the same name leaves the open
// recording as it was loaded.
TEST(Load, CurrentsAndPowersReadBackFromTheRecordingAsLoaded) {
    const auto record = [](int64_t r, RecordValues& v) {
        plainRecord(r, v);
        v.V[1] = 5, v.current(0, 1) = 2, v.angle(0, 1) = 30;
    };
    const std::string path = writeRecording("back.hm1", 4, record);
    HARMDIM replaced, changed;
    ASSERT_TRUE(loadRecording(replaced, path).ok());
    ASSERT_TRUE(loadRecording(changed, path).ok());
    const std::string moved = path + ".old";
    ASSERT_EQ(std::rename(path.c_str(), moved.c_str()), 0);
    writeRecording("back.hm1", 4, [&](int64_t r, RecordValues& v) {
        record(r, v);
        v.angle(0, 1) = 60;
    });
    EXPECT_EQ(replaced.powersFailure(), "");
    EXPECT_EQ(replaced.currentTable()(0, 2, 1), 2.0f);
    EXPECT_NEAR(replaced.activePower()(0, 2, 1),  // at the angle loaded, not the new file's
                5 * 2 * std::cos(30 * M_PI / 180) / 1000 * replaced.PowerFactorK, 1e-6);

    // Another record's current changed in place in the file `changed` still holds open.
    {
        std::fstream file(moved, std::ios::in | std::ios::out | std::ios::binary);
        const RecordLayout& layout = changed.Kind.layout;
        const float other = 3;
        file.seekp(2 * layout.recordLength + layout.currentOffset(0) + 4);
        file.write(reinterpret_cast<const char*>(&other), sizeof other);
    }
    EXPECT_NE(changed.currentsFailure().find("変わった"), std::string::npos);
    EXPECT_EQ(changed.powersFailure(), changed.currentsFailure());
    EXPECT_EQ(changed.currentTable()(0, 0, 1), 0.0f);
    EXPECT_EQ(changed.activePower()(0, 0, 1), 0.0f);
    std::vector<int16_t> orders(260, 2);
    orders[0] = orders[1] = 1;
    for (const int item : {kCurrent, kActivePower, kVoltageDistortion}) {
        RecordingCanvas canvas(640, 480);
        GraphRequest request;
        request.item = static_cast<int16_t>(item);
        request.group = 1;
        request.orders = orders;
        const bool voltage = item == kVoltageDistortion;
        EXPECT_EQ(composeGraph(canvas, changed, request).curves > 0, voltage) << item;
        EXPECT_EQ(canvas.findText(changed.currentsFailure()) != nullptr, !voltage) << item;
        EXPECT_EQ(tablesFailureFor(changed, item).empty(), voltage) << item;
        EXPECT_EQ(cursorReadout(changed, request, 0).lines.empty(), !voltage) << item;
    }
}

TEST(SequenceParts, WorkedTriangles) {
    struct Case {
        float a, b, c;
        double positive, negative, unbalance;  // unbalance: negative / positive x 100
    };
    const Case cases[] = {
        {100, 100, 90, 96.55903, 6.559028, 6.79276},
        {100, 50, 50, 50, 50, 100},  // degenerate: still real values
        {100, 40, 40, 62.70607, 21.63213, 34.4977},
        {100, 100, 100, 100, 0, 0},  // balanced: rounding noise only
    };
    for (const Case& c : cases) {
        const SequenceMagnitudes m = SequenceParts(c.a, c.b, c.c);
        EXPECT_NEAR(m.positive, c.positive, 1e-4 * c.positive) << c.c;
        EXPECT_NEAR(m.negative, c.negative, 1e-4 * std::max(1.0, c.negative)) << c.c;
        EXPECT_NEAR(m.negative / m.positive * 100, c.unbalance, 1e-4 * std::max(1.0, c.unbalance))
            << c.c;
    }
}

TEST(ExtremeRules, MaxFromZeroMinFromZeroAndMinFromFirst) {
    float max = 0, minZero = 0, minFirst = 0;
    for (const float x : {5.0f, 3.0f, 7.0f}) {
        trackMax(max, x);
        trackMinFromZero(minZero, x);
        trackMinFromFirst(minFirst, x, x == 5.0f);
    }
    EXPECT_EQ(max, 7.0f);
    EXPECT_EQ(minZero, 0.0f);  // never above 0
    EXPECT_EQ(minFirst, 3.0f);
    int64_t outOfRange = 0;  // a double a single cannot hold counts, and is 0
    EXPECT_EQ(toSingle(1e300, outOfRange), 0.0f);
    EXPECT_EQ(toSingle(2.5, outOfRange), 2.5f);
    EXPECT_EQ(outOfRange, 1);
}

}  // namespace
}  // namespace hg
