#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/system_process.h"

namespace hg::sys {

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void prepareStandardStreams() {}

std::string programPath(const char* argv0) {
    std::error_code ec;
    std::string program = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    return ec || program.empty() ? std::string(argv0) : program;
}

unsigned processId() {
    return static_cast<unsigned>(::getpid());
}

bool standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

bool displayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

}  // namespace hg::sys
