#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "platform/system_files.h"

namespace hg::sys {

namespace {

int descriptor(FileHandle handle) {
    return static_cast<int>(handle);
}

}  // namespace

bool isFolderSeparator(char c) {
    return c == '/';
}

PathStatus pathStatus(const std::string& path) {
    PathStatus s;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        s.error = errno;
        return s;
    }
    s.kind = S_ISREG(st.st_mode)   ? PathKind::Regular
             : S_ISDIR(st.st_mode) ? PathKind::Folder
                                   : PathKind::Other;
    s.size = static_cast<uint64_t>(st.st_size);
    s.identity = std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    return s;
}

std::string normalPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path normal =
        std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
    return ec ? std::string() : normal.lexically_normal().string();
}

std::vector<std::string> regularFilesIn(const std::string& folder, int& error) {
    std::vector<std::string> names;
    error = 0;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        error = errno;
        return names;
    }
    const std::string prefix = folder + (folder.back() == '/' ? "" : "/");
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat st {};
        if (::stat((prefix + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

int makeFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
}

void removeEmptyFolder(const std::string& path) {
    ::rmdir(path.c_str());
}

ReadOnlyFile ReadOnlyFile::open(const std::string& path) {
    // Opened without waiting: a FIFO or a device would otherwise block the open itself. Only a
    // regular file is read, and then with ordinary blocking reads.
    ReadOnlyFile f;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        f.failure_ = Failure::Open;
        f.error_ = errno;
        return f;
    }
    f.handle_ = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        f.failure_ = Failure::Inspect;
        f.error_ = errno;
    } else if (!S_ISREG(st.st_mode)) {
        f.failure_ = Failure::NotRegular;
    } else if (const int flags = ::fcntl(fd, F_GETFL);
               flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        f.failure_ = Failure::Open;
        f.error_ = errno;
    } else {
        f.size_ = static_cast<uint64_t>(st.st_size);
        return f;
    }
    f.close();
    return f;
}

void ReadOnlyFile::close() {
    if (handle_ != kNoFile) ::close(descriptor(handle_));
    handle_ = kNoFile;
}

long long ReadOnlyFile::readAt(uint64_t offset, void* destination, std::size_t bytes,
                               int& error) const {
    for (;;) {
        const ssize_t got =
            ::pread(descriptor(handle_), destination, bytes, static_cast<off_t>(offset));
        if (got >= 0) return got;
        if (errno != EINTR) {
            error = errno;
            return -1;
        }
    }
}

int createNewFile(const std::string& path, FileHandle& handle) {
    for (;;) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        handle = fd;
        if (fd >= 0) return 0;
        if (errno != EINTR) return errno;
    }
}

void keepPermissionsOf(const std::string& earlier, FileHandle handle) {
    struct stat old {};
    if (::stat(earlier.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        (void)::fchmod(descriptor(handle), old.st_mode & 07777);
}

int writeSome(FileHandle handle, const char* data, std::size_t size, std::size_t& written) {
    written = 0;
    for (;;) {
        const ssize_t done = ::write(descriptor(handle), data, size);
        if (done > 0) {
            written = static_cast<std::size_t>(done);
            return 0;
        }
        if (done == 0) return ENOSPC;
        if (errno != EINTR) return errno;
    }
}

int closeFile(FileHandle handle) {
    // An interrupted close has closed the descriptor all the same.
    return ::close(descriptor(handle)) == 0 || errno == EINTR ? 0 : errno;
}

int replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int linkFile(const std::string& existing, const std::string& name) {
    return ::link(existing.c_str(), name.c_str()) == 0 ? 0 : errno;
}

void removeFile(const std::string& path) {
    ::unlink(path.c_str());
}

std::string followLinks(const std::string& start) {
    std::string path = start;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) break;
        link.resize(static_cast<std::size_t>(n));
        path = link.front() == '/' ? link : path.substr(0, path.find_last_of('/') + 1) + link;
    }
    return path;
}

}  // namespace hg::sys
