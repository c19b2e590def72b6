// Item codes of the graph window's item list; the analysis tables, graph, print and CSV code use
// the same codes (slot = code - 1 in the period extremes).
#pragma once

#include <cstdint>

namespace hg {

enum ItemCode : int16_t {
    kVoltageDistortion = 1,
    kCurrentDistortion = 2,
    kActivePower = 3,
    kReactivePower = 4,
    kCurrent = 5,
    kPhaseDifference = 6,
    kImpedance = 7,
    kOverload = 8,
    kVoltageSuperposition = 9,
    kCurrentSuperposition = 10,
    kVoltage = 11,
    kPhaseVoltage = 12,
    kPhaseCurrent = 13,
    kPredictedDistortion = 14,
    kPredictedPhaseDifference = 15,
    kPredictedSuperposition = 16,
    kVoltageUnbalance = 22,  // list only: the unbalance view of 12
    kCurrentUnbalance = 23,  // list only: the unbalance view of 13
};
// The slot of an item in the period extremes and the ranking tables.
constexpr int slotOf(ItemCode code) {
    return code - 1;
}
// Order flags: entries 0..255 are orders 1..256; 256..259 are never orders (always 2).
constexpr int kJisuFlagCount = 260;
constexpr int kFirstUnavailableFlag = 256;

}  // namespace hg
