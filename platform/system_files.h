// The file system as the program uses it, behind one small interface with a POSIX and a Windows
// implementation (platform/posix/, platform/windows/), chosen when the program is built. Paths are
// UTF-8 everywhere inside the program; the Windows implementation hands them to the wide-character
// file API. Failures are reported as error numbers in the C library's errno values (a Windows error
// with no such counterpart as its negated code), which systemReasonText() words in Japanese.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hg::sys {

// An open file of the system (a POSIX descriptor, a Windows handle); kNoFile when none.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// Whether `c` separates folders in a path here: "/" on POSIX, "/" and "\" on Windows.
bool isFolderSeparator(char c);

enum class PathKind { Missing, Regular, Folder, Other };

// What a path names, its links followed. `Other` is a device, a FIFO, a socket.
struct PathStatus {
    PathKind kind = PathKind::Missing;
    int error = 0;         // why the path could not be looked at (ENOENT when nothing is there)
    uint64_t size = 0;     // of a regular file
    std::string identity;  // equal for every name of one existing file (device and file number)
};
PathStatus pathStatus(const std::string& path);
inline bool exists(const std::string& path) {
    return pathStatus(path).kind != PathKind::Missing;
}
inline bool isFolder(const std::string& path) {
    return pathStatus(path).kind == PathKind::Folder;
}

// The absolute form of a path that need not exist, "." and ".." taken away: on POSIX with the
// existing folders on the way resolved through their links; on Windows, where names are compared
// without regard to case, in one case. Empty when it cannot be formed.
std::string normalPath(const std::string& path);

// The names (no folder) of the regular files in `folder`, in no particular order; folders, devices
// and the like are left out. `error` is set when the folder cannot be read.
std::vector<std::string> regularFilesIn(const std::string& folder, int& error);

// 0, or the error number.
int makeFolder(const std::string& path);
void removeEmptyFolder(const std::string& path);

// A regular file open for reading. Opening never waits: a FIFO or a device named like a data
// file is refused at once, as is a folder.
class ReadOnlyFile {
  public:
    enum class Failure { None, Open, Inspect, NotRegular };

    static ReadOnlyFile open(const std::string& path);
    ReadOnlyFile() = default;
    ReadOnlyFile(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile();

    bool isOpen() const { return handle_ != kNoFile; }
    // Which step failed, and its error number (none for NotRegular).
    Failure failure() const { return failure_; }
    int error() const { return error_; }
    uint64_t size() const { return size_; }
    // Reads up to `bytes` bytes at `offset` (an interrupted read is retried): the count read, 0 at
    // the end of the file, -1 on an error whose number `error` receives. Safe from several threads.
    long long readAt(uint64_t offset, void* destination, std::size_t bytes, int& error) const;

  private:
    void close();
    FileHandle handle_ = kNoFile;
    uint64_t size_ = 0;
    Failure failure_ = Failure::None;
    int error_ = 0;
};

// The steps of writing a file safely: a new temporary file, written, closed, then put in place of
// the target in one step. Each returns 0 or an error number.

// Creates `path`, which must not exist yet (EEXIST when it does), for writing.
int createNewFile(const std::string& path, FileHandle& handle);
// Gives the new file the permissions of the regular file `earlier` replaces, so that a private
// file stays private (POSIX; on Windows the replacing step keeps the earlier file's attributes and
// access rights).
void keepPermissionsOf(const std::string& earlier, FileHandle handle);
// Writes some of the bytes; `written` receives how many (0 only with an error).
int writeSome(FileHandle handle, const char* data, std::size_t size, std::size_t& written);
int closeFile(FileHandle handle);
// Puts `from` in the place of `to` in one step, in the same folder: readers see the earlier file or
// the new one, never a part. Windows: ReplaceFileW over an existing file, MoveFileExW otherwise.
int replaceFile(const std::string& from, const std::string& to);
// Makes `name` a second name (hard link) of the existing file `existing`.
int linkFile(const std::string& existing, const std::string& name);
void removeFile(const std::string& path);
// The file a path names once its symbolic links are followed, link by link (the link stays a link
// when that file is replaced); the path itself when it is no link.
std::string followLinks(const std::string& path);

}  // namespace hg::sys
