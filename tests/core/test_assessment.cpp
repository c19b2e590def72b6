// The assessment of a limit set over a period, on recordings of hand-made records: 1-minute
// records aggregated to 10-minute values with flagged and missing intervals counted, 7-day
// windows with their coverage and the overall verdict, the total distortion in the set's own
// order range with the orders a kind does not record, and the current of demand by I_SC/I_L.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/harmdim.h"
#include "compliance/assessment.h"
#include "compliance/compliance_text.h"
#include "support_analysis.h"

namespace hg {
namespace {

using test::dateNumberAt;
using test::loadRecording;
using test::timeNumberAt;
using test::writeRecording;

LimitSet parsed(const std::string& text) {
    auto set = parseLimitSet(text, "t.json");
    EXPECT_TRUE(set) << set.error();
    return set ? *set : LimitSet{};
}

std::string setText(const std::string& rest) {
    return R"({"name": "t", "title": "t", "source": "s", "edition": "e", "check": "c", )" + rest +
           "}";
}

BasisInput wholePeriod(const HARMDIM& s) {
    return basisInputOf(s, 0, s.LoadedRecords, s.AnalysisStart, s.AnalysisEnd);
}

TEST(Assessment, OneMinuteRecordsBecomeTenMinuteValues) {
    // Minutes 0..9 and 10..17: the 5th at 3 % and 4 % in turn; minutes 20..29 with one record
    // without a fundamental (flagged); minutes 30..39 missing; 40..49 at 2 %.
    std::vector<int64_t> minutes;
    for (int64_t m = 0; m < 50; ++m)
        if ((m < 18 || m >= 20) && (m < 30 || m >= 40)) minutes.push_back(m);
    const auto path = writeRecording("agg.hm1", static_cast<int64_t>(minutes.size()),
                                     [&](int64_t r, RecordValues& v) {
                                         const int64_t m = minutes[static_cast<std::size_t>(r)];
                                         v.date = dateNumberAt(m);
                                         v.time = timeNumberAt(m);
                                         v.V[0] = m == 25 ? 5.0f : 100.0f;
                                         v.V[2] = m >= 40 ? 2.0f : (m % 2 ? 4.0f : 3.0f);
                                     });
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, path));
    const auto basis = dataBasis(wholePeriod(s));
    ASSERT_TRUE(basis) << basis.error();
    const DataBasis& b = *basis;
    EXPECT_EQ(b.kind, BasisKind::Aggregated);
    EXPECT_EQ(b.recordMinutes, 1);
    EXPECT_EQ(b.valueMinutes, 10);
    EXPECT_EQ(b.flaggedRecords, 1);
    ASSERT_EQ(b.valueCount(), 5);
    EXPECT_EQ(b.states,
              (std::vector<ValueState>{ValueState::Used, ValueState::Used, ValueState::Flagged,
                                       ValueState::Missing, ValueState::Used}));
    // √((9 + 16) / 2) of the voltage of the 5th, the fundamental as it is.
    EXPECT_FLOAT_EQ(b.row(0)[2], std::sqrt(12.5f));
    EXPECT_FLOAT_EQ(b.row(1)[2], std::sqrt(12.5f));
    EXPECT_FLOAT_EQ(b.row(4)[2], 2.0f);
    EXPECT_FLOAT_EQ(b.row(0)[0], 100.0f);
    EXPECT_EQ(b.row(2), nullptr);  // flagged
    EXPECT_EQ(b.row(3), nullptr);  // missing

    const auto a =
        assess(parsed(setText(R"("quantity": "voltage_distortion", "orders": {"5": 3})")),
               wholePeriod(s), {});
    ASSERT_TRUE(a) << a.error();
    ASSERT_EQ(a->windows.size(), 1u);
    const AssessedWindow& w = a->windows[0];
    EXPECT_EQ(std::tuple(w.expected, w.present, w.flagged, w.used), std::tuple(5, 4, 1, 3));
    EXPECT_DOUBLE_EQ(w.coverage(), 60.0);
    EXPECT_NE(w.indicative.front().find("90 % 未満"), std::string::npos) << w.indicative.front();
    const ComplianceRow& fifth = w.rows[2];  // the total, the 3rd, the 5th
    EXPECT_EQ(fifth.order, 5);
    EXPECT_EQ(fifth.records, 3);
    EXPECT_FLOAT_EQ(fifth.value, std::sqrt(12.5f));  // the 95th of {3.54, 3.54, 2}
    EXPECT_EQ(fifth.pass, false);
    EXPECT_EQ(a->overall.verdict, OverallVerdict::Indicative);  // the window is short of data
    EXPECT_TRUE(a->overall.exceeded);
}

// 8 days of 10-minute records: the 5th at 5 %, 51 values of the first week at 7 %, the 7th at
// 4 %; the second window is one day long.
std::string eightDays() {
    return writeRecording("week.hm1", 8 * 144, [](int64_t r, RecordValues& v) {
        v.V[0] = 100;
        v.V[2] = r < 51 ? 7.0f : 5.0f;
        v.V[3] = 4;
    });
}

const char* const kWeekly = R"("quantity": "voltage_distortion", "window": "week", "total": 8,
    "orders": {"5": 6, "7": 5})";

TEST(Assessment, WeeklyWindowsAndTheOverallVerdict) {
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, eightDays()));
    auto a = assess(parsed(setText(kWeekly)), wholePeriod(s), {});
    ASSERT_TRUE(a) << a.error();
    ASSERT_EQ(a->windows.size(), 2u);
    const AssessedWindow &week = a->windows[0], &day = a->windows[1];
    EXPECT_EQ(std::tuple(week.expected, week.used), std::tuple(1008, 1008));
    EXPECT_TRUE(week.indicative.empty());
    EXPECT_EQ(std::tuple(day.expected, day.used), std::tuple(144, 144));
    EXPECT_NE(day.indicative.front().find("7 日に満たない窓（1 日 0 時間 0 分）"),
              std::string::npos)
        << day.indicative.front();
    // Rank ⌈0.95 · 1008⌉ = 958: 957 values of 5 % lie below it, so the 95th is 7 %.
    EXPECT_FLOAT_EQ(week.rows[2].value, 7.0f);
    EXPECT_EQ(week.rows[2].pass, false);
    EXPECT_FLOAT_EQ(day.rows[2].value, 5.0f);
    EXPECT_EQ(day.rows[2].pass, true);
    EXPECT_FLOAT_EQ(week.rows[0].value, std::sqrt(49.0f + 16.0f));  // the total: 7th and 5th
    EXPECT_EQ(a->overall.verdict, OverallVerdict::Fail);
    EXPECT_EQ(overallText(a->overall), "超過");
    EXPECT_EQ(a->trend.order, 0);
    EXPECT_EQ(a->trend.points.size(), 8u * 144);

    // The first week alone, with the exceedance gone: 適合.
    HARMDIM first;
    ASSERT_TRUE(loadRecording(first, eightDays(), "19/05/29 00:00", "19/06/04 23:50"));
    LimitSet loose = parsed(setText(kWeekly));
    loose.orders[0].value = 7;  // the 5th
    loose.total = 9;
    a = assess(loose, wholePeriod(first), {});
    ASSERT_TRUE(a) << a.error();
    ASSERT_EQ(a->windows.size(), 1u);
    EXPECT_EQ(a->overall.verdict, OverallVerdict::Pass);
    EXPECT_EQ(overallText(a->overall), "適合");

    // A set whose only condition needs 3-second values judges nothing: 参考, never 適合.
    LimitSet fast = loose;
    fast.conditions[0].seconds = 3;
    a = assess(fast, wholePeriod(first), {});
    ASSERT_TRUE(a) << a.error();
    EXPECT_TRUE(a->windows[0].rows.empty());
    EXPECT_EQ(a->overall.verdict, OverallVerdict::Indicative);
}

TEST(Assessment, TotalInTheSetsOrdersAndOrdersNotMeasured) {
    // Every order of an hh recording at 0.5 %: the total over 2..40 is √(39 · 0.25), over 2..50
    // √(49 · 0.25), where every recorded order would give √(255 · 0.25).
    const auto all = writeRecording("thd.hh1", 3, [](int64_t, RecordValues& v) {
        v.V[0] = 100;
        for (std::size_t k = 1; k < v.V.size(); ++k) v.V[k] = 0.5f;
    });
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, all));
    for (const auto& [range, total] : {std::pair{"2-40", 39}, std::pair{"2-50", 49}}) {
        const auto a = assess(parsed(setText(std::string(R"("quantity": "voltage_distortion",
            "total": 8, "thd_orders": ")") + range +
                                             "\"")),
                              wholePeriod(s), {});
        ASSERT_TRUE(a) << a.error();
        EXPECT_FLOAT_EQ(a->windows[0].rows[0].value, std::sqrt(total * 0.25f)) << range;
        EXPECT_FALSE(a->oddOrdersOnly);
        EXPECT_TRUE(a->unmeasured.empty());
    }
    // A recording of odd orders: the set's even orders are rows 未測定, the overall 参考.
    HARMDIM odd;
    ASSERT_TRUE(loadRecording(odd, eightDays(), "19/05/29 00:00", "19/06/04 23:50"));
    const auto a = assess(parsed(setText(R"("quantity": "voltage_distortion", "window": "week",
        "total": 9, "orders": {"2": 2, "4": 1, "5": 7, "6": 1, "50": 0.3})")),
                          wholePeriod(odd), {});
    ASSERT_TRUE(a) << a.error();
    EXPECT_TRUE(a->oddOrdersOnly);
    EXPECT_EQ(a->unmeasured, (std::vector<int>{2, 4, 6, 50}));
    const auto& rows = a->windows[0].rows;
    ASSERT_GE(rows.size(), 4u);
    EXPECT_EQ(rows[1].order, 2);  // by order: the total, the 2nd (not measured), the 3rd ...
    EXPECT_EQ(verdictText(rows[1]), "未測定");
    EXPECT_EQ(rows[2].order, 3);
    EXPECT_EQ(verdictText(rows.back()), "未測定");
    EXPECT_EQ(rows.back().order, 50);
    EXPECT_EQ(a->overall.verdict, OverallVerdict::Indicative);
}

TEST(Assessment, CurrentOfDemandByTheRatio) {
    const LimitCatalogue shipped = loadLimitSets({HARMO_LIMITS_DIR});
    const LimitSet& set = *shipped.find("ieee519-current");
    struct Case {
        double ratio;
        double fifth, twelfth, thirtyFifth, tdd;
    };
    // The bands of I_SC/I_L, the even orders a quarter of their range's odd limit.
    const Case cases[] = {{10, 4.0, 0.5, 0.3, 5},
                          {20, 7.0, 0.875, 0.5, 8},
                          {99.9, 10.0, 1.125, 0.7, 12},
                          {1000, 15.0, 1.75, 1.4, 20}};
    for (const Case& c : cases) {
        auto band = limitsForRatio(set, c.ratio);
        ASSERT_TRUE(band) << c.ratio;
        EXPECT_DOUBLE_EQ(*band->limitFor(5), c.fifth) << c.ratio;
        EXPECT_DOUBLE_EQ(*band->limitFor(12), c.twelfth) << c.ratio;
        EXPECT_DOUBLE_EQ(*band->limitFor(35), c.thirtyFifth) << c.ratio;
        EXPECT_EQ(band->total, c.tdd) << c.ratio;
    }
    // I_L 100 A, the 5th at 3 A and the 7th at 4 A: 3 % and 4 % of I_L, TDD 5 %. I_SC 1 kA:
    // the ratio is 10, the 5th's limit 4 % × 1.5 for the weekly 99th and × 1.0 for the 95th.
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, writeRecording("tdd.hm1", 144, [](int64_t, RecordValues& v) {
                                  v.V[0] = 6600;
                                  v.current(0, 0) = 80;
                                  v.current(0, 2) = 3;
                                  v.current(0, 3) = 4;
                              })));
    ComplianceOptions o;
    o.channel = 0;
    EXPECT_FALSE(assess(set, wholePeriod(s), o));  // no I_L
    o.ilA = 100;
    EXPECT_FALSE(assess(set, wholePeriod(s), o));  // no I_SC
    o.iscKa = 1;
    const auto a = assess(set, wholePeriod(s), o);
    ASSERT_TRUE(a) << a.error();
    EXPECT_EQ(a->iscOverIl, 10);
    const auto& rows = a->windows[0].rows;
    EXPECT_EQ(rows[0].quantity, "current_total_demand_distortion");
    EXPECT_FLOAT_EQ(rows[0].value, 5.0f);
    EXPECT_EQ(rows[0].limit, 7.5);  // TDD 5 % × 1.5
    EXPECT_EQ(rows[1].limit, 5.0);
    const auto fifth =
        std::find_if(rows.begin(), rows.end(), [](const ComplianceRow& r) { return r.order == 5; });
    ASSERT_NE(fifth, rows.end());
    EXPECT_EQ(fifth->condition, 0);
    EXPECT_FLOAT_EQ(fifth->value, 3.0f);
    EXPECT_EQ(fifth->limit, 6.0);
    EXPECT_EQ(std::next(fifth)->limit, 4.0);  // the weekly 95th, × 1.0
    ASSERT_EQ(a->unassessable.size(), 1u);
    EXPECT_EQ(a->unassessable[0].reason, "レコードは 10 分値（3 秒値は記録されていません）");
    // One day of a weekly set, and 6.6 kV against a 69 kV class: both said.
    EXPECT_EQ(a->warnings.size(), 1u);
    EXPECT_NE(a->warnings[0].find("7 日"), std::string::npos);
}

TEST(Assessment, PlausibilityOfTheVoltage) {
    HARMDIM s;
    ASSERT_TRUE(loadRecording(s, writeRecording("kv.hm1", 6, [](int64_t, RecordValues& v) {
                                  v.V[0] = 6600;
                                  v.current(0, 0) = 80;
                              })));
    const LimitCatalogue c = loadLimitSets({HARMO_LIMITS_DIR});
    ComplianceOptions o;
    o.channel = 0;
    o.contractKw = 500;
    const auto warningsOf = [&](const char* name) {
        auto a = assess(*c.find(name), wholePeriod(s), o);
        EXPECT_TRUE(a) << a.error();
        std::string all;
        for (const std::string& w : a->warnings) all += w + "\n";
        return all;
    };
    // 22 kV assumed on a 6.6 kV recording; 6.6 kV against a set for 1 kV and below.
    EXPECT_NE(warningsOf("jp-guideline-22kV")
                  .find("6.6 kV と測定点の電圧 22 kV（限度値の受電電圧を仮定）"),
              std::string::npos)
        << warningsOf("jp-guideline-22kV");
    EXPECT_EQ(warningsOf("jp-guideline-6.6kV"), "");
    EXPECT_NE(warningsOf("ieee519-le1kV").find("電圧区分"), std::string::npos);
    o.measuredKv = 6.6;
    EXPECT_EQ(warningsOf("jp-guideline-22kV").find("仮定"), std::string::npos);
}

}  // namespace
}  // namespace hg
