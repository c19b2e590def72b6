#include "platform/textcode.h"

#include <cctype>

#include "platform/system_codepage.h"

namespace hg {

Result<std::string> encodeText(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) return std::string(utf8);
    std::string out;
    switch (sys::encodeCodePage932(utf8, out)) {
        case sys::Encoded::Done:
            return out;
        case sys::Encoded::NoConverter:
            return Error{"文字コード CP932 への変換が使えません"};
        case sys::Encoded::Unrepresentable:
            break;
    }
    return Error{"CP932 で表せない文字があります: " + std::string(utf8)};
}

std::string_view fileStartBytes(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? std::string_view("\xEF\xBB\xBF") : std::string_view();
}

Result<TextEncoding> parseEncodingName(std::string_view name) {
    std::string n;
    for (char c : name) n.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (n == "cp932" || n == "sjis" || n == "shift_jis" || n == "shift-jis" || n == "ms932")
        return TextEncoding::Cp932;
    if (n == "utf-8" || n == "utf8") return TextEncoding::Utf8;
    return Error{"unknown encoding \"" + std::string(name) + "\" (cp932 or utf-8)"};
}

}  // namespace hg
