#include "support_scratch.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace hg::test {

std::string scratchPath(std::string_view name) {
    // One folder per process under $HARMO_TMP (or the system's temporary folder), removed at exit.
    static const struct Folder {
        std::filesystem::path path;
        Folder() {
            const char* root = std::getenv("HARMO_TMP");
            std::filesystem::path base =
                root && *root ? root : std::filesystem::temp_directory_path();
            std::filesystem::create_directories(base);
            std::string pattern = (base / "core-XXXXXX").string();
            if (!::mkdtemp(pattern.data()))
                throw std::runtime_error("mkdtemp failed in " + pattern);
            path = pattern;
        }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } folder;
    return (folder.path / std::string(name)).string();
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace hg::test
