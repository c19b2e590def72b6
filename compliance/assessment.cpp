#include "compliance/assessment.h"

#include <algorithm>
#include <cmath>

#include "analysis/percent_of_fundamental.h"
#include "datafile/record_format.h"
#include "platform/dates.h"

namespace hg {

namespace {

constexpr int64_t kWeekMinutes = 7 * 1440;
constexpr double kLeastCoverage = 90;  // % of the expected intervals used

// What is judged and how a value of it is made from a value slot's magnitudes.
struct Plan {
    LimitSet limits;
    std::optional<double> ratio;
    double scale = 1;  // current per kW: mA/kW per ampere
    double il = 0;     // current of demand: I_L in amperes
};

// One quantity of the rows: the total (order 0) or an order at index k of the tables.
struct Column {
    int order = 0;
    int k = 0;
};

Status currentInputs(const LimitSet& set, const BasisInput& in, const ComplianceOptions& o,
                     Plan& plan) {
    const int channels = in.tables.channels;
    if (o.channel < 0 || o.channel > channels)
        return Error{"チャンネルは 0～" + std::to_string(channels) + " です（" +
                     std::to_string(channels) + " は合成電流）"};
    if (set.quantity == LimitQuantity::CurrentPerKw) {
        if (!o.contractKw) return Error{"限度値 " + set.name + " には契約電力 (kW) が必要です"};
        if (!withinRange(*o.contractKw, kContractKwRange))
            return Error{"契約電力 (kW) は " + rangeText(kContractKwRange) + " にしてください"};
        const double measured = o.measuredKv.value_or(set.receivingKv);
        if (!withinRange(measured, kMeasuredKvRange))
            return Error{"測定点の電圧 (kV) は " + rangeText(kMeasuredKvRange) + " にしてください"};
        plan.scale = outflowPerKw(1.0, *o.contractKw, measured, set.receivingKv);
        return success();
    }
    if (!o.ilA || !withinRange(*o.ilA, kCurrentARange))
        return Error{"限度値 " + set.name + " には最大需要電流 I_L (A, " +
                     rangeText(kCurrentARange) + ") が必要です"};
    plan.il = *o.ilA;
    if (o.iscKa) {
        plan.ratio = *o.iscKa * 1000.0 / *o.ilA;
    } else if (o.iscOverIl) {
        plan.ratio = *o.iscOverIl;
    } else {
        return Error{"限度値 " + set.name + " には短絡電流 I_SC (kA) か I_SC/I_L が必要です"};
    }
    auto band = limitsForRatio(set, *plan.ratio);
    if (!band) return Error{band.error()};
    plan.limits = std::move(*band);
    return success();
}

Result<Plan> planOf(const LimitSet& set, const BasisInput& in, const ComplianceOptions& o) {
    Plan plan{set, std::nullopt, 1, 0};
    if (set.quantity == LimitQuantity::VoltageDistortion) return plan;
    if (auto ok = currentInputs(set, in, o, plan); !ok) return Error{ok.error()};
    return plan;
}

std::vector<Column> columnsOf(const Plan& plan, int maxOrderIndex) {
    std::vector<Column> columns;
    if (plan.limits.quantity != LimitQuantity::CurrentPerKw) columns.push_back({0, 0});
    const int step = orderStepOf(maxOrderIndex);
    for (int k = 1; k <= maxOrderIndex; ++k) columns.push_back({k * step + 1, k});
    return columns;
}

// The value of every column in one value slot.
void slotValues(const Plan& plan, const float* m, int maxOrderIndex,
                const std::vector<Column>& columns, float* out) {
    const LimitSet& set = plan.limits;
    const int step = orderStepOf(maxOrderIndex);
    double squares = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const int k = columns[c].k;
        if (k == 0) continue;
        float v = 0;
        if (set.quantity == LimitQuantity::VoltageDistortion) {
            v = static_cast<float>(percentOfFundamental(m[k], m[0]));
        } else if (set.quantity == LimitQuantity::CurrentPerKw) {
            v = static_cast<float>(m[k] * plan.scale);
        } else {
            v = static_cast<float>(m[k] / plan.il * 100.0);
        }
        out[c] = v;
        const int order = k * step + 1;
        if (order >= set.thdFrom && order <= set.thdTo) squares += static_cast<double>(v) * v;
    }
    if (!columns.empty() && columns[0].k == 0) out[0] = static_cast<float>(std::sqrt(squares));
}

float statisticValue(const ColumnStatistics& st, LimitStatistic which) {
    switch (which) {
        case LimitStatistic::P95:
            return st.p95;
        case LimitStatistic::P99:
            return st.p99;
        case LimitStatistic::Max:
            return st.max;
        case LimitStatistic::Mean:
            return static_cast<float>(st.mean);
    }
    return st.p95;
}

std::string_view rowQuantity(LimitQuantity q, bool total) {
    switch (q) {
        case LimitQuantity::VoltageDistortion:
            return total ? "voltage_total_distortion" : "voltage_distortion";
        case LimitQuantity::CurrentPerKw:
            return "current_per_kw";
        case LimitQuantity::CurrentOfDemand:
            return total ? "current_total_demand_distortion" : "current_of_demand";
    }
    return "voltage_distortion";
}

double dateTimeOf(int64_t minute) {
    return dateTime(static_cast<int32_t>(minute / 1440), static_cast<int32_t>(minute % 1440));
}

// "3 日 4 時間 10 分", leaving out the leading zero parts.
std::string durationText(int64_t minutes) {
    std::string t;
    if (minutes >= 1440) t += std::to_string(minutes / 1440) + " 日 ";
    if (minutes >= 60) t += std::to_string(minutes % 1440 / 60) + " 時間 ";
    return t + std::to_string(minutes % 60) + " 分";
}

struct WindowSlots {
    int32_t first = 0;
    int32_t end = 0;  // exclusive
    int64_t startMinute = 0;
    int64_t endMinute = 0;  // exclusive: where its last value ends, within the period
};

std::vector<WindowSlots> windowSlots(const DataBasis& b, WindowSpan span) {
    std::vector<WindowSlots> windows;
    const int64_t periodEnd = b.slotMinute(b.valueCount());
    const int64_t length = span == WindowSpan::Week ? kWeekMinutes : periodEnd - b.startMinute;
    for (int32_t v = 0; v < b.valueCount();) {
        const auto w = static_cast<int64_t>(windows.size());
        const int64_t start = b.startMinute + w * length, end = start + length;
        WindowSlots slots{v, v, start, std::min(end, periodEnd)};
        while (slots.end < b.valueCount() && (b.slotMinute(slots.end) < end || length <= 0))
            ++slots.end;
        if (slots.end == slots.first) ++slots.end;  // never an empty window
        v = slots.end;
        windows.push_back(slots);
    }
    return windows;
}

}  // namespace

namespace {

std::string percentText(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.1f", v);
    return b;
}

std::vector<std::string> indicativeReasons(const DataBasis& b, WindowSpan span,
                                           const AssessedWindow& w, const WindowSlots& s) {
    std::vector<std::string> reasons;
    if (span == WindowSpan::Week && s.endMinute - s.startMinute < kWeekMinutes)
        reasons.push_back("7 日に満たない窓（" + durationText(s.endMinute - s.startMinute) + "）");
    if (w.coverage() < kLeastCoverage)
        reasons.push_back("使えた値が予定の 90 % 未満（" + percentText(w.coverage()) + " %）");
    if (b.kind == BasisKind::Longer)
        reasons.push_back("レコードが 10 分より長い（" + std::to_string(b.recordMinutes) +
                          " 分値をそのまま使用）");
    if (b.kind == BasisKind::Uneven)
        reasons.push_back("レコード間隔 " + std::to_string(b.recordMinutes) +
                          " 分が 10 分を割り切らない（そのまま使用）");
    return reasons;
}

// The row of one column over the window's used values, judged on condition `c`.
ComplianceRow judgedRow(const Plan& plan, const Column& column, int c, std::vector<float> values,
                        const std::vector<int32_t>& slotsOf, const DataBasis& b,
                        const ComplianceOptions& o) {
    const LimitSet& set = plan.limits;
    const LimitCondition& condition = set.conditions[static_cast<std::size_t>(c)];
    ComplianceRow row;
    row.quantity = rowQuantity(set.quantity, column.order == 0);
    row.order = column.order;
    if (set.quantity != LimitQuantity::VoltageDistortion) row.channel = o.channel;
    row.condition = c;
    const ColumnStatistics st = columnStatistics(values);
    row.records = st.count;
    if (st.maxSlot >= 0)
        row.maxTime = dateTimeOf(b.slotMinute(slotsOf[static_cast<std::size_t>(st.maxSlot)]));
    row.max = st.max;
    row.min = st.min;
    row.mean = static_cast<float>(st.mean);
    row.p95 = st.p95;
    row.p99 = st.p99;
    row.value = statisticValue(st, condition.statistic);
    const std::optional<double> base = column.order == 0 ? set.total : set.limitFor(column.order);
    if (base) row.limit = *base * condition.factor;
    if (row.limit && st.count > 0) row.pass = withinLimit(row.value, *row.limit);
    return row;
}

bool finiteRow(const ComplianceRow& row) {
    for (const float v : {row.max, row.min, row.mean, row.p95, row.p99, row.value})
        if (!std::isfinite(v)) return false;
    return !row.limit || std::isfinite(static_cast<float>(*row.limit));
}

std::string rowName(const ComplianceRow& row) {
    std::string name = row.order == 0 ? "総合" : std::to_string(row.order) + " 次";
    if (row.channel) name += "（チャンネル " + std::to_string(*row.channel) + "）";
    return name;
}

// Whether the recording can show a condition: its values are no shorter than a record, and it
// is taken over the set's own window.
std::optional<std::string> cannotShow(const LimitCondition& c, const LimitSet& set,
                                      const DataBasis& b) {
    if (c.seconds < b.recordMinutes * 60)
        return "レコードは " + std::to_string(b.recordMinutes) + " 分値（" +
               std::to_string(c.seconds) + " 秒値は記録されていません）";
    if (c.per != set.window) return std::string("日ごとの評価には対応していません");
    return std::nullopt;
}

// The value of every column for every used slot, in the order of DataBasis::used.
struct Matrix {
    std::vector<float> values;  // per used slot, per column
    std::size_t width = 0;
    float at(std::size_t i, std::size_t c) const { return values[i * width + c]; }
};

Matrix valuesOf(const Plan& plan, const DataBasis& b, int maxOrderIndex,
                const std::vector<Column>& columns) {
    Matrix m{std::vector<float>(b.used.size() * columns.size(), 0.0f), columns.size()};
    for (std::size_t i = 0; i < b.used.size(); ++i)
        slotValues(plan, b.usedRow(i), maxOrderIndex, columns, m.values.data() + i * m.width);
    return m;
}

Result<AssessedWindow> windowOf(const Plan& plan, const DataBasis& b, const WindowSlots& s,
                                const std::vector<Column>& columns, const Matrix& m,
                                const std::vector<int>& conditions, const ComplianceOptions& o) {
    AssessedWindow w;
    w.start = dateTimeOf(s.startMinute);
    w.end = dateTimeOf(s.endMinute);
    std::vector<int32_t> used;    // the window's used slots
    std::vector<std::size_t> at;  // and their places in the basis's used slots
    for (int32_t v = s.first; v < s.end; ++v) {
        const ValueState state = b.states[static_cast<std::size_t>(v)];
        ++w.expected;
        w.present += state != ValueState::Missing ? 1 : 0;
        w.flagged += state == ValueState::Flagged ? 1 : 0;
    }
    const auto first = std::lower_bound(b.used.begin(), b.used.end(), s.first);
    for (auto it = first; it != b.used.end() && *it < s.end; ++it) {
        used.push_back(*it);
        at.push_back(static_cast<std::size_t>(it - b.used.begin()));
    }
    w.used = static_cast<int32_t>(used.size());
    w.indicative = indicativeReasons(b, plan.limits.window, w, s);
    std::vector<float> values(used.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        for (std::size_t i = 0; i < used.size(); ++i) values[i] = m.at(at[i], c);
        for (const int condition : conditions) {
            ComplianceRow row = judgedRow(plan, columns[c], condition, values, used, b, o);
            if (!finiteRow(row))
                return Error{rowName(row) +
                             " の統計値が有限の数になりません（記録値または契約電力・"
                             "電圧の指定を確かめてください）"};
            w.rows.push_back(row);
        }
    }
    return w;
}

}  // namespace

namespace {

// The orders the set limits that the recording holds no value of (every even order of a
// recording of odd orders, and those above its highest order).
std::vector<int> unmeasuredOrders(const LimitSet& set, int maxOrderIndex) {
    const int step = orderStepOf(maxOrderIndex);
    const int highest = maxOrderIndex * step + 1;
    std::vector<int> orders;
    const int top =
        std::max(set.highestLimitedOrder(highest), set.total ? std::min(set.thdTo, 256) : 0);
    for (int h = 2; h <= std::min(top, 256); ++h) {
        const bool recorded = h <= highest && (h - 1) % step == 0;
        if (!recorded && set.limitFor(h)) orders.push_back(h);
    }
    return orders;
}

void addUnmeasuredRows(AssessedWindow& w, const Assessment& a, int condition,
                       const ComplianceOptions& o) {
    const LimitSet& set = a.limits;
    for (const int h : a.unmeasured) {
        ComplianceRow row;
        row.quantity = rowQuantity(set.quantity, false);
        row.order = h;
        if (set.quantity != LimitQuantity::VoltageDistortion) row.channel = o.channel;
        row.condition = condition;
        row.measured = false;
        row.limit = *set.limitFor(h) * set.conditions[static_cast<std::size_t>(condition)].factor;
        w.rows.push_back(row);
    }
}

Overall overallOf(const Assessment& a) {
    Overall o;
    bool failsJudged = false, indicative = false;
    for (const AssessedWindow& w : a.windows)
        for (const ComplianceRow& r : w.rows)
            if (r.pass && !*r.pass) {
                o.exceeded = true;
                failsJudged = failsJudged || w.indicative.empty();
            }
    for (std::size_t i = 0; i < a.windows.size(); ++i)
        if (!a.windows[i].indicative.empty()) {
            indicative = true;
            o.reasons.push_back("窓 " + std::to_string(i + 1) +
                                " は参考: " + a.windows[i].indicative.front());
        }
    if (a.unassessable.size() == a.limits.conditions.size()) {
        indicative = true;
        o.reasons.emplace_back("この記録で判定できる条件がありません");
    }
    if (!a.unmeasured.empty()) {
        indicative = true;
        o.reasons.push_back("限度値のある次数に未測定があります");
    }
    if (a.limits.quantity == LimitQuantity::CurrentPerKw) {
        indicative = true;
        o.reasons.emplace_back(kReferenceFromMeasurement);
    }
    // A figure from measurement stays a reference, whatever it shows.
    const bool reference = a.limits.quantity == LimitQuantity::CurrentPerKw;
    o.verdict = failsJudged && !reference ? OverallVerdict::Fail
                : indicative              ? OverallVerdict::Indicative
                                          : OverallVerdict::Pass;
    return o;
}

// The total over the period, or the measured order whose value is closest to its limit.
Trend trendOf(const Assessment& a, const DataBasis& b, const std::vector<Column>& columns,
              const Matrix& m) {
    Trend t;
    std::size_t column = 0;
    double closest = -1;
    for (const AssessedWindow& w : a.windows)
        for (const ComplianceRow& r : w.rows) {
            if (!r.measured || !r.limit || r.records == 0) continue;
            if (r.order == 0) {
                closest = 1e300;
                column = 0;
                t = Trend{0, r.limit, {}};
            } else if (r.value / *r.limit > closest) {
                closest = r.value / *r.limit;
                t = Trend{r.order, r.limit, {}};
                for (std::size_t c = 0; c < columns.size(); ++c)
                    if (columns[c].order == r.order) column = c;
            }
        }
    if (closest < 0) return t;
    for (std::size_t i = 0; i < b.used.size(); ++i)
        t.points.push_back({dateTimeOf(b.slotMinute(b.used[i])), m.at(i, column)});
    return t;
}

}  // namespace

Result<Assessment> assess(const LimitSet& set, const BasisInput& input,
                          const ComplianceOptions& options) {
    BasisInput in = input;
    if (set.quantity != LimitQuantity::VoltageDistortion) in.currentChannel = options.channel;
    auto plan = planOf(set, in, options);
    if (!plan) return Error{plan.error()};
    Assessment a;
    a.limits = plan->limits;
    a.iscOverIl = plan->ratio;
    auto basis = dataBasis(in);
    if (!basis) return Error{basis.error()};
    a.basis = std::move(*basis);
    const DataBasis& b = a.basis;
    const int N = in.tables.maxOrderIndex;
    a.oddOrdersOnly = orderStepOf(N) == 2;
    a.highestRecordedOrder = N * orderStepOf(N) + 1;
    a.unmeasured = unmeasuredOrders(a.limits, N);
    a.recordedKv = b.medianFundamental / 1000.0;
    std::vector<int> conditions;
    for (std::size_t c = 0; c < set.conditions.size(); ++c) {
        if (auto why = cannotShow(set.conditions[c], set, b))
            a.unassessable.push_back({static_cast<int>(c), *why});
        else
            conditions.push_back(static_cast<int>(c));
    }
    const auto columns = columnsOf(*plan, N);
    const Matrix m = valuesOf(*plan, b, N, columns);
    for (const WindowSlots& s : windowSlots(b, set.window)) {
        auto w = windowOf(*plan, b, s, columns, m, conditions, options);
        if (!w) return Error{w.error()};
        if (!conditions.empty()) addUnmeasuredRows(*w, a, conditions.front(), options);
        // By order, the total first, the orders not measured among the others.
        std::stable_sort(
            w->rows.begin(), w->rows.end(),
            [](const ComplianceRow& x, const ComplianceRow& y) { return x.order < y.order; });
        a.windows.push_back(std::move(*w));
    }
    a.warnings = plausibilityWarnings(set, b, options, a.recordedKv);
    a.overall = overallOf(a);
    a.overall.unassessable = static_cast<int>(a.unassessable.size());
    a.trend = trendOf(a, b, columns, m);
    a.basis.values = {};
    a.basis.used = {};
    return a;
}

}  // namespace hg
