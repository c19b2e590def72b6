// Axis limit and colour helpers shared by the screen graph and the printed graph page.
#pragma once

#include <cstdint>

namespace hg {

// Mode of ScaleLimit: which limit it writes.
constexpr int16_t kScaleLower = 1;
constexpr int16_t kScaleUpper = 2;

// A round axis limit of two significant digits from the largest (upper) or smallest (lower) value
// of the plotted data. With |x| = A x 10^E, A in [10, 100) and S the sign of x:
// mode 2 writes upper = S x trunc(A + 1) x 10^E; mode 1 writes lower = S x trunc(A - S) x 10^E.
// The other output is left unchanged, and any other mode writes nothing. A value that is not a
// finite number writes 0 (the normalisation would never end).
void ScaleLimit(double x, int16_t mode, double& lower, double& upper);

// The palette colour of a curve's colour counter: 9 (light blue) and 12 (light red) change places,
// every other value is itself.
int16_t SwapBlueRed(int16_t c);

}  // namespace hg
