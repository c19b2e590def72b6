// Reading a small text file a user keeps beside the program (a limit set): a regular file only,
// opened without waiting, and never more than a given size. A FIFO, a device or a link to one
// would otherwise block the run or feed it without end.
#pragma once

#include <cstddef>
#include <string>

#include "platform/result.h"

namespace hg {

// The whole content of the regular file `path`, at most `maxBytes` long. The error says why in
// Japanese, without the file's name: not a regular file, larger than the cap, or the system's
// reason it could not be opened or read.
Result<std::string> readSmallRegularFile(const std::string& path, std::size_t maxBytes);

}  // namespace hg
