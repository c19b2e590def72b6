// What the scan of a recording learns about it: the file, its kind and sizes, the first and last
// record's stamps and the average interval between records. One value, written by the scan (and
// refreshed from the file's name and length by Execute's preparation); everything after reads it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datafile/record_format.h"

namespace hg {

struct Recording {
    std::string FilePath;  // full path of the selected file (the file-selection window's Label1)
    FileKind Kind;         // kind, sizes and layout from the name
    int32_t RecordLength = 0;
    int16_t ShortHnRecord = 0;  // 0 or -1
    int16_t ChannelCount = 0;   // C
    int16_t MaxOrderIndex = 0;  // N: 24 or 255
    double FileStartTime = 0;
    double FileEndTime = 0;
    float RecordInterval = 0;  // average minutes between records, > 0 after a scan
    int64_t FileRecords = 0;   // whole records in the file at the scan
};

}  // namespace hg
