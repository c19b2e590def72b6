#include "analysis/composite.h"

#include <algorithm>
#include <cmath>

#include "analysis/quantities.h"
#include "datafile/record_file.h"
#include "platform/classic.h"

namespace hg {

CurrentCombiner::CurrentCombiner(int orders)
    : trig_(degree_trig::tables()),
      ss_(static_cast<std::size_t>(orders)),
      sc_(static_cast<std::size_t>(orders)),
      sines_(static_cast<std::size_t>(orders)),
      cosines_(static_cast<std::size_t>(orders)) {}

HG_VECTOR_CLONES int64_t CurrentCombiner::combine(const float* current, const int16_t* angle,
                                                  std::size_t channelStride, int channels,
                                                  float* combined, int16_t* combinedAngle) {
    const std::size_t k = ss_.size();
    const degree_trig::Tables& trig = trig_;
    float* ss = ss_.data();
    float* sc = sc_.data();
    double* sines = sines_.data();
    double* cosines = cosines_.data();
    std::fill(ss_.begin(), ss_.end(), 0.0f);
    std::fill(sc_.begin(), sc_.end(), 0.0f);
    int64_t outOfRange = 0;
    for (int ch = 0; ch < channels; ++ch) {
        const float* I = current + static_cast<std::size_t>(ch) * channelStride;
        const int16_t* A = angle + static_cast<std::size_t>(ch) * channelStride;
        // The products and sums are double; each sum is kept in single precision. Angles in the
        // looked-up range (all a recording holds) are looked up as the sums are made.
        if (degree_trig::allInTable(A, k)) {
            const double* sinTable = trig.compositeSin.data();
            const double* cosTable = trig.compositeCos.data();
            for (std::size_t j = 0; j < k; ++j) {
                const std::size_t i = degree_trig::slot(A[j]);
                ss[j] = static_cast<float>(ss[j] + static_cast<double>(I[j]) * sinTable[i]);
                sc[j] = static_cast<float>(sc[j] + static_cast<double>(I[j]) * cosTable[i]);
            }
        } else {
            degree_trig::compositeSinCos(trig, A, k, sines, cosines);
            for (std::size_t j = 0; j < k; ++j) {
                ss[j] = static_cast<float>(ss[j] + static_cast<double>(I[j]) * sines[j]);
                sc[j] = static_cast<float>(sc[j] + static_cast<double>(I[j]) * cosines[j]);
            }
        }
        outOfRange += zeroNonFinite(ss, k) + zeroNonFinite(sc, k);
    }
    for (std::size_t j = 0; j < k; ++j) {
        const double a = ss[j], b = sc[j];
        combined[j] = static_cast<float>(std::sqrt(b * b + a * a));
    }
    outOfRange += zeroNonFinite(combined, k);
    if (combinedAngle) combinedAngles(combinedAngle);
    return outOfRange;
}

void CurrentCombiner::combinedAngles(int16_t* combinedAngle) const {
    const float* ss = ss_.data();
    const float* sc = sc_.data();
    for (std::size_t j = 0; j < ss_.size(); ++j) {
        double a = std::atan(ss[j] / (sc[j] + 1e-20)) * 180.0 / degree_trig::kPi;
        if (sc[j] < 0) a -= 180.0;
        combinedAngle[j] = static_cast<int16_t>(roundHalfEven(a));
    }
}

int64_t CurrentCombiner::combine(RecordValues& v) {
    const auto row = static_cast<std::size_t>(v.channels) * static_cast<std::size_t>(v.orders);
    const float* current = v.I.data();
    // The recorded currents stay as they are; a damaged record's non-numbers count as 0 in a
    // copy, as they do in the load.
    if (!std::all_of(v.I.begin(), v.I.begin() + static_cast<std::ptrdiff_t>(row),
                     [](float x) { return std::isfinite(x); })) {
        clean_.assign(v.I.begin(), v.I.begin() + static_cast<std::ptrdiff_t>(row));
        zeroNonFinite(clean_.data(), clean_.size());
        current = clean_.data();
    }
    return combine(current, v.A.data(), static_cast<std::size_t>(v.orders), v.channels,
                   v.I.data() + row, v.A.data() + row);
}

}  // namespace hg
