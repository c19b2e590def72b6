// A compliance report of a period and its text forms: JSON for machines, CSV for spreadsheets
// (a header block of key/value lines, then the table with a unit in every numeric heading), and
// a plain table for the terminal. The printed sheet is composed in print/compliance_report from
// the same texts.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "analysis/channels.h"
#include "compliance/assessment.h"
#include "compliance/limits.h"
#include "compliance/report_meta.h"
#include "platform/csv_text.h"

namespace hg {

struct ComplianceReport {
    std::string file;  // the recording
    double start = 0;  // the period judged
    double end = 0;
    int32_t records = 0;   // records of the period
    int16_t channels = 0;  // C: channel C is the composite
    LimitSet set;
    ComplianceOptions options;
    ReportMeta meta;
    Assessment assessment;
    std::string version;  // of the program
    double issued = 0;    // date-time of issue
};

// The rows a sheet or the terminal table shows: those with a limit, the totals and the orders
// not measured.
std::vector<std::size_t> judgedRows(const AssessedWindow& window);

// The report's particulars as label and text, in the order the CSV header block and the sheet
// give them: the recording and its site, the period and basis, the set, its file and hash, the
// method and its conditions, the inputs, the orders not measured, the overall verdict, the
// warnings, the date of issue and the program's version.
std::vector<std::pair<std::string, std::string>> reportParticulars(const ComplianceReport& r);

// A window's line: its span, expected, present, flagged and used intervals, coverage and
// whether it is 参考 and why.
std::string windowText(const ComplianceReport& r, std::size_t window);

std::string complianceJson(const ComplianceReport& report);
// The particulars as key/value lines, each window's line, a blank line, then the table.
CsvText complianceCsv(const ComplianceReport& report);
// The overall verdict and the judged rows of each window, aligned for the terminal (UTF-8, LF).
std::string complianceTable(const ComplianceReport& report);

// Texts shared by every form.
std::string orderName(const ComplianceRow& row);    // "総合" or "5次"
std::string verdictText(const ComplianceRow& row);  // "適合", "超過", "未測定", "－"
std::string overallText(const Overall& overall);    // "適合", "超過", "参考（…）"; the
                                                    // conditions not judged named with 適合
std::string statisticLabel(LimitStatistic s);       // "95%値"
std::string conditionText(const LimitSet& set,
                          int condition);  // "7 日ごとの10 分値の95%値が限度値 × 1.0 以下"
std::string quantityLabel(std::string_view rowQuantity);  // "電圧歪率" ...
std::string unitOf(LimitQuantity q);                      // "%", "mA/kW", "% of I_L"
std::string unitHeading(LimitQuantity q);                 // "(%)", "(mA/kW)"
int decimalsOf(LimitQuantity q);
std::string reportNumber(double value, int decimals);  // fixed, "－" for none
// A margin in fixed form whose sign is the verdict's: a shortfall smaller than the last digit
// shows as one step under ("-0.01"), never as "-0.00" or "0.00".
std::string marginText(std::optional<double> margin, int decimals);
std::string fullDateTime(double dateTime);  // "2019/05/30 15:20"

}  // namespace hg
