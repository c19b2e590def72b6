// The reason a file operation failed, as the messages give it, always in Japanese.
#pragma once

#include <string>

namespace hg {

// The reason of a system error number: "ファイルまたはフォルダーがありません" for no such file or
// folder, "アクセスが許可されていません" for permission denied, and so on for the common numbers
// (a full disk, a read-only file system, a folder expected or found, a name too long, a loop of
// links ...); any other number gives "システムエラー（番号 N）", N being a Windows error's own
// code when it came negated.
std::string systemReasonText(int err);

}  // namespace hg
