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

}  // namespace hg::degree_trig
