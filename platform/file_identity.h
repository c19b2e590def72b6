// Telling whether two paths name one file: a folder reached through a symbolic link, "a/./b" and
// "a/b", or two hard links all name the same file.
#pragma once

#include <string>

namespace hg {

// A text equal for every path naming the same file: the device and file number of a file that
// exists, otherwise the absolute path with its existing folders resolved through their links and
// "." and ".." removed (on Windows without regard to case).
std::string fileIdentity(const std::string& path);

// Whether both paths name one existing file.
bool sameExistingFile(const std::string& a, const std::string& b);

}  // namespace hg
