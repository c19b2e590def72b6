#include "analysis/composite.h"

#include <array>
#include <cmath>

#include "datafile/record_file.h"
#include "platform/classic.h"

namespace hg {

namespace {

constexpr double kPi = 3.141592;  // the constant the instrument's software uses

double radians(int degrees) {
    return static_cast<double>(degrees) / 180.0 * kPi;
}

// Cosine and sine of the whole-degree angles a recording normally holds, computed once with the
// same expression as the fallback below, so the table changes no digit of the result.
constexpr int kTableLimit = 720;
struct Trig {
    std::array<double, 2 * kTableLimit + 1> cosine{};
    std::array<double, 2 * kTableLimit + 1> sine{};
    Trig() {
        for (int d = -kTableLimit; d <= kTableLimit; ++d) {
            cosine[static_cast<std::size_t>(d + kTableLimit)] = std::cos(radians(d));
            sine[static_cast<std::size_t>(d + kTableLimit)] = std::sin(radians(d));
        }
    }
};

const Trig& trig() {
    static const Trig table;
    return table;
}

}  // namespace

void combineCurrents(const float* current, const int16_t* angle, std::size_t channelStride,
                     int channels, int orders, float* combined, int16_t* combinedAngle) {
    const Trig& t = trig();
    for (int k = 0; k < orders; ++k) {
        float sc = 0.0f;
        float ss = 0.0f;
        for (int ch = 0; ch < channels; ++ch) {
            const std::size_t at =
                static_cast<std::size_t>(ch) * channelStride + static_cast<std::size_t>(k);
            const int a = angle[at];
            double c, s;
            if (a >= -kTableLimit && a <= kTableLimit) {
                c = t.cosine[static_cast<std::size_t>(a + kTableLimit)];
                s = t.sine[static_cast<std::size_t>(a + kTableLimit)];
            } else {
                c = std::cos(radians(a));
                s = std::sin(radians(a));
            }
            // The products and sums are double; each sum is kept in single precision.
            sc = static_cast<float>(static_cast<double>(sc) + static_cast<double>(current[at]) * c);
            ss = static_cast<float>(static_cast<double>(ss) + static_cast<double>(current[at]) * s);
        }
        const double dc = sc, ds = ss;
        combined[k] = static_cast<float>(std::sqrt(dc * dc + ds * ds));
        double degrees = std::atan(ds / (dc + 1e-20)) * 180.0 / kPi;
        if (sc < 0) degrees -= 180.0;
        combinedAngle[k] = toInt16(degrees).value_or(0);
    }
}

void combineCurrents(RecordValues& v) {
    const auto row = static_cast<std::size_t>(v.channels) * static_cast<std::size_t>(v.orders);
    combineCurrents(v.I.data(), v.A.data(), static_cast<std::size_t>(v.orders), v.channels,
                    v.orders, v.I.data() + row, v.A.data() + row);
}

}  // namespace hg
