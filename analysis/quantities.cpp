#include "analysis/quantities.h"

#include <array>
#include <cmath>
#include <cstring>

#include "analysis/degree_trig.h"
#include "analysis/harmdim.h"
#include "analysis/item_codes.h"
#include "analysis/percent_of_fundamental.h"

namespace hg {

// Item slots (item code - 1) the load fills.
namespace {
constexpr int kSlotVoltageDistortion = slotOf(kVoltageDistortion);
constexpr int kSlotCurrentDistortion = slotOf(kCurrentDistortion);
constexpr int kSlotCurrent = slotOf(kCurrent);
constexpr int kSlotImpedance = slotOf(kImpedance);
constexpr int kSlotOverload = slotOf(kOverload);
constexpr int kSlotVoltage = slotOf(kVoltage);
constexpr int kSlotPhaseVoltage = slotOf(kPhaseVoltage);
constexpr int kSlotPhaseCurrent = slotOf(kPhaseCurrent);
constexpr int kMaxChannelRows = 16;  // C + 1 <= 10
constexpr int kMaxOrders = kMaxRecordOrders;

// Track max / track min from 0 of a row of values into a row of cells.
HG_INLINE void maxInto(float* __restrict cells, const float* __restrict values, int n) {
    for (int k = 0; k < n; ++k) cells[k] = values[k] > cells[k] ? values[k] : cells[k];
}
HG_INLINE void minInto(float* __restrict cells, const float* __restrict values, int n) {
    for (int k = 0; k < n; ++k) cells[k] = values[k] < cells[k] ? values[k] : cells[k];
}
}  // namespace

SequenceMagnitudes SequenceParts(float a, float b, float c) {
    const double da = a, db = b, dc = c;
    const float h = static_cast<float>((da + db + dc) / 2.0);
    const double dh = h;
    const double q = (da * da + db * db + dc * dc) / 6.0;
    const double area = std::sqrt(std::fabs(dh * (dh - da) * (dh - db) * (dh - dc)));
    const double t = (2.0 / std::sqrt(3.0)) * area;
    SequenceMagnitudes out;
    out.positive = std::sqrt(q + t);
    out.negative = std::sqrt(std::fabs(q - t));
    return out;
}

namespace {

// What every step of one record's work reads: the record's slot, its sizes and voltages, and the
// extremes it updates.
struct RecordWork {
    HARMDIM& s;
    int32_t slot;
    int C;  // channel rows C + 1, the composite last
    int K;  // order indexes
    std::size_t k_;
    const float* V;
    const float* currents;  // (C+1) x K
    Table<float>& itemMax;
    Table<float>& itemMin;
    bool first;

    const float* I(int ch) const { return currents + static_cast<std::size_t>(ch) * k_; }
};

// The sums over the orders of the voltage distortion and of the capacitor overload of the three
// circuits (capacitor, reactor with capacitor, reactor).
struct VoltageSums {
    double accV = 0, accC = 0, accL = 1.05 * 1.05, accR = 0;
};

// The loops over the orders compute every order's value and then select it, so that they can run
// on vectors; sums keep their order (k ascending) and stay scalar. Every step is inlined into each
// version of computeRecordQuantities.

// Impedance: only a quotient above the maximum changes it. The product of two singles is exact
// in double precision, so V <= max x I says exactly that V / I cannot exceed the maximum, and
// most records need no division at all.
HG_INLINE void trackImpedance(float* maxZ, const float* V, const float* I, int K,
                              int64_t& outOfRange) {
    // First a single-precision test that lets every order above through: the product rounded,
    // less a thousandth and the smallest numbers' steps, lies below the exact one. Most records
    // stop here; the others are decided exactly.
    const auto mayBeAbove = [&](int k) {
        return (I[k] > 0.0f) & (V[k] >= maxZ[k] * I[k] * 0.999f - 1e-44f);
    };
    int anyMayBe = 0;
    for (int k = 0; k < K; ++k) anyMayBe |= mayBeAbove(k);
    if (!anyMayBe) return;
    const auto above = [&](int k) {
        return (I[k] > 0.0f) & (static_cast<double>(V[k]) > static_cast<double>(maxZ[k]) * I[k]);
    };
    int anyAbove = 0;
    for (int k = 0; k < K; ++k) anyAbove |= above(k);
    if (anyAbove)
        for (int k = 0; k < K; ++k)
            if (above(k)) trackMax(maxZ[k], toSingle(static_cast<double>(V[k]) / I[k], outOfRange));
}

// The powers of one channel row that single precision cannot hold (stored as 0 in the power
// tables), counted as the load's warning counts them; a row whose powers cannot overflow (all but
// absurd inputs) needs no powers at all.
HG_INLINE int64_t powersOutOfRange(const float* V, const float* I, const int16_t* A, std::size_t K,
                                   double powerK) {
    if (!powersMayOverflow(V, I, K)) return 0;
    alignas(64) float P[kMaxOrders], Q[kMaxOrders];
    return rowPowers(V, I, A, K, powerK, P, Q);
}

// 1. Impedance and current of channel row `ch`, every order, and their extremes; the powers only
// for their count of values too large (their tables and extremes are computed when first read).
HG_INLINE void channelExtremes(const RecordWork& w, int ch, const RecordQuantityInputs& in,
                               int64_t& outOfRange) {
    const double powerK = in.powerFactorK;
    const float* V = w.V;
    const float* I = w.I(ch);
    const int16_t* A =
        ch == w.C ? in.compositeAngles : in.angles + static_cast<std::size_t>(ch) * w.k_;
    outOfRange += powersOutOfRange(V, I, A, w.k_, powerK);
    trackImpedance(w.itemMax.row(ch, kSlotImpedance), V, I, w.K, outOfRange);
    maxInto(w.itemMax.row(ch, kSlotCurrent), I, w.K);
}

// 2a. Voltage distortion of every order against the fundamental voltage v0 (not 0), its extremes,
// and the sums of the totals.
HG_INLINE VoltageSums voltageDistortion(const RecordWork& w, double v0) {
    const int step = w.K <= 25 ? 2 : 1;
    const float* V = w.V;
    VoltageSums sums;
    alignas(64) float ratio[kMaxOrders];
    alignas(64) double capacitor[kMaxOrders], reactorCapacitor[kMaxOrders], reactor[kMaxOrders];
    for (int k = 1; k < w.K; ++k) {
        const double vk = V[k];
        const double n = k * step + 1;
        const double term = 6.0 * n * n - 100.0;
        ratio[k] = static_cast<float>(percentOfFundamental(vk, v0));
        const double c = n * vk / v0;
        capacitor[k] = c * c;
        const double l = -94.0 * n * vk / (term * v0);
        reactorCapacitor[k] = l * l;
        const double x = -94.0 * n * n * vk / (5.0 * v0 * term);
        reactor[k] = x * x;
    }
    maxInto(w.itemMax.row(0, kSlotVoltageDistortion) + 1, ratio + 1, w.K - 1);
    for (int k = 1; k < w.K; ++k) {
        sums.accV += static_cast<double>(ratio[k]) * ratio[k];
        sums.accC += capacitor[k];
        sums.accL += reactorCapacitor[k];
        sums.accR += reactor[k];
    }
    return sums;
}

// 2b. Current distortion of every channel row against its fundamental current, its extremes, and
// the sums of the totals (0 for a row without a fundamental, every ratio being 0).
HG_INLINE std::array<double, kMaxChannelRows> currentDistortion(const RecordWork& w) {
    std::array<double, kMaxChannelRows> accI{};
    if (w.K <= 1) return accI;
    alignas(64) float q[kMaxChannelRows][kMaxOrders];
    const float* ratios[kMaxChannelRows];
    const int rows = w.C + 1;
    for (int ch = 0; ch < rows; ++ch) {
        currentDistortionRatios(w.I(ch), w.K, q[ch]);
        maxInto(w.itemMax.row(ch, kSlotCurrentDistortion) + 1, q[ch] + 1, w.K - 1);
        ratios[ch] = q[ch];
    }
    squaresSums(ratios, rows, w.K, accI.data());
    return accI;
}

// 4. The totals (voltage distortion, overload; 0 without a fundamental voltage), the current
// distortion of every channel row, and their extremes.
HG_INLINE void storeTotals(const RecordWork& w, const VoltageSums* sums,
                           const std::array<double, kMaxChannelRows>& accI, int64_t& outOfRange) {
    HARMDIM& s = w.s;
    const int32_t slot = w.slot;
    if (sums) {
        s.VoltageThd(slot) = toSingle(std::sqrt(sums->accV), outOfRange);
        s.OverloadTable(0, slot) = toSingle(100.0 * std::sqrt(sums->accC + 1.0), outOfRange);
        s.OverloadTable(1, slot) = toSingle(100.0 * std::sqrt(sums->accL), outOfRange);
        s.OverloadTable(2, slot) = toSingle(100.0 * std::sqrt(sums->accR), outOfRange);
    } else {
        s.VoltageThd(slot) = 0.0f;
        for (int i = 0; i < 3; ++i) s.OverloadTable(i, slot) = 0.0f;
    }
    trackMax(w.itemMax(0, kSlotVoltageDistortion, 0), s.VoltageThd(slot));
    for (int ch = 0; ch <= w.C; ++ch) {
        const float thd = toSingle(std::sqrt(accI[static_cast<std::size_t>(ch)]), outOfRange);
        s.CurrentThd(ch, slot) = thd;
        trackMax(w.itemMax(ch, kSlotCurrentDistortion, 0), thd);
    }
    for (int i = 0; i < 3; ++i) {
        trackMax(w.itemMax(0, kSlotOverload, i), s.OverloadTable(i, slot));
        trackMinFromFirst(w.itemMin(0, kSlotOverload, i), s.OverloadTable(i, slot), w.first);
    }
}

// The positive- and negative-sequence magnitudes and the unbalance of the three values at
// row[0..2] into row[3..5] (the unbalance only when the positive sequence is not 0).
HG_INLINE void unbalanceInto(float* row, int64_t& outOfRange) {
    const SequenceMagnitudes m = SequenceParts(row[0], row[1], row[2]);
    row[3] = toSingle(m.positive, outOfRange);
    row[4] = toSingle(m.negative, outOfRange);
    if (m.positive > 0) row[5] = toSingle(row[4] / m.positive * 100.0, outOfRange);
}

// 5. Unbalance of the line voltages and of each channel row's phase currents, and the extremes
// of the six values of each.
HG_INLINE void phaseUnbalance(const RecordWork& w, int64_t& outOfRange) {
    const auto track = [&](float* row, int ch, int item) {
        unbalanceInto(row, outOfRange);
        for (int i = 0; i < 6; ++i) {
            trackMax(w.itemMax(ch, item, i), row[i]);
            trackMinFromFirst(w.itemMin(ch, item, i), row[i], w.first);
        }
    };
    track(w.s.PhaseVoltage.row(w.slot), 0, kSlotPhaseVoltage);
    for (int ch = 0; ch <= w.C; ++ch)
        track(w.s.PhaseCurrent.row(ch, w.slot), ch, kSlotPhaseCurrent);
}

}  // namespace

HG_VECTOR_CLONES int64_t computeRecordQuantities(HARMDIM& s, int32_t slot,
                                                 const RecordQuantityInputs& in) {
    int64_t outOfRange = 0;
    const int K = s.MaxOrderIndex + 1;
    const RecordWork w{s,
                       slot,
                       s.ChannelCount,
                       K,
                       static_cast<std::size_t>(K),
                       s.VoltageTable.row(slot),
                       in.currents,
                       in.itemMax ? *in.itemMax : s.ItemMax,
                       in.itemMin ? *in.itemMin : s.ItemMin,
                       in.firstRecord};

    // 1. Impedance and current, every order and channel (the composite included).
    for (int ch = 0; ch <= w.C; ++ch) channelExtremes(w, ch, in, outOfRange);

    // 2. Voltage distortion and capacitor overload against the fundamental voltage, current
    // distortion against each channel's fundamental current.
    const double v0 = w.V[0];
    const bool voltageReference = v0 != 0.0;
    VoltageSums sums;
    if (voltageReference) sums = voltageDistortion(w, v0);
    const std::array<double, kMaxChannelRows> accI = currentDistortion(w);

    // 3. Voltage extremes.
    maxInto(w.itemMax.row(0, kSlotVoltage), w.V, K);
    if (w.first)
        std::memcpy(w.itemMin.row(0, kSlotVoltage), w.V, w.k_ * sizeof(float));
    else
        minInto(w.itemMin.row(0, kSlotVoltage), w.V, K);

    // 4. Totals and their extremes.
    storeTotals(w, voltageReference ? &sums : nullptr, accI, outOfRange);

    // 5. Unbalance of the line voltages and of each channel's phase currents.
    if (in.phaseValues) phaseUnbalance(w, outOfRange);
    return outOfRange;
}

}  // namespace hg
