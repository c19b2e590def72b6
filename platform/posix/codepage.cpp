#include <iconv.h>

#include "platform/system_codepage.h"

namespace hg::sys {

Encoded encodeCodePage932(std::string_view utf8, std::string& out) {
    iconv_t cd = ::iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return Encoded::NoConverter;
    out.assign(utf8.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* dst = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = ::iconv(cd, &in, &inLeft, &dst, &outLeft);
    ::iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1)) return Encoded::Unrepresentable;
    out.resize(out.size() - outLeft);
    return Encoded::Done;
}

}  // namespace hg::sys
