// The file scan a selected recording gets before anything else is done with it: full path,
// proposed CSV name, kind and record length, the first and last record's stamps as box texts,
// the file's start and end time and the average recording interval.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datafile/record_format.h"
#include "platform/result.h"

namespace hg {

struct HARMDIM;

struct ScanResult {
    std::string fullPath;  // shown in the file-selection window's Label1
    std::string
        csvName;  // proposed output name: the path without its last three characters + "csv"
    FileKind kind;
    int64_t recordLength = 0;
    bool shortHn = false;
    int64_t records = 0;    // whole records in the file
    std::string startDate;  // "yy/mm/dd" of the first record (Text1)
    std::string startTime;  // "hh:mm" (Text2)
    std::string endDate;    // of the last record (Text3)
    std::string endTime;    // (Text4)
    double fileStartTime = 0;
    double fileEndTime = 0;
    float recordInterval = 1;           // minutes, > 0
    std::vector<std::string> warnings;  // e.g. the last record unreadable, a clock reset
};

// The full path of a file in a folder ("/" joined, no doubled separator).
std::string joinPath(const std::string& folder, const std::string& fileName);

// Scans a recording. Refuses (with a message) a name without a known kind, a missing or 0 channel
// digit, a file that cannot be opened, an empty file or one shorter than one record, and a first
// record whose stamp is not a real date and time.
Result<ScanResult> scanFile(const std::string& fullPath);

// Stores a successful scan into the shared state (file description, interval); nothing else.
void applyScan(HARMDIM& state, const ScanResult& scan);

}  // namespace hg
