// The graph-mode load of the analysis period: finds the first record at or after the period
// start, reads the period's records (whole records, many per read), stores each record's raw
// values, builds the composite of all current channels, takes the superposition angles and the
// per-phase values where the kind carries them, and computes the per-record quantities and the
// period extremes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/execute.h"
#include "platform/result.h"

namespace hg {

struct HARMDIM;
class RecordFile;

struct LoadReport {
    int32_t loadedRecords = 0;          // slots filled (LoadedRecords)
    int64_t firstRecord = 0;            // file record number of slot 0 (FirstRecord)
    int64_t nonFiniteValues = 0;        // NaN or infinite values read from the file, taken as 0
    int64_t outOfRangeValues = 0;       // results too large for single precision, stored as 0
    int64_t skippedRecords = 0;         // records whose date or time is not a time stamp
    bool fileEnded = false;             // the file ended before every slot of the period was filled
    int threads = 1;                    // threads the period was loaded on
    std::vector<std::string> warnings;  // one line each, for the window's message or stderr
};

// Loads the period of `file` into the tables. Needs prepareExecute to have set the kind, sizes and
// period of `state`, and the per-record tables freshly dimensioned (HARMDIM::dimTables); the
// extremes accumulate over the records loaded. Sets LoadedRecords and FirstRecord.
//  - Only records that exist are loaded: the search starts at the estimate clamped to the file
//    and moves forward only; the load stops at the last whole record.
//  - A record whose date or time is not a time stamp is skipped and takes no slot.
//  - NaN or infinite values read are taken as 0 and counted.
//  - A period holding no record (the first record at or after the start lies after the end, or
//    there is none) is refused with "指定期間にデータがありません".
// The records are independent once each one's slot is known, so a long period is split into
// contiguous runs of slots shared by `threads` threads (0: one per processor, up to 8, and one
// for short periods); a walk over the records' stamps finds the record of each run's first slot.
// The tables, extremes and counts are the same whatever the number of threads. `progress` is
// called on the calling thread only.
Result<LoadReport> loadPeriod(HARMDIM& state, const RecordFile& file, ProgressFn progress = {},
                              int threads = 0);

// Graph mode after prepareExecute: dimensions the per-record tables and the extremes, loads the
// period and ranks the orders by size. Refuses, with a message, tables the memory cannot hold.
Result<LoadReport> executeGraph(HARMDIM& state, const RecordFile& file, ProgressFn progress = {},
                                int threads = 0);

}  // namespace hg
