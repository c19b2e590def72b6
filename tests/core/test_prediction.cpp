// The upstream voltage prediction: the transformer reactance, the predicted values of known
// records, what a prediction is of, and refused parameters.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/harmdim.h"
#include "analysis/upstream_prediction.h"
#include "support_analysis.h"

namespace hg {
namespace {

std::string predictionRecording() {
    return test::writeRecording("predict.hv2", 3, [](int64_t r, RecordValues& v) {
        v.V[0] = r == 2 ? 0.0f : 6600.0f;  // no fundamental at all at record 2
        v.current(0, 0) = r == 2 ? 0.0f : 20.0f, v.angle(0, 0) = -30;
        v.current(1, 0) = r == 2 ? 0.0f : 8.0f;
        v.angle(1, 0) = r == 1 ? 170 : -20;  // reverse flow on channel 1 at record 1
        v.V[2] = 33;                         // order 5, no current
        v.V[3] = 66, v.current(0, 3) = 5, v.angle(0, 3) = 30, v.VR[3] = 10;  // order 7
    });
}

TEST(UpstreamPrediction, ReactanceAndPredictedValues) {
    const TransformerParameters initial = transformerParameters("10", "8.0", "6.6");
    EXPECT_NEAR(transformerReactance(initial), 0.3485, 1e-4);

    HARMDIM s;
    ASSERT_TRUE(test::loadRecording(s, predictionRecording()).ok());
    auto run = UpstreamPrediction(s, 0, initial);
    ASSERT_TRUE(run.ok()) << run.error();
    const Prediction& p = **run;
    EXPECT_TRUE(predictionHeld(&p, 0, initial));
    EXPECT_FALSE(predictionHeld(&p, 1, initial));
    EXPECT_FALSE(predictionHeld(&p, 0, TransformerParameters{20, 8, 6.6}));
    // Order index 2 (5th) carries no current: the prediction is the measured voltage, at the
    // measured superposition angle.
    EXPECT_FLOAT_EQ(p.PredictTable(0, 2), 33.0f);
    EXPECT_EQ(p.PredictAngle(1, 0, 2), 0.0f);
    // The 7th harmonic, 66 V and 5 A at 30 degrees, through 7 Z: V/sqrt 3 + 7 Z I (Q + jP) / S
    // = 32.007 + j10.563 per phase, 58.378 V between lines at 18.26 degrees; the phase difference
    // adds the current's 30 degrees, the superposition angle the measured 10.
    EXPECT_NEAR(p.PredictTable(0, 3), 58.3781, 1e-3);
    EXPECT_EQ(p.PredictAngle(0, 0, 3), 48.0f);
    EXPECT_EQ(p.PredictAngle(1, 0, 3), 28.0f);
    // The total is the root sum of squares of the harmonics; the axis maximum of item 14 the
    // largest percentage, leaving out the record without a fundamental prediction.
    EXPECT_NEAR(p.PredictTotal(0), 67.0597, 1e-3);  // sqrt(33^2 + 58.378^2)
    EXPECT_EQ(p.PredictTable(2, 0), 0.0f);
    EXPECT_FLOAT_EQ(p.PredictMax(3), p.PredictTable(0, 3) / p.PredictTable(0, 0) * 100);
    EXPECT_FLOAT_EQ(p.PredictMax(0), p.PredictTotal(0) / p.PredictTable(0, 0) * 100);
    // Reverse flow: the current angle lies in the left half-plane, so the phase difference
    // moves by about 180 degrees against the forward record. Channel 0's prediction stays.
    auto reverse = UpstreamPrediction(s, 1, initial);
    ASSERT_TRUE(reverse.ok());
    const Prediction& r = **reverse;
    EXPECT_LT(s.activePower()(1, 1, 0), 0.0f);
    for (int t = 0; t < 3; ++t)
        for (int k = 0; k <= 24; ++k)
            EXPECT_TRUE(r.PredictAngle(0, t, k) >= -180 && r.PredictAngle(0, t, k) < 180) << k;
    EXPECT_GT(std::fabs(r.PredictAngle(0, 1, 0) - r.PredictAngle(0, 0, 0)), 150.0f);
    EXPECT_NEAR(p.PredictTable(0, 3), 58.3781, 1e-3);
}

TEST(UpstreamPrediction, RefusesParametersAndChannelsItCannotUse) {
    HARMDIM s;
    ASSERT_TRUE(test::loadRecording(s, predictionRecording()).ok());
    for (const TransformerParameters& p : {TransformerParameters{0, 8, 6.6},
                                           {10, -1, 6.6},
                                           {10, 8, 0},
                                           transformerParameters("10", "abc", "6.6")})
        EXPECT_NE(UpstreamPrediction(s, 0, p).error().find("0 より大きい"), std::string::npos);
    EXPECT_FALSE(UpstreamPrediction(s, 3, TransformerParameters{}).ok());
    EXPECT_FALSE(UpstreamPrediction(s, -1, TransformerParameters{}).ok());
}

}  // namespace
}  // namespace hg
