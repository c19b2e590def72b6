#include "platform/small_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system_reason.h"

namespace hg {

namespace {

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

Result<std::string> readSmallRegularFile(const std::string& path, std::size_t maxBytes) {
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)};
    if (file.fd < 0) return Error{"開けません（" + systemReasonText(errno) + "）"};
    struct stat st {};
    if (::fstat(file.fd, &st) != 0) return Error{"読めません（" + systemReasonText(errno) + "）"};
    if (!S_ISREG(st.st_mode)) return Error{"通常のファイルではありません"};
    if (static_cast<unsigned long long>(st.st_size) > maxBytes)
        return Error{"大きすぎます（" + std::to_string(maxBytes / 1024) + " KB まで）"};
    // The file may grow while it is read: one byte past the cap is read to tell.
    std::string text(maxBytes + 1, '\0');
    std::size_t used = 0;
    while (used < text.size()) {
        const ssize_t n = ::read(file.fd, text.data() + used, text.size() - used);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Error{"読めません（" + systemReasonText(errno) + "）"};
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    if (used > maxBytes)
        return Error{"大きすぎます（" + std::to_string(maxBytes / 1024) + " KB まで）"};
    text.resize(used);
    return text;
}

}  // namespace hg
