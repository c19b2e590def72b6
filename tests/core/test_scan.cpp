// The file scan of a selected recording: stamps and texts of the first and last record, the
// average interval, the refusals of bad files and the fallbacks for a bad last record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>

#include "analysis/harmdim.h"
#include "datafile/scan.h"
#include "datafile/synth.h"
#include "platform/dates.h"
#include "support_scratch.h"

namespace hg {
namespace {

std::string synth(const std::string& name, int64_t records, int64_t gaps = 0,
                  const char* start = nullptr, bool shortHn = false) {
    SynthOptions options;
    options.records = records;
    options.gaps = gaps;
    options.shortHn = shortHn;
    if (start) options.start = *parseDateText(start) + *parseTimeText(start + 9);
    const std::string path = test::scratchPath(name);
    EXPECT_TRUE(writeSynth(path, options).ok());
    return path;
}

// Overwrites the stamp of record n (little-endian single date, int16 time).
void patchStamp(const std::string& path, int64_t recordLength, int64_t n, float date,
                int16_t time) {
    auto bytes = test::readBytes(path);
    std::memcpy(bytes.data() + n * recordLength, &date, 4);
    std::memcpy(bytes.data() + n * recordLength + 4, &time, 2);
    test::writeBytes(path, bytes);
}

TEST(Scan, WholeFileStampsAndInterval) {
    struct Case {
        const char* name;
        int64_t records, gaps;
        const char* start;
        const char* end;  // "yy/mm/dd hh:mm" of the last record
        float interval;
    };
    const Case cases[] = {
        {"plain.hm3", 100, 0, "19/05/29 00:00", "19/05/29 16:30", 10.0f},
        {"one.hm3", 1, 0, "19/05/29 10:30", "19/05/29 10:30", 1.0f},
        {"gaps.hm3", 100, 10, "19/05/29 00:00", "19/05/29 18:10", 1090.0f / 99},
        {"early.ha3", 3, 0, "05/03/12 00:05", "05/03/12 00:25", 10.0f},
        {"midnight.hh1", 7, 0, "19/12/31 23:00", "20/01/01 00:00", 10.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto scan = scanFile(synth(c.name, c.records, c.gaps, c.start));
        ASSERT_TRUE(scan.ok()) << scan.error();
        EXPECT_TRUE(scan->warnings.empty());
        EXPECT_EQ(scan->records, c.records);
        EXPECT_EQ(scan->startDate + " " + scan->startTime, c.start);
        EXPECT_EQ(scan->endDate + " " + scan->endTime, c.end);
        EXPECT_EQ(scan->fileStartTime, *parseDateText(c.start) + *parseTimeText(c.start + 9));
        EXPECT_EQ(scan->fileEndTime, *parseDateText(c.end) + *parseTimeText(c.end + 9));
        EXPECT_EQ(scan->recordInterval, c.interval);
    }
    auto plain = scanFile(test::scratchPath("plain.hm3"));
    EXPECT_EQ(plain->fullPath, test::scratchPath("plain.hm3"));
    EXPECT_EQ(wholeMinutes(plain->fileStartTime, plain->fileEndTime), 990);
    EXPECT_EQ(plain->csvName, test::scratchPath("plain.csv"));
}

TEST(Scan, StoresTheFileDescription) {
    auto marked = scanFile(synth("x.Rhn2", 5));
    EXPECT_EQ(marked->csvName, test::scratchPath("x.Rcsv"));
    auto scan = scanFile(synth("s.hn2", 144, 0, nullptr, true));
    HARMDIM state;
    applyScan(state, *marked);
    applyScan(state, *scan);
    EXPECT_EQ(state.RecordLength, 4152);  // the short form
    EXPECT_EQ(state.ShortHnRecord, -1);
    EXPECT_EQ(state.FileRecords, 144);
}

TEST(Scan, RefusesBadFiles) {
    const std::string good = synth("good.hm2", 3);
    const auto bytes = test::readBytes(good);
    test::writeBytes(test::scratchPath("empty.hm2"), {});
    test::writeBytes(test::scratchPath("short.hm2"), {bytes.begin(), bytes.begin() + 405});
    test::writeBytes(test::scratchPath("data.dat"), bytes);
    test::writeBytes(test::scratchPath("zero.hm0"), bytes);
    test::writeBytes(test::scratchPath("nodigit.hmx"), bytes);
    // The name, and a part of the message.
    for (auto [name, message] : {std::pair{"empty.hm2", "空"},
                                 {"short.hm2", "406"},
                                 {"data.dat", "種類"},
                                 {"zero.hm0", "channel count 0"},
                                 {"nodigit.hmx", "channel count 0"},
                                 {"missing.hm2", "開けません"}}) {
        auto scan = scanFile(test::scratchPath(name));
        ASSERT_FALSE(scan.ok()) << name;
        EXPECT_NE(scan.error().find(message), std::string::npos) << scan.error();
    }
    EXPECT_FALSE(scanFile(test::scratchPath("")).ok());  // a folder
}

// A first record without a real stamp is refused. A last one that cannot end the file (not a real
// stamp, before the first: a clock reset, or the first's own minute) gives way to the last record
// that can, found walking back; when none can, the end is one minute a record after the start.
TEST(Scan, BadFirstOrLastStamp) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::tuple<int64_t, float, int16_t> cases[] = {
        {0, 191329, 1030},  {0, -190529, 1030}, {0, nan, 1030}, {0, 190529, 2400},
        {0, 190529, 1260},  {19, 191329, 0},    {19, nan, 0},   {19, 190529, 2400},
        {19, 190528, 2350}, {19, 190529, 0}};
    for (const auto& [record, date, time] : cases) {
        SCOPED_TRACE(testing::Message() << record << ": " << date << " " << time);
        const std::string path = synth("bad-stamp.hv1", 20);
        patchStamp(path, 330, record, date, time);
        auto scan = scanFile(path);
        ASSERT_EQ(scan.ok(), record != 0) << scan.error();
        if (record == 0) {
            EXPECT_NE(scan.error().find("先頭レコード"), std::string::npos) << scan.error();
            continue;
        }
        ASSERT_EQ(scan->warnings.size(), 1u);
        EXPECT_NE(scan->warnings[0].find("19 件目"), std::string::npos) << scan->warnings[0];
        EXPECT_EQ(scan->recordInterval, 10.0f);
        EXPECT_EQ(scan->endDate + " " + scan->endTime, "19/05/29 03:00");
    }
    // Every stamp after the first stuck at the first: 19 minutes on, at 1 minute a record.
    const std::string stuck = synth("stuck.hv1", 20);
    for (int64_t r = 1; r < 20; ++r) patchStamp(stuck, 330, r, 190529, 0);
    auto scan = scanFile(stuck);
    ASSERT_TRUE(scan.ok()) << scan.error();
    ASSERT_EQ(scan->warnings.size(), 1u);
    EXPECT_NE(scan->warnings[0].find("レコード数から"), std::string::npos) << scan->warnings[0];
    EXPECT_EQ(scan->recordInterval, 1.0f);
    EXPECT_EQ(scan->endDate + " " + scan->endTime, "19/05/29 00:19");
}

// An "hn1" file of 1 342 008 bytes is 513 short records (2 616 bytes) and 436 long ones (3 078):
// the second record's stamp tells the form; a file where it does not is refused.
TEST(Scan, HnFormOfALengthBothFormsDivideIsToldByTheStamps) {
    const std::string shortForm = synth("both-short.hn1", 513, 0, nullptr, true);
    const std::string longForm = synth("both-long.hn1", 436);
    struct Case {
        const std::string* path;
        int64_t patchLength;  // a record length whose second stamp is set like the first (0: none)
        bool refused, shortHn;
    };
    const Case cases[] = {
        {&shortForm, 0, false, true},
        {&longForm, 0, false, false},
        {&shortForm, 3078, true, false},  // both forms have a real second stamp
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(*c.path);
        if (c.patchLength) patchStamp(*c.path, c.patchLength, 1, 190529, 0);
        auto scan = scanFile(*c.path);
        ASSERT_EQ(scan.ok(), !c.refused) << (scan.ok() ? "" : scan.error());
        if (c.refused) {
            EXPECT_NE(scan.error().find("レコード長を決められません"), std::string::npos);
            continue;
        }
        EXPECT_EQ(scan->shortHn, c.shortHn);
        EXPECT_EQ(scan->records, c.shortHn ? 513 : 436);
    }
}

}  // namespace
}  // namespace hg
