#include "compliance/basis.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "analysis/harmdim.h"

namespace hg {

namespace {

constexpr int kTenMinutes = 10;
constexpr double kFlagShare = 0.10;  // of the median fundamental voltage

// Whole minutes from day 0 of a date-time, to the nearest minute.
int64_t minuteOf(double dateTime) {
    return std::fabs(dateTime) < 1e9 ? std::llround(dateTime * 1440.0) : 0;
}

BasisKind kindOf(int recordMinutes) {
    if (recordMinutes == kTenMinutes) return BasisKind::TenMinute;
    if (recordMinutes > kTenMinutes) return BasisKind::Longer;
    return kTenMinutes % recordMinutes == 0 ? BasisKind::Aggregated : BasisKind::Uneven;
}

const float* magnitudes(const BasisInput& in, int32_t record) {
    const int32_t slot = in.tables.firstSlot + record;
    return in.currentChannel ? in.tables.CurrentTable.row(*in.currentChannel, slot)
                             : in.tables.VoltageTable.row(slot);
}

float fundamentalOf(const BasisInput& in, int32_t record) {
    return in.tables.VoltageTable.row(in.tables.firstSlot + record)[0];
}

float medianOf(std::vector<float> v) {
    if (v.empty()) return 0;
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>((v.size() - 1) / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

}  // namespace

BasisInput basisInputOf(const HARMDIM& s, int32_t firstSlot, int32_t records, double start,
                        double end) {
    BasisInput in{statisticsSourceOf(s), {}, minuteOf(start), minuteOf(end), s.RecordInterval, {}};
    in.tables.firstSlot = firstSlot;
    in.tables.records = records;
    for (int32_t r = 0; r < records; ++r)
        in.stamps.push_back(
            minuteOf(slotTime(s.RecordX(firstSlot + r), s.AnalysisStart, s.PeriodMinutes)));
    return in;
}

int recordIntervalOf(const std::vector<int64_t>& stamps, double averageInterval) {
    std::map<int64_t, int> steps;
    for (std::size_t i = 1; i < stamps.size(); ++i)
        if (stamps[i] > stamps[i - 1]) ++steps[stamps[i] - stamps[i - 1]];
    if (steps.empty())
        return std::max(
            1, static_cast<int>(std::lround(
                   std::isfinite(averageInterval) ? std::min(averageInterval, 1e6) : 10.0)));
    const auto most = std::max_element(steps.begin(), steps.end(),
                                       [](auto& a, auto& b) { return a.second < b.second; });
    return static_cast<int>(std::min<int64_t>(most->first, 1 << 20));
}

const float* DataBasis::row(int32_t v) const {
    const auto at = std::lower_bound(used.begin(), used.end(), v);
    if (at == used.end() || *at != v) return nullptr;
    return usedRow(static_cast<std::size_t>(at - used.begin()));
}

Result<DataBasis> dataBasis(const BasisInput& in) {
    DataBasis b;
    b.recordMinutes = recordIntervalOf(in.stamps, in.averageInterval);
    b.kind = kindOf(b.recordMinutes);
    b.valueMinutes = b.kind == BasisKind::Aggregated ? kTenMinutes : b.recordMinutes;
    b.startMinute = in.startMinute;
    b.endMinute = std::max(in.endMinute, in.startMinute);
    // Aggregated values begin on the clock's 10-minute boundaries; values used as they are
    // begin at the period's start.
    b.base = b.kind == BasisKind::Aggregated
                 ? in.startMinute - ((in.startMinute % kTenMinutes) + kTenMinutes) % kTenMinutes
                 : in.startMinute;
    b.records = in.tables.records;
    b.columns = in.tables.maxOrderIndex + 1;
    const int64_t slots = (b.endMinute - b.base) / b.valueMinutes + 1;
    if (slots > kMaxValueSlots)
        return Error{"期間が長すぎます（" + std::to_string(b.valueMinutes) + " 分値で " +
                     std::to_string(kMaxValueSlots) + " 個まで）"};
    b.states.assign(static_cast<std::size_t>(slots), ValueState::Missing);
    std::vector<float> fundamentals;
    for (int32_t r = 0; r < b.records; ++r) fundamentals.push_back(fundamentalOf(in, r));
    b.medianFundamental = medianOf(fundamentals);
    const double flagBelow = kFlagShare * b.medianFundamental;

    // The records by the slot they fall in (stamps may fall back), a flagged record flagging
    // its slot.
    std::vector<std::pair<int32_t, int32_t>> bySlot;  // slot, record
    for (int32_t r = 0; r < b.records; ++r) {
        const int64_t v = (in.stamps[static_cast<std::size_t>(r)] - b.base) / b.valueMinutes;
        if (v < 0 || v >= slots) continue;
        const float v1 = fundamentals[static_cast<std::size_t>(r)];
        const bool flagged = !(v1 > 0) || v1 < flagBelow || !std::isfinite(v1);
        b.flaggedRecords += flagged ? 1 : 0;
        ValueState& state = b.states[static_cast<std::size_t>(v)];
        state = flagged || state == ValueState::Flagged ? ValueState::Flagged : ValueState::Used;
        bySlot.emplace_back(static_cast<int32_t>(v), r);
    }
    std::stable_sort(bySlot.begin(), bySlot.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    const auto columns = static_cast<std::size_t>(b.columns);
    std::vector<double> squares(columns);
    for (std::size_t i = 0; i < bySlot.size();) {
        const int32_t v = bySlot[i].first;
        std::size_t end = i;
        while (end < bySlot.size() && bySlot[end].first == v) ++end;
        if (b.states[static_cast<std::size_t>(v)] == ValueState::Used) {
            std::fill(squares.begin(), squares.end(), 0.0);
            for (std::size_t j = i; j < end; ++j) {
                const float* m = magnitudes(in, bySlot[j].second);
                for (std::size_t k = 0; k < columns; ++k)
                    squares[k] += static_cast<double>(m[k]) * m[k];
            }
            b.used.push_back(v);
            for (std::size_t k = 0; k < columns; ++k)
                b.values.push_back(
                    static_cast<float>(std::sqrt(squares[k] / static_cast<double>(end - i))));
        }
        i = end;
    }
    return b;
}

}  // namespace hg
