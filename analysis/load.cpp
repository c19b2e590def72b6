#include "analysis/load.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include "analysis/degree_trig.h"
#include "analysis/harmdim.h"
#include "analysis/quantities.h"
#include "datafile/record_file.h"
#include "datafile/record_format.h"
#include "platform/classic.h"
#include "platform/dates.h"

namespace hg {

namespace {

constexpr const char* kNoData = "指定期間にデータがありません";
constexpr int64_t kChunkBytes = 1 << 20;  // records read together, whole records per read
constexpr int64_t kProgressEvery = 512;   // records between progress calls
// Threads: at most this many, and (unless the caller asks for a number) one per this many slots.
constexpr int64_t kMaxThreads = 8;
constexpr int64_t kSlotsPerThread = 256;
// Records of at least this many bytes have their stamps read alone when the slots are mapped (one
// short read costs about as much as reading this many bytes with the rest).
constexpr int64_t kStampReadsFrom = 4096;

bool tablesFitSizes(const HARMDIM& s) {
    const long P = s.PeriodRecords, N = s.MaxOrderIndex, C = s.ChannelCount;
    return P >= 0 && s.RecordX.upper(0) == P && s.VoltageTable.upper(1) == N &&
           s.CurrentTable.upper(0) == C && s.CurrentTable.upper(1) == P &&
           s.CurrentTable.upper(2) == N && s.ActivePower.size() == s.CurrentTable.size() &&
           s.ReactivePower.size() == s.CurrentTable.size() && s.AngleTable.upper(1) == P &&
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
          powerFactorK_(powerFactorK(s.FilePath)),
          trig_(degree_trig::tables()),
          itemMax_(itemMax),
          itemMin_(itemMin),
          firstSlot_(firstSlot) {
        values_.size(layout);
        angles_.assign(static_cast<std::size_t>((C_ + 1) * K_), 0);
        ss_.assign(static_cast<std::size_t>(K_), 0.0f);
        sc_.assign(static_cast<std::size_t>(K_), 0.0f);
        sines_.assign(static_cast<std::size_t>(K_), 0.0);
        cosines_.assign(static_cast<std::size_t>(K_), 0.0);
    }

    RecordValues& values() { return values_; }

    // Stores the decoded record (stamp `stamp`) into `slot` and computes its quantities.
    void store(int32_t slot, double stamp, LoadReport& report) {
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

        // Channels and the sine and cosine sums of their currents (single-precision sums).
        std::fill(ss_.begin(), ss_.end(), 0.0f);
        std::fill(sc_.begin(), sc_.end(), 0.0f);
        float* ss = ss_.data();
        float* sc = sc_.data();
        double* sines = sines_.data();
        double* cosines = cosines_.data();
        for (int ch = 0; ch < C_; ++ch) {
            const float* I = rv.I.data() + static_cast<std::size_t>(ch) * k;
            const int16_t* A = rv.A.data() + static_cast<std::size_t>(ch) * k;
            std::memcpy(s_.CurrentTable.row(ch, slot), I, k * sizeof(float));
            std::memcpy(angles_.data() + static_cast<std::size_t>(ch) * k, A, k * sizeof(int16_t));
            for (std::size_t j = 0; j < k; ++j) {
                sines[j] = degree_trig::compositeSin(trig_, A[j]);
                cosines[j] = degree_trig::compositeCos(trig_, A[j]);
            }
            for (std::size_t j = 0; j < k; ++j) {
                const double i = I[j];
                ss[j] = static_cast<float>(ss[j] + i * sines[j]);
                sc[j] = static_cast<float>(sc[j] + i * cosines[j]);
            }
            outOfRange += zeroNonFinite(ss, k) + zeroNonFinite(sc, k);
        }

        // Composite channel: magnitude of the vector sum, and its angle by the arctangent of
        // SS / SC moved by -180 when SC < 0 (so between -270 and +90), half to even.
        float* composite = s_.CurrentTable.row(C_, slot);
        int16_t* compositeAngle = angles_.data() + static_cast<std::size_t>(C_) * k;
        for (std::size_t j = 0; j < k; ++j) {
            const double a = ss[j], b = sc[j];
            composite[j] = static_cast<float>(std::sqrt(b * b + a * a));
        }
        outOfRange += zeroNonFinite(composite, k);
        for (std::size_t j = 0; j < k; ++j) {
            double a = std::atan(ss[j] / (sc[j] + 1e-20)) * 180.0 / degree_trig::kPi;
            if (sc[j] < 0) a -= 180.0;
            compositeAngle[j] = static_cast<int16_t>(roundHalfEven(a));
        }

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
        in.angles = angles_.data();
        in.powerFactorK = powerFactorK_;
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
    const float powerFactorK_;
    const degree_trig::Tables& trig_;
    Table<float>& itemMax_;
    Table<float>& itemMin_;
    const int32_t firstSlot_;
    RecordValues values_;
    std::vector<int16_t> angles_;          // (C+1) x (N+1): channel angles, row C the composite
    std::vector<float> ss_, sc_;           // sine and cosine sums of the record's currents
    std::vector<double> sines_, cosines_;  // of one channel's angles
};

std::string readFailure(const RecordFile& file) {
    return "ファイルを読めません: " + file.path();
}

// A part of the period loaded by one thread: the slots slotBegin..slotEnd-1 from the file
// records recordBegin..recordEnd-1 (records whose stamp is not a time stamp take no slot), with
// the extremes of its records. The first part updates the state's extremes, the others their own,
// merged afterwards in record order.
struct PeriodPart {
    int64_t recordBegin = 0;
    int64_t recordEnd = 0;
    int32_t slotBegin = 0;
    int32_t slotEnd = 0;
    Table<float> itemMax, itemMin;  // parts after the first
    int32_t filled = 0;             // slots filled
    LoadReport report;              // counts of the part
    std::string failure;            // why the part could not be loaded
};

// Loads `part`: reads its records many at a time, decodes them and stores each one with a time
// stamp into the next slot. `stored` counts the slots filled by every part; `afterChunk` runs
// after each read's records (on the calling thread: the progress report).
void loadPart(HARMDIM& s, const RecordFile& file, PeriodPart& part, Table<float>& itemMax,
              Table<float>& itemMin, std::atomic<int64_t>& stored,
              const std::function<void()>& afterChunk) {
    const RecordLayout& layout = s.Kind.layout;
    const int64_t length = layout.recordLength;
    RecordLoader loader(s, layout, itemMax, itemMin, part.slotBegin);
    const int64_t chunkRecords = std::max<int64_t>(1, kChunkBytes / length);
    std::vector<uint8_t> buffer;
    int64_t r = part.recordBegin;
    int32_t slot = part.slotBegin;
    while (slot < part.slotEnd && r < part.recordEnd) {
        const int64_t n =
            std::min({chunkRecords, int64_t{part.slotEnd} - slot, part.recordEnd - r});
        const auto bytes = static_cast<std::size_t>(n * length);
        if (buffer.size() < bytes) buffer.resize(bytes);
        if (!file.read(static_cast<uint64_t>(r) * static_cast<uint64_t>(length), buffer.data(),
                       bytes)) {
            part.failure = readFailure(file);
            break;
        }
        const int32_t chunkFirst = slot;
        for (int64_t i = 0; i < n; ++i) {
            RecordValues& rv = loader.values();
            decodeRecord(buffer.data() + i * length, layout, rv);
            const auto stamp = stampDateTime(rv.date, rv.time);
            if (!stamp) {
                ++part.report.skippedRecords;
                continue;
            }
            loader.store(slot, *stamp, part.report);
            ++slot;
        }
        r += n;
        stored.fetch_add(slot - chunkFirst, std::memory_order_relaxed);
        if (afterChunk) afterChunk();
    }
    part.filled = slot - part.slotBegin;
}

// The file record of every slot from `first` (a record with a time stamp) on, until every slot has
// its record or the file ends; records whose stamp is not a time stamp take no slot and are
// counted in `skipped`. Small records are read many at a time, large ones by their stamp alone.
bool mapSlots(const RecordFile& file, const RecordLayout& layout, int64_t first, int64_t count,
              int64_t slots, std::vector<int64_t>& recordOf, int64_t& skipped) {
    const int64_t length = layout.recordLength;
    recordOf.clear();
    recordOf.reserve(static_cast<std::size_t>(slots));
    const auto filled = [&] { return static_cast<int64_t>(recordOf.size()); };
    if (length >= kStampReadsFrom) {
        for (int64_t r = first; r < count && filled() < slots; ++r) {
            float date = 0;
            int16_t time = 0;
            if (!readStamp(file, layout, r, date, time)) return false;
            if (stampDateTime(date, time))
                recordOf.push_back(r);
            else
                ++skipped;
        }
        return true;
    }
    const int64_t chunkRecords = std::max<int64_t>(1, kChunkBytes / length);
    std::vector<uint8_t> buffer;
    for (int64_t r = first; r < count && filled() < slots;) {
        const int64_t n = std::min({chunkRecords, slots - filled(), count - r});
        const auto bytes = static_cast<std::size_t>(n * length);
        if (buffer.size() < bytes) buffer.resize(bytes);
        if (!file.read(static_cast<uint64_t>(r) * static_cast<uint64_t>(length), buffer.data(),
                       bytes))
            return false;
        for (int64_t i = 0; i < n; ++i) {
            const uint8_t* record = buffer.data() + i * length;
            if (stampDateTime(decodeFloat(record + RecordLayout::dateOffset),
                              decodeInt16(record + RecordLayout::timeOffset)))
                recordOf.push_back(r + i);
            else
                ++skipped;
        }
        r += n;
    }
    return true;
}

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

}  // namespace

Result<LoadReport> loadPeriod(HARMDIM& s, const RecordFile& file, ProgressFn progress,
                              int threads) {
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

    s.LoadedRecords = 0;
    s.FirstRecord = 0;
    ++s.LoadGeneration;
    s.Prediction = {};

    LoadReport report;
    const int64_t count = file.recordCount(length);
    if (count <= 0) return Error{kNoData};

    // First record: the estimate from the average interval, clamped to the file, then a forward
    // search for the first record at or after the start.
    const int64_t fromFileStart = wholeMinutes(s.FileStartTime, s.AnalysisStart);
    const double estimate =
        roundHalfEven(static_cast<double>(fromFileStart) / static_cast<double>(s.RecordInterval));
    int64_t first = estimate < 0                                ? 0
                    : estimate > static_cast<double>(count - 1) ? count - 1
                                                                : static_cast<int64_t>(estimate);
    double firstStamp = 0;
    for (;; ++first) {
        if (first >= count) return Error{kNoData};
        float date = 0;
        int16_t time = 0;
        if (!readStamp(file, layout, first, date, time)) return Error{readFailure(file)};
        const auto stamp = stampDateTime(date, time);
        if (!stamp) {
            ++report.skippedRecords;
            continue;
        }
        if (wholeMinutes(s.AnalysisStart, *stamp) >= 0) {
            firstStamp = *stamp;
            break;
        }
    }
    if (wholeMinutes(firstStamp, s.AnalysisEnd) < 0) return Error{kNoData};
    s.FirstRecord = first;
    report.firstRecord = first;

    // The parts of the period: one, or (several threads) contiguous runs of slots of about the
    // same length, each from the file record of its first slot on.
    const int64_t slots = static_cast<int64_t>(s.PeriodRecords) + 1;
    const int parts = threadsFor(threads, slots);
    std::vector<PeriodPart> part;
    if (parts == 1) {
        part.resize(1);
        part[0].recordBegin = first;
        part[0].recordEnd = count;
        part[0].slotEnd = static_cast<int32_t>(slots);
    } else {
        std::vector<int64_t> recordOf;
        if (!mapSlots(file, layout, first, count, slots, recordOf, report.skippedRecords))
            return Error{readFailure(file)};
        const auto filled = static_cast<int64_t>(recordOf.size());
        const int64_t n = std::min<int64_t>(parts, filled);
        part.resize(static_cast<std::size_t>(n));
        for (int64_t j = 0; j < n; ++j) {
            PeriodPart& p = part[static_cast<std::size_t>(j)];
            p.slotBegin = static_cast<int32_t>(filled * j / n);
            p.slotEnd = static_cast<int32_t>(filled * (j + 1) / n);
            p.recordBegin = recordOf[static_cast<std::size_t>(p.slotBegin)];
            p.recordEnd = recordOf[static_cast<std::size_t>(p.slotEnd - 1)] + 1;
            if (j > 0) {
                try {
                    p.itemMax.dim(s.ItemMax.upper(0), s.ItemMax.upper(1), s.ItemMax.upper(2));
                    p.itemMin.dim(s.ItemMin.upper(0), s.ItemMin.upper(1), s.ItemMin.upper(2));
                } catch (const std::bad_alloc&) {
                    return Error{"メモリが足りません（読み込みの作業領域）"};
                }
            }
        }
    }

    // The first part is loaded on the calling thread, which alone reports progress (from the
    // count of slots every part has filled); the other parts each on a thread of their own. A
    // part whose thread cannot be started is loaded on the calling thread after the first.
    std::atomic<int64_t> stored{0};
    std::atomic<std::size_t> finished{0};
    std::mutex waitMutex;
    std::condition_variable partDone;
    int64_t nextProgress = kProgressEvery;
    const auto reportProgress = [&] {
        const int64_t done = stored.load(std::memory_order_relaxed);
        if (progress && done >= nextProgress) {
            progress(done, slots);
            nextProgress = done + kProgressEvery;
        }
    };
    const auto runPart = [&](PeriodPart& p, const std::function<void()>& afterChunk) {
        Table<float>& itemMax = &p == &part[0] ? s.ItemMax : p.itemMax;
        Table<float>& itemMin = &p == &part[0] ? s.ItemMin : p.itemMin;
        try {
            loadPart(s, file, p, itemMax, itemMin, stored, afterChunk);
        } catch (const std::bad_alloc&) {
            p.failure = "メモリが足りません（読み込みの作業領域）";
        }
    };
    std::size_t started = 0;
    {
        std::vector<std::jthread> workers;  // joined before the parts they load go away
        for (std::size_t j = 1; j < part.size(); ++j) {
            try {
                workers.emplace_back([&, j] {
                    runPart(part[j], {});
                    {
                        std::lock_guard<std::mutex> lock(waitMutex);
                        ++finished;
                    }
                    partDone.notify_one();
                });
            } catch (const std::system_error&) {
                break;
            }
            started = j;
        }
        runPart(part[0], reportProgress);
        for (std::size_t j = started + 1; j < part.size(); ++j) runPart(part[j], reportProgress);
        std::unique_lock<std::mutex> lock(waitMutex);
        while (progress && finished < started) {
            lock.unlock();
            reportProgress();
            lock.lock();
            partDone.wait_for(lock, std::chrono::milliseconds(50),
                              [&] { return finished >= started; });
        }
    }

    // Counts, extremes merged in record order, and the slots filled.
    int32_t slot = 0;
    for (std::size_t j = 0; j < part.size(); ++j) {
        const PeriodPart& p = part[j];
        if (!p.failure.empty()) return Error{p.failure};
        // A part that filled fewer slots than the stamps promised: the file changed meanwhile.
        if (part.size() > 1 && p.filled != p.slotEnd - p.slotBegin) return Error{readFailure(file)};
        report.nonFiniteValues += p.report.nonFiniteValues;
        report.outOfRangeValues += p.report.outOfRangeValues;
        if (part.size() == 1) report.skippedRecords += p.report.skippedRecords;
        if (j > 0) {
            mergeExtremes(s.ItemMax, p.itemMax, true);
            mergeExtremes(s.ItemMin, p.itemMin, false);
        }
        slot += p.filled;
    }
    s.LoadedRecords = slot;
    if (progress) progress(slot, slots);

    report.loadedRecords = slot;
    report.fileEnded = slot < slots;
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
    return report;
}

Result<LoadReport> executeGraph(HARMDIM& s, const RecordFile& file, ProgressFn progress,
                                int threads) {
    try {
        s.dimTables();
    } catch (const std::bad_alloc&) {
        s.releaseTables();
        return Error{"メモリが足りません（解析テーブル " +
                     std::to_string(s.tableBytes() / (1024 * 1024)) +
                     " MB）。期間を短くしてください"};
    }
    return loadPeriod(s, file, std::move(progress), threads);
}

}  // namespace hg
