// Whole-number and text-to-number rules of the classic runtime the recordings and screens follow.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace hg {

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double x);

// Rounded half to even into 16 or 32 bits; empty when the result does not fit (or x is NaN).
std::optional<int16_t> toInt16(double x);
std::optional<int32_t> toInt32(double x);

// Integer division truncating toward zero, and Mod keeping the sign of the dividend
// (-7 \ 2 = -3, -7 Mod 2 = -1). b must not be 0.
constexpr int64_t intDiv(int64_t a, int64_t b) {
    return a / b;
}
constexpr int64_t classicMod(int64_t a, int64_t b) {
    return a % b;
}

// Val: the leading numeric part of a text ("  12.5kV" -> 12.5, "abc" -> 0, "8.0" -> 8,
// "1e3" -> 1000, "-3" -> -3). Leading blanks are skipped.
double val(std::string_view text);

// Mid: the characters of a UTF-8 text from position `first` (1-based) for at most `count`
// characters (to the end when `count` is npos); empty when `first` is 0 or past the end.
// Characters, not bytes, so a box holding full-width characters is never cut inside one.
std::string_view mid(std::string_view text, std::size_t first,
                     std::size_t count = std::string_view::npos);

// The decimal value of the text's characters from position `first` (1-based) for `count`
// characters, as Val reads them; missing characters read as nothing.
double valMid(std::string_view text, std::size_t first, std::size_t count);

}  // namespace hg
