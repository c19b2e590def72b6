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
//
// Singles of the fixed range whose seven-digit rounding does not read back take a short way: then
// no text of seven digits or fewer reads back (the interval of such a single is symmetric, and
// the seven-digit rounding is the closest seven-digit text), so the answer is that rounding, done
// here exactly in 64-bit integers. This is the case of two measurements in three.
bool roundedSevenDigits(float magnitude, Decimal& d) {
    static constexpr uint64_t kPow10[] = {
        1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000, 10000000000};
    uint32_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>(bits >> 23);
    const uint64_t fraction = bits & 0x7FFFFFu;
    // Subnormals and powers of two (whose interval is lopsided) go the long way.
    if (biased == 0 || fraction == 0) return false;
    const uint64_t m = fraction | 0x800000u;
    const int binary = biased - 127;  // 2^binary <= x < 2^(binary + 1)
    const int s = 23 - binary;        // x = m / 2^s
    if (s < 1 || s > 37) return false;
    int e10 = (binary * 78913) >> 18;  // floor(binary x log10 2): x < 10^(e10 + 2)
    int k = 6 - e10;
    if (k < 0 || k > 10) return false;
    uint64_t n = m * kPow10[k];  // x 10^k = n / 2^s
    if (n >= kPow10[7] << s) {
        ++e10;
        if (--k < 0) return false;
        n = m * kPow10[k];
    }
    if (e10 < -4 || e10 >= Digits<float>::fixedLimit) return false;
    // The seven digits: n / 2^s rounded half to even.
    uint64_t q = n >> s;
    const uint64_t rest = n & ((uint64_t{1} << s) - 1), half = uint64_t{1} << (s - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
    if (q >= kPow10[7]) return false;  // carried into an eighth digit
    // They read back when within half a unit of x (10^k / 2^(s+1) here), the tie going to the
    // even neighbour.
    const uint64_t a = q << (s + 1), b = n << 1;
    const uint64_t distance = a > b ? a - b : b - a;
    if (distance < kPow10[k] || (distance == kPow10[k] && (m & 1) == 0)) return false;
    for (int i = 6; i >= 0; --i, q /= 10) d.buf[i] = static_cast<char>('0' + q % 10);
    d.digits = d.buf;
    d.count = 7;
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
    d.exponent = e10;
    return true;
}

template <class T>
void toDecimal(T magnitude, Decimal& d) {
    constexpr int P = Digits<T>::significant;
    if constexpr (std::is_same_v<T, float>) {
        if (roundedSevenDigits(magnitude, d)) return;
    }
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

// The same for the digits and zeros of a number, as fixed-size moves: `from` has 24 readable
// characters and `out` room for 24 (digits) or 16 (zeros) more, which every caller below leaves
// within the 48 characters of a number's room and of Decimal::buf.
char* copyDigits(char* out, const char* from, int count) {
    std::memcpy(out, from, 24);
    return out + count;
}
char* fillZeros(char* out, int count) {
    std::memset(out, '0', 16);
    return out + count;
}

// Whole numbers below this are written by their digits: 10^7 for singles, 10^15 for doubles
// (every whole number below it is exact and no shorter text reads back as it).
template <class T>
constexpr T kWholeLimit = static_cast<T>(Digits<T>::fixedLimit == 7 ? 1e7 : 1e15);

char* writeDigits(char* out, uint64_t n) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char tmp[48];  // at most 15 digits end at tmp + 24, so 24 characters can be read from p
    char* const end = tmp + 24;
    char* p = end;
    while (n >= 100) {
        p -= 2;
        std::memcpy(p, kPairs + 2 * (n % 100), 2);
        n /= 100;
    }
    if (n >= 10) {
        p -= 2;
        std::memcpy(p, kPairs + 2 * n, 2);
    } else {
        *--p = static_cast<char>('0' + n);
    }
    return copyDigits(out, p, static_cast<int>(end - p));
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
    const T magnitude = negative ? -value : value;
    // Whole numbers below the exponent form's limit (angles, most counts) are exact and their
    // shortest text is their digits: written straight, without the decimal conversion.
    if (magnitude < kWholeLimit<T> && static_cast<T>(static_cast<int64_t>(magnitude)) == magnitude)
        return writeDigits(out, static_cast<uint64_t>(magnitude));
    Decimal d;
    toDecimal(magnitude, d);
    const int e = d.exponent;
    if (e >= -4 && e < Digits<T>::fixedLimit) {
        if (e >= 0) {
            // Integer part: the first e + 1 digits, padded with zeros when the digits run out.
            if (d.count <= e + 1)
                return fillZeros(copyDigits(out, d.digits, d.count), e + 1 - d.count);
            out = copyDigits(out, d.digits, e + 1);
            *out++ = '.';
            return copyDigits(out, d.digits + e + 1, d.count - e - 1);
        }
        if (leadingZero) *out++ = '0';
        *out++ = '.';
        out = fillZeros(out, -e - 1);
        return copyDigits(out, d.digits, d.count);
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

// In a file a value that is no number, or infinite, is written bare ("NaN", "Infinity",
// "-Infinity"), so that spreadsheets and data-frame readers still take the column as numbers.
template <class T>
char* writeNonFinite(char* out, T value) {
    if (std::isnan(value)) return copy(out, "NaN", 3);
    return value < 0 ? copy(out, "-Infinity", 9) : copy(out, "Infinity", 8);
}

template <class T>
void appendFile(std::string& out, T value) {
    char buf[kFileNumberRoom];
    out.append(buf, static_cast<std::size_t>(writeFileNumber(buf, value) - buf));
}

template <class T>
std::string label(T value) {
    char buf[48];
    char* end = writeNumber(buf, value, false);
    return std::string(buf, static_cast<std::size_t>(end - buf));
}

}  // namespace

char* writeFileNumber(char* out, float value) {
    if (!std::isfinite(value)) return writeNonFinite(out, value);
    char* end = writeNumber(out, value, true);
    *end++ = ' ';
    return end;
}
char* writeFileNumber(char* out, double value) {
    if (!std::isfinite(value)) return writeNonFinite(out, value);
    char* end = writeNumber(out, value, true);
    *end++ = ' ';
    return end;
}

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
