// The verdict of a row: a value at, just under and just over its limit, margins whose sign is
// the verdict's, the outflow current per kW by the voltage ratio, and the report sheet's texts
// and pages on the recording surface.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "analysis/harmdim.h"
#include "compliance/assessment.h"
#include "compliance/compliance.h"
#include "compliance/compliance_text.h"
#include "platform/recording_canvas.h"
#include "print/compliance_report.h"
#include "support_analysis.h"

namespace hg {
namespace {

using test::loadRecording;
using test::writeRecording;

TEST(Compliance, AtUnderAndOverTheLimit) {
    struct Case {
        double value;
        double limit;
        bool pass;
    };
    const Case cases[] = {
        {5.0, 5.0, true},
        {std::nextafter(5.0f, 0.0f), 5.0, true},
        {std::nextafter(5.0f, 10.0f), 5.0, false},
        {0.76f, 0.76, true},  // the stored single of a limit's value is that value
        {std::nextafter(0.76f, 1.0f), 0.76, false},
        {0.0, 0.2, true},
        {-1.0, 0.2, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withinLimit(c.value, c.limit), c.pass) << c.value << " against " << c.limit;
}

TEST(Compliance, MarginsAgreeWithVerdicts) {
    // A value at its limit, one single step over and under: the margin's sign and its text
    // follow the verdict, however small the difference.
    const float limit = 0.76f;
    const float values[] = {limit, std::nextafter(limit, 1.0f), std::nextafter(limit, 0.0f),
                            0.7649f, 0.7551f};
    for (const float v : values) {
        ComplianceRow row;
        row.value = v;
        row.limit = 0.76;
        row.pass = withinLimit(v, *row.limit);
        const double margin = *marginOf(row), percent = *marginPercentOf(row);
        EXPECT_EQ(margin >= 0, *row.pass) << v;
        EXPECT_EQ(percent >= 0, *row.pass) << v;
        for (const std::string& text : {marginText(margin, 2), marginText(percent, 1)})
            EXPECT_EQ(text[0] == '-', !*row.pass) << v << " " << text;
    }
    EXPECT_EQ(marginText(-1.66e-8, 2), "-0.01");
    EXPECT_EQ(marginText(-1.66e-8, 1), "-0.1");
    EXPECT_EQ(marginText(0.0, 2), "0.00");
    EXPECT_EQ(marginText(-0.0151, 2), "-0.02");
    EXPECT_EQ(marginText(std::nullopt, 2), "－");
}

TEST(Compliance, OutflowPerKwByTheVoltageRatio) {
    struct Case {
        double amperes, contractKw, measuredKv, receivingKv, milliamperesPerKw;
    };
    const Case cases[] = {
        {10, 1000, 6.6, 6.6, 10},  // measured at the receiving voltage
        {10, 1000, 3.3, 6.6, 5},   // half the voltage: half the current at the receiving side
        {10, 1000, 66, 22, 30},
        {0.35, 100, 6.6, 6.6, 3.5},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(outflowPerKw(c.amperes, c.contractKw, c.measuredKv, c.receivingKv),
                    c.milliamperesPerKw, 1e-9);
}

LimitSet parsed(const char* text) {
    auto set = parseLimitSet(text, "t.json");
    EXPECT_TRUE(set) << set.error();
    return *set;
}

const char* const kVoltageSet =
    R"({"name": "v", "title": "電圧の限度", "source": "出典の名", "edition": "第2版", "check": "c",
        "quantity": "voltage_distortion", "total": 9, "orders": {"2": 1, "5": 6, "7": 5}})";

// Twenty records: the 5th at exactly 6 % of the fundamental, the 7th at 5 % but 5.5 % in two
// records in twenty (the 95th percentile is rank 19 of 20: 5.5 %).
std::string twentyRecords() {
    return writeRecording("verdict.hm1", 20, [](int64_t r, RecordValues& v) {
        v.V[0] = 100;
        v.V[2] = 6;
        v.V[3] = r == 7 || r == 9 ? 5.5f : 5.0f;
    });
}

ComplianceReport reportOf(const HARMDIM& s, const LimitSet& set) {
    ComplianceReport report;
    report.file = "/data/verdict.hm1";
    report.start = s.AnalysisStart;
    report.end = s.AnalysisEnd;
    report.records = s.LoadedRecords;
    report.channels = s.ChannelCount;
    report.set = set;
    report.meta.site = "第一工場";
    report.meta.vtRatio = "6600/110";
    report.version = "9.9";
    report.issued = s.AnalysisEnd;
    auto a = assess(set, basisInputOf(s, 0, s.LoadedRecords, s.AnalysisStart, s.AnalysisEnd), {});
    EXPECT_TRUE(a) << a.error();
    report.assessment = *a;
    return report;
}

TEST(Compliance, ReportSheetTexts) {
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, twentyRecords()));
    const ComplianceReport report = reportOf(s, parsed(kVoltageSet));
    ASSERT_EQ(complianceReportPages(report), 1);
    RecordingCanvas canvas(100, 100);
    drawComplianceReport(canvas, report, 1);
    EXPECT_EQ(canvas.scaleWidth(), kReportPageWidth);
    for (const char* text : {"高調波適合判定",
                             "総合判定：超過",
                             "ファイル：/data/verdict.hm1",
                             "場所：第一工場",
                             "VT 比：6600/110",
                             "期間：2019/05/29 00:00 ～ 2019/05/29 03:10",
                             "限度値：v　電圧の限度",
                             "出典：出典の名",
                             "版：第2版（最新版と照合してください）",
                             "未測定の次数：2 次（記録にない次数）",
                             "総合",
                             "5次",
                             "7次",
                             "未測定",
                             "6.00",
                             "5.50",
                             "-0.50",
                             "適合",
                             "超過",
                             "2019/05/29 01:10",
                             "作成",
                             "確認",
                             "承認",
                             "1/1"})
        EXPECT_NE(canvas.findText(text), nullptr) << text << "\n" << canvas.dump();
    // Only judged rows: the total, the 2nd (not measured), the 5th and the 7th; a window that
    // is not indicative with a failing row makes the overall verdict 超過.
    EXPECT_EQ(canvas.findText("9次"), nullptr);
    EXPECT_EQ(canvas.findTexts("適合").size(), 2u);
    // The trend's limit is a dash-dot line.
    EXPECT_EQ(canvas.lines(LineStyle::DashDot).size(), 1u);
}

TEST(Compliance, LongReportsTakeMorePages) {
    // 256 orders of an hh recording with a limit each: the tables run over several pages, each
    // numbered, the signature block on the last.
    HARMDIM s;
    ASSERT_TRUE(loadRecording(
        s, writeRecording("pages.hh1", 4, [](int64_t, RecordValues& v) { v.V[0] = 100; })));
    const ComplianceReport report = reportOf(s, parsed(R"({"name": "w", "title": "t", "source":
        "s", "edition": "e", "check": "c", "quantity": "voltage_distortion", "orders": {"2-": 1}})"));
    const int pages = complianceReportPages(report);
    ASSERT_GE(pages, 3);
    for (int page = 1; page <= pages; ++page) {
        RecordingCanvas canvas(100, 100);
        drawComplianceReport(canvas, report, page);
        const std::string number = std::to_string(page) + "/" + std::to_string(pages);
        EXPECT_NE(canvas.findText(number), nullptr) << number;
        EXPECT_EQ(canvas.findText("承認") != nullptr, page == pages) << page;
    }
}

}  // namespace
}  // namespace hg
