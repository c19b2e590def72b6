#include "platform/file_identity.h"

#include <sys/stat.h>

#include <filesystem>

namespace hg {

std::string fileIdentity(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return "inode " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    std::error_code ec;
    const std::filesystem::path normal =
        std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
    return "path " + (ec ? path : normal.lexically_normal().string());
}

}  // namespace hg
