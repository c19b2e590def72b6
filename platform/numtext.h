// The two number texts of the system, one rule each.
//
// General form: a leading blank when not negative, "-" otherwise; the shortest text that reads back
// as the stored value, at most 7 significant digits for single precision and 15 for double; fixed
// notation when 1E-4 <= |x| < 1E7 (single) or 1E15 (double) for the written (rounded) value, else
// exponent form with sign and at least two exponent digits (" 1E-05", " 1.234568E+07").
// Negative zero is written as zero. Not a number is written " NaN", infinities " Infinity" and
// "-Infinity". Never taken from the process locale.
//  - File form (CSV fields): with the zero before the decimal point and one trailing blank:
//    " 0.5 ", "-170 ", " 0 ". The CSV writers pass recorded values through unchanged, so a
//    damaged record can carry values that are no finite number: those are written without
//    blanks, "NaN", "Infinity", "-Infinity", which spreadsheets and data-frame readers read as
//    numbers.
//  - Label form (graph labels on screen and paper): no zero before the decimal point and no
//    trailing blank: " .5", "-.25", " 90".
#pragma once

#include <cstddef>
#include <string>

namespace hg {

// File form, written at `out` (the CSV writers' hot path: room for kFileNumberRoom characters;
// returns the end), appended to a text, or returned.
constexpr std::size_t kFileNumberRoom = 48;
char* writeFileNumber(char* out, float value);
char* writeFileNumber(char* out, double value);
void appendFileNumber(std::string& out, float value);
void appendFileNumber(std::string& out, double value);
std::string fileNumber(float value);
std::string fileNumber(double value);

// Label form of a double (labels are computed in double precision), or of a single.
std::string labelNumber(double value);
std::string labelNumber(float value);

// A whole number as plain digits without blanks ("200", "-3"): factor texts, hour labels.
std::string plainInteger(long long value);

}  // namespace hg
