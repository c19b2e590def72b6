// The report's machine and spreadsheet forms and the terminal table.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

#include "compliance/compliance_text.h"

namespace hg {

namespace {

using Json = nlohmann::ordered_json;

// A single as the shortest decimal that reads back to it; null when it is not finite.
Json number(float v) {
    if (!std::isfinite(v)) return nullptr;
    char b[32];
    const auto r = std::to_chars(b, b + sizeof b, v);
    return std::stod(std::string(b, r.ptr));
}

Json number(std::optional<double> v) {
    if (!v || !std::isfinite(*v)) return nullptr;
    return *v;
}

std::string shortest(float v) {
    if (!std::isfinite(v)) return "";
    char b[32];
    const auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

Json rowJson(const ComplianceReport& r, const ComplianceRow& row) {
    const LimitCondition& c =
        r.assessment.limits.conditions[static_cast<std::size_t>(row.condition)];
    Json j;
    j["quantity"] = std::string(row.quantity);
    j["order"] = row.order;
    j["channel"] = row.channel ? Json(*row.channel) : Json(nullptr);
    j["statistic"] = std::string(statisticName(c.statistic));
    j["factor"] = c.factor;
    j["measured"] = row.measured;
    j["values"] = row.records;
    j["max"] = number(row.max);
    j["max_time"] = row.records > 0 ? Json(fullDateTime(row.maxTime)) : Json(nullptr);
    for (const auto& [key, v] :
         {std::pair{"min", row.min}, std::pair{"mean", row.mean}, std::pair{"p95", row.p95},
          std::pair{"p99", row.p99}, std::pair{"value", row.value}})
        j[key] = row.records > 0 ? number(v) : Json(nullptr);
    j["limit"] = number(row.limit);
    j["margin"] = row.records > 0 ? number(marginOf(row)) : Json(nullptr);
    j["margin_percent"] = row.records > 0 ? number(marginPercentOf(row)) : Json(nullptr);
    j["pass"] = row.pass ? Json(*row.pass) : Json(nullptr);
    j["verdict"] = verdictText(row);
    return j;
}

Json methodJson(const ComplianceReport& r) {
    const Assessment& a = r.assessment;
    const LimitSet& set = a.limits;
    Json m;
    m["quantity"] = std::string(quantityName(set.quantity));
    m["window"] = std::string(windowName(set.window));
    m["thd_orders"] = {set.thdFrom, set.thdTo};
    m["conditions"] = Json::array();
    for (std::size_t c = 0; c < set.conditions.size(); ++c) {
        const LimitCondition& k = set.conditions[c];
        Json cj = {{"statistic", std::string(statisticName(k.statistic))},
                   {"factor", k.factor},
                   {"seconds", k.seconds},
                   {"per", std::string(windowName(k.per))},
                   {"text", conditionText(set, static_cast<int>(c))},
                   {"assessable", true},
                   {"reason", nullptr}};
        for (const UnassessableCondition& u : a.unassessable)
            if (u.condition == static_cast<int>(c)) {
                cj["assessable"] = false;
                cj["reason"] = u.reason;
            }
        m["conditions"].push_back(cj);
    }
    m["note"] = set.note;
    const bool reference = set.quantity == LimitQuantity::CurrentPerKw;
    m["reference_from_measurement"] = reference;
    m["label"] = reference ? Json(kReferenceFromMeasurement) : Json(nullptr);
    m["receiving_kv"] = reference ? Json(set.receivingKv) : Json(nullptr);
    return m;
}

Json basisJson(const Assessment& a) {
    const DataBasis& b = a.basis;
    const char* kinds[] = {"rms_10min", "as_recorded_10min", "as_recorded_longer",
                           "as_recorded_uneven"};
    return {{"record_minutes", b.recordMinutes},
            {"value_minutes", b.valueMinutes},
            {"aggregation", kinds[static_cast<int>(b.kind)]},
            {"records", b.records},
            {"flagged_records", b.flaggedRecords},
            {"median_fundamental_v", number(b.medianFundamental)},
            {"recorded_kv", a.recordedKv},
            {"odd_orders_only", a.oddOrdersOnly},
            {"highest_recorded_order", a.highestRecordedOrder}};
}

Json inputsJson(const ComplianceReport& r) {
    const ComplianceOptions& o = r.options;
    Json j;
    j["channel"] = r.assessment.limits.quantity == LimitQuantity::VoltageDistortion
                       ? Json(nullptr)
                       : Json(o.channel);
    j["contract_kw"] = number(o.contractKw);
    j["measured_kv"] = number(o.measuredKv);
    j["isc_ka"] = number(o.iscKa);
    j["il_a"] = number(o.ilA);
    j["isc_il"] = number(r.assessment.iscOverIl);
    for (const MetaField& f : kMetaFields) j[std::string(f.key)] = r.meta.*(f.member);
    return j;
}

Json windowJson(const ComplianceReport& r, const AssessedWindow& w) {
    Json j = {{"start", fullDateTime(w.start)},
              {"end", fullDateTime(w.end)},
              {"expected", w.expected},
              {"present", w.present},
              {"flagged", w.flagged},
              {"used", w.used},
              {"coverage", std::round(w.coverage() * 10) / 10},
              {"indicative", w.indicative},
              {"rows", Json::array()}};
    for (const ComplianceRow& row : w.rows) j["rows"].push_back(rowJson(r, row));
    return j;
}

// A table line of the CSV: the window, the row's quantity, order, channel and condition, its
// statistics, limit, margins and verdict (blank where the row has none).
void csvRow(CsvText& csv, const ComplianceReport& r, std::size_t window, const ComplianceRow& row) {
    const int d = decimalsOf(r.assessment.limits.quantity);
    const bool values = row.records > 0;
    csv.integer(static_cast<long long>(window) + 1)
        .text(quantityLabel(row.quantity))
        .integer(row.order)
        .text(row.channel ? channelName(*row.channel, r.channels) : "")
        .text(conditionText(r.assessment.limits, row.condition))
        .integer(row.records)
        .text(values ? shortest(row.max) : "")
        .text(values ? fullDateTime(row.maxTime) : "");
    for (const float v : {row.min, row.mean, row.p95, row.p99, row.value})
        csv.text(values ? shortest(v) : "");
    csv.text(row.limit ? shortest(static_cast<float>(*row.limit)) : "")
        .text(values && row.limit ? marginText(marginOf(row), d) : "")
        .text(values && row.limit ? marginText(marginPercentOf(row), 1) : "")
        .text(row.limit || !row.measured ? verdictText(row) : "")
        .endLine();
}

// A text padded with blanks to `width` display cells (full-width characters take two).
std::string padded(const std::string& text, int width) {
    int cells = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        cells += length == 1 ? 1 : 2;
        i += static_cast<std::size_t>(length);
    }
    return std::string(static_cast<std::size_t>(std::max(width - cells, 0)), ' ') + text;
}

std::string tableRow(const ComplianceReport& r, const ComplianceRow& row) {
    const int d = decimalsOf(r.assessment.limits.quantity);
    const bool values = row.records > 0;
    const LimitCondition& c =
        r.assessment.limits.conditions[static_cast<std::size_t>(row.condition)];
    return padded(orderName(row), 6) +
           padded(statisticLabel(c.statistic) + "×" + reportNumber(c.factor, 1), 12) +
           padded(values ? reportNumber(row.value, d) : "－", 10) +
           padded(values ? reportNumber(row.max, d) : "－", 10) +
           padded(values ? fullDateTime(row.maxTime) : "－", 18) +
           padded(row.limit ? reportNumber(*row.limit, d) : "－", 10) +
           padded(values ? marginText(marginOf(row), d) : "－", 10) +
           padded(values ? marginText(marginPercentOf(row), 1) : "－", 11) +
           padded(verdictText(row), 8) + "\n";
}

}  // namespace

std::string complianceTable(const ComplianceReport& r) {
    const LimitSet& set = r.assessment.limits;
    std::string s = "限度値：" + set.name + "（" + set.file + "、SHA-256 " + set.sha256 + "）\n";
    if (set.quantity == LimitQuantity::CurrentPerKw)
        s += std::string(kReferenceFromMeasurement) + "\n";
    s += "総合判定：" + overallText(r.assessment.overall) + "\n";
    for (std::size_t w = 0; w < r.assessment.windows.size(); ++w) {
        s += windowText(r, w) + "\n";
        s += padded("次数", 6) + padded("条件", 12) + padded("判定値", 10) + padded("最大値", 10) +
             padded("最大の時刻", 18) + padded("限度値", 10) + padded("余裕", 10) +
             padded("余裕率(%)", 11) + padded("判定", 8) + "\n";
        const AssessedWindow& window = r.assessment.windows[w];
        for (const std::size_t i : judgedRows(window)) s += tableRow(r, window.rows[i]);
    }
    return s;
}

std::string complianceJson(const ComplianceReport& r) {
    const Assessment& a = r.assessment;
    Json j;
    j["file"] = r.file;
    j["period"] = {
        {"start", fullDateTime(r.start)}, {"end", fullDateTime(r.end)}, {"records", r.records}};
    j["limits"] = a.limits.name;
    j["limit_file"] = {
        {"path", a.limits.file}, {"sha256", a.limits.sha256}, {"edition", a.limits.edition}};
    j["method"] = methodJson(r);
    j["basis"] = basisJson(a);
    j["inputs"] = inputsJson(r);
    j["windows"] = Json::array();
    for (const AssessedWindow& w : a.windows) j["windows"].push_back(windowJson(r, w));
    j["unmeasured"] = a.unmeasured;
    const char* verdicts[] = {"pass", "fail", "indicative"};
    j["overall"] = {{"verdict", verdicts[static_cast<int>(a.overall.verdict)]},
                    {"text", overallText(a.overall)},
                    {"exceeded", a.overall.exceeded},
                    {"reasons", a.overall.reasons}};
    j["warnings"] = a.warnings;
    j["issued"] = fullDateTime(r.issued);
    j["version"] = r.version;
    return j.dump(1, ' ', false, Json::error_handler_t::replace) + "\n";
}

CsvText complianceCsv(const ComplianceReport& r) {
    CsvText csv;
    csv.text("項目").text("内容").endLine();
    for (const auto& [label, text] : reportParticulars(r)) csv.text(label).text(text).endLine();
    for (std::size_t w = 0; w < r.assessment.windows.size(); ++w)
        csv.text("窓 " + std::to_string(w + 1)).text(windowText(r, w)).endLine();
    csv.endLine();
    const std::string u = unitHeading(r.assessment.limits.quantity);
    for (const char* heading : {"窓", "区分", "次数", "チャンネル", "条件", "値の数"})
        csv.text(heading);
    csv.text("最大値" + u).text("最大の時刻");
    for (const char* statistic : {"最小値", "平均値", "95%値", "99%値", "判定値", "限度値", "余裕"})
        csv.text(statistic + u);
    csv.text("余裕率(%)").text("判定").endLine();
    for (std::size_t w = 0; w < r.assessment.windows.size(); ++w)
        for (const ComplianceRow& row : r.assessment.windows[w].rows) csvRow(csv, r, w, row);
    return csv;
}

}  // namespace hg
