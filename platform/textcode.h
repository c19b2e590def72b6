// Code pages of the text files the system writes. Texts are held in UTF-8 inside the program;
// files are written in code page 932 (Shift_JIS, the Japanese ANSI code page) unless the user
// asks for UTF-8. Conversion goes through the system's converter (system_codepage.h).
#pragma once

#include <string>
#include <string_view>

#include "platform/result.h"

namespace hg {

enum class TextEncoding { Cp932, Utf8 };

// The bytes of a UTF-8 text in the given encoding; refuses a character code page 932 cannot hold.
Result<std::string> encodeText(std::string_view utf8, TextEncoding encoding);

// What a text file of the encoding starts with: the byte-order mark for UTF-8, so that
// spreadsheet programs on Japanese systems do not take the file for code page 932; nothing for
// code page 932.
std::string_view fileStartBytes(TextEncoding encoding);

// "cp932" / "utf-8" (also "utf8", "sjis", "shift_jis", any case); anything else is refused.
Result<TextEncoding> parseEncodingName(std::string_view name);

}  // namespace hg
