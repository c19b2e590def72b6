#include "support_analysis.h"

#include <vector>

#include "analysis/load_analysis.h"
#include "datafile/record_format.h"
#include "datafile/scan.h"
#include "datafile/synth.h"
#include "platform/dates.h"
#include "support_scratch.h"

namespace hg::test {

float dateNumberAt(int64_t minutes) {
    const CivilDate d = civilDate(*dayNumber(2019, 5, 29) + static_cast<double>(minutes / 1440));
    return static_cast<float>((d.year % 100) * 10000 + d.month * 100 + d.day);
}

int16_t timeNumberAt(int64_t minutes) {
    const int64_t m = minutes % 1440;
    return static_cast<int16_t>(m / 60 * 100 + m % 60);
}

std::string writeRecording(const std::string& name, int64_t count,
                           const std::function<void(int64_t r, RecordValues&)>& fill,
                           bool shortHn) {
    const std::string path = scratchPath(name);
    auto kind = kindFromName(name, std::nullopt);
    if (!kind) throw std::runtime_error(kind.error());
    const RecordLayout layout = layoutOf(kind->family, kind->channels, shortHn);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(layout.recordLength * count));
    RecordValues v;
    for (int64_t r = 0; r < count; ++r) {
        v.size(layout);
        v.date = dateNumberAt(10 * r);
        v.time = timeNumberAt(10 * r);
        v.Vp[0] = v.Vp[1] = v.Vp[2] = 0;
        v.Ia[0] = v.Ia[1] = v.Ia[2] = 0;
        if (fill) fill(r, v);
        encodeRecord(v, layout, bytes.data() + r * layout.recordLength);
    }
    writeBytes(path, bytes);
    return path;
}

Result<LoadReport> loadRecording(HARMDIM& s, const std::string& path, const std::string& start,
                                 const std::string& end, int threads) {
    auto scan = scanFile(path);
    if (!scan) return Error{scan.error()};
    Recording scanned;
    applyScan(scanned, *scan);
    PeriodTexts texts{scan->startDate, scan->startTime, scan->endDate, scan->endTime};
    if (!start.empty()) {
        texts.startDate = start.substr(0, 8);
        texts.startTime = start.substr(9);
    }
    if (!end.empty()) {
        texts.endDate = end.substr(0, 8);
        texts.endTime = end.substr(9);
    }
    auto loaded = loadAnalysis(scanned, texts, {{}, threads});
    if (!loaded) return Error{loaded.error()};
    if (!loaded->analysis) return Error{"nothing to do"};
    s = std::move(*loaded->analysis);
    return loaded->report;
}

}  // namespace hg::test
