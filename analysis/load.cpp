#include "analysis/load.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "analysis/composite.h"
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

// The per-record work of the load: one decoded record into slot `slot`.
class RecordLoader {
  public:
    RecordLoader(HARMDIM& s, const RecordLayout& layout)
        : s_(s),
          layout_(layout),
          C_(s.ChannelCount),
          K_(s.MaxOrderIndex + 1),
          powerFactorK_(powerFactorK(s.FilePath)),
          combiner_(K_) {
        values_.size(layout);
        angles_.assign(static_cast<std::size_t>((C_ + 1) * K_), 0);
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

        // Channels, and the composite channel: the vector sum of their currents.
        for (int ch = 0; ch < C_; ++ch) {
            std::memcpy(s_.CurrentTable.row(ch, slot),
                        rv.I.data() + static_cast<std::size_t>(ch) * k, k * sizeof(float));
            std::memcpy(angles_.data() + static_cast<std::size_t>(ch) * k,
                        rv.A.data() + static_cast<std::size_t>(ch) * k, k * sizeof(int16_t));
        }
        outOfRange +=
            combiner_.combine(rv.I.data(), rv.A.data(), k, C_, s_.CurrentTable.row(C_, slot),
                              angles_.data() + static_cast<std::size_t>(C_) * k);

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
        in.firstRecord = slot == 0;
        outOfRange += computeRecordQuantities(s_, slot, in);
    }

  private:
    HARMDIM& s_;
    const RecordLayout& layout_;
    const int C_;
    const int K_;
    const float powerFactorK_;
    CurrentCombiner combiner_;
    RecordValues values_;
    std::vector<int16_t> angles_;  // (C+1) x (N+1): channel angles, row C the composite
};

std::string readFailure(const RecordFile& file) {
    return "ファイルを読めません: " + file.path();
}

}  // namespace

Result<LoadReport> loadPeriod(HARMDIM& s, const RecordFile& file, ProgressFn progress) {
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

    RecordLoader loader(s, layout);
    const int64_t slots = static_cast<int64_t>(s.PeriodRecords) + 1;
    const int64_t chunkRecords = std::max<int64_t>(1, kChunkBytes / length);
    std::vector<uint8_t> buffer(static_cast<std::size_t>(std::min(chunkRecords, slots) * length));
    int64_t r = first;
    int32_t slot = 0;
    int64_t nextProgress = kProgressEvery;
    while (slot < slots && r < count) {
        const int64_t n = std::min({chunkRecords, slots - slot, count - r});
        const auto bytes = static_cast<std::size_t>(n * length);
        if (buffer.size() < bytes) buffer.resize(bytes);
        if (!file.read(static_cast<uint64_t>(r) * static_cast<uint64_t>(length), buffer.data(),
                       bytes))
            return Error{readFailure(file)};
        for (int64_t i = 0; i < n; ++i) {
            RecordValues& rv = loader.values();
            decodeRecord(buffer.data() + i * length, layout, rv);
            const auto stamp = stampDateTime(rv.date, rv.time);
            if (!stamp) {
                ++report.skippedRecords;
                continue;
            }
            loader.store(slot, *stamp, report);
            s.LoadedRecords = ++slot;
        }
        r += n;
        if (progress && slot >= nextProgress) {
            progress(slot, slots);
            nextProgress = slot + kProgressEvery;
        }
    }
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

Result<LoadReport> executeGraph(HARMDIM& s, const RecordFile& file, ProgressFn progress) {
    try {
        s.dimTables();
    } catch (const std::bad_alloc&) {
        s.releaseTables();
        return Error{"メモリが足りません（解析テーブル " +
                     std::to_string(s.tableBytes() / (1024 * 1024)) +
                     " MB）。期間を短くしてください"};
    }
    return loadPeriod(s, file, std::move(progress));
}

}  // namespace hg
