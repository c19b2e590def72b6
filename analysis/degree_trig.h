// Sines and cosines of whole-degree angles as the load and the per-record quantities compute them,
// with pi taken as 3.141592. The two use different operation orders for the radian value, which
// can differ in the last bit, so each has its own pair:
//  - the composite current of the load: theta = A / 180 * 3.141592;
//  - the powers of an order: theta = A * 3.141592 / 180.
// Angles are whole degrees, so the common range is looked up in tables filled with exactly the
// same expressions (bit-identical to computing them); other angles are computed directly.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace hg::degree_trig {

constexpr double kPi = 3.141592;

inline double compositeRadians(int a) {
    return static_cast<double>(a) / 180.0 * kPi;
}
inline double powerRadians(int a) {
    return static_cast<double>(a) * kPi / 180.0;
}

// Looked-up range: -kSpan .. kSpan - 1 degrees.
constexpr int kSpan = 1024;

struct Tables {
    std::array<double, 2 * kSpan> compositeSin, compositeCos, powerSin, powerCos;
    Tables() {
        for (int a = -kSpan; a < kSpan; ++a) {
            const auto i = static_cast<std::size_t>(a + kSpan);
            compositeSin[i] = std::sin(compositeRadians(a));
            compositeCos[i] = std::cos(compositeRadians(a));
            powerSin[i] = std::sin(powerRadians(a));
            powerCos[i] = std::cos(powerRadians(a));
        }
    }
};

inline const Tables& tables() {
    static const Tables t;
    return t;
}

inline bool inTable(int a) {
    return a >= -kSpan && a < kSpan;
}
inline std::size_t slot(int a) {
    return static_cast<std::size_t>(a + kSpan);
}

inline double compositeSin(const Tables& t, int a) {
    return inTable(a) ? t.compositeSin[slot(a)] : std::sin(compositeRadians(a));
}
inline double compositeCos(const Tables& t, int a) {
    return inTable(a) ? t.compositeCos[slot(a)] : std::cos(compositeRadians(a));
}
inline double powerSin(const Tables& t, int a) {
    return inTable(a) ? t.powerSin[slot(a)] : std::sin(powerRadians(a));
}
inline double powerCos(const Tables& t, int a) {
    return inTable(a) ? t.powerCos[slot(a)] : std::cos(powerRadians(a));
}

// The sines and cosines of angles A[0..n) into sines[0..n) and cosines[0..n), the same values as
// the functions above: when every angle lies in the looked-up range (as angles from a recording
// do), by look-ups without a test per angle, which run on vectors.
#if defined(__GNUC__)
#define HG_TRIG_INLINE [[gnu::always_inline]] inline
#else
#define HG_TRIG_INLINE inline
#endif
// Whether every angle of A[0..n) lies in the looked-up range.
HG_TRIG_INLINE bool allInTable(const int16_t* A, std::size_t n) {
    int outside = 0;
    for (std::size_t j = 0; j < n; ++j) outside |= !inTable(A[j]);
    return outside == 0;
}
template <double (*Sin)(const Tables&, int), double (*Cos)(const Tables&, int)>
HG_TRIG_INLINE void sinCosOf(const Tables& t, const std::array<double, 2 * kSpan>& sinTable,
                             const std::array<double, 2 * kSpan>& cosTable, const int16_t* A,
                             std::size_t n, double* sines, double* cosines) {
    if (!allInTable(A, n)) {
        for (std::size_t j = 0; j < n; ++j) {
            sines[j] = Sin(t, A[j]);
            cosines[j] = Cos(t, A[j]);
        }
        return;
    }
    for (std::size_t j = 0; j < n; ++j) {
        const std::size_t i = slot(A[j]);
        sines[j] = sinTable[i];
        cosines[j] = cosTable[i];
    }
}
HG_TRIG_INLINE void compositeSinCos(const Tables& t, const int16_t* A, std::size_t n, double* sines,
                                    double* cosines) {
    sinCosOf<compositeSin, compositeCos>(t, t.compositeSin, t.compositeCos, A, n, sines, cosines);
}
HG_TRIG_INLINE void powerSinCos(const Tables& t, const int16_t* A, std::size_t n, double* sines,
                                double* cosines) {
    sinCosOf<powerSin, powerCos>(t, t.powerSin, t.powerCos, A, n, sines, cosines);
}
#undef HG_TRIG_INLINE

}  // namespace hg::degree_trig
