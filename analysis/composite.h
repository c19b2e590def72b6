// The combined current of all channels of a record: for each order, the phasor sum of the channel
// currents at their phase angles. The graph-mode load and the CSV writers both use this one
// computation, so a combined value is the same on the graph and in the CSV file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/degree_trig.h"

namespace hg {

struct RecordValues;

// For each order index k (0..orders-1), with theta = A(ch, k) / 180 * 3.141592 radians and single
// precision sums SC(k), SS(k) over the channels ch = 0..channels-1:
//   SC(k) += I(ch, k) * cos theta,  SS(k) += I(ch, k) * sin theta
//   combined(k)      = sqrt(SC^2 + SS^2)
//   combinedAngle(k) = atan(SS / (SC + 1e-20)) * 180 / 3.141592, minus 180 when SC < 0, rounded
//                      half to even (so it lies between -270 and +90 degrees).
// A sum or a result too large for single precision is stored as 0.
class CurrentCombiner {
  public:
    explicit CurrentCombiner(int orders);

    // Channel ch's values start at current + ch * channelStride and angle + ch * channelStride;
    // the currents are finite numbers (the load takes the others as 0 before). Returns how many
    // sums and results were too large and stored as 0. Without `combinedAngle` only the combined
    // currents are computed; combinedAngles() gives the angles of that combination afterwards.
    int64_t combine(const float* current, const int16_t* angle, std::size_t channelStride,
                    int channels, float* combined, int16_t* combinedAngle);
    // The combined angles of the last combine().
    void combinedAngles(int16_t* combinedAngle) const;

    // The same for a record's work arrays: fills the spare row C of I and A. Currents that are not
    // finite numbers count as 0 (the arrays keep them).
    int64_t combine(RecordValues& values);

  private:
    const degree_trig::Tables& trig_;
    std::vector<float> ss_, sc_;           // sine and cosine sums of the record's currents
    std::vector<double> sines_, cosines_;  // of one channel's angles
    std::vector<float> clean_;             // a damaged record's currents, non-numbers as 0
};

}  // namespace hg
