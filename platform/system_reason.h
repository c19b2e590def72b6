// The reason a file operation failed, as the messages give it: the common reasons in Japanese,
// the system's own text for the rest.
#pragma once

#include <string>

namespace hg {

// The reason of a system error number: "ファイルまたはフォルダーがありません" for no such file or
// folder, "アクセスが許可されていません" for permission denied, and so on for a full disk, a
// read-only file system, a folder where a file was meant, a file too large and an I/O error;
// any other number gives the system's text.
std::string systemReasonText(int err);

}  // namespace hg
