#include "graph/axis_rules.h"

#include <cmath>

namespace hg {

void ScaleLimit(double x, int16_t mode, double& lower, double& upper) {
    if (mode != kScaleLower && mode != kScaleUpper) return;
    if (!std::isfinite(x)) x = 0;
    double a = std::fabs(x);
    const double sign = x > 0 ? 1.0 : x < 0 ? -1.0 : 0.0;
    int e = 0;
    if (a != 0 && (a < 10 || a >= 100)) {
        if (a < 10) {
            while (a < 10) {
                a *= 10;
                --e;
            }
        } else {
            while (a >= 100) {
                a /= 10;
                ++e;
            }
        }
    }
    const double scale = std::pow(10.0, e);
    if (mode == kScaleUpper)
        upper = sign * std::trunc(a + 1) * scale;
    else
        lower = sign * std::trunc(a - sign) * scale;
}

int16_t SwapBlueRed(int16_t c) {
    if (c == 9) return 12;
    if (c == 12) return 9;
    return c;
}

}  // namespace hg
