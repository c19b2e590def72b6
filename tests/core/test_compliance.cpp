// The verdict of a limit set over a loaded period: a value at, just under and just over its
// limit, the outflow current per kW by the voltage ratio, the rows of a voltage and a current
// set over hand-made records, and the texts of the report sheet on the recording surface.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "analysis/harmdim.h"
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
        "quantity": "voltage_distortion", "total": 8, "orders": {"5": 6, "7": 5}})";
const char* const kCurrentSet =
    R"({"name": "i", "title": "流出電流の限度", "source": "s", "edition": "e", "check": "c",
        "quantity": "current_per_kw", "receiving_kv": 6.6, "orders": {"5": 3.5, "7": 2.5}})";

// Twenty records: the 5th at exactly 6 % of the fundamental, the 7th at 5 % but 5.1 % in one
// record in twenty (above the 95th percentile), channel 0's 5th at 0.35 A, 7th at 0.3 A.
std::string twentyRecords() {
    return writeRecording("verdict.hm1", 20, [](int64_t r, RecordValues& v) {
        v.V[0] = 100;
        v.V[2] = 6;
        v.V[3] = r == 7 ? 5.1f : 5.0f;
        v.current(0, 0) = 10;
        v.current(0, 2) = 0.35f;
        v.current(0, 3) = 0.3f;
    });
}

TEST(Compliance, VoltageRows) {
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, twentyRecords()));
    auto rows = complianceRows(parsed(kVoltageSet), statisticsSourceOf(s), {});
    ASSERT_TRUE(rows) << rows.error();
    ASSERT_EQ(rows->size(), 25u);  // the total and orders 3..49
    // The total and the 5th pass (the 5th equal to its limit); the 7th is judged on its 95th
    // percentile, not its maximum; the 9th has no limit.
    const auto row = [&](std::size_t i) {
        const ComplianceRow& r = (*rows)[i];
        return std::tuple(r.order, r.value, r.p95, r.max, r.maxSlot, r.limit, r.pass);
    };
    using Row = decltype(row(0));
    EXPECT_EQ((*rows)[0].quantity, "voltage_total_distortion");
    EXPECT_EQ(std::get<5>(row(0)), 8);
    EXPECT_EQ(std::get<6>(row(0)), true);
    EXPECT_EQ(row(2), (Row{5, 6.0f, 6.0f, 6.0f, 0, 6, true}));
    EXPECT_EQ(row(3), (Row{7, 5.0f, 5.0f, 5.1f, 7, 5, true}));
    EXPECT_EQ(row(4), (Row{9, 0.0f, 0.0f, 0.0f, 0, std::nullopt, std::nullopt}));
    EXPECT_EQ((*rows)[4].channel, std::nullopt);
}

TEST(Compliance, CurrentRows) {
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, twentyRecords()));
    const LimitSet set = parsed(kCurrentSet);
    struct Case {
        std::optional<double> measuredKv;
        float fifth;
        bool fifthPasses;
    };
    // 0.35 A per 100 kW: 3.5 mA/kW at 6.6 kV (at the limit); twice that measured at 13.2 kV.
    const Case cases[] = {{std::nullopt, 3.5f, true}, {6.6, 3.5f, true}, {13.2, 7.0f, false}};
    for (const Case& c : cases) {
        ComplianceOptions options;
        options.channel = 0;
        options.contractKw = 100;
        options.measuredKv = c.measuredKv;
        auto rows = complianceRows(set, statisticsSourceOf(s), options);
        ASSERT_TRUE(rows) << rows.error();
        ASSERT_EQ(rows->size(), 24u);  // orders 3..49 of channel 0
        const ComplianceRow& fifth = (*rows)[1];
        EXPECT_EQ(fifth.quantity, "current_per_kw");
        EXPECT_EQ(fifth.order, 5);
        EXPECT_EQ(fifth.channel, 0);
        EXPECT_FLOAT_EQ(fifth.value, c.fifth);
        EXPECT_EQ(fifth.pass, c.fifthPasses);
    }
    ComplianceOptions noPower;
    EXPECT_FALSE(complianceRows(set, statisticsSourceOf(s), noPower));
    ComplianceOptions badChannel;
    badChannel.contractKw = 100;
    badChannel.channel = 2;  // one channel and the composite: 0..1
    EXPECT_FALSE(complianceRows(set, statisticsSourceOf(s), badChannel));
}

TEST(Compliance, ReportSheetTexts) {
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, twentyRecords()));
    ComplianceReport report;
    report.file = "/data/verdict.hm1";
    report.start = s.AnalysisStart;
    report.end = s.AnalysisEnd;
    report.records = s.LoadedRecords;
    report.channels = s.ChannelCount;
    report.set = parsed(kVoltageSet);
    report.rows = *complianceRows(report.set, statisticsSourceOf(s), {});
    report.rows[3].value = 5.5f;  // the 7th over its limit
    report.rows[3].pass = false;
    setMaxTimes(report, s.RecordX, s.AnalysisStart, s.PeriodMinutes);

    RecordingCanvas canvas(100, 100);
    drawComplianceReport(canvas, report);
    EXPECT_EQ(canvas.scaleWidth(), kReportPageWidth);
    for (const char* text :
         {"高調波適合判定", "ファイル：/data/verdict.hm1",
          "期間：19/05/29 00:00 ～ 19/05/29 03:10（20 レコード）", "チャンネル：－（電圧）",
          "限度値：v　電圧の限度", "出典：出典の名", "版：第2版（最新版と照合してください）",
          "総合", "5次", "7次", "6.00", "5.50", "適合", "超過", "19/05/29 01:10"})
        EXPECT_NE(canvas.findText(text), nullptr) << text << "\n" << canvas.dump();
    // Only judged rows: the total, the 5th and the 7th (three bars, three table rows).
    EXPECT_EQ(canvas.findText("9次"), nullptr);
    EXPECT_EQ(canvas.findTexts("適合").size(), 2u);
    // Each judged order's limit is a dash-dot line across its bar.
    EXPECT_EQ(canvas.lines(LineStyle::DashDot).size(), 3u);
}

}  // namespace
}  // namespace hg
