#include "analysis/execute.h"

#include <sys/stat.h>

#include "analysis/harmdim.h"
#include "datafile/record_format.h"
#include "platform/classic.h"
#include "platform/dates.h"

namespace hg {

Result<Preparation> prepareExecute(HARMDIM& s, const std::string& path, const PeriodTexts& texts,
                                   ExecuteMode mode) {
    auto period = readPeriod(texts.startDate, texts.startTime, texts.endDate, texts.endTime);
    if (!period) return Error{period.error()};
    if (period->startAfterEnd()) return Preparation{true};

    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return Error{"ファイルを開けません: " + path};
    const auto length = static_cast<uint64_t>(st.st_size);
    auto kind = kindFromName(baseName(path), length);
    if (!kind) return Error{kind.error()};
    if (s.RecordInterval <= 0) return Error{"ファイルを選択し直してください（記録間隔が不明です）"};

    const int64_t minutes = wholeMinutes(period->analysisStart, period->analysisEnd);
    const auto slots = toInt32(static_cast<double>(minutes) / s.RecordInterval);
    if (!slots) return Error{"解析期間が長すぎます"};
    int64_t periodRecords = *slots;
    const int64_t lastRecord =
        static_cast<int64_t>(length / static_cast<uint64_t>(kind->layout.recordLength)) - 1;
    if (lastRecord < 0) return Error{"ファイルが短すぎます（1レコードに満たない）: " + path};
    if (lastRecord < periodRecords) periodRecords = lastRecord;
    if (mode == ExecuteMode::Graph && periodRecords + 1 > kMaxGraphSlots)
        return Error{"解析期間のレコード数が多すぎます（" + std::to_string(periodRecords + 1) +
                     " 件、グラフ化は 32767 件まで）。期間を短くしてください"};

    applyPeriod(s, *period);
    s.PeriodRecords = static_cast<int32_t>(periodRecords);
    s.FilePath = path;
    s.Kind = *kind;
    s.ChannelCount = static_cast<int16_t>(kind->channels);
    s.MaxOrderIndex = static_cast<int16_t>(kind->maxOrderIndex);
    s.RecordLength = static_cast<int32_t>(kind->layout.recordLength);
    s.ShortHnRecord = kind->shortHn ? -1 : 0;
    s.dimRanking();
    return Preparation{false};
}

}  // namespace hg
