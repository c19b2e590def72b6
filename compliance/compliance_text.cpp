#include "compliance/compliance_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "platform/dates.h"

namespace hg {

namespace {

std::string shortest(float v) {
    if (!std::isfinite(v)) return "null";
    char b[32];
    const auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

std::string shortest(double v) {
    if (!std::isfinite(v)) return "null";
    char b[40];
    const auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

std::string quoted(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string maxTimeText(const ComplianceReport& report, std::size_t i) {
    if (i >= report.maxTimes.size() || report.rows[i].maxSlot < 0) return "";
    return formatYyMmDdHhMm(report.maxTimes[i]);
}

std::string jsonRow(const ComplianceReport& report, std::size_t i) {
    const ComplianceRow& r = report.rows[i];
    const std::string time = maxTimeText(report, i);
    std::string s = "{\"quantity\": \"" + std::string(r.quantity) +
                    "\", \"order\": " + std::to_string(r.order) +
                    ", \"channel\": " + (r.channel ? std::to_string(*r.channel) : "null") +
                    ", \"records\": " + std::to_string(r.records) +
                    ", \"max\": " + shortest(r.max) +
                    ", \"max_time\": " + (time.empty() ? "null" : quoted(time)) +
                    ", \"min\": " + shortest(r.min) + ", \"mean\": " + shortest(r.mean) +
                    ", \"p95\": " + shortest(r.p95) + ", \"p99\": " + shortest(r.p99) +
                    ", \"limit\": " + (r.limit ? shortest(*r.limit) : "null") +
                    ", \"pass\": " + (r.pass ? (*r.pass ? "true" : "false") : "null") + "}";
    return s;
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

int decimalsOf(const ComplianceReport& report) {
    return report.set.quantity == LimitQuantity::CurrentPerKw ? 3 : 2;
}

}  // namespace

void setMaxTimes(ComplianceReport& report, const Table<float>& recordX, double analysisStart,
                 int32_t periodMinutes) {
    report.maxTimes.clear();
    for (const ComplianceRow& r : report.rows)
        report.maxTimes.push_back(r.maxSlot >= 0 && recordX.contains(r.maxSlot)
                                      ? slotTime(recordX(r.maxSlot), analysisStart, periodMinutes)
                                      : 0.0);
}

std::vector<std::size_t> judgedRows(const ComplianceReport& report) {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < report.rows.size(); ++i)
        if (report.rows[i].limit || report.rows[i].order == 0) rows.push_back(i);
    return rows;
}

std::string orderName(const ComplianceRow& row) {
    return row.order == 0 ? "総合" : std::to_string(row.order) + "次";
}

std::string verdictText(const ComplianceRow& row) {
    if (!row.pass) return "－";
    return *row.pass ? "適合" : "超過";
}

std::string reportNumber(double value, int decimals) {
    if (!std::isfinite(value)) return "－";
    char b[48];
    std::snprintf(b, sizeof b, "%.*f", decimals, value);
    return b;
}

std::string marginText(std::optional<double> margin, int decimals) {
    if (!margin) return "－";
    const double step = std::pow(10.0, -decimals);
    return reportNumber(*margin < 0 ? std::min(*margin, -step) : *margin, decimals);
}

std::string complianceJson(const ComplianceReport& report) {
    std::string s = "{\"file\": " + quoted(report.file) +
                    ",\n\"period\": {\"start\": " + quoted(formatYyMmDdHhMm(report.start)) +
                    ", \"end\": " + quoted(formatYyMmDdHhMm(report.end)) +
                    ", \"records\": " + std::to_string(report.records) +
                    "},\n\"limits\": " + quoted(report.set.name) + ",\n\"rows\": [";
    for (std::size_t i = 0; i < report.rows.size(); ++i)
        s += (i ? ",\n  " : "\n  ") + jsonRow(report, i);
    s += "\n]}\n";
    return s;
}

std::string complianceCsv(const ComplianceReport& report) {
    std::string s =
        "区分,次数,チャンネル,レコード数,最大値,最大の時刻,最小値,平均値,95%値,99%値,限度値,余裕,"
        "余裕(%),判定\r\n";
    for (std::size_t i = 0; i < report.rows.size(); ++i) {
        const ComplianceRow& r = report.rows[i];
        const auto margin = marginOf(r);
        const auto percent = marginPercentOf(r);
        s += std::string(r.quantity) + "," + std::to_string(r.order) + "," +
             (r.channel ? channelName(*r.channel, report.channels) : "") + "," +
             std::to_string(r.records) + "," + shortest(r.max) + "," + maxTimeText(report, i) +
             "," + shortest(r.min) + "," + shortest(r.mean) + "," + shortest(r.p95) + "," +
             shortest(r.p99) + "," + (r.limit ? shortest(*r.limit) : "") + "," +
             (margin ? marginText(margin, decimalsOf(report)) : "") + "," +
             (percent ? marginText(percent, 1) : "") + "," + (r.pass ? verdictText(r) : "") +
             "\r\n";
    }
    return s;
}

std::string complianceTable(const ComplianceReport& report) {
    const int d = decimalsOf(report);
    std::string s = padded("次数", 6) + padded("95%値", 10) + padded("最大値", 10) +
                    padded("最大の時刻", 16) + padded("限度値", 10) + padded("余裕", 10) +
                    padded("余裕(%)", 9) + padded("判定", 6) + "\n";
    for (const std::size_t i : judgedRows(report)) {
        const ComplianceRow& r = report.rows[i];
        const auto margin = marginOf(r);
        const auto percent = marginPercentOf(r);
        s += padded(orderName(r), 6) + padded(reportNumber(r.value, d), 10) +
             padded(reportNumber(r.max, d), 10) + padded(maxTimeText(report, i), 16) +
             padded(r.limit ? reportNumber(*r.limit, d) : "－", 10) +
             padded(marginText(margin, d), 10) + padded(marginText(percent, 1), 9) +
             padded(verdictText(r), 6) + "\n";
    }
    return s;
}

}  // namespace hg
