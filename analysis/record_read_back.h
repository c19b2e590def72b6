// Records read back from the recording a load kept open, slot by slot: the current and power
// tables are filled from them when first read. Consecutive records are read together.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "analysis/power_tables.h"

namespace hg {

struct RecordValues;

// How many parts the read-back of `slots` slots is shared out in: one per processor, but no more
// than one per 256 slots, at most eight.
unsigned readBackParts(int32_t slots);
// Runs `part(t, first, last)` for parts t = 0..parts-1 of slots 0..slots-1 (contiguous, of about
// the same length), part 0 on this thread and the others on threads of their own (or this one when
// no thread can be had), and returns when all are done: the first part's failure, or nothing.
std::string runReadBackParts(
    int32_t slots, unsigned parts,
    const std::function<std::string(unsigned t, int32_t first, int32_t last)>& part);

// Reads the records of slots first..last-1 back from `source` and hands each one, decoded, its
// voltages and currents taken as the load takes them (not-a-number as 0), to `take(slot, values)`;
// `take` returns false when the record is not the one loaded. Returns why the walk stopped (the
// file cannot be read, or a record was not the one loaded:
// "記録ファイルが読み込んだ後に変わったため、 `what`を…"), or nothing.
std::string readBackRecords(const PowerSource& source, int32_t first, int32_t last,
                            std::string_view what,
                            const std::function<bool(int32_t slot, RecordValues& values)>& take);

}  // namespace hg
