// A compliance report of a loaded period and its text forms: JSON for machines, CSV for
// spreadsheets, and a plain table for the terminal. The printed sheet is composed in
// print/compliance_report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/channels.h"
#include "compliance/compliance.h"
#include "compliance/limits.h"

namespace hg {

struct ComplianceReport {
    std::string file;  // the recording
    double start = 0;  // the analysis period
    double end = 0;
    int32_t records = 0;   // loaded records
    int16_t channels = 0;  // C: channel C is the composite
    LimitSet set;
    ComplianceOptions options;
    std::vector<ComplianceRow> rows;
    std::vector<double> maxTimes;  // per row: the time stamp of the first maximum
};

// Fills maxTimes from the rows' slots and the records' horizontal positions.
void setMaxTimes(ComplianceReport& report, const Table<float>& recordX, double analysisStart,
                 int32_t periodMinutes);

// The rows a sheet or the terminal table shows: those with a limit, and the total.
std::vector<std::size_t> judgedRows(const ComplianceReport& report);

// {"file", "period": {"start", "end", "records"}, "limits", "rows": [{"quantity", "order",
// "channel", "records", "max", "max_time", "min", "mean", "p95", "p99", "limit", "pass"}]}; times
// as "yy/mm/dd hh:mm"; order 0 for a total; limit and pass null without a limit.
std::string complianceJson(const ComplianceReport& report);

// One header line and one line per row (UTF-8, CR LF); the caller encodes it.
std::string complianceCsv(const ComplianceReport& report);

// The judged rows as an aligned table for the terminal (UTF-8, LF).
std::string complianceTable(const ComplianceReport& report);

// Texts shared by every form.
std::string orderName(const ComplianceRow& row);       // "総合" or "5次"
std::string verdictText(const ComplianceRow& row);     // "適合", "超過" or "－"
std::string reportNumber(double value, int decimals);  // fixed, "－" for none
// A margin in fixed form whose sign is the verdict's: a shortfall smaller than the last digit
// shows as one step under ("-0.01"), never as "-0.00" or "0.00".
std::string marginText(std::optional<double> margin, int decimals);

}  // namespace hg
