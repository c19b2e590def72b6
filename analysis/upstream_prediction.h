// The upstream voltage prediction: for every loaded record and order, the line voltage on the
// upstream side of the supply transformer — the measured voltage plus the drop the measured
// harmonic current of one channel causes across the transformer's reactance — with its phase
// difference, its superposition angle, the total of the harmonics, and the axis maxima of the
// predicted distortion (item 14).
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "analysis/table.h"
#include "platform/result.h"

namespace hg {

struct HARMDIM;

struct TransformerParameters {
    double capacity = 10;    // MVA
    double reactance = 8.0;  // percent
    double voltage = 6.6;    // kV
    friend bool operator==(const TransformerParameters&, const TransformerParameters&) = default;
};

// The three parameter texts as the graph window holds them, read by their leading numeric part
// (0 when there is none).
TransformerParameters transformerParameters(std::string_view capacity, std::string_view reactance,
                                            std::string_view voltage);

// The transformer's reactance at the fundamental: (x / 100) x U^2 / C ohms (0.3485 at the
// initial 10 MVA, 8 %, 6.6 kV).
double transformerReactance(const TransformerParameters& p);

// Refuses, with a message, parameters that are not numbers above 0.
Status checkTransformerParameters(const TransformerParameters& p);

// The prediction of one channel with one transformer over a loaded period. It belongs to the graph
// window (or the printed sheet) that asked for it; the loaded tables are only read.
struct Prediction {
    int16_t channel = 0;
    TransformerParameters parameters;
    Table<float> PredictTable;  // (rec, k) predicted voltage
    Table<float> PredictAngle;  // (0..1, rec, k) phase difference, superposition angle
    Table<float> PredictTotal;  // (rec) total of the harmonics
    // (k) axis maxima of the predicted distortion (% of the fundamental; k = 0 the total).
    Table<float> PredictMax;
};

// Computes the prediction from channel `channel` (0..ChannelCount, ChannelCount being the
// composite) for the record slots 0..LoadedRecords-1. Refuses parameters of 0 or less and a
// channel the load does not have.
Result<std::shared_ptr<const Prediction>> UpstreamPrediction(
    const HARMDIM& state, int channel, const TransformerParameters& parameters);

// True when `prediction` is of this channel with these parameters.
bool predictionHeld(const Prediction* prediction, int channel,
                    const TransformerParameters& parameters);

}  // namespace hg
