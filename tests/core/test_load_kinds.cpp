// Every kind loaded from two hand-made records: each block lands in its table, and the derived
// quantities and the period's extremes are the numbers worked out by hand below.
//
// Both records: a 100 V fundamental; channel 0 carries 10 A at 60 degrees (record 0) and at -60
// (record 1); on files of several channels the last channel carries 10 A at the mirrored angle, so
// that the composite is 10 A at 0 degrees. The last channel also carries 2 A at the last order
// (a current distortion of 2 / 10 = 20 % on it and on the composite). Record 0 holds a 5 %
// harmonic at order index 2, record 1 a 1 % one at the last order index. Voltage superposition
// angles are k + 1, current ones -(k + 1); the line voltages are 100, 100, 100 then 100, 100, 90;
// channel c's phase currents (c + 1) x (1, 2, 3), a flat triangle: unbalance 100 %.
#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/harmdim.h"
#include "support_analysis.h"

namespace hg {
namespace {

void twoRecords(int64_t r, RecordValues& v) {
    const int N = v.orders - 1, last = v.channels - 1;
    v.V[0] = 100;
    v.V[static_cast<std::size_t>(r == 0 ? 2 : N)] = r == 0 ? 5.0f : 1.0f;
    const int16_t angle = r == 0 ? 60 : -60;
    v.current(0, 0) = 10, v.angle(0, 0) = angle;
    if (last > 0) v.current(last, 0) = 10, v.angle(last, 0) = static_cast<int16_t>(-angle);
    v.current(last, N) = 2;
    for (int k = 0; k <= N; ++k) {
        v.VR[static_cast<std::size_t>(k)] = static_cast<int16_t>(k + 1);
        v.IR[static_cast<std::size_t>(k)] = static_cast<int16_t>(-(k + 1));
    }
    v.Vp[0] = v.Vp[1] = 100, v.Vp[2] = r == 0 ? 100.0f : 90.0f;
    for (int ch = 0; ch <= last; ++ch)
        for (int i = 0; i < 3; ++i)
            v.Ip[static_cast<std::size_t>(ch * 3 + i)] = static_cast<float>((ch + 1) * (i + 1));
}

// Capacitor overload of record 0, rows without reactor, with 6 % reactor, the reactor itself.
// Odd orders: index 2 is the 5th, 100 sqrt(1 + 0.25^2) = 103.0776, 100 sqrt(1.05^2 + (94 x 5 x
// 0.05 / 50)^2) = 115.0391, 100 x 94 x 25 x 0.05 / 250 = 47. All orders: index 2 is the 3rd,
// 100 sqrt(1 + 0.15^2) = 101.1187, 100 sqrt(1.05^2 + (14.1 / 46)^2) = 109.3826, 100 x 42.3 / 230
// = 18.3913. Record 1's 1 % at order 49 (256) gives 100 sqrt(1 + 0.49^2) = 111.3598 (274.8381).
struct Overload {
    float withoutReactor, withReactor, reactor, record1WithoutReactor;
};
constexpr Overload kOddOrders{103.0776f, 115.0391f, 47.0f, 111.3598f};
constexpr Overload kAllOrders{101.1187f, 109.3826f, 18.3913f, 274.8381f};

struct KindCase {
    const char* name;
    bool shortHn;
    // Powers of record 0 (sqrt 3 without a phase marker): channel 0's 1000 W x cos 60, its
    // reactive -1000 var x sin 60, the composite's active power (10 A at 0 or at 60 degrees).
    float p0, q0, pComposite;
    int16_t vr1, vrMid, vrLast, irLast;  // superposition angles at indexes 1, min(48, N) and N
    float lastLineVoltage;               // Vuw of record 1
    float lastIw, compositeIw;           // phase current Iw of the last channel and of the sum
};

class LoadKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(LoadKinds, BlocksQuantitiesAndExtremes) {
    const KindCase& c = GetParam();
    HARMDIM s;
    ASSERT_TRUE(
        test::loadRecording(s, test::writeRecording(c.name, 2, twoRecords, c.shortHn)).ok());
    const int N = s.MaxOrderIndex, C = s.ChannelCount, last = C - 1;
    const Overload& o = N == 24 ? kOddOrders : kAllOrders;
    ASSERT_EQ(s.LoadedRecords, 2);
    EXPECT_EQ(s.VoltageTable(1, N), 1.0f);
    EXPECT_FLOAT_EQ(s.VoltageThd(0), 5);
    EXPECT_NEAR(s.OverloadTable(0, 0), o.withoutReactor, 1e-3);
    EXPECT_NEAR(s.OverloadTable(1, 0), o.withReactor, 1e-3);
    EXPECT_NEAR(s.OverloadTable(2, 0), o.reactor, 1e-3);
    EXPECT_NEAR(s.activePower()(0, 0, 0), c.p0, 1e-5);
    EXPECT_NEAR(s.reactivePower()(0, 0, 0), c.q0, 1e-5);
    EXPECT_NEAR(s.currentTable()(C, 0, 0), 10, 1e-5);
    EXPECT_NEAR(s.activePower()(C, 0, 0), c.pComposite, 1e-5);
    EXPECT_FLOAT_EQ(s.CurrentThd(last, 0), 20);
    EXPECT_FLOAT_EQ(s.CurrentThd(C, 0), 20);
    EXPECT_EQ(s.AngleTable(0, 0, 1), c.vr1);
    EXPECT_EQ(s.AngleTable(0, 0, std::min(48, N)), c.vrMid);
    EXPECT_EQ(s.AngleTable(0, 1, N), c.vrLast);
    EXPECT_EQ(s.AngleTable(1, 1, N), c.irLast);
    EXPECT_EQ(s.PhaseVoltage(1, 2), c.lastLineVoltage);
    EXPECT_EQ(s.PhaseCurrent(last, 0, 2), c.lastIw);
    EXPECT_EQ(s.PhaseCurrent(C, 0, 2), c.compositeIw);
    EXPECT_NEAR(s.PhaseCurrent(C, 0, 5), c.compositeIw > 0 ? 100 : 0, 1e-4);
    // Extremes: maxima from 0, power minima from 0, voltage, overload and per-phase minima from
    // the first record.
    EXPECT_FLOAT_EQ(s.itemMax(0, 0, 0), 5);        // voltage distortion
    EXPECT_FLOAT_EQ(s.itemMax(0, 0, N), 1);        // 1 V of 100 V
    EXPECT_FLOAT_EQ(s.itemMax(last, 1, 0), 20);    // current distortion
    EXPECT_EQ(s.itemMin(0, 2, 0), 0.0f);           // active power, positive in both records
    EXPECT_NEAR(s.itemMax(0, 3, 0), -c.q0, 1e-5);  // reactive power at -60 degrees
    EXPECT_NEAR(s.itemMin(0, 3, 0), c.q0, 1e-5);
    EXPECT_NEAR(s.itemMax(C, 4, 0), 10, 1e-5);     // current
    EXPECT_FLOAT_EQ(s.itemMax(0, 6, 0), 10);       // 100 V / 10 A
    EXPECT_FLOAT_EQ(s.itemMax(last, 6, N), 0.5f);  // 1 V / 2 A
    EXPECT_NEAR(s.itemMin(0, 7, 0), o.withoutReactor, 1e-3);
    EXPECT_NEAR(s.itemMax(0, 7, 0), o.record1WithoutReactor, 1e-3);
    EXPECT_EQ(s.itemMin(0, 10, 0), 100.0f);  // voltage
    EXPECT_EQ(s.itemMin(0, 10, 2), 0.0f);
    EXPECT_EQ(s.itemMin(0, 11, 2), c.lastLineVoltage);
}

constexpr float kP = 0.8660254f, kQ = -1.5f, kPAll = 1.7320508f;  // sqrt 3 x 0.5, -0.866, 1

INSTANTIATE_TEST_SUITE_P(
    EveryKind, LoadKinds,
    ::testing::Values(KindCase{"k.ha3", false, kP, kQ, kP, 0, 0, 0, 0, 0, 0, 0},
                      KindCase{"k.ha4", false, kP, kQ, kP, 2, 25, 25, -25, 0, 0, 0},
                      KindCase{"k.ha5", false, kP, kQ, kP, 0, 0, 0, 0, 90, 3, 3},
                      KindCase{"k.ha6", false, kP, kQ, kP, 0, 0, 0, 0, 90, 3, 3},
                      KindCase{"k.hm3", false, kP, kQ, kPAll, 0, 0, 0, 0, 0, 0, 0},
                      KindCase{"k.Rhm2", false, 0.5f, -0.8660254f, 1, 0, 0, 0, 0, 0, 0, 0},
                      KindCase{"k.hv2", false, kP, kQ, kPAll, 2, 25, 25, 0, 90, 6, 9},
                      KindCase{"k.hh2", false, kP, kQ, kPAll, 0, 0, 0, 0, 0, 0, 0},
                      KindCase{"k.hn2", false, kP, kQ, kPAll, 2, 49, 256, 0, 0, 0, 0},
                      // The short form holds the angles of the odd orders 1..49 only.
                      KindCase{"k.hn1", true, kP, kQ, kP, 0, 49, 0, 0, 0, 0, 0}),
    [](const auto& info) {
        return std::string(info.param.name + 2) + (info.param.shortHn ? "_short" : "");
    });

}  // namespace
}  // namespace hg
