#include "platform/classic.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace hg {

double roundHalfEven(double x) {
    // nearbyint honours the current rounding mode, which is round-to-nearest-even by default.
    return std::nearbyint(x);
}

namespace {
template <class Int>
std::optional<Int> toInt(double x) {
    if (!std::isfinite(x)) return std::nullopt;
    const double r = roundHalfEven(x);
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(r);
}
}  // namespace

std::optional<int16_t> toInt16(double x) {
    return toInt<int16_t>(x);
}
std::optional<int32_t> toInt32(double x) {
    return toInt<int32_t>(x);
}

double val(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, digits = true;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, digits = true;
    }
    if (!digits) return 0.0;
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        bool expDigits = false;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j, expDigits = true;
        if (expDigits) end = j;
    }
    // from_chars reads the accepted characters independent of the process locale.
    std::string_view number = text.substr(start, end - start);
    if (number.front() == '+') number.remove_prefix(1);
    double value = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

namespace {
// Byte position of the character after `count` characters from byte `pos` (UTF-8 continuation
// bytes 10xxxxxx belong to the character before them).
std::size_t skipChars(std::string_view text, std::size_t pos, std::size_t count) {
    while (count > 0 && pos < text.size()) {
        ++pos;
        while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
        --count;
    }
    return pos;
}
}  // namespace

std::string_view mid(std::string_view text, std::size_t first, std::size_t count) {
    if (first == 0) return {};
    const std::size_t begin = skipChars(text, 0, first - 1);
    if (begin >= text.size()) return {};
    const std::size_t end =
        count == std::string_view::npos ? text.size() : skipChars(text, begin, count);
    return text.substr(begin, end - begin);
}

double valMid(std::string_view text, std::size_t first, std::size_t count) {
    return val(mid(text, first, count));
}

}  // namespace hg
