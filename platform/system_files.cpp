// The parts of the file interface that are the same on every system.
#include "platform/system_files.h"

#include <utility>

namespace hg::sys {

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoFile)),
      size_(other.size_),
      failure_(other.failure_),
      error_(other.error_) {}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, kNoFile);
        size_ = other.size_;
        failure_ = other.failure_;
        error_ = other.error_;
    }
    return *this;
}

ReadOnlyFile::~ReadOnlyFile() {
    close();
}

}  // namespace hg::sys
