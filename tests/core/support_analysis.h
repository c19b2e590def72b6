// Recordings for the analysis tests: files of hand-made records written through the record
// encoder, and the graph-mode path from a file to loaded tables (scan, Execute's preparation with
// the period texts, load).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "analysis/harmdim.h"
#include "analysis/load.h"
#include "datafile/record_file.h"
#include "platform/result.h"

namespace hg::test {

// The stamp numbers of 2019-05-29 plus `minutes` (yymmdd, hhmm).
float dateNumberAt(int64_t minutes);
int16_t timeNumberAt(int64_t minutes);

// Writes `count` records of the kind named by `name` (the short "hn" form with `shortHn`) to the
// scratch path of `name`; `fill`, if given, sets record r's values (sized for the layout, zero,
// stamped at 2019-05-29 00:00 + 10 r minutes before the call). Returns the full path.
std::string writeRecording(const std::string& name, int64_t count,
                           const std::function<void(int64_t r, RecordValues&)>& fill = {},
                           bool shortHn = false);

// Scans `path` and runs graph-mode Execute (loadAnalysis) with the given period texts
// ("yy/mm/dd hh:mm"; the scan's first and last record when empty), the load on `threads` threads
// (0: the load's own choice); `state` takes the loaded analysis over.
Result<LoadReport> loadRecording(HARMDIM& state, const std::string& path,
                                 const std::string& start = {}, const std::string& end = {},
                                 int threads = 0);

}  // namespace hg::test
