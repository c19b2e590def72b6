// Execute's preparation, shared by the file-selection window and the command line: reads the
// period, determines the kind and sizes from the selected file's name, dimensions the ranking
// tables, and cuts the period to the records the file holds. Graph mode then dimensions the
// per-record tables and runs the load (loadAnalysis); conversion mode runs a CSV writer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "analysis/period.h"
#include "platform/result.h"

namespace hg {

class RecordFile;
struct HARMDIM;
struct Recording;

enum class ExecuteMode { Graph, Convert };

struct PeriodTexts {
    std::string startDate;  // "yy/mm/dd(aaa)" or "yy/mm/dd"
    std::string startTime;  // "hh:mm"
    std::string endDate;
    std::string endTime;
    friend bool operator==(const PeriodTexts&, const PeriodTexts&) = default;
};

// Progress of long work: records done of the total; called now and then, not per record.
using ProgressFn = std::function<void(int64_t done, int64_t total)>;

// The most record slots a graph-mode load holds (slots are 0..PeriodRecords).
constexpr int32_t kMaxGraphSlots = 32767;

struct Preparation {
    bool nothingToDo = false;  // the start lies after the end: the caller restores itself silently
};

// The record the average interval points to for a period starting at `analysisStart`: whole
// minutes from the file's first record divided by the interval, rounded half to even. Only where
// the search over the stamps begins; the period's records are those its stamps place in it.
int64_t periodEstimate(double fileStart, double analysisStart, float recordInterval);

// Whether a graph-mode load can hold `count` records; the message for the user when not.
Status graphSlotsFit(int64_t count);

// The records of the analysis period in `file` (the recording the preparation read): as the
// preparation found them when it searched this file, with this record length, for this period,
// and the file still reaches them; otherwise found by their stamps again. Records the
// preparation assumed to be the period's (a graph's, for its load to confirm) are taken as found
// only when `between` welcomes that; otherwise they are counted.
Result<PeriodRecordSpan> periodRecordsOf(const HARMDIM& s, const RecordFile& file,
                                         RecordsBetween between = RecordsBetween::Counted);

// Steps of Execute up to the mode's own work. Needs a successful scan of `path` in `state`
// (FileStartTime, RecordInterval). Makes the period (its fields, and PeriodRecords: the count of
// the period's records, those stamped from its start to its end, minus one), refreshes the
// recording's kind and sizes from the file (ChannelCount, MaxOrderIndex, RecordLength,
// ShortHnRecord) and dimensions the ranking tables. A period holding no record is refused
// ("指定期間にデータがありません"), and in graph mode one of more than kMaxGraphSlots records,
// before anything is dimensioned. Sets no window state. In graph mode, where the stamps rise, the
// records between the period's first and last are assumed to be its own (PeriodRecords their
// number) without reading each one's stamp: the load reads them all anyway and, should one not
// belong, counts them and loads again.
Result<Preparation> prepareExecute(HARMDIM& state, const std::string& path,
                                   const PeriodTexts& period, ExecuteMode mode);

// A new analysis of the recording a scan described (its file at scanned.FilePath), prepared by
// prepareExecute for `mode` over `period`; null when the start lies after the end (nothing to
// do: the caller restores itself). Graph mode goes on with loadAnalysis, conversion mode with a
// CSV writer.
Result<std::shared_ptr<HARMDIM>> prepareAnalysis(const Recording& scanned,
                                                 const PeriodTexts& period, ExecuteMode mode);

}  // namespace hg
