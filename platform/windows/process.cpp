#include "platform/windows/wide.h"
// after windows.h
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/system_process.h"

namespace hg::sys {

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> words;
    for (int i = 0; i < count; ++i) words.push_back(narrow(wide[i]));
    LocalFree(wide);
    return words;
}

void prepareStandardStreams() {
    // Bytes as the program writes them: CSV names and messages in UTF-8, "\n" line ends.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}

std::string programPath(const char* argv0) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return argv0;
        if (n < path.size()) return narrow(std::wstring_view(path.data(), n));
        path.resize(path.size() * 2);
    }
}

unsigned processId() {
    return static_cast<unsigned>(GetCurrentProcessId());
}

bool standardErrorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

bool displayAvailable() {
    return true;  // a Windows desktop always has one
}

}  // namespace hg::sys
