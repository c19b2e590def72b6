#include "analysis/quantities.h"

#include <array>
#include <cmath>

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
    out.negative = static_cast<float>(std::sqrt(std::fabs(q - t)));
    return out;
}

int64_t computeRecordQuantities(HARMDIM& s, int32_t slot, const RecordQuantityInputs& in) {
    int64_t outOfRange = 0;
    const int N = s.MaxOrderIndex;
    const int C = s.ChannelCount;
    const int K = N + 1;
    const int step = N <= 24 ? 2 : 1;
    const bool first = in.firstRecord;
    const double powerK = in.powerFactorK;
    const auto& trig = degree_trig::tables();
    const float* V = s.VoltageTable.row(slot);

    // 1. Powers and impedance, every order and channel (the composite included).
    for (int ch = 0; ch <= C; ++ch) {
        const float* I = s.CurrentTable.row(ch, slot);
        const int16_t* A = in.angles + static_cast<std::size_t>(ch) * static_cast<std::size_t>(K);
        float* P = s.ActivePower.row(ch, slot);
        float* Q = s.ReactivePower.row(ch, slot);
        float* maxP = s.ItemMax.row(ch, kSlotActivePower);
        float* minP = s.ItemMin.row(ch, kSlotActivePower);
        float* maxQ = s.ItemMax.row(ch, kSlotReactivePower);
        float* minQ = s.ItemMin.row(ch, kSlotReactivePower);
        float* maxI = s.ItemMax.row(ch, kSlotCurrent);
        float* maxZ = s.ItemMax.row(ch, kSlotImpedance);
        for (int k = 0; k < K; ++k) {
            const double i = I[k];
            const double v = V[k];
            float p = 0.0f, q = 0.0f;
            if (!(i <= 0.01)) {
                const double vi = v * i;
                p = toSingle(vi * degree_trig::powerCos(trig, A[k]) / 1000.0 * powerK, outOfRange);
                q = toSingle(vi * degree_trig::powerSin(trig, A[k]) / (-1000.0) * powerK,
                             outOfRange);
            }
            P[k] = p;
            Q[k] = q;
            trackMax(maxP[k], p);
            trackMinFromZero(minP[k], p);
            trackMax(maxQ[k], q);
            trackMinFromZero(minQ[k], q);
            trackMax(maxI[k], I[k]);
            if (i > 0) trackMax(maxZ[k], toSingle(v / i, outOfRange));
        }
    }

    // 2. Voltage distortion and capacitor overload against the fundamental voltage, current
    // distortion against each channel's fundamental current.
    const double v0 = V[0];
    const bool voltageReference = v0 != 0.0;
    double accV = 0, accC = 0, accL = 1.05 * 1.05, accR = 0;
    std::array<double, kMaxChannelRows> accI{};
    float* maxVoltageRatio = s.ItemMax.row(0, kSlotVoltageDistortion);
    for (int k = 1; k < K; ++k) {
        const double vk = V[k];
        if (voltageReference) {
            const float r = toSingle(vk / v0 * 100.0, outOfRange);
            trackMax(maxVoltageRatio[k], r);
            accV += static_cast<double>(r) * r;
            const double n = k * step + 1;
            const double reactorTerm = 6.0 * n * n - 100.0;
            const double c = n * vk / v0;
            accC += c * c;
            const double l = -94.0 * n * vk / (reactorTerm * v0);
            accL += l * l;
            const double x = -94.0 * n * n * vk / (5.0 * v0 * reactorTerm);
            accR += x * x;
        }
        for (int ch = 0; ch <= C; ++ch) {
            const float* I = s.CurrentTable.row(ch, slot);
            if (I[0] > 0.0f) {
                const float q = toSingle(static_cast<double>(I[k]) / I[0] * 100.0, outOfRange);
                trackMax(s.ItemMax(ch, kSlotCurrentDistortion, k), q);
                accI[static_cast<std::size_t>(ch)] += static_cast<double>(q) * q;
            }
        }
    }

    // 3. Voltage extremes.
    float* maxV = s.ItemMax.row(0, kSlotVoltage);
    float* minV = s.ItemMin.row(0, kSlotVoltage);
    for (int k = 0; k < K; ++k) {
        trackMax(maxV[k], V[k]);
        trackMinFromFirst(minV[k], V[k], first);
    }

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
    trackMax(s.ItemMax(0, kSlotVoltageDistortion, 0), s.VoltageThd(slot));
    for (int ch = 0; ch <= C; ++ch) {
        const float thd = toSingle(std::sqrt(accI[static_cast<std::size_t>(ch)]), outOfRange);
        s.CurrentThd(ch, slot) = thd;
        trackMax(s.ItemMax(ch, kSlotCurrentDistortion, 0), thd);
    }
    for (int i = 0; i < 3; ++i) {
        trackMax(s.ItemMax(0, kSlotOverload, i), s.OverloadTable(i, slot));
        trackMinFromFirst(s.ItemMin(0, kSlotOverload, i), s.OverloadTable(i, slot), first);
    }

    // 5. Unbalance of the line voltages and of each channel's phase currents.
    if (in.phaseValues) {
        const auto unbalance = [&](float* row) {
            const SequenceMagnitudes m = SequenceParts(row[0], row[1], row[2]);
            row[3] = toSingle(m.positive, outOfRange);
            row[4] = m.negative;
            if (m.positive > 0) row[5] = toSingle(m.negative / m.positive * 100.0, outOfRange);
        };
        float* pv = s.PhaseVoltage.row(slot);
        unbalance(pv);
        for (int i = 0; i < 6; ++i) {
            trackMax(s.ItemMax(0, kSlotPhaseVoltage, i), pv[i]);
            trackMinFromFirst(s.ItemMin(0, kSlotPhaseVoltage, i), pv[i], first);
        }
        for (int ch = 0; ch <= C; ++ch) {
            float* pc = s.PhaseCurrent.row(ch, slot);
            unbalance(pc);
            for (int i = 0; i < 6; ++i) {
                trackMax(s.ItemMax(ch, kSlotPhaseCurrent, i), pc[i]);
                trackMinFromFirst(s.ItemMin(ch, kSlotPhaseCurrent, i), pc[i], first);
            }
        }
    }
    return outOfRange;
}

}  // namespace hg
