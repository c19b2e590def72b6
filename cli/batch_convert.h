// Many recordings converted at once: each exactly as it would be alone, several at a time across
// the cores, a line per recording as it finishes, the finished files kept when another fails.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cli/args.h"

namespace hg::cli {

// Runs work(i) for every i < count on up to `jobs` threads, each thread taking the next index as
// it becomes free. `work` must not throw.
void runJobs(std::size_t count, int jobs, const std::function<void(std::size_t)>& work);

// The recordings named: a file stands for itself, a folder for every recording its file list
// shows (in name order). A folder without one is an error.
Result<std::vector<std::string>> batchInputs(const std::vector<std::string>& named);

struct BatchResult {
    std::vector<std::string> files;   // written, in the order of the recordings
    std::vector<std::string> failed;  // the recordings not converted, in order
};

// Converts every recording with the options of `args` into `folder` (its proposed file name in
// that folder), or beside the recording when `folder` is empty, on up to `jobs` threads.
// `line(text)` receives one progress line per recording (and its warnings), one call at a time.
BatchResult convertAll(const Args& args, const std::vector<std::string>& inputs,
                       const std::string& folder, int jobs,
                       const std::function<void(const std::string&)>& line);

}  // namespace hg::cli
