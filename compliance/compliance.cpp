#include "compliance/compliance.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "datafile/record_format.h"

namespace hg {

namespace {

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

// A row of statistics with every value multiplied by `scale` (a positive factor keeps the
// ranks, so the percentiles are the scaled percentiles).
ComplianceRow rowOf(const ColumnStatistics& st, double scale) {
    ComplianceRow row;
    row.records = st.count;
    row.maxSlot = st.maxSlot;
    const auto scaled = [&](double v) { return static_cast<float>(v * scale); };
    row.max = scaled(st.max);
    row.min = scaled(st.min);
    row.mean = scaled(st.mean);
    row.p95 = scaled(st.p95);
    row.p99 = scaled(st.p99);
    return row;
}

void judge(ComplianceRow& row, const LimitSet& set, std::optional<double> limit,
           const ColumnStatistics& st, double scale) {
    row.value = static_cast<float>(statisticValue(st, set.statistic) * scale);
    row.limit = limit;
    if (limit) row.pass = withinLimit(row.value, *limit);
}

// The row as the messages name it: "総合", "5 次" or "5 次 (チャンネル 2)".
std::string rowName(const ComplianceRow& row) {
    std::string name = row.order == 0 ? "総合" : std::to_string(row.order) + " 次";
    if (row.channel) name += "（チャンネル " + std::to_string(*row.channel) + "）";
    return name;
}

// Every figure of the row a finite number: a recording holding infinities, or a contract power
// and voltage that scale the currents past single precision, give no verdict at all.
bool finiteRow(const ComplianceRow& row) {
    for (const float v : {row.max, row.min, row.mean, row.p95, row.p99, row.value})
        if (!std::isfinite(v)) return false;
    return !row.limit || std::isfinite(static_cast<float>(*row.limit));
}

struct Plan {
    std::vector<StatColumn> columns;
    double scale = 1;
};

Result<Plan> planOf(const LimitSet& set, const StatisticsSource& source,
                    const ComplianceOptions& options) {
    Plan plan;
    const int16_t N = source.maxOrderIndex;
    if (set.quantity == LimitQuantity::VoltageDistortion) {
        for (int16_t k = 0; k <= N; ++k)
            plan.columns.push_back({StatQuantity::VoltageDistortion, 0, k});
        return plan;
    }
    if (options.channel < 0 || options.channel > source.channels)
        return Error{"チャンネルは 0～" + std::to_string(source.channels) + " です（" +
                     std::to_string(source.channels) + " は合成電流）"};
    if (!options.contractKw) return Error{"限度値 " + set.name + " には契約電力 (kW) が必要です"};
    if (!withinRange(*options.contractKw, kContractKwRange))
        return Error{"契約電力 (kW) は " + rangeText(kContractKwRange) + " にしてください"};
    const double measured = options.measuredKv.value_or(set.receivingKv);
    if (!withinRange(measured, kMeasuredKvRange))
        return Error{"測定点の電圧 (kV) は " + rangeText(kMeasuredKvRange) + " にしてください"};
    for (int16_t k = 1; k <= N; ++k)
        plan.columns.push_back({StatQuantity::Current, options.channel, k});
    plan.scale = outflowPerKw(1.0, *options.contractKw, measured, set.receivingKv);
    return plan;
}

}  // namespace

bool withinRange(double x, const PhysicalRange& r) {
    return std::isfinite(x) && x >= r.least && x <= r.most;
}

std::string rangeText(const PhysicalRange& r) {
    char text[80];
    std::snprintf(text, sizeof text, "%g～%g", r.least, r.most);
    return text;
}

bool withinLimit(double value, double limit) {
    return static_cast<float>(value) <= static_cast<float>(limit);
}

double outflowPerKw(double amperes, double contractKw, double measuredKv, double receivingKv) {
    return amperes * 1000.0 * (measuredKv / receivingKv) / contractKw;
}

Result<std::vector<ComplianceRow>> complianceRows(const LimitSet& set,
                                                  const StatisticsSource& source,
                                                  const ComplianceOptions& options, int threads) {
    auto plan = planOf(set, source, options);
    if (!plan) return Error{plan.error()};
    const auto stats = statisticsOf(source, plan->columns, threads);
    const int step = orderStepOf(source.maxOrderIndex);
    std::vector<ComplianceRow> rows;
    for (std::size_t i = 0; i < stats.size(); ++i) {
        const StatColumn& c = plan->columns[i];
        ComplianceRow row = rowOf(stats[i], plan->scale);
        row.order = c.index == 0 ? 0 : c.index * step + 1;
        std::optional<double> limit;
        if (set.quantity == LimitQuantity::CurrentPerKw) {
            row.quantity = "current_per_kw";
            row.channel = c.channel;
            limit = set.limitFor(row.order);
        } else if (c.index == 0) {
            row.quantity = "voltage_total_distortion";
            limit = set.total;
        } else {
            row.quantity = "voltage_distortion";
            limit = set.limitFor(row.order);
        }
        judge(row, set, limit, stats[i], plan->scale);
        if (!finiteRow(row))
            return Error{rowName(row) +
                         " の統計値が有限の数になりません（記録値または契約電力・"
                         "電圧の指定を確かめてください）"};
        rows.push_back(row);
    }
    return rows;
}

// The margin from the single-precision limit and value the verdict compares: the difference of
// two singles is exact in double, so it is negative exactly when the verdict is 超過.
std::optional<double> marginOf(const ComplianceRow& row) {
    if (!row.limit) return std::nullopt;
    return static_cast<double>(static_cast<float>(*row.limit)) - row.value;
}

std::optional<double> marginPercentOf(const ComplianceRow& row) {
    const auto margin = marginOf(row);
    if (!margin) return std::nullopt;
    return *margin / static_cast<float>(*row.limit) * 100.0;
}

}  // namespace hg
