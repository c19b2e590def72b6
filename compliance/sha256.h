// SHA-256 of a byte string (FIPS 180-4), as 64 lower-case hexadecimal digits: the fingerprint a
// report prints for the limit file it judged with, so that a reader can tell the shipped set
// from a changed copy.
#pragma once

#include <string>
#include <string_view>

namespace hg {

std::string sha256Hex(std::string_view bytes);

}  // namespace hg
