// One generated recording of every kind loaded over its whole file, every table compared with
// values worked out here, independently of the load, from the generator's values of each record.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "analysis/harmdim.h"
#include "datafile/synth.h"
#include "platform/dates.h"
#include "support_analysis.h"
#include "support_scratch.h"

namespace hg {
namespace {

constexpr double kPi = 3.141592;

// The expected tables, built record by record.
struct Expected {
    int C, K, step;
    double powerK;
    std::vector<float> maxima, minima;  // (ch, slot, k)
    float& max(int ch, int slot, int k) { return maxima[index(ch, slot, k)]; }
    float& min(int ch, int slot, int k) { return minima[index(ch, slot, k)]; }
    std::size_t index(int ch, int slot, int k) const {
        return static_cast<std::size_t>((ch * 16 + slot) * K + k);
    }
    void up(float& cell, float x) { cell = std::max(cell, x); }
    void down(float& cell, float x) { cell = std::min(cell, x); }
    void fromFirst(float& cell, float x, bool first) { cell = first ? x : std::min(cell, x); }
};

// Heron's triangle of the three magnitudes: positive (double) and negative (single) sequence.
std::pair<double, float> sequence(float a, float b, float c) {
    const float h = static_cast<float>((double(a) + b + c) / 2);
    const double area =
        std::sqrt(std::fabs(double(h) * (h - double(a)) * (h - double(b)) * (h - double(c))));
    const double q = (double(a) * a + double(b) * b + double(c) * c) / 6;
    const double t = 2 / std::sqrt(3.0) * area;
    return {std::sqrt(q + t), static_cast<float>(std::sqrt(std::fabs(q - t)))};
}

void checkRecord(const HARMDIM& s, int slot, const RecordValues& v, Expected& e) {
    const int C = e.C, K = e.K;
    const bool first = slot == 0;
    const auto V = [&](int k) { return v.V[static_cast<std::size_t>(k)]; };
    for (int k = 0; k < K; ++k) ASSERT_EQ(s.VoltageTable(slot, k), V(k));
    // Currents and angles, the composite last.
    std::vector<std::vector<float>> I(static_cast<std::size_t>(C + 1), std::vector<float>(K));
    std::vector<std::vector<int>> A(static_cast<std::size_t>(C + 1), std::vector<int>(K));
    for (int k = 0; k < K; ++k) {
        float ss = 0, sc = 0;
        for (int ch = 0; ch < C; ++ch) {
            const float i = v.current(ch, k);
            I[ch][k] = i;
            A[ch][k] = v.angle(ch, k);
            const double theta = A[ch][k] / 180.0 * kPi;
            ss = static_cast<float>(ss + i * std::sin(theta));
            sc = static_cast<float>(sc + i * std::cos(theta));
        }
        I[C][k] = static_cast<float>(std::sqrt(double(sc) * sc + double(ss) * ss));
        double a = std::atan(ss / (sc + 1e-20)) * 180 / kPi;
        if (sc < 0) a -= 180;
        A[C][k] = static_cast<int>(std::nearbyint(a));
    }
    for (int ch = 0; ch <= C; ++ch)
        for (int k = 0; k < K; ++k) ASSERT_EQ(s.CurrentTable(ch, slot, k), I[ch][k]);
    // Powers, impedance, current and their extremes.
    for (int ch = 0; ch <= C; ++ch)
        for (int k = 0; k < K; ++k) {
            const double i = I[ch][k];
            float p = 0, q = 0;
            if (i > 0.01) {
                const double theta = A[ch][k] * kPi / 180;
                p = static_cast<float>(V(k) * i * std::cos(theta) / 1000 * e.powerK);
                q = static_cast<float>(V(k) * i * std::sin(theta) / -1000 * e.powerK);
            }
            ASSERT_FLOAT_EQ(s.ActivePower(ch, slot, k), p);
            ASSERT_FLOAT_EQ(s.ReactivePower(ch, slot, k), q);
            e.up(e.max(ch, 2, k), p);
            e.down(e.min(ch, 2, k), p);
            e.up(e.max(ch, 3, k), q);
            e.down(e.min(ch, 3, k), q);
            e.up(e.max(ch, 4, k), I[ch][k]);
            if (i > 0) e.up(e.max(ch, 6, k), static_cast<float>(V(k) / i));
        }
    // Distortion and overload.
    double accV = 0, accC = 0, accL = 1.1025, accR = 0;
    std::vector<double> accI(static_cast<std::size_t>(C + 1));
    for (int k = 1; k < K; ++k) {
        const double n = k * e.step + 1;
        if (V(0) != 0) {
            const float r = static_cast<float>(V(k) / double(V(0)) * 100);
            e.up(e.max(0, 0, k), r);
            accV += double(r) * r;
            accC += std::pow(n * V(k) / V(0), 2);
            accL += std::pow(-94 * n * V(k) / ((6 * n * n - 100) * V(0)), 2);
            accR += std::pow(-94 * n * n * V(k) / (5 * V(0) * (6 * n * n - 100)), 2);
        }
        for (int ch = 0; ch <= C; ++ch)
            if (I[ch][0] > 0) {
                const float q = static_cast<float>(I[ch][k] / double(I[ch][0]) * 100);
                e.up(e.max(ch, 1, k), q);
                accI[ch] += double(q) * q;
            }
    }
    for (int k = 0; k < K; ++k) {
        e.up(e.max(0, 10, k), V(k));
        e.fromFirst(e.min(0, 10, k), V(k), first);
    }
    const bool dead = V(0) == 0;
    const float thd = dead ? 0.0f : static_cast<float>(std::sqrt(accV));
    const float overload[3] = {dead ? 0.0f : static_cast<float>(100 * std::sqrt(accC + 1)),
                               dead ? 0.0f : static_cast<float>(100 * std::sqrt(accL)),
                               dead ? 0.0f : static_cast<float>(100 * std::sqrt(accR))};
    ASSERT_FLOAT_EQ(s.VoltageThd(slot), thd);
    e.up(e.max(0, 0, 0), thd);
    for (int ch = 0; ch <= C; ++ch) {
        const float ithd = static_cast<float>(std::sqrt(accI[ch]));
        ASSERT_FLOAT_EQ(s.CurrentThd(ch, slot), ithd);
        e.up(e.max(ch, 1, 0), ithd);
    }
    for (int i = 0; i < 3; ++i) {
        ASSERT_FLOAT_EQ(s.OverloadTable(i, slot), overload[i]);
        e.up(e.max(0, 7, i), overload[i]);
        e.fromFirst(e.min(0, 7, i), overload[i], first);
    }
    // Superposition angles and per-phase values.
    const RecordLayout& L = s.Kind.layout;
    for (int k = 0; k < K; ++k) {
        ASSERT_EQ(s.AngleTable(0, slot, k), L.hasVoltageAngles() ? v.VR[std::size_t(k)] : 0);
        if (s.ShortHnRecord) {  // the short "hn" form holds voltage angles at even k 0..48 only
            ASSERT_TRUE((k % 2 == 0 && k <= 48) || s.AngleTable(0, slot, k) == 0) << k;
        }
        ASSERT_EQ(s.AngleTable(1, slot, k), L.hasCurrentAngles() ? v.IR[std::size_t(k)] : 0);
    }
    if (L.hasPhaseValues()) {
        // Rows: the line voltages, each channel's phase currents, their sums.
        std::vector<std::array<float, 6>> rows(static_cast<std::size_t>(C + 2));
        rows[0] = {v.Vp[0], v.Vp[1], v.Vp[2], 0, 0, 0};
        for (int ch = 0; ch < C; ++ch)
            for (std::size_t i = 0; i < 3; ++i) {
                rows[std::size_t(ch + 1)][i] = v.Ip[std::size_t(ch * 3) + i];
                rows[std::size_t(C + 1)][i] += v.Ip[std::size_t(ch * 3) + i];
            }
        for (std::size_t r = 0; r < rows.size(); ++r) {
            auto& row = rows[r];
            const auto [positive, negative] = sequence(row[0], row[1], row[2]);
            row[3] = static_cast<float>(positive);
            row[4] = negative;
            row[5] = positive > 0 ? static_cast<float>(negative / positive * 100) : 0.0f;
            const int ch = static_cast<int>(r) - 1;
            for (int i = 0; i < 6; ++i) {
                const float got = r == 0 ? s.PhaseVoltage(slot, i) : s.PhaseCurrent(ch, slot, i);
                ASSERT_FLOAT_EQ(got, row[i]) << "row " << r << " column " << i;
                float& mx = r == 0 ? e.max(0, 11, i) : e.max(ch, 12, i);
                float& mn = r == 0 ? e.min(0, 11, i) : e.min(ch, 12, i);
                e.up(mx, row[i]);
                e.fromFirst(mn, row[i], first);
            }
        }
    }
}

struct KindCase {
    const char* name;
    int64_t records;
    int64_t gaps;
    bool shortForm;
    bool adversarial;
};

class LoadKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(LoadKinds, TablesMatchTheGeneratedValues) {
    const KindCase& c = GetParam();
    SynthOptions options;
    options.records = c.records;
    options.gaps = c.gaps;
    options.shortHn = c.shortForm;
    options.adversarial = c.adversarial;
    options.seed = 7;
    const std::string path = test::scratchPath(c.name);
    ASSERT_TRUE(writeSynth(path, options).ok());
    auto plan = SynthRecording::plan(path, options);
    ASSERT_TRUE(plan.ok());

    HARMDIM s;
    auto report = test::loadRecording(s, path);
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->nonFiniteValues + report->skippedRecords, 0);
    ASSERT_EQ(s.LoadedRecords, c.records);

    Expected e;
    e.C = s.ChannelCount;
    e.K = s.MaxOrderIndex + 1;
    e.step = s.MaxOrderIndex == 24 ? 2 : 1;
    e.powerK = std::string(c.name).find(".R") != std::string::npos ? 1.0 : double(1.7320508f);
    e.maxima.assign(static_cast<std::size_t>((e.C + 1) * 16 * e.K), 0.0f);
    e.minima = e.maxima;

    RecordValues v;
    for (int32_t slot = 0; slot < s.LoadedRecords; ++slot) {
        SCOPED_TRACE(slot);
        plan->record(slot, v);
        const float x =
            static_cast<float>(2000.0 * double(plan->minutesOf(slot)) / double(s.PeriodMinutes));
        ASSERT_EQ(s.RecordX(slot), x);
        checkRecord(s, slot, v, e);
        if (HasFatalFailure()) return;
    }
    for (int ch = 0; ch <= e.C; ++ch)
        for (int item = 0; item < 16; ++item)
            for (int k = 0; k < e.K; ++k) {
                ASSERT_FLOAT_EQ(s.ItemMax(ch, item, k), e.max(ch, item, k))
                    << "extremes " << ch << "," << item << "," << k;
                ASSERT_FLOAT_EQ(s.ItemMin(ch, item, k), e.min(ch, item, k))
                    << "extremes " << ch << "," << item << "," << k;
            }
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, LoadKinds,
    ::testing::Values(
        KindCase{"k.ha3", 40, 0, false, false}, KindCase{"k.ha4", 40, 3, false, false},
        KindCase{"k.ha5", 40, 0, false, false}, KindCase{"k.ha6", 40, 0, false, true},
        KindCase{"k.hm3", 40, 2, false, false}, KindCase{"k.Rhm2", 40, 0, false, false},
        KindCase{"k.hv2", 110, 5, false, true}, KindCase{"k.hh2", 12, 0, false, false},
        KindCase{"k.hn2", 12, 1, false, false}, KindCase{"k.hn1", 12, 0, true, false},
        KindCase{"k.hn3", 100, 0, false, true}),
    [](const auto& info) {
        std::string n = info.param.name + 2;
        for (char& ch : n)
            if (ch == '.') ch = '_';
        return n + (info.param.shortForm ? "_short" : "") + (info.param.adversarial ? "_hard" : "");
    });

}  // namespace
}  // namespace hg
