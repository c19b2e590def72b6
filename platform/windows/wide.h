// The Windows side of the system interface: UTF-8 paths and texts as the wide characters the
// system takes, and its error codes as errno values. Only platform/windows/ includes this.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace hg::sys {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

// The errno value of a Windows error code (ENOENT for a file or path not found, EACCES for access
// denied ...); a code without one comes negated, and systemReasonText() shows its number.
int errorNumber(DWORD code);
inline int lastErrorNumber() {
    return errorNumber(GetLastError());
}

}  // namespace hg::sys
