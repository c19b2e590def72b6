// The records of an analysis period: exactly the records whose stamps lie from the period's start
// to its end (whole minutes, both ends included), in file order. The graph load and the CSV
// writers both take their records from here, so a pause in the recording, a start before the file
// or between two records never changes which records a period holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"

namespace hg {

class RecordFile;
struct RecordLayout;

struct PeriodRecordSpan {
    int64_t first = 0;    // file record number of the period's first record
    int64_t last = -1;    // file record number of its last record
    int64_t count = 0;    // records of the period (first..last, stamps inside the period)
    int64_t skipped = 0;  // records in first..last whose date or time is not a time stamp
    bool rising = true;   // the stamps rise through the file (searched, not walked)
    // Whether count and skipped come from reading every stamp from first to last; when not, every
    // record between was taken to belong to the period (RecordsBetween::Assumed).
    bool counted = true;
    bool empty() const { return count == 0; }
};

// What a search over rising stamps does with the records between the period's first and last:
// reads each one's stamp to count them (and to prove that the stamps rise), or takes them all to
// belong to the period, for a load that reads every one of them anyway and confirms it.
enum class RecordsBetween { Counted, Assumed };

// The period's records as Execute's preparation found them: in the recording at `path` read with
// records of `recordLength` bytes, for the period `start`..`end`. The load or the conversion that
// follows takes them from here instead of searching the stamps again.
struct FoundPeriodRecords {
    std::string path;
    int64_t recordLength = 0;
    double start = 0;
    double end = 0;
    PeriodRecordSpan span;
};

// The stamps of a recording by record number: small records read a chunk at a time (walks go
// forward), large ones by their date and time fields alone.
class RecordStamps {
  public:
    RecordStamps(const RecordFile& file, const RecordLayout& layout);

    int64_t count() const { return count_; }
    // The stamp of record r into `stamp` (empty when it is not a time stamp); false when the file
    // cannot be read there. A walk (`walking`) reads small records a chunk at a time, a probe of
    // a search its record's stamp alone.
    bool at(int64_t r, std::optional<double>& stamp, bool walking = true);
    // The raw date and time fields of record r; false when the file cannot be read there.
    bool fields(int64_t r, float& date, int16_t& time, bool walking = true);

  private:
    const RecordFile& file_;
    const RecordLayout& layout_;
    const int64_t count_;
    std::vector<uint8_t> buffer_;
    int64_t bufferFirst_ = 0;
    int64_t bufferRecords_ = 0;
};

// Whether a record stamped `stamp` belongs to the period `start`..`end` (day numbers).
bool inPeriod(double stamp, double start, double end);

// Finds the period's records. Where the stamps rise (every sound recording) the first and last are
// found by a search over the stamps beginning at `estimate` (the record the average interval
// points to); where a stamp falls back or is not a time stamp on the way, every record of the file
// is walked in order. The records between first and last are counted by their stamps, or
// assumed to be the period's (`between`).
Result<PeriodRecordSpan> findPeriodRecords(const RecordFile& file, const RecordLayout& layout,
                                           double start, double end, int64_t estimate,
                                           RecordsBetween between = RecordsBetween::Counted);

}  // namespace hg
