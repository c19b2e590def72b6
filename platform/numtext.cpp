#include "platform/numtext.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>

namespace hg {

namespace {

// Precision rules of the two stored types: the most significant digits written, and the decimal
// exponent from which the exponent form takes over (|x| >= 10^fixedLimit).
template <class T>
struct Digits;
template <>
struct Digits<float> {
    static constexpr int significant = 7;
    static constexpr int fixedLimit = 7;
};
template <>
struct Digits<double> {
    static constexpr int significant = 15;
    static constexpr int fixedLimit = 15;
};

// A finite, non-zero magnitude as its significant digits (no leading or trailing zeros) and the
// decimal exponent of the first digit: value = d1.d2d3... x 10^exponent. The digits stay in the
// conversion buffer.
struct Decimal {
    char buf[48];
    char* digits = nullptr;
    int count = 0;
    int exponent = 0;
};

// Converts with std::to_chars in scientific form ("1.2345e+07", "5e-01"; shortest when precision
// is negative) and splits the text in place: the first digit moves over the decimal point so the
// digits run on, the exponent (two or three digits) is read from the end.
template <class T>
void convert(T magnitude, Decimal& d, int precision) {
    char* const first = d.buf;
    char* const last = d.buf + sizeof d.buf;
    const auto r =
        precision < 0
            ? std::to_chars(first, last, magnitude, std::chars_format::scientific)
            : std::to_chars(first, last, magnitude, std::chars_format::scientific, precision);
    const char* end = r.ptr;
    const bool threeDigits = end[-4] != 'e';
    const char* e = end - (threeDigits ? 5 : 4);
    int exponent = (end[-2] - '0') * 10 + (end[-1] - '0');
    if (threeDigits) exponent += (end[-3] - '0') * 100;
    d.exponent = e[1] == '-' ? -exponent : exponent;
    if (e == first + 1) {
        d.digits = first;
        d.count = 1;
        return;
    }
    first[1] = first[0];
    d.digits = first + 1;
    d.count = static_cast<int>(e - d.digits);
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
}

// Whether the single x lies above, on or below the decimal N x 10^k (-1, 0, 1 as x <, =, > it),
// exactly, in integers: x = m x 2^q, N x 10^k = N x 5^k x 2^k. Empty when 5^|k| would not leave
// room in 128 bits.
std::optional<int> compareExact(float x, uint64_t n, int k) {
    if (k < -27 || k > 27) return std::nullopt;
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    const uint32_t biased = bits >> 23;
    const uint32_t fraction = bits & 0x7FFFFFu;
    unsigned __int128 a = biased == 0 ? fraction : (fraction | 0x800000u);
    const int q = biased == 0 ? -149 : static_cast<int>(biased) - 150;
    unsigned __int128 b = n;
    for (int i = 0; i < (k < 0 ? -k : k); ++i) (k < 0 ? a : b) *= 5;
    // Both sides are now near each other (x is within half a unit of the decimal), so the shift
    // that brings the powers of two together stays inside 128 bits.
    const int t = q - k;
    if (t >= 0)
        a <<= t;
    else
        b <<= -t;
    return a < b ? -1 : a > b ? 1 : 0;
}

// The shortest digits that read back as `magnitude`; when they need more than the type's P
// significant digits, the value rounded to P digits (half to even), trailing zeros removed.
//
// The rounding to P digits is taken from the shortest digits S where that is exact, which spares
// a second conversion for most measurements (two singles in three need eight or nine digits).
// Let B be the P-digit rounding boundary nearest the value x (P digits then a 5: P + 1 digits).
// S is the shortest text inside the interval of texts that read back as x, and the closest to x
// among texts of its length. If S has more than P + 1 digits, B is not inside the interval (it
// would be shorter than S), so x and S lie on the same side of B. If S has P + 1 digits and is
// not B itself, B inside the interval cannot lie between x and S (it would be closer to x than
// S), so again both lie on the same side. Only when S is B (P + 1 digits ending in 5) can x lie
// on either side; then x is compared with B exactly (singles), or the value itself is rounded by
// std::to_chars with precision P.
template <class T>
void toDecimal(T magnitude, Decimal& d) {
    constexpr int P = Digits<T>::significant;
    convert(magnitude, d, -1);
    if (d.count <= P) return;
    bool up = d.digits[P] >= '5';
    if (d.count == P + 1 && d.digits[P] == '5') {
        std::optional<int> side;
        if constexpr (std::is_same_v<T, float>) {
            uint64_t n = 0;
            for (int i = 0; i <= P; ++i) n = n * 10 + static_cast<uint64_t>(d.digits[i] - '0');
            side = compareExact(magnitude, n, d.exponent - P);
        }
        if (!side) {
            convert(magnitude, d, P - 1);
            return;
        }
        up = *side > 0 || (*side == 0 && (d.digits[P - 1] - '0') % 2 == 1);
    }
    d.count = P;
    if (up) {
        int i = P - 1;
        while (i >= 0 && d.digits[i] == '9') --i;
        if (i < 0) {  // 9.999...95 -> 1 x 10^(e+1)
            d.digits[0] = '1';
            d.count = 1;
            ++d.exponent;
            return;
        }
        ++d.digits[i];
        d.count = i + 1;
    }
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
}

char* copy(char* out, const char* from, int count) {
    std::memcpy(out, from, static_cast<std::size_t>(count));
    return out + count;
}

char* fill(char* out, char c, int count) {
    std::memset(out, c, static_cast<std::size_t>(count));
    return out + count;
}

// Writes the number into `out` (room for 48 characters) and returns the end.
template <class T>
char* writeNumber(char* out, T value, bool leadingZero) {
    if (std::isnan(value)) return copy(out, " NaN", 4);
    const bool negative = value < 0;
    *out++ = negative ? '-' : ' ';  // negative zero is written as zero
    if (std::isinf(value)) return copy(out, "Infinity", 8);
    if (value == 0) {
        *out++ = '0';
        return out;
    }
    Decimal d;
    toDecimal(negative ? -value : value, d);
    const int e = d.exponent;
    if (e >= -4 && e < Digits<T>::fixedLimit) {
        if (e >= 0) {
            // Integer part: the first e + 1 digits, padded with zeros when the digits run out.
            if (d.count <= e + 1) return fill(copy(out, d.digits, d.count), '0', e + 1 - d.count);
            out = copy(out, d.digits, e + 1);
            *out++ = '.';
            return copy(out, d.digits + e + 1, d.count - e - 1);
        }
        if (leadingZero) *out++ = '0';
        *out++ = '.';
        out = fill(out, '0', -e - 1);
        return copy(out, d.digits, d.count);
    }
    *out++ = d.digits[0];
    if (d.count > 1) {
        *out++ = '.';
        out = copy(out, d.digits + 1, d.count - 1);
    }
    *out++ = 'E';
    *out++ = e < 0 ? '-' : '+';
    const int a = e < 0 ? -e : e;
    if (a >= 100) *out++ = static_cast<char>('0' + a / 100);
    *out++ = static_cast<char>('0' + a / 10 % 10);
    *out++ = static_cast<char>('0' + a % 10);
    return out;
}

template <class T>
void appendFile(std::string& out, T value) {
    char buf[48];
    char* end = writeNumber(buf, value, true);
    *end++ = ' ';
    out.append(buf, static_cast<std::size_t>(end - buf));
}

template <class T>
std::string label(T value) {
    char buf[48];
    char* end = writeNumber(buf, value, false);
    return std::string(buf, static_cast<std::size_t>(end - buf));
}

}  // namespace

void appendFileNumber(std::string& out, float value) {
    appendFile(out, value);
}
void appendFileNumber(std::string& out, double value) {
    appendFile(out, value);
}

std::string fileNumber(float value) {
    std::string out;
    appendFile(out, value);
    return out;
}

std::string fileNumber(double value) {
    std::string out;
    appendFile(out, value);
    return out;
}

std::string labelNumber(double value) {
    return label(value);
}
std::string labelNumber(float value) {
    return label(value);
}

std::string plainInteger(long long value) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

}  // namespace hg
