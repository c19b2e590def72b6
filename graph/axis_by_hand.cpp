#include "graph/axis_by_hand.h"

#include <charconv>
#include <cmath>

namespace hg {

namespace {

std::optional<double> numberOf(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    double value = 0;
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

Result<AxisByHand> axisByHand(const std::string& low, const std::string& high,
                              const std::string& step) {
    const auto l = numberOf(low), h = numberOf(high), s = numberOf(step);
    if (!l || !h || !s) return Error{"下限・上限・目盛間隔には数値を入力してください。"};
    if (!(*l < *h)) return Error{"下限は上限より小さくしてください。"};
    if (!(*s > 0)) return Error{"目盛間隔は0より大きくしてください。"};
    if ((*h - *l) / *s > kMostHandSteps)
        return Error{"目盛が多すぎます（" + std::to_string(kMostHandSteps) +
                     "本まで）。目盛間隔を大きくしてください。"};
    return AxisByHand{*l, *h, *s};
}

std::optional<AxisByHand> axisBetween(double a, double b) {
    const double low = std::min(a, b), high = std::max(a, b);
    const double span = high - low;
    if (!std::isfinite(span) || !(span > 1e-9 * std::max(1.0, std::abs(high)))) return {};
    const double decade = std::pow(10.0, std::floor(std::log10(span / 10)));
    double step = decade;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * decade;
        if (span / step <= 10) break;
    }
    return AxisByHand{std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

ValueAxis withAxisByHand(const ValueAxis& automatic, const AxisByHand& hand) {
    ValueAxis axis = automatic;
    axis.low = hand.low;
    axis.top = hand.high;
    axis.unit = hand.step;
    axis.base = hand.low <= 0 && 0 <= hand.high ? 0 : hand.low;
    axis.fixedRange = true;
    return axis;
}

}  // namespace hg
