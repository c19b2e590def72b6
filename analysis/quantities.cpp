#include "analysis/quantities.h"

#include <array>
#include <cmath>
#include <cstring>

#include "analysis/degree_trig.h"
#include "analysis/harmdim.h"

namespace hg {

// Item slots (item code - 1) the load fills.
namespace {
constexpr int kSlotVoltageDistortion = 0;
constexpr int kSlotCurrentDistortion = 1;
constexpr int kSlotActivePower = 2;
constexpr int kSlotReactivePower = 3;
constexpr int kSlotCurrent = 4;
constexpr int kSlotImpedance = 6;
constexpr int kSlotOverload = 7;
constexpr int kSlotVoltage = 10;
constexpr int kSlotPhaseVoltage = 11;
constexpr int kSlotPhaseCurrent = 12;
constexpr int kMaxChannelRows = 16;  // C + 1 <= 10
constexpr int kMaxOrders = 256;

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

HG_VECTOR_CLONES int64_t computeRecordQuantities(HARMDIM& s, int32_t slot,
                                                 const RecordQuantityInputs& in) {
    int64_t outOfRange = 0;
    const int N = s.MaxOrderIndex;
    const int C = s.ChannelCount;
    const int K = N + 1;
    const auto k_ = static_cast<std::size_t>(K);
    const int step = N <= 24 ? 2 : 1;
    const bool first = in.firstRecord;
    const double powerK = in.powerFactorK;
    const auto& trig = degree_trig::tables();
    const float* V = s.VoltageTable.row(slot);
    Table<float>& itemMax = in.itemMax ? *in.itemMax : s.ItemMax;
    Table<float>& itemMin = in.itemMin ? *in.itemMin : s.ItemMin;

    // The loops over the orders compute every order's value and then select it, so that they can
    // run on vectors; sums keep their order (k ascending) and stay scalar.
    alignas(64) double cosines[kMaxOrders], sines[kMaxOrders];

    // 1. Powers and impedance, every order and channel (the composite included).
    for (int ch = 0; ch <= C; ++ch) {
        const float* I = s.CurrentTable.row(ch, slot);
        const int16_t* A = in.angles + static_cast<std::size_t>(ch) * k_;
        float* P = s.ActivePower.row(ch, slot);
        float* Q = s.ReactivePower.row(ch, slot);
        degree_trig::powerSinCos(trig, A, k_, sines, cosines);
        for (int k = 0; k < K; ++k) {
            const double i = I[k];
            const double v = V[k];
            const double vi = v * i;
            const float p = static_cast<float>(vi * cosines[k] / 1000.0 * powerK);
            const float q = static_cast<float>(vi * sines[k] / (-1000.0) * powerK);
            const bool live = I[k] > 0.01f;  // the same test as I > 0.01 for every single
            P[k] = live ? p : 0.0f;
            Q[k] = live ? q : 0.0f;
        }
        outOfRange += zeroNonFinite(P, k_) + zeroNonFinite(Q, k_);
        // Impedance: only a quotient above the maximum changes it. The product of two singles
        // is exact in double precision, so V <= max x I says exactly that V / I cannot exceed
        // the maximum, and most records need no division at all.
        float* maxZ = itemMax.row(ch, kSlotImpedance);
        const auto above = [&](int k) {
            return (I[k] > 0.0f) &
                   (static_cast<double>(V[k]) > static_cast<double>(maxZ[k]) * I[k]);
        };
        int anyAbove = 0;
        for (int k = 0; k < K; ++k) anyAbove |= above(k);
        if (anyAbove)
            for (int k = 0; k < K; ++k)
                if (above(k))
                    trackMax(maxZ[k], toSingle(static_cast<double>(V[k]) / I[k], outOfRange));
        maxInto(itemMax.row(ch, kSlotActivePower), P, K);
        minInto(itemMin.row(ch, kSlotActivePower), P, K);
        maxInto(itemMax.row(ch, kSlotReactivePower), Q, K);
        minInto(itemMin.row(ch, kSlotReactivePower), Q, K);
        maxInto(itemMax.row(ch, kSlotCurrent), I, K);
    }

    // 2. Voltage distortion and capacitor overload against the fundamental voltage, current
    // distortion against each channel's fundamental current.
    const double v0 = V[0];
    const bool voltageReference = v0 != 0.0;
    double accV = 0, accC = 0, accL = 1.05 * 1.05, accR = 0;
    if (voltageReference) {
        alignas(64) float ratio[kMaxOrders];
        alignas(64) double capacitor[kMaxOrders], reactorCapacitor[kMaxOrders], reactor[kMaxOrders];
        for (int k = 1; k < K; ++k) {
            const double vk = V[k];
            const double n = k * step + 1;
            const double term = 6.0 * n * n - 100.0;
            ratio[k] = static_cast<float>(vk / v0 * 100.0);
            const double c = n * vk / v0;
            capacitor[k] = c * c;
            const double l = -94.0 * n * vk / (term * v0);
            reactorCapacitor[k] = l * l;
            const double x = -94.0 * n * n * vk / (5.0 * v0 * term);
            reactor[k] = x * x;
        }
        if (K > 1) outOfRange += zeroNonFinite(ratio + 1, k_ - 1);
        maxInto(itemMax.row(0, kSlotVoltageDistortion) + 1, ratio + 1, K - 1);
        for (int k = 1; k < K; ++k) {
            accV += static_cast<double>(ratio[k]) * ratio[k];
            accC += capacitor[k];
            accL += reactorCapacitor[k];
            accR += reactor[k];
        }
    }
    std::array<double, kMaxChannelRows> accI{};
    alignas(64) float currentRatio[kMaxChannelRows][kMaxOrders];
    bool hasFundamental[kMaxChannelRows] = {};
    for (int ch = 0; ch <= C; ++ch) {
        const float* I = s.CurrentTable.row(ch, slot);
        hasFundamental[ch] = I[0] > 0.0f;
        if (!hasFundamental[ch] || K < 2) continue;
        float* q = currentRatio[ch];
        const double i0 = I[0];
        for (int k = 1; k < K; ++k) q[k] = static_cast<float>(I[k] / i0 * 100.0);
        outOfRange += zeroNonFinite(q + 1, k_ - 1);
        maxInto(itemMax.row(ch, kSlotCurrentDistortion) + 1, q + 1, K - 1);
    }
    for (int k = 1; k < K; ++k)
        for (int ch = 0; ch <= C; ++ch)
            if (hasFundamental[ch])
                accI[static_cast<std::size_t>(ch)] +=
                    static_cast<double>(currentRatio[ch][k]) * currentRatio[ch][k];

    // 3. Voltage extremes.
    maxInto(itemMax.row(0, kSlotVoltage), V, K);
    if (first)
        std::memcpy(itemMin.row(0, kSlotVoltage), V, k_ * sizeof(float));
    else
        minInto(itemMin.row(0, kSlotVoltage), V, K);

    // 4. Totals and their extremes.
    if (voltageReference) {
        s.VoltageThd(slot) = toSingle(std::sqrt(accV), outOfRange);
        s.OverloadTable(0, slot) = toSingle(100.0 * std::sqrt(accC + 1.0), outOfRange);
        s.OverloadTable(1, slot) = toSingle(100.0 * std::sqrt(accL), outOfRange);
        s.OverloadTable(2, slot) = toSingle(100.0 * std::sqrt(accR), outOfRange);
    } else {
        s.VoltageThd(slot) = 0.0f;
        for (int i = 0; i < 3; ++i) s.OverloadTable(i, slot) = 0.0f;
    }
    trackMax(itemMax(0, kSlotVoltageDistortion, 0), s.VoltageThd(slot));
    for (int ch = 0; ch <= C; ++ch) {
        const float thd = toSingle(std::sqrt(accI[static_cast<std::size_t>(ch)]), outOfRange);
        s.CurrentThd(ch, slot) = thd;
        trackMax(itemMax(ch, kSlotCurrentDistortion, 0), thd);
    }
    for (int i = 0; i < 3; ++i) {
        trackMax(itemMax(0, kSlotOverload, i), s.OverloadTable(i, slot));
        trackMinFromFirst(itemMin(0, kSlotOverload, i), s.OverloadTable(i, slot), first);
    }

    // 5. Unbalance of the line voltages and of each channel's phase currents.
    if (in.phaseValues) {
        const auto unbalance = [&](float* row) {
            const SequenceMagnitudes m = SequenceParts(row[0], row[1], row[2]);
            row[3] = toSingle(m.positive, outOfRange);
            row[4] = toSingle(m.negative, outOfRange);
            if (m.positive > 0) row[5] = toSingle(row[4] / m.positive * 100.0, outOfRange);
        };
        float* pv = s.PhaseVoltage.row(slot);
        unbalance(pv);
        for (int i = 0; i < 6; ++i) {
            trackMax(itemMax(0, kSlotPhaseVoltage, i), pv[i]);
            trackMinFromFirst(itemMin(0, kSlotPhaseVoltage, i), pv[i], first);
        }
        for (int ch = 0; ch <= C; ++ch) {
            float* pc = s.PhaseCurrent.row(ch, slot);
            unbalance(pc);
            for (int i = 0; i < 6; ++i) {
                trackMax(itemMax(ch, kSlotPhaseCurrent, i), pc[i]);
                trackMinFromFirst(itemMin(ch, kSlotPhaseCurrent, i), pc[i], first);
            }
        }
    }
    return outOfRange;
}

}  // namespace hg
