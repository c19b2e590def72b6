#include "platform/system_codepage.h"
#include "platform/windows/wide.h"

namespace hg::sys {

namespace {
constexpr UINT kCodePage932 = 932;
}

Encoded encodeCodePage932(std::string_view utf8, std::string& out) {
    out.clear();
    if (utf8.empty()) return Encoded::Done;
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (n <= 0) return Encoded::Unrepresentable;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), n);
    // No best fit: a character without its own code is refused, never replaced by a look-alike.
    BOOL usedDefault = FALSE;
    const int bytes = WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide.data(), n,
                                          nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault) return Encoded::Unrepresentable;
    out.assign(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide.data(), n, out.data(), bytes,
                        nullptr, &usedDefault);
    return usedDefault ? Encoded::Unrepresentable : Encoded::Done;
}

}  // namespace hg::sys
