#include "datafile/scan.h"

#include <charconv>

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

    // The last record. Whatever goes wrong here leaves the end at the start and the interval at 1,
    // so the period never runs backwards.
    s.endDate = s.startDate;
    s.endTime = s.startTime;
    s.fileEndTime = s.fileStartTime;
    s.recordInterval = 1;
    const int64_t last = s.records - 1;
    if (last == 0) return s;
    if (!readStamp(*file, kind->layout, last, date, time)) {
        s.warnings.push_back("最終レコードを読めません。終了を開始と同じにしました: " + name);
        return s;
    }
    const auto end = stampDateTime(date, time);
    if (!end) {
        s.warnings.push_back("最終レコードの日付・時刻が正しくありません（" +
                             stampNumbers(date, time) + "）。終了を開始と同じにしました: " + name);
        return s;
    }
    const int64_t minutes = wholeMinutes(s.fileStartTime, *end);
    if (minutes < 0) {
        s.warnings.push_back(
            "最終レコードの日付・時刻（" + *stampDateText(date) + " " + *stampTimeText(time) +
            "）が先頭より前です（時計の設定変更?）。終了を開始と同じにしました: " + name);
        return s;
    }
    if (minutes == 0) {
        s.warnings.push_back("最終レコードの日付・時刻（" + *stampDateText(date) + " " +
                             *stampTimeText(time) +
                             "）が先頭と同じです。記録間隔を 1 分としました: " + name);
        return s;
    }
    s.endDate = *stampDateText(date);
    s.endTime = *stampTimeText(time);
    s.fileEndTime = *end;
    s.recordInterval = static_cast<float>(static_cast<double>(minutes) / static_cast<double>(last));
    if (!(s.recordInterval > 0)) s.recordInterval = 1;
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
