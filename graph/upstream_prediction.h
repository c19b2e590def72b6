// The upstream voltage prediction: for every loaded record and order, the line voltage on the
// upstream side of the supply transformer — the measured voltage plus the drop the measured
// harmonic current of one channel causes across the transformer's reactance — with its phase
// difference, its superposition angle, the total of the harmonics, and the axis maxima of the
// predicted distortion (item 14).
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/result.h"

namespace hg {

struct HARMDIM;

struct TransformerParameters {
    double capacity = 10;    // MVA
    double reactance = 8.0;  // percent
    double voltage = 6.6;    // kV
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

enum class PredictionRun { Computed, AlreadyHeld };

// Fills PredictTable, PredictAngle, PredictTotal for the record slots 0..LoadedRecords-1 and the
// axis maxima ItemMax(0, 13, k) from channel `channel` (0..ChannelCount, ChannelCount being the
// composite). The tables remember what they hold (HARMDIM::Prediction: channel, parameters and
// load; no channel at first, so channel 0 is computed too): when they already hold this channel,
// these parameters and the current load nothing is recomputed. Refuses parameters of 0 or less and
// a channel the load does not have.
Result<PredictionRun> UpstreamPrediction(HARMDIM& state, int channel,
                                         const TransformerParameters& parameters);

// True when the prediction tables hold this channel and these parameters for the current load.
bool predictionHeld(const HARMDIM& state, int channel, const TransformerParameters& parameters);

}  // namespace hg
