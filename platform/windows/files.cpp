#include <algorithm>
#include <cerrno>

#include "platform/system_files.h"
#include "platform/windows/wide.h"

namespace hg::sys {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Reads and writes go in pieces a DWORD can count.
constexpr std::size_t kPiece = std::size_t{1} << 30;

HANDLE handleOf(FileHandle h) {
    return reinterpret_cast<HANDLE>(h);
}

// An existing path opened for `access` (0: only to ask about it); folders open too.
HANDLE openExisting(const std::string& path, DWORD access) {
    return CreateFileW(widen(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// What an open handle is: a file on a disk (regular or folder, with its volume and file number) or
// something else (a console, a pipe, the NUL device).
PathStatus statusOf(HANDLE h) {
    PathStatus s;
    if (GetFileType(h) != FILE_TYPE_DISK) {
        s.kind = PathKind::Other;
        return s;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info)) {
        s.error = lastErrorNumber();
        return s;
    }
    const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    s.kind = folder ? PathKind::Folder : PathKind::Regular;
    s.size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    s.identity = std::to_string(info.dwVolumeSerialNumber) + ":" +
                 std::to_string((uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
    return s;
}

// The absolute form of a path ("\\" separated, "." and ".." taken away); empty when none.
std::wstring fullPath(const std::wstring& path) {
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return {};
    std::wstring full(n, L'\0');
    const DWORD used = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (used == 0 || used >= n) return {};
    full.resize(used);
    return full;
}

// The name the system finally gives an existing folder (its links followed), without the "\\?\"
// prefix; empty when it cannot be opened.
std::wstring finalFolderName(const std::wstring& folder) {
    const HANDLE h = CreateFileW(folder.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::wstring name(MAX_PATH, L'\0');
    DWORD n = GetFinalPathNameByHandleW(h, name.data(), static_cast<DWORD>(name.size()), 0);
    if (n >= name.size()) {
        name.resize(n + 1);
        n = GetFinalPathNameByHandleW(h, name.data(), static_cast<DWORD>(name.size()), 0);
    }
    CloseHandle(h);
    if (n == 0 || n >= name.size()) return {};
    name.resize(n);
    return name.starts_with(L"\\\\?\\") ? name.substr(4) : name;
}

}  // namespace

bool isFolderSeparator(char c) {
    return c == '/' || c == '\\';
}

PathStatus pathStatus(const std::string& path) {
    const HANDLE h = openExisting(path, 0);
    if (h == INVALID_HANDLE_VALUE) {
        PathStatus missing;
        missing.error = lastErrorNumber();
        return missing;
    }
    PathStatus s = statusOf(h);
    CloseHandle(h);
    return s;
}

std::string normalPath(const std::string& path) {
    std::wstring full = fullPath(widen(path));
    if (full.empty()) return {};
    // The folder as the system finally names it, through its links, when it exists.
    const std::size_t slash = full.find_last_of(L'\\');
    if (slash != std::wstring::npos && slash > 2) {
        const std::wstring folder = finalFolderName(full.substr(0, slash));
        if (!folder.empty()) full = folder + full.substr(slash);
    }
    // Names differing only in case are one file here.
    CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
    return narrow(full);
}

std::vector<std::string> regularFilesIn(const std::string& folder, int& error) {
    std::vector<std::string> names;
    error = 0;
    const std::string pattern = folder + (isFolderSeparator(folder.back()) ? "*" : "\\*");
    WIN32_FIND_DATAW entry{};
    const HANDLE find = FindFirstFileExW(widen(pattern).c_str(), FindExInfoBasic, &entry,
                                         FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) error = lastErrorNumber();
        return names;
    }
    do {
        if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0)
            names.push_back(narrow(entry.cFileName));
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return names;
}

int makeFolder(const std::string& path) {
    return CreateDirectoryW(widen(path).c_str(), nullptr) ? 0 : lastErrorNumber();
}

void removeEmptyFolder(const std::string& path) {
    RemoveDirectoryW(widen(path).c_str());
}

ReadOnlyFile ReadOnlyFile::open(const std::string& path) {
    ReadOnlyFile f;
    const HANDLE h = openExisting(path, GENERIC_READ);
    if (h == INVALID_HANDLE_VALUE) {
        f.failure_ = Failure::Open;
        f.error_ = lastErrorNumber();
        return f;
    }
    f.handle_ = reinterpret_cast<FileHandle>(h);
    const PathStatus s = statusOf(h);
    if (s.kind == PathKind::Regular) {
        f.size_ = s.size;
        return f;
    }
    f.failure_ = s.kind == PathKind::Missing ? Failure::Inspect : Failure::NotRegular;
    f.error_ = s.error;
    f.close();
    return f;
}

void ReadOnlyFile::close() {
    if (handle_ != kNoFile) CloseHandle(handleOf(handle_));
    handle_ = kNoFile;
}

long long ReadOnlyFile::readAt(uint64_t offset, void* destination, std::size_t bytes,
                               int& error) const {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const auto ask = static_cast<DWORD>(std::min(bytes, kPiece));
    if (ReadFile(handleOf(handle_), destination, ask, &got, &at)) return got;
    if (GetLastError() == ERROR_HANDLE_EOF) return 0;
    error = lastErrorNumber();
    return -1;
}

int createNewFile(const std::string& path, FileHandle& handle) {
    const HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    handle = h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
    return h == INVALID_HANDLE_VALUE ? lastErrorNumber() : 0;
}

void keepPermissionsOf(const std::string&, FileHandle) {
    // ReplaceFileW gives the new file the replaced one's attributes and access rights.
}

int writeSome(FileHandle handle, const char* data, std::size_t size, std::size_t& written) {
    DWORD done = 0;
    written = 0;
    if (!WriteFile(handleOf(handle), data, static_cast<DWORD>(std::min(size, kPiece)), &done,
                   nullptr))
        return lastErrorNumber();
    if (done == 0) return ENOSPC;
    written = done;
    return 0;
}

int closeFile(FileHandle handle) {
    return CloseHandle(handleOf(handle)) ? 0 : lastErrorNumber();
}

int replaceFile(const std::string& from, const std::string& to) {
    // Full paths: not every implementation of ReplaceFileW takes a relative one.
    const std::wstring source = fullPath(widen(from));
    const std::wstring target = fullPath(widen(to));
    // Over an existing file ReplaceFileW, which keeps that file's attributes and access rights;
    // where there is none yet (or it went meanwhile), a move that replaces whatever is there.
    if (pathStatus(to).kind != PathKind::Missing) {
        if (ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr))
            return 0;
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return lastErrorNumber();
    }
    if (MoveFileExW(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return lastErrorNumber();
}

int linkFile(const std::string& existing, const std::string& name) {
    return CreateHardLinkW(widen(name).c_str(), widen(existing).c_str(), nullptr)
               ? 0
               : lastErrorNumber();
}

void removeFile(const std::string& path) {
    const std::wstring name = widen(path);
    if (DeleteFileW(name.c_str()) || GetLastError() != ERROR_ACCESS_DENIED) return;
    // A read-only file (or a second name of one, kept while outputs are replaced): the name goes,
    // the file under its other names stays read-only. Its attributes are cleared on a handle,
    // the name marked for deletion, and the attributes put back before the handle closes.
    const HANDLE h =
        CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | DELETE, kShareAll,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    FILE_BASIC_INFO basic{};
    if (GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic)) {
        FILE_BASIC_INFO writable = basic;
        writable.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        if (writable.FileAttributes == 0) writable.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        FILE_DISPOSITION_INFO gone{TRUE};
        if (SetFileInformationByHandle(h, FileBasicInfo, &writable, sizeof writable) &&
            SetFileInformationByHandle(h, FileDispositionInfo, &gone, sizeof gone))
            SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic);
    }
    CloseHandle(h);
}

std::string followLinks(const std::string& path) {
    // Replacing through a symbolic link is a POSIX habit; here the path is replaced as named.
    return path;
}

}  // namespace hg::sys
