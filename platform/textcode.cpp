#include "platform/textcode.h"

#include <iconv.h>

#include <cctype>

namespace hg {

Result<std::string> encodeText(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) return std::string(utf8);
    iconv_t cd = ::iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return Error{"文字コード CP932 への変換が使えません（iconv）"};
    std::string out(utf8.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* dst = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = ::iconv(cd, &in, &inLeft, &dst, &outLeft);
    ::iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) {
        return Error{"CP932 で表せない文字があります: " + std::string(utf8)};
    }
    out.resize(out.size() - outLeft);
    return out;
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
