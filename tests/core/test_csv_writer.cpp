// The CSV writers: exact bytes of each form on small recordings written here with known values,
// the dispatch, the split files and their names, the record walk, and the safety of the files a
// run replaces.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "csv/csv_writer.h"
#include "datafile/scan.h"
#include "support_analysis.h"
#include "support_scratch.h"

namespace hg {
namespace {

namespace fs = std::filesystem;
using Fill = std::function<void(int64_t, RecordValues&)>;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

const std::string kDate = "\x93\xFA\x8E\x9E";  // "日時" in code page 932

class CsvWriterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder =
            std::string("csv_") + testing::UnitTest::GetInstance()->current_test_info()->name();
        dir = test::scratchPath(folder);
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    // A recording `name` in the test's folder (records every 10 minutes from 2019-05-29 00:00).
    std::string recording(const std::string& name, int64_t count, const Fill& fill = {},
                          bool shortHn = false) {
        return test::writeRecording(folder + "/" + name, count, fill, shortHn);
    }
    // The state Execute leaves for converting the whole recording.
    static HARMDIM prepared(const std::string& path) {
        HARMDIM s;
        auto scan = scanFile(path);
        EXPECT_TRUE(scan.ok()) << scan.error();
        applyScan(s, *scan);
        const PeriodTexts all{scan->startDate, scan->startTime, scan->endDate, scan->endTime};
        EXPECT_TRUE(prepareExecute(s, path, all, ExecuteMode::Convert).ok());
        return s;
    }
    // Converts the whole recording and returns the file's text ("" and a failure when refused).
    std::string convert(const std::string& path, const CsvOptions& o, const std::string& out) {
        auto report = runConversion(prepared(path), o, out);
        EXPECT_TRUE(report.ok()) << report.error();
        return report.ok() ? readAll(out) : "";
    }

    static CsvOptions odd(std::initializer_list<int> orders) {
        CsvOptions o;
        for (int order : orders) o.firstPage[static_cast<std::size_t>((order - 1) / 2)] = 1;
        return o;
    }
    static CsvOptions all(std::initializer_list<int> orders) {
        CsvOptions o;
        for (int order : orders) o.orderFlags[static_cast<std::size_t>(order - 1)] = 1;
        return o;
    }

    std::string folder, dir;
};

TEST_F(CsvWriterTest, OddWriterTwoChannelsWithCombinedCurrentAndDamagedValues) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::string path = recording("a.hm2", 3, [&](int64_t r, RecordValues& v) {
        if (r == 0) {
            v.V[0] = 230.5f, v.V[1] = -1.25f, v.V[2] = 999;  // order 5: not selected
            v.current(0, 0) = 0.5f, v.current(0, 1) = 3;
            v.current(1, 0) = 0.25f, v.current(1, 1) = 4, v.angle(1, 1) = 180;
        } else if (r == 1) {
            v.V[0] = 1e-5f;
        } else {  // written as recorded; a value that is no number counts 0 in the combined current
            v.V[0] = std::numeric_limits<float>::infinity();
            v.V[1] = -std::numeric_limits<float>::infinity();
            v.current(0, 0) = nan, v.current(1, 0) = 2;
        }
    });
    CsvOptions o = odd({1, 3});
    o.combined = true;
    auto report = runConversion(prepared(path), o, dir + "/a.csv");
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->form, CsvWriterForm::CsvOutOdd);
    EXPECT_EQ(report->lines, 3);
    EXPECT_EQ(report->numbers, 3u * 14);
    const std::string text = readAll(dir + "/a.csv");
    EXPECT_EQ(report->bytes, text.size());
    EXPECT_EQ(text,
              kDate +
                  ",V1,V3,1I1,1I3,1R1,1R3,2I1,2I3,2R1,2R3,3I1,3I3,3R1,3R3\r\n"
                  // midnight: the date alone; channel 3 is 0.5+0.25 at 0 and 3 at 0 + 4 at 180
                  "2019/05/29, 230.5 ,-1.25 , 0.5 , 3 , 0 , 0 , 0.25 , 4 , 0 , 180 , 0.75 , 1 ,"
                  " 0 ,-180 \r\n"
                  "2019/05/29 0:10:00, 1E-05 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 "
                  "\r\n"
                  // values that are no finite number bare, so the columns stay numeric
                  "2019/05/29 0:20:00,Infinity,-Infinity,NaN, 0 , 0 , 0 , 2 , 0 , 0 , 0 , 2 , 0 ,"
                  " 0 , 0 \r\n");
}

TEST_F(CsvWriterTest, PerPhaseValuesAndAnglesOfRecordLength286) {
    const std::string path = recording("a.ha6", 1, [](int64_t, RecordValues& v) {
        v.date = 10203, v.time = 905;  // 01/02/03 09:05
        v.V[0] = 100, v.current(0, 0) = 2.5f, v.angle(0, 0) = -30;
        v.Vp[0] = 200, v.Vp[1] = 201.5f, v.Vp[2] = 202;
        v.Ip[0] = 1, v.Ip[1] = 2, v.Ip[2] = 3;
        v.Ia[0] = -120, v.Ia[2] = 120;
    });
    CsvOptions o = odd({1});
    o.voltageAngle = true;  // no voltage angles outside "hv": no vR group
    EXPECT_EQ(convert(path, o, dir + "/a.csv"),
              kDate +
                  ",V1,1I1,1R1,Vuv,Vvw,Vuw,1Iu(rms),Iv(rms),Iw(rms),Iu(deg),Iv(deg),Iw(deg)\r\n"
                  "2001/02/03 9:05:00, 100 , 2.5 ,-30 , 200 , 201.5 , 202 , 1 , 2 , 3 ,-120 , 0 ,"
                  " 120 \r\n");
}

TEST_F(CsvWriterTest, HeaderGroupsOfEachOddKind) {
    struct Case {
        const char* name;
        bool voltageAngle, perPhase, combined;
        const char* labels;
    };
    const Case cases[] = {
        {"a.hv2", true, true, true,
         ",V1,V3,1I1,1I3,1R1,1R3,2I1,2I3,2R1,2R3,3I1,3I3,3R1,3R3,vR1,vR3,Vuv,Vvw,Vuw,"
         "1Iu(rms),Iv(rms),Iw(rms),2Iu(rms),Iv(rms),Iw(rms)"},
        // RecordLength 356: both angle groups whatever the boxes say
        {"a.ha4", false, false, false, ",V1,V3,1I1,1I3,1R1,1R3,vR1,vR3,iR1,iR3"},
        {"a.ha3", true, true, false, ",V1,V3,1I1,1I3,1R1,1R3"},  // one channel: 1I, 1R only
    };
    for (const Case& c : cases) {
        CsvOptions o = odd({1, 3});
        o.voltageAngle = c.voltageAngle;
        o.perPhase = c.perPhase;
        o.combined = c.combined;
        const std::string text = convert(recording(c.name, 1), o, dir + "/out.csv");
        EXPECT_EQ(text.substr(0, text.find("\r\n")), kDate + c.labels) << c.name;
    }
}

TEST_F(CsvWriterTest, OddWriterReadsTheFirstPageAndAllOrderWritersEveryFlaggedOrder) {
    CsvOptions o = odd({1, 49});  // the 25-order kinds never read the order table
    o.orderFlags.fill(1);
    const std::string hm = convert(recording("a.hm1", 1), o, dir + "/hm.csv");
    EXPECT_EQ(hm.substr(0, hm.find("\r\n")), kDate + ",V1,V49,1I1,1I49,1R1,1R49");
    // "hh" reads every entry of the order table equal to 1, on any page; 2 (grey) is not selected.
    CsvOptions a = all({1, 2, 256});
    a.orderFlags[2] = 2;
    a.firstPage.fill(1);
    EXPECT_EQ(convert(recording("a.hh1", 1), a, dir + "/hh.csv"),
              kDate + ",V1,V2,V256,1I1,1I2,1I256,1R1,1R2,1R256\r\n" +
                  "2019/05/29, 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\n");
}

TEST_F(CsvWriterTest, ShortHnVoltageAnglesOfOtherOrdersAreZero) {
    const std::string path = recording(
        "a.hn2", 1,
        [](int64_t, RecordValues& v) {
            v.VR[0] = 11, v.VR[2] = -12;  // orders 1 and 3; order 2 is not recorded
            v.V[1] = 2, v.current(1, 2) = 0.5f, v.angle(1, 2) = 90;
        },
        true);
    CsvOptions o = all({1, 2, 3});
    o.voltageAngle = true;
    EXPECT_EQ(convert(path, o, dir + "/a.csv"),
              kDate +
                  ",V1,V2,V3,1I1,1I2,1I3,1R1,1R2,1R3,2I1,2I2,2I3,2R1,2R2,2R3,vR1,vR2,vR3\r\n"
                  "2019/05/29, 0 , 2 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0.5 , 0 , 0 , 90 , 11 ,"
                  " 0 ,-12 \r\n");
}

TEST_F(CsvWriterTest, SplitWriterFilesWithCombinedCurrent) {
    const std::string path = recording("a.hn2", 1, [](int64_t, RecordValues& v) {
        v.time = 1200;
        v.V[0] = 1, v.V[1] = 2, v.VR[1] = 7;
        v.current(0, 0) = 3, v.current(1, 0) = 4, v.angle(1, 0) = 180;
    });
    CsvOptions o = all({1, 2});
    o.split = o.combined = o.voltageAngle = true;
    const std::string out = dir + "/meas.csv";
    auto report = runConversion(prepared(path), o, out);
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->form, CsvWriterForm::CsvOuthh);
    const std::string at = "2019/05/29 12:00:00";
    const std::vector<std::pair<std::string, std::string>> expected{
        {"V", ",V1,V2\r\n" + at + ", 1 , 2 \r\n"},
        {"I1", ",1I1,1I2\r\n" + at + ", 3 , 0 \r\n"},
        {"I2", ",2I1,2I2\r\n" + at + ", 4 , 0 \r\n"},
        {"I3", ",3I1,3I2\r\n" + at + ", 1 , 0 \r\n"},
        {"R1", ",1R1,1R2\r\n" + at + ", 0 , 0 \r\n"},
        {"R2", ",2R1,2R2\r\n" + at + ", 180 , 0 \r\n"},
        {"R3", ",3R1,3R2\r\n" + at + ",-180 , 0 \r\n"},
        {"vR", ",vR1,vR2\r\n" + at + ", 0 , 7 \r\n"},
    };
    ASSERT_EQ(report->files.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string file = dir + "/meas" + expected[i].first + ".csv";
        EXPECT_EQ(report->files[i], file);
        EXPECT_EQ(readAll(file), kDate + expected[i].second) << file;
    }
    EXPECT_FALSE(fs::exists(out));  // the split writer writes only the item files

    // In UTF-8 every item file starts with the byte-order mark, then the same text.
    o.encoding = TextEncoding::Utf8;
    ASSERT_TRUE(runConversion(prepared(path), o, dir + "/u.csv").ok());
    for (const auto& [item, text] : expected)
        EXPECT_EQ(readAll(dir + "/u" + item + ".csv"),
                  "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x99\x82" + text)
            << item;
}

// "One file per item" is used for "hh" and "hn" only (what the dialog offers is its own test).
TEST_F(CsvWriterTest, DispatchPerKind) {
    using F = CsvWriterForm;
    CsvOptions split;
    split.split = true;
    for (auto [name, plain, withSplit] : {std::tuple{"a.hh3", F::csvset2, F::CsvOuthh},
                                          {"x.Rhn1", F::csvset2, F::CsvOuthh},
                                          {"a.hm3", F::CsvOutOdd, F::CsvOutOdd},
                                          {"a.ha6", F::CsvOutOdd, F::CsvOutOdd}}) {
        const FileKind kind = *kindFromName(name, std::nullopt);
        EXPECT_EQ(chooseCsvWriter(kind, CsvOptions{}), plain) << name;
        EXPECT_EQ(chooseCsvWriter(kind, split), withSplit) << name;
    }
}

TEST_F(CsvWriterTest, SplitFilesStayInADottedFolderAndTheWorkingFolder) {
    EXPECT_EQ(splitStem("/home/u/.cache/x.y.csv"), "/home/u/.cache/x.y");  // the extension only
    EXPECT_EQ(splitStem("../a.b/noext"), "../a.b/noext");  // no "." in the name: the whole path

    fs::create_directories(dir + "/site.v2");
    const HARMDIM s = prepared(recording("a.hh1", 1));
    CsvOptions o = all({1});
    o.split = true;
    ASSERT_TRUE(runConversion(s, o, dir + "/site.v2/x.csv").ok());
    const fs::path before = fs::current_path();
    fs::current_path(dir + "/site.v2");
    auto report = runConversion(s, o, "./rel.csv");
    fs::current_path(before);
    ASSERT_TRUE(report.ok()) << report.error();
    for (const char* name : {"xV.csv", "xI1.csv", "xR1.csv", "relV.csv", "relR1.csv"})
        EXPECT_TRUE(fs::exists(dir + "/site.v2/" + name)) << name;
    EXPECT_FALSE(fs::exists(dir + "/siteV.csv"));
}

// Which records a period takes is the period test's; a run over none writes nothing.
TEST_F(CsvWriterTest, APeriodAfterTheFileWritesNoFile) {
    HARMDIM s = prepared(recording("a.ha3", 10));
    s.AnalysisStart = s.FileStartTime + 110 / 1440.0;
    s.AnalysisEnd = s.FileStartTime + 120 / 1440.0;
    EXPECT_FALSE(runConversion(s, odd({1}), dir + "/none.csv").ok());
    EXPECT_FALSE(fs::exists(dir + "/none.csv"));
}

TEST_F(CsvWriterTest, RecordsWithoutARealStampAreLeftOutAndOffsetsPastSixteenBits) {
    // 600 records of 256 bytes: offsets past 32 767 from record 128 on.
    const std::string path = recording("a.ha3", 600, [](int64_t r, RecordValues& v) {
        v.V[0] = float(r);
        if (r == 1) v.date = 191329;
        if (r == 2) v.time = 2460;
    });
    std::vector<int64_t> seen;
    auto report =
        runConversion(prepared(path), odd({1}), dir + "/a.csv", [&](int64_t done, int64_t total) {
            seen.push_back(done);
            EXPECT_EQ(total, 600);
        });
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->lines, 598);
    EXPECT_EQ(report->skippedRecords, 2);
    EXPECT_EQ(seen, (std::vector<int64_t>{256, 512, 600}));
    const std::string text = readAll(dir + "/a.csv");
    const std::string head =
        kDate + ",V1,1I1,1R1\r\n2019/05/29, 0 , 0 , 0 \r\n" + "2019/05/29 0:30:00, 3 , 0 , 0 \r\n";
    const std::string tail = "\r\n2019/06/02 3:50:00, 599 , 0 , 0 \r\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

// An output layer that fails one kind of operation after a number of successful ones.
class FailingLayer : public OutputLayer {
  public:
    int writesBeforeFailure = -1;  // the writes that succeed before every further one fails
    int failRenameAt = -1;         // the rename call (0, 1, ...) that fails
    int writes = 0, renames = 0;
    Status write(TempFile& f, const char* data, std::size_t size) override {
        if (writesBeforeFailure >= 0 && writes++ >= writesBeforeFailure) {
            (void)OutputLayer::write(f, data, size / 2);  // half the block, then the disk is full
            return Error{"出力ファイルへの書き込みに失敗しました: " + f.target};
        }
        return OutputLayer::write(f, data, size);
    }
    Status rename(const std::string& from, const std::string& to) override {
        if (renames++ == failRenameAt) return Error{"出力ファイルを置き換えられません: " + to};
        return OutputLayer::rename(from, to);
    }
};

// No temporary file is left in the folder.
void expectNoTemporaryFiles(const std::string& dir) {
    for (const auto& e : fs::recursive_directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

TEST_F(CsvWriterTest, FailedRunsLeaveTheOldFilesByteIdentical) {
    // Enough records for several blocks of output.
    const std::string path = recording("a.hh2", 400, [](int64_t, RecordValues& v) {
        for (int k = 0; k < 256; ++k) {
            v.V[std::size_t(k)] = 230.123f + k;
            v.current(0, k) = 1.0f / (k + 1);
            v.angle(1, k) = -170;
        }
    });
    const HARMDIM s = prepared(path);
    CsvOptions o = defaultCsvOptions(s.Kind);
    const std::string out = dir + "/a.csv", old = "an earlier conversion\r\n";
    writeAll(out, old);
    {
        FailingLayer failing;
        failing.writesBeforeFailure = 1;  // the second block fails half-way
        auto report = runConversion(s, o, out, {}, failing);
        EXPECT_NE(report.error().find("書き込み"), std::string::npos);
        EXPECT_EQ(failing.writes, 2);
        EXPECT_EQ(readAll(out), old);
    }
    {  // split: a later block fails; none of the item files is replaced
        o.split = true;
        const std::vector<std::string> paths = csvOutputPaths(s.Kind, o, out);
        for (const std::string& p : paths) writeAll(p, old);
        FailingLayer failing;
        failing.writesBeforeFailure = 5;
        EXPECT_FALSE(runConversion(s, o, out, {}, failing).ok());
        for (const std::string& p : paths) EXPECT_EQ(readAll(p), old) << p;
        o.split = false;
    }
    {  // the recording is cut short under the running conversion
        const std::string copy = dir + "/b.hh2";
        fs::copy_file(path, copy);
        auto report = runConversion(prepared(copy), o, out, [&](int64_t done, int64_t) {
            if (done == 256) fs::resize_file(copy, 4102u * 300);
        });
        EXPECT_NE(report.error().find("300"), std::string::npos) << report.error();
        EXPECT_EQ(readAll(out), old);
    }
    EXPECT_FALSE(runConversion(s, o, dir + "/missing/a.csv").ok());
    EXPECT_FALSE(fs::exists(dir + "/missing"));
    expectNoTemporaryFiles(dir);
    // and the same run on a sound disk replaces the file
    auto report = runConversion(s, o, out);
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->lines, 400);
    EXPECT_NE(readAll(out), old);
}

TEST_F(CsvWriterTest, SplitFilesAreReplacedTogetherOrNotAtAll) {
    const HARMDIM s = prepared(recording("a.hh1", 1));
    CsvOptions o = all({1});
    o.split = true;
    const std::string out = dir + "/a.csv";
    const std::vector<std::string> paths = csvOutputPaths(s.Kind, o, out);
    ASSERT_EQ(paths.size(), 3u);  // aV, aI1, aR1
    for (int failing = 0; failing < 3; ++failing) {
        // aV and aR1 are there from before, aI1 is new
        writeAll(paths[0], "old V\r\n");
        fs::remove(paths[1]);
        writeAll(paths[2], "old R1\r\n");
        FailingLayer layer;
        layer.failRenameAt = failing;
        EXPECT_FALSE(runConversion(s, o, out, {}, layer).ok());
        EXPECT_EQ(readAll(paths[0]), "old V\r\n") << failing;
        EXPECT_FALSE(fs::exists(paths[1])) << failing;
        EXPECT_EQ(readAll(paths[2]), "old R1\r\n") << failing;
        expectNoTemporaryFiles(dir);
    }
    ASSERT_TRUE(runConversion(s, o, out).ok());
    EXPECT_EQ(readAll(paths[1]), kDate + ",1I1\r\n2019/05/29, 0 \r\n");
}

TEST_F(CsvWriterTest, RefusedOutputTargets) {
    const std::string path = recording("a.hm1", 1);
    const std::string before = readAll(path);
    fs::create_directories(dir + "/folder.csv");
    fs::create_symlink(path, dir + "/link.csv");
    const HARMDIM s = prepared(path);
    for (const std::string& target : {dir + "/folder.csv", dir + "/", std::string("/dev/null"),
                                      path, dir + "/link.csv", std::string()})
        EXPECT_FALSE(runConversion(s, odd({1}), target).ok()) << target;
    EXPECT_EQ(readAll(path), before);
    EXPECT_TRUE(fs::is_directory(dir + "/folder.csv"));
    // the split names are checked too: "h" + "V.csv" is a folder here
    fs::create_directories(dir + "/hV.csv");
    CsvOptions o = all({1});
    o.split = true;
    EXPECT_FALSE(runConversion(prepared(recording("h.hh1", 1)), o, dir + "/h.csv").ok());
    EXPECT_FALSE(fs::exists(dir + "/hI1.csv"));
    // no order selected
    EXPECT_FALSE(runConversion(s, CsvOptions{}, dir + "/x.csv").ok());
    EXPECT_FALSE(fs::exists(dir + "/x.csv"));
}

// A replaced output keeps its permissions; an output path that is a symbolic link (absolute or
// relative) replaces the file it points to and stays a link.
TEST_F(CsvWriterTest, ReplacedFilesKeepTheirModeAndLinksStayLinks) {
    const HARMDIM s = prepared(recording("m.ha3", 3));
    struct Case {
        const char* what;
        fs::perms mode;
        const char* link;  // the output path is this link to "real.csv" ("" none)
    };
    for (const Case& c :
         {Case{"private", fs::perms::owner_read | fs::perms::owner_write, ""},
          Case{"shared", fs::perms(0664), ""}, Case{"relative link", fs::perms(0640), "rel.csv"},
          Case{"absolute link", fs::perms(0600), "abs.csv"}}) {
        SCOPED_TRACE(c.what);
        const std::string real = dir + "/real.csv";
        writeAll(real, "earlier");
        fs::permissions(real, c.mode);
        std::string out = real;
        if (*c.link) {
            out = dir + "/" + c.link;
            fs::remove(out);
            fs::create_symlink(std::string(c.link) == "rel.csv" ? "real.csv" : real, out);
        }
        ASSERT_TRUE(runConversion(s, odd({1}), out).ok());
        EXPECT_EQ(fs::status(real).permissions(), c.mode);
        EXPECT_NE(readAll(real).find("V1"), std::string::npos);
        if (*c.link) {
            EXPECT_TRUE(fs::is_symlink(out));
        }
    }
}

}  // namespace
}  // namespace hg
