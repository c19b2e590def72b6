#include "platform/system_reason.h"

#include <cerrno>
#include <string_view>

namespace hg {

namespace {

struct Reason {
    int err;
    std::string_view text;
};

// The reasons a user of the file operations meets, in Japanese.
const Reason kReasons[] = {
    {ENOENT, "ファイルまたはフォルダーがありません"},
    {EACCES, "アクセスが許可されていません"},
    {EPERM, "アクセスが許可されていません"},
    {ENOSPC, "ディスクに空きがありません"},
#ifdef EDQUOT
    {EDQUOT, "ディスクの使用量の上限を超えました"},
#endif
    {EROFS, "読み取り専用のファイルシステムです"},
    {EISDIR, "フォルダーです"},
    {ENOTDIR, "途中の名前がフォルダーではありません"},
    {ENAMETOOLONG, "名前が長すぎます"},
    {EEXIST, "同じ名前のものがすでにあります"},
    {ELOOP, "リンクの参照が多すぎます（循環しています）"},
    {EFBIG, "ファイルが大きすぎます"},
    {EIO, "入出力エラーです"},
    {EBUSY, "使用中です"},
    {ETXTBSY, "使用中です"},
    {EMFILE, "開いているファイルが多すぎます"},
    {ENFILE, "開いているファイルが多すぎます"},
    {ENOMEM, "メモリーが足りません"},
    {EINVAL, "引数が正しくありません"},
    {EXDEV, "別のドライブへは移動できません"},
    {ENOTEMPTY, "フォルダーが空ではありません"},
    {ENXIO, "装置がありません"},
    {ENODEV, "装置がありません"},
    {EAGAIN, "一時的に使えません"},
    {EINTR, "中断されました"},
#ifdef ESTALE
    {ESTALE, "ネットワーク上のファイルが見つからなくなりました"},
#endif
    {ETIMEDOUT, "時間切れです"},
};

}  // namespace

std::string systemReasonText(int err) {
    for (const Reason& r : kReasons)
        if (r.err == err) return std::string(r.text);
    // A Windows error without an errno counterpart comes negated (system_files.h).
    return "システムエラー（番号 " + std::to_string(err < 0 ? -err : err) + "）";
}

}  // namespace hg
