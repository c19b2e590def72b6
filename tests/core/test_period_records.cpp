// The records of a period are exactly those stamped from its start to its end, in file order, for
// the graph load and the CSV conversion alike: a start before the file, an end after it, a pause
// in the recording, a start between two records, a period of one record, stamps that fall back
// (where the graph load, which takes the records between the first and the last found as the
// period's, finds out and counts them).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "analysis/period_records.h"
#include "csv/csv_writer.h"
#include "datafile/record_file.h"
#include "datafile/scan.h"
#include "platform/dates.h"
#include "support_analysis.h"
#include "support_scratch.h"

namespace hg {
namespace {

// Record r carries V1 = r, so that both paths name the records they took.
std::string stampedRecording(const std::string& name, int64_t count,
                             const std::function<int64_t(int64_t)>& minutesOf) {
    return test::writeRecording(name, count, [&](int64_t r, RecordValues& v) {
        v.V[0] = static_cast<float>(r);
        v.date = test::dateNumberAt(minutesOf(r));
        v.time = test::timeNumberAt(minutesOf(r));
    });
}

double at(const std::string& text) {
    return *parseDateText(text) + *parseTimeText(text.substr(9));
}

std::vector<int64_t> range(int64_t from, int64_t to) {
    std::vector<int64_t> r;
    for (int64_t i = from; i <= to; ++i) r.push_back(i);
    return r;
}

// The records a CSV conversion of the period wrote (the V1 field of each line).
std::vector<int64_t> convertedRecords(const std::string& path, const std::string& start,
                                      const std::string& end) {
    HARMDIM s;
    auto scan = scanFile(path);
    EXPECT_TRUE(scan.ok());
    applyScan(s, *scan);
    const PeriodTexts texts{start.substr(0, 8), start.substr(9), end.substr(0, 8), end.substr(9)};
    auto prepared = prepareExecute(s, path, texts, ExecuteMode::Convert);
    if (!prepared) return {-1};
    CsvOptions o;
    o.firstPage[0] = 1;
    const std::string out = path + ".csv";
    auto report = runConversion(s, o, out);
    if (!report) return {-2};
    std::ifstream in(out, std::ios::binary);
    std::string line;
    std::getline(in, line);  // header
    std::vector<int64_t> records;
    while (std::getline(in, line)) records.push_back(std::stoll(line.substr(line.find(',') + 1)));
    return records;
}

TEST(PeriodRecords, TheRecordsStampedInsideThePeriodForTheLoadAndTheConversion) {
    const auto tenMinutes = [](int64_t r) { return 10 * r; };
    // 50 one-minute records, a pause, 50 more: the average interval is 5.95 minutes.
    const auto paused = [](int64_t r) { return r < 50 ? 600 + r : 1140 + (r - 50); };
    // The clock set back 40 minutes after record 9: 00:50 .. 01:30 recorded twice.
    const auto fallsBack = [](int64_t r) { return r < 10 ? 10 * r : 10 * (r - 5); };
    // Between a period's first and last record, where no search looks: a record stamped days
    // later, and a clock set back twice (00:30 after 01:00, 00:40 after 01:20).
    const auto stray = [](int64_t r) { return r == 7 ? 2000 : 10 * r; };
    const auto setBackTwice = [](int64_t r) { return r == 7 ? 30 : r == 9 ? 40 : 10 * r; };
    struct Case {
        const char* what;
        std::function<int64_t(int64_t)> minutes;
        int64_t count;
        const char* start;
        const char* end;
        std::vector<int64_t> records;
        bool rising;
    };
    const Case cases[] = {
        {"on record stamps", tenMinutes, 12, "19/05/29 00:20", "19/05/29 01:00", range(2, 6), true},
        {"before the file", tenMinutes, 12, "19/05/28 23:00", "19/05/29 01:50", range(0, 11), true},
        {"after the file", tenMinutes, 12, "19/05/29 01:30", "19/05/29 05:00", range(9, 11), true},
        {"first block", paused, 100, "19/05/29 10:00", "19/05/29 10:49", range(0, 49), true},
        {"second block", paused, 100, "19/05/29 19:00", "19/05/29 19:49", range(50, 99), true},
        {"between records", tenMinutes, 12, "19/05/29 00:22", "19/05/29 00:58", range(3, 5), true},
        {"start equal to end", tenMinutes, 12, "19/05/29 00:20", "19/05/29 00:20", {2}, true},
        {"one record", tenMinutes, 12, "19/05/29 00:15", "19/05/29 00:25", {2}, true},
        {"a file of one record", tenMinutes, 1, "19/05/28 23:00", "19/05/29 01:00", {0}, true},
        {"falls back", fallsBack, 15, "19/05/29 00:50", "19/05/29 01:30", range(5, 14), false},
        {"a stray stamp",
         stray,
         12,
         "19/05/29 00:20",
         "19/05/29 01:40",
         {2, 3, 4, 5, 6, 8, 9, 10},
         false},
        {"set back twice",
         setBackTwice,
         12,
         "19/05/29 00:20",
         "19/05/29 01:00",
         {2, 3, 4, 5, 6, 7, 9},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = stampedRecording("period.hm1", c.count, c.minutes);

        auto file = RecordFile::open(path);
        ASSERT_TRUE(file.ok());
        auto span =
            findPeriodRecords(*file, layoutOf(KindFamily::hm, 1, false), at(c.start), at(c.end), 0);
        ASSERT_TRUE(span.ok());
        EXPECT_EQ(span->count, static_cast<int64_t>(c.records.size()));
        EXPECT_EQ(span->rising, c.rising);

        HARMDIM s;
        auto report = test::loadRecording(s, path, c.start, c.end);
        ASSERT_TRUE(report.ok()) << report.error();
        EXPECT_TRUE(report->warnings.empty());
        EXPECT_EQ(s.PeriodRecords + 1, s.LoadedRecords);
        std::vector<int64_t> loaded;
        for (int32_t slot = 0; slot < s.LoadedRecords; ++slot) {
            loaded.push_back(static_cast<int64_t>(s.VoltageTable(slot, 0)));
            EXPECT_GE(s.RecordX(slot), 0.0f);
            EXPECT_LE(s.RecordX(slot), 2000.0f);  // never past the frame's right edge
        }
        EXPECT_EQ(loaded, c.records);
        EXPECT_EQ(convertedRecords(path, c.start, c.end), c.records);
    }
}

TEST(PeriodRecords, APeriodHoldingNoRecordIsRefusedInBothModes) {
    const std::string path =
        stampedRecording("none.hm1", 12, [](int64_t r) { return r < 6 ? 10 * r : 180 + 10 * r; });
    for (const auto& [start, end] : {std::pair{"19/05/29 05:00", "19/05/29 06:00"},     // after
                                     std::pair{"19/05/28 22:00", "19/05/28 23:00"},     // before
                                     std::pair{"19/05/29 01:30", "19/05/29 02:30"}}) {  // gap
        SCOPED_TRACE(start);
        HARMDIM s;
        EXPECT_EQ(test::loadRecording(s, path, start, end).error(), "指定期間にデータがありません");
        EXPECT_EQ(s.LoadedRecords, 0);
        EXPECT_EQ(convertedRecords(path, start, end), std::vector<int64_t>{-1});
    }
}

}  // namespace
}  // namespace hg
