// The value of a graph series at a record for every item code, the phase-difference angle, the
// fundamental factor, and the records whose value is undefined.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "analysis/harmdim.h"
#include "analysis/series_value.h"
#include "analysis/upstream_prediction.h"
#include "support_analysis.h"

namespace hg {
namespace {

TEST(SeriesValue, PhaseDifferenceIsTheAngleOfPAndMinusQ) {
    for (auto [p, q, degrees] : {std::tuple{-1.0f, 1.0f, -135.0},
                                 {-1.0f, -1.0f, 135.0},
                                 {1.0f, 1.0f, -45.0},
                                 {1.0f, -1.0f, 45.0},
                                 {0.0f, 0.0f, 0.0}})
        EXPECT_NEAR(phaseDifferenceAngle(p, q), degrees, 1e-4) << p << ", " << q;
}

TEST(SeriesValue, ItemCodesReadTheirTables) {
    // Two channels with per-phase values; record 1 has no current on channel 1.
    const std::string path = test::writeRecording("series.hv2", 2, [](int64_t r, RecordValues& v) {
        v.V[0] = 6600, v.V[2] = 132, v.VR[2] = 77;
        v.current(0, 0) = 20, v.angle(0, 0) = -30;
        v.current(0, 2) = 4, v.angle(0, 2) = 150;
        v.current(1, 0) = r == 0 ? 10.0f : 0.0f;
        v.current(1, 2) = r == 0 ? 1.0f : 0.0f;
        v.Vp[0] = 6600, v.Vp[1] = 6590, v.Vp[2] = 6610;
        for (std::size_t i = 0; i < 6; ++i) v.Ip[i] = 10.0f + static_cast<float>(i);
    });
    HARMDIM s;
    ASSERT_TRUE(test::loadRecording(s, path).ok());
    Prediction p;
    p.PredictTable.dim(1, 24);
    p.PredictAngle.dim(1, 1, 24);
    p.PredictTotal.dim(1);
    p.PredictTable(0, 0) = 6000;
    p.PredictTable(0, 2) = 60;
    p.PredictTotal(0) = 120;
    p.PredictAngle(0, 0, 2) = -33;
    p.PredictAngle(1, 0, 2) = 44;

    struct Case {
        int16_t item;
        int series;
        int channel;
        double expected;
    };
    // Voltage (item 11) is channel 0's whatever the window's channel; the unbalance views (22, 23)
    // read the per-phase tables; other codes (0, 40) read as item 1.
    const double phase = phaseDifferenceAngle(s.activePower()(0, 0, 2), s.reactivePower()(0, 0, 2));
    const Case cases[] = {{1, 0, 1, s.VoltageThd(0)},
                          {1, 2, 1, 2},  // 132 V of 6600 V
                          {2, 0, 1, s.CurrentThd(1, 0)},
                          {2, 2, 0, 20},
                          {2, 2, 1, 10},
                          {3, 2, 0, s.activePower()(0, 0, 2)},
                          {4, 2, 1, s.reactivePower()(1, 0, 2)},
                          {5, 2, 0, 4},
                          {6, 2, 0, phase},
                          {7, 2, 0, 33},
                          {8, 1, 0, s.OverloadTable(1, 0)},
                          {9, 2, 0, 77},
                          {10, 2, 0, 0},
                          {11, 2, 1, 132},
                          {12, 5, 1, s.PhaseVoltage(0, 5)},
                          {13, 1, 1, 14},
                          {14, 0, 0, 2},  // 120 V of 6000 V predicted
                          {14, 2, 0, 1},
                          {15, 2, 0, -33},
                          {16, 2, 0, 44},
                          {22, 5, 0, s.PhaseVoltage(0, 5)},
                          {23, 5, 1, s.PhaseCurrent(1, 0, 5)},
                          {0, 2, 0, 2},
                          {40, 2, 0, 2}};
    for (const Case& c : cases) {
        const SeriesValue v = seriesValue(s, c.item, 0, c.series, c.channel, 1.0, &p);
        EXPECT_FALSE(v.atTopEdge);
        EXPECT_NEAR(v.value, c.expected, 1e-4 * std::max(1.0, std::fabs(c.expected)))
            << "item " << c.item << " series " << c.series;
    }
}

TEST(SeriesValue, FundamentalFactorAndUndefinedValues) {
    const std::string path = test::writeRecording("factor.hm2", 2, [](int64_t r, RecordValues& v) {
        v.V[0] = r == 0 ? 100.0f : 0.0f;
        v.V[1] = 3;
        v.current(0, 0) = 10;
        v.current(0, 1) = 2;
        v.current(1, 1) = 1;  // channel 1 has no fundamental current
    });
    HARMDIM s;
    ASSERT_TRUE(test::loadRecording(s, path).ok());
    // The factor multiplies series 0 of items 3, 4, 5, 7 and 11 only.
    for (int16_t item = 1; item <= 16; ++item) {
        const double plain = seriesValue(s, item, 0, 0, 0, 1.0).value;
        const bool applies = item == 3 || item == 4 || item == 5 || item == 7 || item == 11;
        EXPECT_DOUBLE_EQ(seriesValue(s, item, 0, 0, 0, 0.5).value, applies ? plain * 0.5 : plain)
            << item;
        EXPECT_DOUBLE_EQ(seriesValue(s, item, 0, 1, 0, 0.5).value,
                         seriesValue(s, item, 0, 1, 0, 1.0).value)
            << item;
    }
    // A zero predicted fundamental: the ratio is 0; zero current puts the impedance on the top
    // edge.
    EXPECT_EQ(seriesValue(s, 14, 0, 1, 0, 1).value, 0.0);
    EXPECT_TRUE(seriesValue(s, 7, 0, 0, 1, 1).atTopEdge);
    EXPECT_FALSE(seriesValue(s, 7, 0, 0, 0, 1).atTopEdge);
    EXPECT_DOUBLE_EQ(seriesValue(s, 7, 0, 0, 0, 1).value, 10.0);
    // Slots not loaded and indexes outside the tables give 0.
    EXPECT_EQ(seriesValue(s, 11, 2, 0, 0, 1).value, 0.0);
    EXPECT_EQ(seriesValue(s, 11, 0, 25, 0, 1).value, 0.0);
    EXPECT_EQ(seriesValue(s, 5, 0, 0, 7, 1).value, 0.0);
}

}  // namespace
}  // namespace hg
