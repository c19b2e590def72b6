#include "analysis/load.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "analysis/composite.h"
#include "analysis/degree_trig.h"
#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "analysis/period_records.h"
#include "analysis/quantities.h"
#include "analysis/ranking.h"
#include "datafile/record_file.h"
#include "datafile/record_format.h"
#include "platform/classic.h"
#include "platform/dates.h"

namespace hg {

namespace {

constexpr const char* kNoData = kNoRecordsInPeriod;
constexpr int64_t kChunkBytes = 1 << 18;  // records read together, whole records per read
constexpr int64_t kProgressEvery = 512;   // records between progress calls
// Threads: at most this many, and (unless the caller asks for a number) one per processor but no
// more than one per this many slots, so that a short period does not wait for threads to start.
constexpr int64_t kMaxThreads = 8;
constexpr int64_t kSlotsPerThread = 256;
// Parts of a period per thread.
constexpr int64_t kPartsPerThread = 4;

bool tablesFitSizes(const HARMDIM& s) {
    const long P = s.PeriodRecords, N = s.MaxOrderIndex, C = s.ChannelCount;
    return P >= 0 && s.RecordX.upper(0) == P && s.VoltageTable.upper(1) == N &&
           s.SlotRecord.size() == static_cast<std::size_t>(P) + 1 && s.AngleTable.upper(1) == P &&
           s.AngleTable.upper(2) == N && s.CurrentThd.upper(0) == C && s.CurrentThd.upper(1) == P &&
           s.PhaseVoltage.upper(0) == P && s.PhaseCurrent.upper(0) == C &&
           s.PhaseCurrent.upper(1) == P && s.OverloadTable.upper(1) == P &&
           s.ItemMax.upper(0) == C && s.ItemMax.upper(2) == N &&
           s.ItemMin.size() == s.ItemMax.size() && s.VoltageThd.upper(0) == P;
}

// The per-record work of the load: one decoded record into slot `slot`. The extremes go to
// `itemMax` / `itemMin`, the record of slot `firstSlot` being the first one they see.
class RecordLoader {
  public:
    RecordLoader(HARMDIM& s, const RecordLayout& layout, Table<float>& itemMax,
                 Table<float>& itemMin, int32_t firstSlot)
        : s_(s),
          layout_(layout),
          C_(s.ChannelCount),
          K_(s.MaxOrderIndex + 1),
          itemMax_(itemMax),
          itemMin_(itemMin),
          firstSlot_(firstSlot),
          combiner_(K_),
          compositeAngles_(static_cast<std::size_t>(K_)) {
        values_.size(layout);
    }

    RecordValues& values() { return values_; }

    // Stores the decoded file record `record` (stamp `stamp`) into `slot` and computes its
    // quantities.
    void store(int32_t slot, int64_t record, double stamp, LoadReport& report) {
        RecordValues& rv = values_;
        const auto k = static_cast<std::size_t>(K_);
        report.nonFiniteValues += zeroNonFinite(rv.V.data(), k);
        report.nonFiniteValues += zeroNonFinite(rv.I.data(), static_cast<std::size_t>(C_) * k);
        if (layout_.hasPhaseValues()) {
            report.nonFiniteValues += zeroNonFinite(rv.Vp, 3);
            report.nonFiniteValues += zeroNonFinite(rv.Ip.data(), static_cast<std::size_t>(C_) * 3);
        }
        int64_t& outOfRange = report.outOfRangeValues;

        // Horizontal position: 2000 x minutes from the start / period minutes.
        const int64_t m = wholeMinutes(s_.AnalysisStart, stamp);
        s_.RecordX(slot) = static_cast<float>(static_cast<double>(2000 * m) /
                                              static_cast<double>(s_.PeriodMinutes));

        std::memcpy(s_.VoltageTable.row(slot), rv.V.data(), k * sizeof(float));

        // Channels, and their composite (into the spare row C). Neither the currents nor their
        // angles are kept: the current and power tables read them back from the file record
        // (and combine the composite again). The composite's angles are only needed here when
        // its powers may be too large for single precision, to count them.
        s_.SlotRecord[static_cast<std::size_t>(slot)] = record;
        const int16_t* angles = rv.A.data();
        float* composite = rv.I.data() + static_cast<std::size_t>(C_) * k;
        outOfRange += combiner_.combine(rv.I.data(), rv.A.data(), k, C_, composite, nullptr);
        if (powersMayOverflow(rv.V.data(), composite, k))
            combiner_.combinedAngles(compositeAngles_.data());

        // Superposition angles (the short "hn" form arrives spread to the even order indexes).
        if (layout_.hasVoltageAngles())
            std::memcpy(s_.AngleTable.row(0, slot), rv.VR.data(), k * sizeof(int16_t));
        if (layout_.hasCurrentAngles())
            std::memcpy(s_.AngleTable.row(1, slot), rv.IR.data(), k * sizeof(int16_t));

        // Per-phase values; the composite's phase currents are the arithmetic sums.
        if (layout_.hasPhaseValues()) {
            float* pv = s_.PhaseVoltage.row(slot);
            for (int i = 0; i < 3; ++i) pv[i] = rv.Vp[i];
            float* sum = s_.PhaseCurrent.row(C_, slot);
            for (int ch = 0; ch < C_; ++ch) {
                float* pc = s_.PhaseCurrent.row(ch, slot);
                for (int i = 0; i < 3; ++i) {
                    const float value = rv.Ip[static_cast<std::size_t>(ch * 3 + i)];
                    pc[i] = value;
                    sum[i] = toSingle(static_cast<double>(sum[i]) + value, outOfRange);
                }
            }
        }

        RecordQuantityInputs in;
        in.currents = rv.I.data();
        in.angles = angles;
        in.compositeAngles = compositeAngles_.data();
        in.powerFactorK = s_.PowerFactorK;
        in.phaseValues = layout_.hasPhaseValues();
        in.firstRecord = slot == firstSlot_;
        in.itemMax = &itemMax_;
        in.itemMin = &itemMin_;
        outOfRange += computeRecordQuantities(s_, slot, in);
    }

  private:
    HARMDIM& s_;
    const RecordLayout& layout_;
    const int C_;
    const int K_;
    Table<float>& itemMax_;
    Table<float>& itemMin_;
    const int32_t firstSlot_;
    RecordValues values_;
    CurrentCombiner combiner_;
    std::vector<int16_t> compositeAngles_;  // of the record, when its powers may overflow
};

std::string readFailure(const RecordFile& file) {
    return "ファイルを読めません: " + file.path();
}

// A part of the period loaded by one thread: the slots slotBegin..slotEnd-1, from file record
// recordBegin on (records whose stamp is not a time stamp take no slot) until its slots are filled
// or the file ends, with the extremes of its records. The first part updates the state's
// extremes, the others their own, merged afterwards in record order.
struct PeriodPart {
    int64_t recordBegin = 0;
    int32_t slotBegin = 0;
    int32_t slotEnd = 0;
    int64_t skippedBefore = 0;  // records without a time stamp from the period's first record
    // Asked for: the first record with a time stamp after the part's slots are filled (the
    // file's record count when there is none; -1 when the file ended before).
    bool findNext = false;
    int64_t nextRecord = -1;
    Table<float> itemMax, itemMin;  // parts after the first
    int32_t filled = 0;             // slots filled
    double firstStamp = 0;          // of the slots filled: the first record's stamp,
    double lastStamp = 0;           // the last one's,
    bool fallsBack = false;         // and whether a stamp lies before the one stored before it
    int64_t outside = 0;            // records read whose stamps lie outside the period
    LoadReport report;              // counts of the part
    std::string failure;            // why the part could not be loaded
};

// Loads `part` from records before `count`: reads them many at a time, decodes them and stores
// each one with a time stamp into the next slot. `stored` counts the slots filled by every part;
// `afterChunk` runs after each read's records (on the calling thread: the progress report).
void loadPart(HARMDIM& s, const RecordFile& file, int64_t count, PeriodPart& part,
              Table<float>& itemMax, Table<float>& itemMin, std::atomic<int64_t>& stored,
              const std::function<void()>& afterChunk) {
    const RecordLayout& layout = s.Kind.layout;
    const int64_t length = layout.recordLength;
    RecordLoader loader(s, layout, itemMax, itemMin, part.slotBegin);
    const int64_t chunkRecords = std::max<int64_t>(1, kChunkBytes / length);
    // The read buffer, not zero-filled first: every read fills what is used of it.
    const int64_t bufferRecords = std::min<int64_t>(chunkRecords, part.slotEnd - part.slotBegin);
    const std::unique_ptr<uint8_t[]> buffer(
        new uint8_t[static_cast<std::size_t>(bufferRecords * length)]);
    int64_t r = part.recordBegin;
    int32_t slot = part.slotBegin;
    while (slot < part.slotEnd && r < count) {
        const int64_t n = std::min({bufferRecords, int64_t{part.slotEnd} - slot, count - r});
        if (!file.read(static_cast<uint64_t>(r) * static_cast<uint64_t>(length), buffer.get(),
                       static_cast<std::size_t>(n * length))) {
            part.failure = readFailure(file);
            break;
        }
        const int32_t chunkFirst = slot;
        for (int64_t i = 0; i < n; ++i) {
            RecordValues& rv = loader.values();
            decodeRecord(buffer.get() + i * length, layout, rv);
            const auto stamp = stampDateTime(rv.date, rv.time);
            if (!stamp) {
                ++part.report.skippedRecords;
                continue;
            }
            if (!inPeriod(*stamp, s.AnalysisStart, s.AnalysisEnd)) {
                ++part.outside;
                continue;
            }
            if (slot == part.slotBegin) part.firstStamp = *stamp;
            part.fallsBack = part.fallsBack || (slot > part.slotBegin && *stamp < part.lastStamp);
            part.lastStamp = *stamp;
            loader.store(slot, r + i, *stamp, part.report);
            ++slot;
        }
        r += n;
        stored.fetch_add(slot - chunkFirst, std::memory_order_relaxed);
        if (afterChunk) afterChunk();
    }
    part.filled = slot - part.slotBegin;
    if (part.findNext && part.failure.empty() && slot == part.slotEnd) {
        part.nextRecord = count;
        for (; r < count; ++r) {
            float date = 0;
            int16_t time = 0;
            if (!readStamp(file, layout, r, date, time)) {
                part.failure = readFailure(file);
                break;
            }
            const auto stamp = stampDateTime(date, time);
            if (stamp && inPeriod(*stamp, s.AnalysisStart, s.AnalysisEnd)) {
                part.nextRecord = r;
                break;
            }
        }
    }
}

// The records of the period from `first` on, in record order, counting the records passed
// without a time stamp. Small records are read many at a time, large ones by their stamp alone.
class StampScan {
  public:
    StampScan(const RecordFile& file, const RecordLayout& layout, int64_t first, int64_t count,
              double start, double end)
        : stamps_(file, layout), next_(first), count_(count), start_(start), end_(end) {}

    // The next record with a time stamp into `record`; false at the file's end or when the file
    // cannot be read (failed()).
    bool next(int64_t& record) {
        for (; next_ < count_; ++next_) {
            float date = 0;
            int16_t time = 0;
            if (!stamps_.fields(next_, date, time)) {
                failed_ = true;
                return false;
            }
            const auto stamp = stampDateTime(date, time);
            if (stamp && inPeriod(*stamp, start_, end_)) {
                record = next_++;
                return true;
            }
            if (!stamp) ++skipped_;
        }
        return false;
    }
    int64_t skipped() const { return skipped_; }
    bool failed() const { return failed_; }

  private:
    RecordStamps stamps_;
    int64_t next_;
    const int64_t count_;
    const double start_, end_;
    int64_t skipped_ = 0;
    bool failed_ = false;
};

// Merges the extremes of a later part of the period into those of the parts before it: a maximum
// is replaced only by a larger one and a minimum only by a smaller one, as record by record.
void mergeExtremes(Table<float>& into, const Table<float>& part, bool maxima) {
    float* a = into.data();
    const float* b = part.data();
    for (std::size_t i = 0; i < into.size(); ++i)
        if (maxima ? b[i] > a[i] : b[i] < a[i]) a[i] = b[i];
}

int threadsFor(int requested, int64_t slots) {
    if (requested > 0) return static_cast<int>(std::min<int64_t>({requested, kMaxThreads, slots}));
    const unsigned processors = std::thread::hardware_concurrency();
    const int64_t byProcessors = std::clamp<int64_t>(processors, 1, kMaxThreads);
    return static_cast<int>(std::clamp<int64_t>(slots / kSlotsPerThread, 1, byProcessors));
}

// The kind, the sizes, the tables and the period prepareExecute and dimTables set up.
Status checkLoadable(const HARMDIM& s) {
    const RecordLayout& layout = s.Kind.layout;
    const int64_t length = layout.recordLength;
    if (length <= 0 || length != s.RecordLength || layout.orders != s.MaxOrderIndex + 1 ||
        layout.channels != s.ChannelCount || s.ChannelCount < 1 || s.ChannelCount > 9)
        return Error{"ファイルの種類とサイズが決まっていません（実行からやり直してください）"};
    if (!tablesFitSizes(s))
        return Error{
            "解析テーブルが期間に合わせて用意されていません（実行からやり直してください）"};
    if (s.PeriodMinutes <= 0 || !(s.RecordInterval > 0))
        return Error{"解析期間が設定されていません（実行からやり直してください）"};
    return success();
}

// The lines of the report's warnings, from its counts.
void addWarnings(LoadReport& report, int64_t slots) {
    const int32_t slot = report.loadedRecords;
    if (report.fileEnded)
        report.warnings.push_back("ファイルの終わりに達したため " + std::to_string(slot) +
                                  " 件だけ読み込みました（期間は " + std::to_string(slots) +
                                  " 件分）");
    if (report.skippedRecords)
        report.warnings.push_back("日時を読めないレコード " +
                                  std::to_string(report.skippedRecords) + " 件を飛ばしました");
    if (report.nonFiniteValues)
        report.warnings.push_back("数値でない値（NaN・無限大）" +
                                  std::to_string(report.nonFiniteValues) +
                                  " 個を 0 として読み込みました");
    if (report.outOfRangeValues)
        report.warnings.push_back("単精度に収まらない計算結果 " +
                                  std::to_string(report.outOfRangeValues) + " 個を 0 としました");
}

// The hand-out of the parts to the threads: each takes the next part in record order once the
// record of its first slot is known.
struct PartQueue {
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t taken = 0;  // parts taken by a thread
    bool scanDone = false;  // no more parts become ready
    int threadsDone = 0;
};

// The load of the period's records first..count-1 into the slots, in parts.
//
// One part is loaded on the calling thread. Several parts are loaded by the threads, each taking
// the next part in record order once the record of its first slot is known; the calling thread
// then reports progress (from the count of slots every part has filled) until they are done.
// When no thread can be started, the calling thread loads the parts itself.
//  - Where every record from the period's first to its last is the period's (as counted, or as
//    assumed), every part begins at the record of its first slot counted from the period's first
//    record; each part but the last then finds the first record with a time stamp after its own,
//    which must be where the next part began.
//  - Otherwise (a record without a time stamp or outside the period among them, or a part that
//    did not end where the next began) each part is begun once a walk over the stamps (on the
//    calling thread) has found the record of its first slot; after a part that did not end where
//    the next began the tables are dimensioned afresh first.
//  - Where the records between the period's first and last were assumed to be its own, a part
//    that does not end where the next began is not loaded again: the load does not confirm them
//    (confirms()), and the caller counts them and loads afresh.
class PeriodLoad {
  public:
    PeriodLoad(HARMDIM& s, const RecordFile& file, const ProgressFn& progress,
               const PeriodRecordSpan& span)
        : s_(s),
          file_(file),
          progress_(progress),
          first_(span.first),
          count_(span.last + 1),
          assumed_(!span.counted),
          contiguous_(span.count == span.last - span.first + 1) {}

    Status plan(int threads);
    Status run();
    // Whether every record from the period's first to its last was stored, their stamps rising.
    bool confirms() const;
    Result<LoadReport> finish(LoadReport report);

  private:
    void reportProgress();
    void runPart(PeriodPart& p, const std::function<void()>& afterChunk);
    void loadParts(bool walk);
    void work(PartQueue& queue);
    void walkStamps(PartQueue& queue);
    void waitForThreads(PartQueue& queue);
    bool partsApart() const;
    Status reloadWithWalk();

    HARMDIM& s_;
    const RecordFile& file_;
    const ProgressFn& progress_;
    const int64_t first_;
    const int64_t count_;    // records after the period's last are never read
    const bool assumed_;     // the records first..count-1 were taken to be the period's
    const bool contiguous_;  // each of them is (as counted or assumed)
    int64_t slots_ = 0;
    int threadCount_ = 1;
    std::vector<PeriodPart> part_;
    std::atomic<int64_t> stored_{0};
    int64_t nextProgress_ = kProgressEvery;
    std::size_t ready_ = 1;  // parts whose first record is known, in order
    bool scanFailed_ = false;
    int threadsRunning_ = 0;
};

// The parts of the period: the slots the file can fill at most, shared out in contiguous runs of
// about the same length (the last part takes the rest of the period). Several threads share
// several parts each, so that a thread slowed by other work leaves little behind.
Status PeriodLoad::plan(int threads) {
    slots_ = static_cast<int64_t>(s_.PeriodRecords) + 1;
    const int64_t available = std::min(slots_, count_ - first_);
    threadCount_ = threadsFor(threads, available);
    const int64_t parts =
        threadCount_ == 1 ? 1 : std::min(threadCount_ * kPartsPerThread, available);
    part_ = std::vector<PeriodPart>(static_cast<std::size_t>(parts));
    for (int64_t j = 0; j < parts; ++j) {
        PeriodPart& p = part_[static_cast<std::size_t>(j)];
        p.slotBegin = static_cast<int32_t>(available * j / parts);
        p.slotEnd = static_cast<int32_t>(j + 1 < parts ? available * (j + 1) / parts : slots_);
        if (j == 0) continue;
        try {
            p.itemMax.dim(s_.ItemMax.upper(0), s_.ItemMax.upper(1), s_.ItemMax.upper(2));
            p.itemMin.dim(s_.ItemMin.upper(0), s_.ItemMin.upper(1), s_.ItemMin.upper(2));
        } catch (const std::bad_alloc&) {
            return Error{"メモリが足りません（読み込みの作業領域）"};
        }
    }
    part_[0].recordBegin = first_;
    return success();
}

void PeriodLoad::reportProgress() {
    const int64_t done = stored_.load(std::memory_order_relaxed);
    if (progress_ && done >= nextProgress_) {
        progress_(done, slots_);
        nextProgress_ = done + kProgressEvery;
    }
}

void PeriodLoad::runPart(PeriodPart& p, const std::function<void()>& afterChunk) {
    Table<float>& itemMax = &p == &part_[0] ? s_.ItemMax : p.itemMax;
    Table<float>& itemMin = &p == &part_[0] ? s_.ItemMin : p.itemMin;
    try {
        loadPart(s_, file_, count_, p, itemMax, itemMin, stored_, afterChunk);
    } catch (const std::bad_alloc&) {
        p.failure = "メモリが足りません（読み込みの作業領域）";
    }
}

Status PeriodLoad::run() {
    if (part_.size() == 1) {
        runPart(part_[0], [this] { reportProgress(); });
    } else if (!contiguous_) {
        loadParts(true);
    } else {
        for (std::size_t j = 1; j < part_.size(); ++j)
            part_[j].recordBegin = first_ + part_[j].slotBegin;
        for (std::size_t j = 0; j + 1 < part_.size(); ++j) part_[j].findNext = true;
        loadParts(false);
        if (!assumed_ && partsApart())
            if (auto reloaded = reloadWithWalk(); !reloaded) return reloaded;
    }
    if (scanFailed_) return Error{readFailure(file_)};
    return success();
}

// Each part read its records from its own first on and stored every one it read, so the parts
// together stored each record of first..count-1 once when their slots add up to those records.
bool PeriodLoad::confirms() const {
    int64_t filled = 0;
    for (std::size_t j = 0; j < part_.size(); ++j) {
        const PeriodPart& p = part_[j];
        if (!p.failure.empty() || p.fallsBack || p.outside > 0 || p.report.skippedRecords > 0)
            return false;
        if (j > 0 && p.filled > 0 && p.firstStamp < part_[j - 1].lastStamp) return false;
        filled += p.filled;
    }
    return filled == count_ - first_;
}

// Whether, every part loaded, a part did not end where the next one began (a record without a
// time stamp between them).
bool PeriodLoad::partsApart() const {
    bool failed = false, apart = false;
    for (std::size_t j = 0; j < part_.size(); ++j) {
        const PeriodPart& p = part_[j];
        failed = failed || !p.failure.empty();
        if (j + 1 < part_.size()) apart = apart || p.nextRecord != part_[j + 1].recordBegin;
    }
    return apart && !failed;
}

Status PeriodLoad::reloadWithWalk() {
    try {
        s_.dimTables();
    } catch (const std::bad_alloc&) {
        s_.releaseTables();
        return Error{"メモリが足りません（解析テーブル）"};
    }
    for (PeriodPart& p : part_) {
        p.findNext = false;
        p.filled = 0;
        p.report = {};
        if (&p == &part_[0]) continue;
        std::fill(p.itemMax.data(), p.itemMax.data() + p.itemMax.size(), 0.0f);
        std::fill(p.itemMin.data(), p.itemMin.data() + p.itemMin.size(), 0.0f);
    }
    stored_ = 0;
    nextProgress_ = kProgressEvery;
    loadParts(true);
    return success();
}

void PeriodLoad::loadParts(bool walk) {
    PartQueue queue;
    queue.scanDone = !walk;
    ready_ = walk ? 1 : part_.size();
    threadsRunning_ = 0;
    std::vector<std::jthread> workers;  // joined before what they use goes away
    for (int t = 0; t < threadCount_; ++t) {
        try {
            workers.emplace_back([this, &queue] { work(queue); });
        } catch (const std::system_error&) {
            break;
        }
        ++threadsRunning_;
    }
    if (walk) walkStamps(queue);
    if (threadsRunning_ == 0)
        for (std::size_t j = 0; j < ready_; ++j) runPart(part_[j], [this] { reportProgress(); });
    waitForThreads(queue);
}

// A thread's work: the next part ready, until none is left.
void PeriodLoad::work(PartQueue& queue) {
    for (;;) {
        std::size_t j = 0;
        {
            std::unique_lock<std::mutex> lock(queue.mutex);
            queue.changed.wait(lock, [&] { return queue.taken < ready_ || queue.scanDone; });
            if (queue.taken >= ready_) break;
            j = queue.taken++;
        }
        runPart(part_[j], {});
    }
    {
        std::lock_guard<std::mutex> lock(queue.mutex);
        ++queue.threadsDone;
    }
    queue.changed.notify_all();
}

// The walk over the stamps: makes each part ready once the record of its first slot is found.
void PeriodLoad::walkStamps(PartQueue& queue) {
    StampScan scan(file_, s_.Kind.layout, first_, count_, s_.AnalysisStart, s_.AnalysisEnd);
    int64_t found = 0;  // records with a time stamp passed
    int64_t record = first_;
    for (std::size_t j = 1; j < part_.size(); ++j) {
        while (found <= part_[j].slotBegin && scan.next(record)) ++found;
        if (found <= part_[j].slotBegin) break;  // the file ends before the part begins
        {
            std::lock_guard<std::mutex> lock(queue.mutex);
            part_[j].recordBegin = record;
            part_[j].skippedBefore = scan.skipped();
            ready_ = j + 1;
        }
        queue.changed.notify_one();
    }
    scanFailed_ = scan.failed();
    {
        std::lock_guard<std::mutex> lock(queue.mutex);
        queue.scanDone = true;
    }
    queue.changed.notify_all();
}

// Progress reports while the threads load, until they are done.
void PeriodLoad::waitForThreads(PartQueue& queue) {
    std::unique_lock<std::mutex> lock(queue.mutex);
    while (progress_ && queue.threadsDone < threadsRunning_) {
        lock.unlock();
        reportProgress();
        lock.lock();
        queue.changed.wait_for(lock, std::chrono::milliseconds(25),
                               [&] { return queue.threadsDone >= threadsRunning_; });
    }
}

// Counts, extremes merged in record order, and the slots filled. The stamps passed over between
// two parts are counted by the walk.
Result<LoadReport> PeriodLoad::finish(LoadReport report) {
    int32_t slot = 0;
    for (std::size_t j = 0; j < ready_; ++j) {
        const PeriodPart& p = part_[j];
        if (!p.failure.empty()) return Error{p.failure};
        // A part before the last one that filled fewer slots than the walk found records for:
        // the file changed meanwhile.
        if (j + 1 < ready_ && p.filled != p.slotEnd - p.slotBegin) return Error{readFailure(file_)};
        report.nonFiniteValues += p.report.nonFiniteValues;
        report.outOfRangeValues += p.report.outOfRangeValues;
        if (j > 0) {
            mergeExtremes(s_.ItemMax, p.itemMax, true);
            mergeExtremes(s_.ItemMin, p.itemMin, false);
        }
        slot += p.filled;
    }
    report.threads = std::max(threadsRunning_, 1);
    report.skippedRecords +=
        part_[ready_ - 1].skippedBefore + part_[ready_ - 1].report.skippedRecords;
    s_.LoadedRecords = slot;
    if (progress_) progress_(slot, slots_);

    report.loadedRecords = slot;
    report.fileEnded = slot < slots_;
    addWarnings(report, slots_);
    return report;
}

// The per-record tables and the extremes dimensioned (zero-filled) for the period.
Status dimPeriodTables(HARMDIM& s) {
    try {
        s.dimTables();
    } catch (const std::bad_alloc&) {
        s.releaseTables();
        return Error{"メモリが足りません（解析テーブル " +
                     std::to_string(s.tableBytes() / (1024 * 1024)) +
                     " MB）。期間を短くしてください"};
    }
    return success();
}

// The records between the period's first and last were assumed to be its own and one was not (a
// stamp that is no time, one outside the period or one falling back, or the file changed): they
// are counted by their stamps, the tables dimensioned for them and the period loaded again.
Result<LoadReport> loadCounted(HARMDIM& s, const RecordFile& file, ProgressFn progress,
                               int threads) {
    const RecordLayout& layout = s.Kind.layout;
    auto span =
        findPeriodRecords(file, layout, s.AnalysisStart, s.AnalysisEnd,
                          periodEstimate(s.FileStartTime, s.AnalysisStart, s.RecordInterval));
    if (!span) return Error{span.error()};
    if (span->empty()) return Error{kNoData};
    if (auto fits = graphSlotsFit(span->count); !fits) return Error{fits.error()};
    s.PeriodRecords = static_cast<int32_t>(span->count - 1);
    s.PeriodFound =
        FoundPeriodRecords{file.path(), layout.recordLength, s.AnalysisStart, s.AnalysisEnd, *span};
    if (auto dimensioned = dimPeriodTables(s); !dimensioned) return Error{dimensioned.error()};
    return loadPeriod(s, file, std::move(progress), threads);
}

}  // namespace

Result<LoadReport> loadPeriod(HARMDIM& s, const RecordFile& file, ProgressFn progress,
                              int threads) {
    if (auto loadable = checkLoadable(s); !loadable) return Error{loadable.error()};
    s.LoadedRecords = 0;
    s.FirstRecord = 0;
    s.PowerFactorK = powerFactorK(s.FilePath);

    LoadReport report;
    const RecordLayout& layout = s.Kind.layout;
    if (file.recordCount(layout.recordLength) <= 0) return Error{kNoData};

    // The period's records: those stamped from its start to its end.
    auto span = periodRecordsOf(s, file, RecordsBetween::Assumed);
    if (!span) return Error{span.error()};
    if (span->empty()) return Error{kNoData};
    s.FirstRecord = span->first;
    report.firstRecord = span->first;

    PeriodLoad load(s, file, progress, *span);
    if (auto planned = load.plan(threads); !planned) return Error{planned.error()};
    if (auto loaded = load.run(); !loaded) return Error{loaded.error()};
    if (!span->counted) {
        if (!load.confirms()) return loadCounted(s, file, std::move(progress), threads);
        s.PeriodFound->span.counted = true;
    }
    // The records' powers are not computed here: the power items' extremes come with the power
    // tables (said after the load, which may dimension the tables afresh and so forget it).
    s.takePowerExtremesWithTables();
    // The recording stays open for the power tables, which read the current angles back.
    auto kept = RecordFile::open(file.path());
    if (!kept) return Error{readFailure(file)};
    s.RecordSource = std::make_shared<const RecordFile>(std::move(*kept));
    s.SourceLayout = s.Kind.layout;
    return load.finish(std::move(report));
}

Result<LoadReport> executeGraph(HARMDIM& s, const RecordFile& file, ProgressFn progress,
                                int threads) {
    if (auto dimensioned = dimPeriodTables(s); !dimensioned) return Error{dimensioned.error()};
    auto report = loadPeriod(s, file, std::move(progress), threads);
    if (report) rankOrders(s);
    return report;
}

}  // namespace hg
