#include "analysis/upstream_prediction.h"

#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"
#include "analysis/quantities.h"
#include "datafile/record_format.h"
#include "platform/classic.h"

namespace hg {

namespace {
constexpr double kQuadrantPi = 3.1415926535;  // quadrant corrections
constexpr double kDegreePi = 3.141592;        // radians to degrees

// An angle in degrees as a whole number folded into -180..179 (halves to even).
float foldedDegrees(double degreesPlus540) {
    const auto whole = toInt32(degreesPlus540);
    if (!whole) return 0.0f;
    int32_t m = *whole % 360;
    if (m < 0) m += 360;
    return static_cast<float>(m - 180);
}

}  // namespace

TransformerParameters transformerParameters(std::string_view capacity, std::string_view reactance,
                                            std::string_view voltage) {
    return {val(capacity), val(reactance), val(voltage)};
}

double transformerReactance(const TransformerParameters& p) {
    return p.reactance / 100.0 * p.voltage * p.voltage / p.capacity;
}

Status checkTransformerParameters(const TransformerParameters& p) {
    const auto positive = [](double x) { return std::isfinite(x) && x > 0; };
    if (!positive(p.capacity) || !positive(p.reactance) || !positive(p.voltage))
        return Error{
            "変圧器の容量（MVA）・リアクタンス（%）・電圧（kV）には 0 "
            "より大きい数値を入れてください"};
    if (!std::isfinite(transformerReactance(p)))
        return Error{"変圧器の定数が大きすぎるか小さすぎます"};
    return success();
}

bool predictionHeld(const Prediction* prediction, int channel, const TransformerParameters& p) {
    return prediction && prediction->channel == channel &&
           prediction->parameters.capacity == p.capacity &&
           prediction->parameters.reactance == p.reactance &&
           prediction->parameters.voltage == p.voltage;
}

Result<std::shared_ptr<const Prediction>> UpstreamPrediction(const HARMDIM& s, int channel,
                                                             const TransformerParameters& p) {
    if (auto ok = checkTransformerParameters(p); !ok) return Error{ok.error()};
    if (channel < 0 || channel > s.ChannelCount)
        return Error{"チャンネル " + std::to_string(channel) + " はありません（0〜" +
                     std::to_string(s.ChannelCount) + "）"};
    const long records = s.LoadedRecords;
    const long N = s.MaxOrderIndex;
    if (records > 0 && !s.currentTable().contains(channel, records - 1, N))
        return Error{"解析テーブルが用意されていません（実行からやり直してください）"};
    auto out = std::make_shared<Prediction>();
    out->channel = static_cast<int16_t>(channel);
    out->parameters = p;
    const long P = std::max<long>(s.PeriodRecords, records > 0 ? records - 1 : 0);
    out->PredictTable.dim(P, N);
    out->PredictAngle.dim(1, P, N);
    out->PredictTotal.dim(P);
    out->PredictMax.dim(N);
    if (records > 0 && (!out->PredictTable.contains(records - 1, N) ||
                        !out->PredictAngle.contains(1, records - 1, N) ||
                        !out->PredictTotal.contains(records - 1) || !out->PredictMax.contains(N)))
        return Error{"予測計算に必要なメモリが足りません"};

    const double Z = transformerReactance(p);
    const double root3 = std::sqrt(3.0);
    const int step = orderStepOf(static_cast<int>(N));
    int64_t outOfRange = 0;
    float* maxRow = out->PredictMax.data();

    for (long t = 0; t < records; ++t) {
        const float* V = s.VoltageTable.row(t);
        const float* I = s.currentTable().row(channel, t);
        const float* P = s.activePower().row(channel, t);
        const float* Q = s.reactivePower().row(channel, t);
        const int16_t* superposition = s.AngleTable.row(0, t);
        float* predicted = out->PredictTable.row(t);
        float* phase = out->PredictAngle.row(0, t);
        float* angle = out->PredictAngle.row(1, t);
        float total = 0.0f;
        for (long k = 0; k <= N; ++k) {
            const double n = static_cast<double>(k * step + 1);
            const double v = V[k], i = I[k], pw = P[k], q = Q[k];
            const double S = std::sqrt(pw * pw + q * q) + 1e-20;
            const double vr = v / root3 + n * Z * i * q / S;
            const double vi = n * Z * i * pw / S;
            predicted[k] = toSingle(std::sqrt(vr * vr + vi * vi) * root3, outOfRange);
            double theta = std::atan(vi / (vr + 1e-20));
            if (vr < 0) theta -= kQuadrantPi;
            double phi = std::atan(-q / (pw + 1e-20));
            if (pw < 0) phi -= kQuadrantPi;
            phase[k] = foldedDegrees((phi + theta) * 180.0 / kDegreePi + 540.0);
            angle[k] = foldedDegrees(theta * 180.0 / kDegreePi + superposition[k] + 540.0);
            if (k >= 1)
                total = toSingle(
                    static_cast<double>(total) + static_cast<double>(predicted[k]) * predicted[k],
                    outOfRange);
        }
        total = static_cast<float>(std::sqrt(static_cast<double>(total)));
        out->PredictTotal(t) = total;

        // Axis maxima of the predicted distortion; a record whose fundamental prediction is 0
        // has no percentage and is left out.
        const double fundamental = predicted[0];
        if (fundamental != 0) {
            trackMax(maxRow[0], toSingle(total / fundamental * 100.0, outOfRange));
            for (long k = 1; k <= N; ++k)
                trackMax(maxRow[k], toSingle(predicted[k] / fundamental * 100.0, outOfRange));
        }
    }
    return std::shared_ptr<const Prediction>(std::move(out));
}

}  // namespace hg
