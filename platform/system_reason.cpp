#include "platform/system_reason.h"

#include <cerrno>
#include <cstring>

namespace hg {

std::string systemReasonText(int err) {
    switch (err) {
        case ENOENT:
            return "ファイルまたはフォルダーがありません";
        case EACCES:
        case EPERM:
            return "アクセスが許可されていません";
        case ENOSPC:
            return "ディスクに空きがありません";
        case EROFS:
            return "読み取り専用のファイルシステムです";
        case EISDIR:
            return "フォルダーです";
        case EFBIG:
            return "ファイルが大きすぎます";
        case EIO:
            return "入出力エラーです";
        default:
            return std::strerror(err);
    }
}

}  // namespace hg
