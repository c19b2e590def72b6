// The combined current of all channels of a record: for each order, the phasor sum of the channel
// currents at their phase angles. The analysis load and the CSV writers both use this one
// computation, so a combined value is the same on the graph and in the CSV file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hg {

struct RecordValues;

// For each order index k (0..orders-1), with theta = A(ch, k) / 180 * 3.141592 radians and single
// precision sums SC(k), SS(k) over the channels ch = 0..channels-1:
//   SC(k) += I(ch, k) * cos theta,  SS(k) += I(ch, k) * sin theta
//   combined(k)      = sqrt(SC^2 + SS^2)
//   combinedAngle(k) = atan(SS / (SC + 1e-20)) * 180 / 3.141592, minus 180 when SC < 0, rounded
//                      half to even (so it lies between -270 and +90 degrees).
// Channel ch's values start at current + ch * channelStride and angle + ch * channelStride.
void combineCurrents(const float* current, const int16_t* angle, std::size_t channelStride,
                     int channels, int orders, float* combined, int16_t* combinedAngle);

// The same for a record's work arrays: fills the spare row C of I and A.
void combineCurrents(RecordValues& values);

}  // namespace hg
