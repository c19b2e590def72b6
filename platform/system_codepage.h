// Code page 932 (Shift_JIS) from UTF-8, by the system's own converter: the C library's iconv on
// POSIX, WideCharToMultiByte on Windows. Both give Microsoft's mapping of code page 932.
#pragma once

#include <string>
#include <string_view>

namespace hg::sys {

enum class Encoded { Done, Unrepresentable, NoConverter };

// The UTF-8 text in code page 932 into `out`; Unrepresentable when a character has no code there.
Encoded encodeCodePage932(std::string_view utf8, std::string& out);

}  // namespace hg::sys
