#include "platform/small_file.h"

#include "platform/system_files.h"
#include "platform/system_reason.h"

namespace hg {

Result<std::string> readSmallRegularFile(const std::string& path, std::size_t maxBytes) {
    const sys::ReadOnlyFile file = sys::ReadOnlyFile::open(path);
    switch (file.failure()) {
        case sys::ReadOnlyFile::Failure::Open:
            return Error{"開けません（" + systemReasonText(file.error()) + "）"};
        case sys::ReadOnlyFile::Failure::Inspect:
            return Error{"読めません（" + systemReasonText(file.error()) + "）"};
        case sys::ReadOnlyFile::Failure::NotRegular:
            return Error{"通常のファイルではありません"};
        case sys::ReadOnlyFile::Failure::None:
            break;
    }
    if (file.size() > maxBytes)
        return Error{"大きすぎます（" + std::to_string(maxBytes / 1024) + " KB まで）"};
    // The file may grow while it is read: one byte past the cap is read to tell.
    std::string text(maxBytes + 1, '\0');
    std::size_t used = 0;
    while (used < text.size()) {
        int err = 0;
        const long long n = file.readAt(used, text.data() + used, text.size() - used, err);
        if (n < 0) return Error{"読めません（" + systemReasonText(err) + "）"};
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    if (used > maxBytes)
        return Error{"大きすぎます（" + std::to_string(maxBytes / 1024) + " KB まで）"};
    text.resize(used);
    return text;
}

}  // namespace hg
