#include "analysis/execute.h"

#include <algorithm>

#include "analysis/harmdim.h"
#include "analysis/period_records.h"
#include "datafile/record_file.h"
#include "datafile/record_format.h"
#include "platform/classic.h"
#include "platform/dates.h"

namespace hg {

Result<Preparation> prepareExecute(HARMDIM& s, const std::string& path, const PeriodTexts& texts,
                                   ExecuteMode mode) {
    auto period = readPeriod(texts.startDate, texts.startTime, texts.endDate, texts.endTime);
    if (!period) return Error{period.error()};
    if (period->startAfterEnd()) return Preparation{true};

    auto file = RecordFile::open(path);
    if (!file) return Error{file.error()};
    auto kind = recordingKind(baseName(path), *file);
    if (!kind) return Error{kind.error()};
    if (s.RecordInterval <= 0) return Error{"ファイルを選択し直してください（記録間隔が不明です）"};

    if (file->recordCount(kind->layout.recordLength) <= 0)
        return Error{"ファイルが短すぎます（1レコードに満たない）: " + path};
    const auto find = [&](RecordsBetween between) {
        return findPeriodRecords(
            *file, kind->layout, period->analysisStart, period->analysisEnd,
            periodEstimate(s.FileStartTime, period->analysisStart, s.RecordInterval), between);
    };
    const bool graph = mode == ExecuteMode::Graph;
    auto span = find(graph ? RecordsBetween::Assumed : RecordsBetween::Counted);
    // Too many assumed records for a graph: counted, so that only a true count is refused.
    if (span && !span->counted && span->count > kMaxGraphSlots)
        span = find(RecordsBetween::Counted);
    if (!span) return Error{span.error()};
    if (span->empty()) return Error{kNoRecordsInPeriod};
    if (graph)
        if (auto fits = graphSlotsFit(span->count); !fits) return Error{fits.error()};
    const int64_t periodRecords = span->count - 1;

    applyPeriod(s, *period);
    s.PeriodRecords = static_cast<int32_t>(periodRecords);
    s.PeriodFound = FoundPeriodRecords{path, kind->layout.recordLength, period->analysisStart,
                                       period->analysisEnd, *span};
    s.FilePath = path;
    s.Kind = *kind;
    s.ChannelCount = static_cast<int16_t>(kind->channels);
    s.MaxOrderIndex = static_cast<int16_t>(kind->maxOrderIndex);
    s.RecordLength = static_cast<int32_t>(kind->layout.recordLength);
    s.ShortHnRecord = kind->shortHn ? -1 : 0;
    s.dimRanking();
    return Preparation{false};
}

Result<std::shared_ptr<HARMDIM>> prepareAnalysis(const Recording& scanned,
                                                 const PeriodTexts& period, ExecuteMode mode) {
    auto analysis = std::make_shared<HARMDIM>();
    static_cast<Recording&>(*analysis) = scanned;
    auto prepared = prepareExecute(*analysis, scanned.FilePath, period, mode);
    if (!prepared) return Error{prepared.error()};
    if (prepared->nothingToDo) return std::shared_ptr<HARMDIM>();
    return analysis;
}

Status graphSlotsFit(int64_t count) {
    if (count <= kMaxGraphSlots) return success();
    return Error{"解析期間のレコード数が多すぎます（" + std::to_string(count) +
                 " 件、グラフ化は 32767 件まで）。期間を短くしてください"};
}

Result<PeriodRecordSpan> periodRecordsOf(const HARMDIM& s, const RecordFile& file,
                                         RecordsBetween between) {
    const RecordLayout& layout = s.Kind.layout;
    if (const auto& found = s.PeriodFound;
        found && found->path == file.path() && found->recordLength == layout.recordLength &&
        found->start == s.AnalysisStart && found->end == s.AnalysisEnd &&
        found->span.last < file.recordCount(layout.recordLength) &&
        (found->span.counted || between == RecordsBetween::Assumed))
        return found->span;
    return findPeriodRecords(file, layout, s.AnalysisStart, s.AnalysisEnd,
                             periodEstimate(s.FileStartTime, s.AnalysisStart, s.RecordInterval));
}

int64_t periodEstimate(double fileStart, double analysisStart, float recordInterval) {
    const double interval = recordInterval > 0 ? recordInterval : 1.0;
    const double estimate =
        roundHalfEven(static_cast<double>(wholeMinutes(fileStart, analysisStart)) / interval);
    // Far outside any file: keep the arithmetic in range; the search clamps it to the file.
    return static_cast<int64_t>(std::clamp(estimate, -9.0e15, 9.0e15));
}

}  // namespace hg
