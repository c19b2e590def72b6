#include "datafile/scan.h"

#include <charconv>
#include <optional>

#include "datafile/record_file.h"
#include "platform/dates.h"

namespace hg {

namespace {

// The raw stamp numbers for a message ("日付 190529 時刻 1030"), whatever they hold.
std::string stampNumbers(float date, int16_t time) {
    char buffer[64];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, date).ptr;
    std::string out = "日付 " + std::string(buffer, end);
    end = std::to_chars(buffer, buffer + sizeof buffer, time).ptr;
    return out + " 時刻 " + std::string(buffer, end);
}

void setFileEnd(ScanResult& s, double end, float interval) {
    s.fileEndTime = end;
    const std::string text = formatYyMmDdHhMm(end);  // "yy/mm/dd hh:mm"
    s.endDate = text.substr(0, 8);
    s.endTime = text.substr(9);
    s.recordInterval = interval > 0 ? interval : 1;
}

// The stamp of record r when it can end the file: a real date and time in a later minute than
// the first record's.
std::optional<double> laterStamp(const RecordFile& file, const RecordLayout& layout, int64_t r,
                                 double start) {
    float date = 0;
    int16_t time = 0;
    if (!readStamp(file, layout, r, date, time)) return std::nullopt;
    const auto stamp = stampDateTime(date, time);
    if (!stamp || wholeMinutes(start, *stamp) <= 0) return std::nullopt;
    return stamp;
}

// Why the last record's stamp cannot end the file, for the warning.
std::string lastStampFault(const RecordFile& file, const RecordLayout& layout, int64_t last,
                           double start) {
    float date = 0;
    int16_t time = 0;
    if (!readStamp(file, layout, last, date, time)) return "最終レコードを読めません";
    const auto stamp = stampDateTime(date, time);
    if (!stamp)
        return "最終レコードの日付・時刻が正しくありません（" + stampNumbers(date, time) + "）";
    const std::string when = *stampDateText(date) + " " + *stampTimeText(time);
    if (wholeMinutes(start, *stamp) < 0)
        return "最終レコードの日付・時刻（" + when + "）が先頭より前です（時計の設定変更?）";
    return "最終レコードの日付・時刻（" + when + "）が先頭と同じです";
}

// The file's end and average interval. Normally the last record's stamp ends the file; when it
// cannot (not a time stamp, before or at the first), the last record whose stamp can is found
// walking back, and when none can, the interval is taken as 1 minute and the end as that many
// minutes per record after the first. Either way every record stays in the period.
void findFileEnd(ScanResult& s, const RecordFile& file, const RecordLayout& layout,
                 const std::string& name) {
    s.endDate = s.startDate;
    s.endTime = s.startTime;
    s.fileEndTime = s.fileStartTime;
    s.recordInterval = 1;
    const int64_t last = s.records - 1;
    if (last == 0) return;
    int64_t endRecord = last;
    std::optional<double> end = laterStamp(file, layout, last, s.fileStartTime);
    if (!end) {
        const std::string fault = lastStampFault(file, layout, last, s.fileStartTime);
        for (endRecord = last - 1; endRecord > 0 && !end; --endRecord)
            end = laterStamp(file, layout, endRecord, s.fileStartTime);
        if (end) {
            ++endRecord;  // the loop stepped past the record found
            s.warnings.push_back(fault + "。日付・時刻の読める最後のレコード（" +
                                 std::to_string(endRecord + 1) +
                                 " 件目）を終了としました: " + name);
        } else {
            s.warnings.push_back(fault +
                                 "。ほかに日付・時刻の読めるレコードがないため、記録間隔を "
                                 "1 分とし、終了をレコード数から求めました: " +
                                 name);
            setFileEnd(s, s.fileStartTime + static_cast<double>(last) / 1440.0, 1);
            return;
        }
    }
    const int64_t minutes = wholeMinutes(s.fileStartTime, *end);
    setFileEnd(s, *end,
               static_cast<float>(static_cast<double>(minutes) / static_cast<double>(endRecord)));
}

}  // namespace

std::string joinPath(const std::string& folder, const std::string& fileName) {
    if (folder.empty()) return fileName;
    if (folder.back() == '/' || folder.back() == '\\') return folder + fileName;
    return folder + "/" + fileName;
}

Result<ScanResult> scanFile(const std::string& fullPath) {
    ScanResult s;
    s.fullPath = fullPath;
    s.csvName = fullPath.size() >= 3 ? fullPath.substr(0, fullPath.size() - 3) + "csv" : "";

    // The name alone decides whether this is a recording at all; refuse before touching the file.
    if (auto byName = kindFromName(fullPath, std::nullopt); !byName) return Error{byName.error()};

    auto file = RecordFile::open(fullPath);
    if (!file) return Error{file.error()};
    auto kind = recordingKind(fullPath, *file);
    if (!kind) return Error{kind.error()};
    s.kind = *kind;
    s.recordLength = kind->layout.recordLength;
    s.shortHn = kind->shortHn;

    const std::string name(baseName(fullPath));
    if (file->size() == 0) return Error{"ファイルが空です: " + name};
    s.records = file->recordCount(s.recordLength);
    if (s.records < 1)
        return Error{"ファイルが1レコード（" + std::to_string(s.recordLength) +
                     " バイト）に満たない長さです: " + name};

    float date = 0;
    int16_t time = 0;
    if (!readStamp(*file, kind->layout, 0, date, time))
        return Error{"先頭レコードを読めません: " + name};
    const auto start = stampDateTime(date, time);
    if (!start)
        return Error{"先頭レコードの日付・時刻が正しくありません（" + stampNumbers(date, time) +
                     "）: " + name};
    s.startDate = *stampDateText(date);
    s.startTime = *stampTimeText(time);
    s.fileStartTime = *start;

    findFileEnd(s, *file, kind->layout, name);
    return s;
}

void applyScan(Recording& state, const ScanResult& scan) {
    state.FilePath = scan.fullPath;
    state.Kind = scan.kind;
    state.RecordLength = static_cast<int32_t>(scan.recordLength);
    state.ShortHnRecord = scan.shortHn ? -1 : 0;
    state.ChannelCount = static_cast<int16_t>(scan.kind.channels);
    state.MaxOrderIndex = static_cast<int16_t>(scan.kind.maxOrderIndex);
    state.FileStartTime = scan.fileStartTime;
    state.FileEndTime = scan.fileEndTime;
    state.RecordInterval = scan.recordInterval;
    state.FileRecords = scan.records;
}

}  // namespace hg
