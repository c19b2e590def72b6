// The per-record harmonic quantities: for a record slot whose raw values (voltage, currents of
// every channel and their composite, angles, per-phase values) are in the tables, the powers,
// impedance, distortion, capacitor overload and unbalance, and the period extremes ItemMax /
// ItemMin kept while the records are loaded (the powers' own tables are computed when first read).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "analysis/degree_trig.h"
#include "analysis/percent_of_fundamental.h"
#include "analysis/table.h"

// The per-record work runs on the widest vectors the processor has (the same IEEE operations,
// no fused multiply-add, so the same results on every processor); its helpers are compiled into
// each version.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__)
#define HG_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define HG_VECTOR_CLONES
#endif
#if defined(__GNUC__)
#define HG_INLINE __attribute__((always_inline)) inline
#else
#define HG_INLINE inline
#endif

namespace hg {

struct HARMDIM;

// Extreme rules. Cells start at 0 (tables are zero-filled).
//  - track max: a maximum is never below 0;
//  - track min from 0: a minimum is never above 0;
//  - track min from first: the first record of the load sets the cell, later ones lower it.
inline void trackMax(float& cell, float x) {
    if (x > cell) cell = x;
}
inline void trackMinFromZero(float& cell, float x) {
    if (x < cell) cell = x;
}
inline void trackMinFromFirst(float& cell, float x, bool firstRecord) {
    if (firstRecord || x < cell) cell = x;
}

// A result stored in single precision; a value too large for it (only possible with absurd
// inputs such as a corrupt file's 1E+30 volts over a denormal current) is stored as 0 and counted,
// so that no table holds an infinity.
HG_INLINE float toSingle(double x, int64_t& outOfRange) {
    const float f = static_cast<float>(x);
    if (!std::isfinite(f)) {
        ++outOfRange;
        return 0.0f;
    }
    return f;
}

// Replaces NaN and infinities in values[0..count) by 0; returns how many there were. A single is
// not finite when its exponent bits are all ones: the first pass tests the bits of every value at
// once (on vectors), the counting pass runs only when one is found.
HG_INLINE int64_t zeroNonFinite(float* values, std::size_t count) {
    constexpr uint32_t kExponent = 0x7f800000u;
    uint32_t any = 0;
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t bits;
        std::memcpy(&bits, values + i, sizeof bits);
        any |= static_cast<uint32_t>((bits & kExponent) == kExponent);
    }
    if (!any) return 0;
    int64_t bad = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) {
            values[i] = 0.0f;
            ++bad;
        }
    return bad;
}

// The most order indexes of a record.
constexpr int kMaxRecordOrders = 256;

// The active and reactive power (kW, kvar) of one channel row of one record, every order, from its
// voltages V, currents I and current angles A (whole degrees) of the K orders and the power factor
// powerK (1 or sqrt 3): V x I x cos (sin) of the angle / 1000 (-1000) x powerK. An order whose
// current is 0.01 A or less carries no power. Results single precision cannot hold are stored as
// 0; returns how many there were.
HG_INLINE int64_t rowPowers(const float* V, const float* I, const int16_t* A, std::size_t K,
                            double powerK, float* P, float* Q) {
    alignas(64) double cosines[kMaxRecordOrders], sines[kMaxRecordOrders];
    degree_trig::powerSinCos(degree_trig::tables(), A, K, sines, cosines);
    for (std::size_t k = 0; k < K; ++k) {
        const double i = I[k];
        const double v = V[k];
        const double vi = v * i;
        const float p = static_cast<float>(vi * cosines[k] / 1000.0 * powerK);
        const float q = static_cast<float>(vi * sines[k] / (-1000.0) * powerK);
        const bool live = I[k] > 0.01f;  // the same test as I > 0.01 for every single
        P[k] = live ? p : 0.0f;
        Q[k] = live ? q : 0.0f;
    }
    return zeroNonFinite(P, K) + zeroNonFinite(Q, K);
}

// The positive- and negative-sequence magnitudes of a three-phase system from its three line
// magnitudes taken as the sides of a triangle (Heron's area), in double precision; the caller
// stores both in single precision. Absolute values under both roots keep degenerate triangles real.
struct SequenceMagnitudes {
    double positive = 0;
    double negative = 0;
};
SequenceMagnitudes SequenceParts(float a, float b, float c);

// Whether a power of a row with voltages V and currents I (K orders) may be too large for single
// precision: |V x I x cos| / 1000 x powerK <= V x I / 1000 x sqrt 3, so none can below 1E+41 for
// V x I.
HG_INLINE bool powersMayOverflow(const float* V, const float* I, std::size_t K) {
    constexpr double kNoOverflowBelow = 1e41;
    // Such a product is beyond single precision: a row whose single products all stay below its
    // largest number needs no exact test.
    int beyond = 0;
    for (std::size_t k = 0; k < K; ++k) beyond |= static_cast<int>(V[k] * I[k] > 3.0e38f);
    if (beyond == 0) return false;
    int any = 0;
    for (std::size_t k = 0; k < K; ++k)
        any |= static_cast<int>(static_cast<double>(V[k]) * I[k] >= kNoOverflowBelow);
    return any != 0;
}

// The current distortion of orders 1..K-1 of one channel row I against its fundamental current,
// each ratio into q[k] (single precision).
HG_INLINE void currentDistortionRatios(const float* I, int K, float* q) {
    const double i0 = I[0];
    for (int k = 1; k < K; ++k) q[k] = static_cast<float>(percentOfFundamental(I[k], i0));
}

// The sums of the squares of q[r][1..K-1] of the rows r in R, each row's in its own order (k
// ascending, in double precision), the rows side by side so that one row's additions do not wait
// on each other.
template <std::size_t... R>
HG_INLINE void squaresSidesBySide(const float* const* q, int K, double* sums,
                                  std::index_sequence<R...>) {
    double acc[sizeof...(R)] = {};
    for (int k = 1; k < K; ++k) ((acc[R] += static_cast<double>(q[R][k]) * q[R][k]), ...);
    ((sums[R] = acc[R]), ...);
}

// Rows whose sums of squares are made side by side: the channels and their composite.
constexpr int kSumsAtOnce = 10;

// squaresSidesBySide over the first `rows` rows, rows being N or fewer.
template <int N>
HG_INLINE void squaresOfAtMost(const float* const* q, int rows, int K, double* sums) {
    if constexpr (N > 0) {
        if (rows == N) return squaresSidesBySide(q, K, sums, std::make_index_sequence<N>{});
        squaresOfAtMost<N - 1>(q, rows, K, sums);
    }
}

// The sums of the squares of q[r][1..K-1] of rows 0..rows-1 (each as squaresSidesBySide), up to
// kSumsAtOnce rows at a time.
HG_INLINE void squaresSums(const float* const* q, int rows, int K, double* sums) {
    for (; rows >= kSumsAtOnce; rows -= kSumsAtOnce, q += kSumsAtOnce, sums += kSumsAtOnce)
        squaresSidesBySide(q, K, sums, std::make_index_sequence<kSumsAtOnce>{});
    squaresOfAtMost<kSumsAtOnce - 1>(q, rows, K, sums);
}

// The total current distortion of each of the `rows` channel rows of I (K orders a row, the rows
// one after the other) as the load stores it (CurrentThd), into totals[0..rows).
inline void currentDistortionTotals(const float* I, int rows, int K, float* totals) {
    alignas(64) float q[kSumsAtOnce][kMaxRecordOrders];
    const float* ratios[kSumsAtOnce];
    double sums[kSumsAtOnce];
    int64_t outOfRange = 0;
    for (int first = 0; first < rows; first += kSumsAtOnce) {
        const int n = std::min(kSumsAtOnce, rows - first);
        for (int r = 0; r < n; ++r) {
            const auto row = static_cast<std::size_t>(first + r) * static_cast<std::size_t>(K);
            currentDistortionRatios(I + row, K, q[r]);
            ratios[r] = q[r];
        }
        squaresSums(ratios, n, K, sums);
        for (int r = 0; r < n; ++r) totals[first + r] = toSingle(std::sqrt(sums[r]), outOfRange);
    }
}

struct RecordQuantityInputs {
    // The record's currents, (C+1) x (N+1) row-major by channel, row C the composite.
    const float* currents = nullptr;
    const int16_t* angles = nullptr;  // C x (N+1) whole degrees of the channels
    // The composite's angles (N+1), read only when its powers may overflow (powersMayOverflow).
    const int16_t* compositeAngles = nullptr;
    float powerFactorK = 1.0f;  // 1 or sqrt 3 (single)
    bool phaseValues = false;   // the record carries line voltages and phase currents
    bool firstRecord = false;   // the first record of the load (track min from first)
    // The extremes to update, shaped like ItemMax / ItemMin; the state's own when null. A load
    // split over threads gives each part of the period its own pair and merges them in record
    // order, `firstRecord` then marking the first record of the part.
    Table<float>* itemMax = nullptr;
    Table<float>* itemMin = nullptr;
};

// Computes the quantities of record slot `slot` in their order: 1 the extremes of impedance and
// current (the powers, their tables and extremes, are computed when first read: PowerTables); 2
// voltage distortion, capacitor overload and current distortion; 3 voltage extremes; 4 totals and
// their extremes; 5 unbalance (records with per-phase values only). A record whose fundamental
// voltage is 0 gets 0 for its voltage distortion, ratios and overload values. Returns the number of
// results stored as 0 because single precision cannot hold them.
int64_t computeRecordQuantities(HARMDIM& state, int32_t slot, const RecordQuantityInputs& in);

}  // namespace hg
