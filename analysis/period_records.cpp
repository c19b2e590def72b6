#include "analysis/period_records.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "datafile/record_file.h"
#include "datafile/record_format.h"
#include "platform/dates.h"

namespace hg {

namespace {
constexpr int64_t kChunkBytes = 1 << 18;
// Records of at least this many bytes have their stamps read alone (one short read costs about as
// much as reading this many bytes along with the rest); smaller ones many at a time.
constexpr int64_t kStampReadsFrom = 4096;
}  // namespace

RecordStamps::RecordStamps(const RecordFile& file, const RecordLayout& layout)
    : file_(file), layout_(layout), count_(file.recordCount(layout.recordLength)) {}

bool RecordStamps::at(int64_t r, std::optional<double>& stamp, bool walking) {
    float date = 0;
    int16_t time = 0;
    if (!fields(r, date, time, walking)) return false;
    stamp = stampDateTime(date, time);
    return true;
}

bool RecordStamps::fields(int64_t r, float& date, int16_t& time, bool walking) {
    const int64_t length = layout_.recordLength;
    const bool buffered = r >= bufferFirst_ && r < bufferFirst_ + bufferRecords_;
    if (length >= kStampReadsFrom || (!walking && !buffered))
        return readStamp(file_, layout_, r, date, time);
    if (!buffered) {
        bufferRecords_ = std::min(std::max<int64_t>(1, kChunkBytes / length), count_ - r);
        buffer_.resize(static_cast<std::size_t>(bufferRecords_ * length));
        bufferFirst_ = r;
        if (!file_.read(static_cast<uint64_t>(r) * static_cast<uint64_t>(length), buffer_.data(),
                        buffer_.size())) {
            bufferRecords_ = 0;
            return false;
        }
    }
    const uint8_t* record = buffer_.data() + (r - bufferFirst_) * length;
    date = decodeFloat(record + RecordLayout::dateOffset);
    time = decodeInt16(record + RecordLayout::timeOffset);
    return true;
}

namespace {

struct ReadFailure {};
struct NotRising {};

// A stamp that must exist for the search: a record that cannot be read ends the search, one that
// is not a time stamp sends the caller to the walk.
double searchedStamp(RecordStamps& stamps, int64_t r) {
    std::optional<double> stamp;
    if (!stamps.at(r, stamp, false)) throw ReadFailure{};
    if (!stamp) throw NotRising{};
    return *stamp;
}

// The first record in lo..hi-1 for which `after` holds (hi when none), `after` being false and
// then true along rising stamps. The first probe is `hint`, the second its neighbour.
template <class After>
int64_t searchRising(RecordStamps& stamps, int64_t lo, int64_t hi, int64_t hint, After after) {
    int hintProbes = 2;  // the hint and its neighbour, then halving
    while (lo < hi) {
        const bool nearHint = hintProbes > 0 && hint >= lo && hint < hi;
        const int64_t mid = nearHint ? hint : lo + (hi - lo) / 2;
        --hintProbes;
        if (after(searchedStamp(stamps, mid))) {
            hi = mid;
            hint = mid - 1;
        } else {
            lo = mid + 1;
            hint = mid + 1;
        }
    }
    return lo;
}

// The search where the stamps rise; NotRising when what it finds shows they do not.
PeriodRecordSpan searchPeriod(RecordStamps& stamps, double start, double end, int64_t estimate,
                              RecordsBetween between) {
    const int64_t count = stamps.count();
    if (searchedStamp(stamps, 0) > searchedStamp(stamps, count - 1)) throw NotRising{};
    const auto atOrAfterStart = [&](double t) { return wholeMinutes(start, t) >= 0; };
    const auto afterEnd = [&](double t) { return wholeMinutes(t, end) < 0; };
    PeriodRecordSpan span;
    span.first =
        searchRising(stamps, 0, count, std::clamp<int64_t>(estimate, 0, count - 1), atOrAfterStart);
    const int64_t pastLast = searchRising(stamps, span.first, count, span.first, afterEnd);
    span.last = pastLast - 1;
    if (span.first > 0 && atOrAfterStart(searchedStamp(stamps, span.first - 1))) throw NotRising{};
    if (pastLast < count && !afterEnd(searchedStamp(stamps, pastLast))) throw NotRising{};
    if (between == RecordsBetween::Assumed) {
        span.count = std::max<int64_t>(0, span.last - span.first + 1);
        span.counted = false;
        if (span.count == 0) span = PeriodRecordSpan{};
        return span;
    }
    // Between the two every stamp lies inside the period; one that does not (a stamp that falls
    // back) sends the caller to the walk.
    double previous = start;
    for (int64_t r = span.first; r <= span.last; ++r) {
        std::optional<double> stamp;
        if (!stamps.at(r, stamp)) throw ReadFailure{};
        if (!stamp) {
            ++span.skipped;
            continue;
        }
        if (!inPeriod(*stamp, start, end) || *stamp < previous) throw NotRising{};
        previous = *stamp;
        ++span.count;
    }
    if (span.count == 0) span = PeriodRecordSpan{};
    return span;
}

// Every record of the file in order: the period's records wherever they lie.
PeriodRecordSpan walkPeriod(RecordStamps& stamps, double start, double end) {
    PeriodRecordSpan span;
    span.rising = false;
    int64_t withoutStamp = 0;  // since the last record of the period
    for (int64_t r = 0; r < stamps.count(); ++r) {
        std::optional<double> stamp;
        if (!stamps.at(r, stamp)) throw ReadFailure{};
        if (!stamp) {
            ++withoutStamp;
            continue;
        }
        if (!inPeriod(*stamp, start, end)) continue;
        if (span.count == 0)
            span.first = r;
        else
            span.skipped += withoutStamp;
        withoutStamp = 0;
        span.last = r;
        ++span.count;
    }
    if (span.count == 0) span.last = -1;
    return span;
}

}  // namespace

bool inPeriod(double stamp, double start, double end) {
    return wholeMinutes(start, stamp) >= 0 && wholeMinutes(stamp, end) >= 0;
}

Result<PeriodRecordSpan> findPeriodRecords(const RecordFile& file, const RecordLayout& layout,
                                           double start, double end, int64_t estimate,
                                           RecordsBetween between) {
    RecordStamps stamps(file, layout);
    if (stamps.count() <= 0) return PeriodRecordSpan{};
    try {
        try {
            return searchPeriod(stamps, start, end, estimate, between);
        } catch (const NotRising&) {
            return walkPeriod(stamps, start, end);
        }
    } catch (const ReadFailure&) {
        return Error{"ファイルを読めません: " + file.path()};
    }
}

}  // namespace hg
