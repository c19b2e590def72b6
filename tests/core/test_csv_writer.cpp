// The CSV writers: exact bytes of each form on small recordings written here with known values,
// the dispatch, the split files and their names, the record walk, and the safety of the files a
// run replaces.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "analysis/harmdim.h"
#include "csv/csv_writer.h"
#include "datafile/record_file.h"
#include "datafile/synth.h"
#include "platform/dates.h"
#include "support_scratch.h"

namespace hg {
namespace {

namespace fs = std::filesystem;

// One record of a recording, zero except for the values a test sets.
class RecordBytes {
  public:
    RecordBytes(const RecordLayout& l, float date, int16_t time) : l_(l) {
        v_.size(l);
        v_.date = date;
        v_.time = time;
    }
    RecordBytes& V(int k, float x) { return set(v_.V[at(k)], x); }
    RecordBytes& I(int c, int k, float x) { return set(v_.current(c, k), x); }
    RecordBytes& A(int c, int k, int16_t x) { return set(v_.angle(c, k), x); }
    // Value j of the voltage angle block (order index 2j in the short "hn" form).
    RecordBytes& VR(int j, int16_t x) {
        return set(v_.VR[at(l_.vrCount == l_.orders ? j : 2 * j)], x);
    }
    RecordBytes& IR(int k, int16_t x) { return set(v_.IR[at(k)], x); }
    RecordBytes& Vp(int i, float x) { return set(v_.Vp[i], x); }
    RecordBytes& Ip(int c, int i, float x) { return set(v_.Ip[at(c * 3 + i)], x); }
    RecordBytes& Ia(int i, int16_t x) { return set(v_.Ia[i], x); }

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> b(static_cast<std::size_t>(l_.recordLength));
        encodeRecord(v_, l_, b.data());
        return b;
    }

  private:
    static std::size_t at(int i) { return static_cast<std::size_t>(i); }
    template <class T>
    RecordBytes& set(T& field, T x) {
        field = x;
        return *this;
    }
    RecordLayout l_;
    RecordValues v_;
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

class CsvWriterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = test::scratchPath(std::string("csv_") +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Writes the records as file `name` in the scratch folder.
    std::string recording(const std::string& name, const std::vector<RecordBytes>& records) {
        const std::string path = dir + "/" + name;
        std::ofstream out(path, std::ios::binary);
        for (const RecordBytes& r : records) {
            const std::vector<uint8_t> b = r.bytes();
            out.write(reinterpret_cast<const char*>(b.data()),
                      static_cast<std::streamsize>(b.size()));
        }
        return path;
    }

    static RecordLayout layout(const std::string& name, uint64_t length = 0) {
        return kindFromName(name, length ? std::optional<uint64_t>(length) : std::nullopt)->layout;
    }

    // The state Execute leaves for a conversion of records `first`..`first + periodRecords` of a
    // recording stamped every `interval` minutes from its first record.
    static HARMDIM prepared(const std::string& path, int64_t first = 0,
                            int32_t periodRecords = 1000, float interval = 10) {
        HARMDIM s;
        const auto size = fs::file_size(path);
        auto kind = kindFromName(baseName(path), size);
        EXPECT_TRUE(kind.ok()) << kind.error();
        s.FilePath = path;
        s.Kind = *kind;
        s.RecordLength = static_cast<int32_t>(kind->layout.recordLength);
        s.ChannelCount = static_cast<int16_t>(kind->channels);
        s.MaxOrderIndex = static_cast<int16_t>(kind->maxOrderIndex);
        s.ShortHnRecord = kind->shortHn ? -1 : 0;
        s.RecordInterval = interval;
        s.FileStartTime = *dayNumber(2019, 5, 29);
        s.AnalysisStart = s.FileStartTime + static_cast<double>(first) * interval / 1440.0;
        const int64_t count = static_cast<int64_t>(size) / s.RecordLength;
        s.PeriodRecords = static_cast<int32_t>(std::min<int64_t>(periodRecords, count - 1));
        return s;
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

    std::string dir;
};

const std::string kDate = "\x93\xFA\x8E\x9E";  // "日時" in code page 932

TEST_F(CsvWriterTest, OddWriterTwoChannelsWithCombinedCurrent) {
    const RecordLayout l = layout("a.hm2");
    RecordBytes r0(l, 190529, 0), r1(l, 190529, 10);
    r0.V(0, 230.5f).V(1, -1.25f);
    r0.I(0, 0, 0.5f).I(0, 1, 3).A(0, 0, 0).A(0, 1, 0);
    r0.I(1, 0, 0.25f).I(1, 1, 4).A(1, 0, 0).A(1, 1, 180);
    r0.V(2, 999);  // order 5: not selected
    r1.V(0, 1e-5f);
    const std::string path = recording("a.hm2", {r0, r1});
    CsvOptions o = odd({1, 3});
    o.combined = true;
    const std::string out = dir + "/a.csv";

    auto report = runConversion(prepared(path), o, out);
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->form, CsvWriterForm::CsvOutOdd);
    EXPECT_EQ(report->lines, 2);
    EXPECT_EQ(report->numbers, 2u * 14);
    EXPECT_EQ(readAll(out),
              kDate +
                  ",V1,V3,1I1,1I3,1R1,1R3,2I1,2I3,2R1,2R3,3I1,3I3,3R1,3R3\r\n"
                  // midnight: the date alone; channel 3 is 0.5+0.25 at 0 and 3 at 0 + 4 at 180
                  "2019/05/29, 230.5 ,-1.25 , 0.5 , 3 , 0 , 0 , 0.25 , 4 , 0 , 180 , 0.75 , 1 ,"
                  " 0 ,-180 \r\n"
                  "2019/05/29 0:10:00, 1E-05 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 "
                  "\r\n");
    EXPECT_EQ(report->bytes, readAll(out).size());
}

TEST_F(CsvWriterTest, DamagedValuesAreWrittenAsRecordedAndCountAsZeroInTheCombinedCurrent) {
    const RecordLayout l = layout("a.hm2");
    RecordBytes r(l, 190529, 1000);
    r.I(0, 0, std::numeric_limits<float>::quiet_NaN()).I(1, 0, 2).A(1, 0, 0);
    r.V(0, std::numeric_limits<float>::infinity());
    const std::string path = recording("a.hm2", {r});
    CsvOptions o = odd({1});
    o.combined = true;
    auto report = runConversion(prepared(path), o, dir + "/a.csv");
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(readAll(dir + "/a.csv"),
              kDate +
                  ",V1,1I1,1R1,2I1,2R1,3I1,3R1\r\n"
                  "2019/05/29 10:00:00, Infinity , NaN , 0 , 2 , 0 , 2 , 0 "
                  "\r\n");
}

TEST_F(CsvWriterTest, PerPhaseValuesAndAnglesOfRecordLength286) {
    const RecordLayout l = layout("a.ha6");
    RecordBytes r(l, 10203, 905);  // 01/02/03 09:05
    r.V(0, 100).I(0, 0, 2.5f).A(0, 0, -30);
    r.Vp(0, 200).Vp(1, 201.5f).Vp(2, 202);
    r.Ip(0, 0, 1).Ip(0, 1, 2).Ip(0, 2, 3);
    r.Ia(0, -120).Ia(1, 0).Ia(2, 120);
    const std::string path = recording("a.ha6", {r});
    CsvOptions o = odd({1});
    o.voltageAngle = true;  // no voltage angles outside "hv": no vR group
    const std::string out = dir + "/a.csv";

    auto report = runConversion(prepared(path), o, out);
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(readAll(out),
              kDate +
                  ",V1,1I1,1R1,Vuv,Vvw,Vuw,1Iu(rms),Iv(rms),Iw(rms),Iu(deg),Iv(deg),"
                  "Iw(deg)\r\n"
                  "2001/02/03 9:05:00, 100 , 2.5 ,-30 , 200 , 201.5 , 202 , 1 , 2 , 3 "
                  ",-120 , 0 , 120 \r\n");
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
        {"a.hv2", false, false, false, ",V1,V3,1I1,1I3,1R1,1R3,2I1,2I3,2R1,2R3"},
        {"a.hv1", false, true, false,
         ",V1,V3,1I1,1I3,1R1,1R3,Vuv,Vvw,Vuw,1Iu(rms),Iv(rms),Iw(rms)"},
        // RecordLength 356: both angle groups whatever the boxes say
        {"a.ha4", false, false, false, ",V1,V3,1I1,1I3,1R1,1R3,vR1,vR3,iR1,iR3"},
        {"a.ha5", false, false, false,
         ",V1,V3,1I1,1I3,1R1,1R3,Vuv,Vvw,Vuw,1Iu(rms),Iv(rms),Iw(rms)"},
        {"a.ha3", true, true, false, ",V1,V3,1I1,1I3,1R1,1R3"},
        {"a.hm1", false, false, false, ",V1,V3,1I1,1I3,1R1,1R3"},
        {"a.Rhm3", true, true, false, ",V1,V3,1I1,1I3,1R1,1R3,2I1,2I3,2R1,2R3,3I1,3I3,3R1,3R3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordLayout l = layout(c.name);
        const std::string path = recording(c.name, {RecordBytes(l, 190529, 1030)});
        CsvOptions o = odd({1, 3});
        o.voltageAngle = c.voltageAngle;
        o.perPhase = c.perPhase;
        o.combined = c.combined;
        const std::string out = dir + "/out.csv";
        auto report = runConversion(prepared(path), o, out);
        ASSERT_TRUE(report.ok()) << report.error();
        const std::string text = readAll(out);
        const std::size_t eol = text.find("\r\n");
        EXPECT_EQ(text.substr(0, eol), kDate + c.labels);
        // every line carries one field per label
        const auto commas = [](const std::string& s) {
            return std::count(s.begin(), s.end(), ',');
        };
        const std::string line = text.substr(eol + 2);
        EXPECT_EQ(commas(line), commas(c.labels));
        EXPECT_EQ(line.substr(0, 20), "2019/05/29 10:30:00,");
    }
}

TEST_F(CsvWriterTest, OddWriterReadsTheFirstPageAndAllOrderWritersEveryFlaggedOrder) {
    // The 25-order kinds read the dialog's first-page boxes, never the order table.
    const std::string hm = recording("a.hm1", {RecordBytes(layout("a.hm1"), 190529, 0)});
    CsvOptions o = odd({1, 49});
    o.orderFlags.fill(1);
    auto report = runConversion(prepared(hm), o, dir + "/hm.csv");
    ASSERT_TRUE(report.ok()) << report.error();
    const std::string hmText = readAll(dir + "/hm.csv");
    EXPECT_EQ(hmText.substr(0, hmText.find("\r\n")), kDate + ",V1,V49,1I1,1I49,1R1,1R49");

    // "hh" reads every entry of the order table equal to 1, on any page; 2 (grey) is not selected.
    const std::string hh = recording("a.hh1", {RecordBytes(layout("a.hh1"), 190529, 0)});
    CsvOptions a = all({1, 2, 256});
    a.orderFlags[2] = 2;
    a.firstPage.fill(1);
    report = runConversion(prepared(hh), a, dir + "/hh.csv");
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->form, CsvWriterForm::csvset2);
    EXPECT_EQ(readAll(dir + "/hh.csv"), kDate +
                                            ",V1,V2,V256,1I1,1I2,1I256,1R1,1R2,1R256\r\n"
                                            "2019/05/29, 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 \r\n");
}

TEST_F(CsvWriterTest, ShortHnVoltageAnglesOfOtherOrdersAreZero) {
    const RecordLayout l = layout("a.hn2", 2 * 4152);
    ASSERT_EQ(l.recordLength, 4152);
    RecordBytes r0(l, 190529, 1000), r1(l, 190529, 1010);
    r0.VR(0, 11).VR(1, -12).V(1, 2).I(1, 2, 0.5f).A(1, 2, 90);
    const std::string path = recording("a.hn2", {r0, r1});
    CsvOptions o = all({1, 2, 3});
    o.voltageAngle = true;
    auto report = runConversion(prepared(path), o, dir + "/a.csv");
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(readAll(dir + "/a.csv"),
              kDate +
                  ",V1,V2,V3,1I1,1I2,1I3,1R1,1R2,1R3,2I1,2I2,2I3,2R1,2R2,2R3,vR1,vR2,vR3\r\n"
                  "2019/05/29 10:00:00, 0 , 2 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0.5 , 0 , 0 ,"
                  " 90 , 11 , 0 ,-12 \r\n"
                  "2019/05/29 10:10:00, 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 , 0 ,"
                  " 0 , 0 , 0 , 0 \r\n");
}

TEST_F(CsvWriterTest, SplitWriterFilesWithCombinedCurrent) {
    const RecordLayout l = layout("a.hn2");
    RecordBytes r(l, 190529, 1200);
    r.V(0, 1).V(1, 2).I(0, 0, 3).I(1, 0, 4).A(1, 0, 180).VR(1, 7);
    const std::string path = recording("a.hn2", {r});
    CsvOptions o = all({1, 2});
    o.split = o.combined = o.voltageAngle = true;
    const std::string out = dir + "/meas.csv";
    auto report = runConversion(prepared(path), o, out);
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->form, CsvWriterForm::CsvOuthh);
    const std::string stem = dir + "/meas";
    const std::vector<std::string> names{"V", "I1", "I2", "I3", "R1", "R2", "R3", "vR"};
    ASSERT_EQ(report->files.size(), names.size());
    const std::string stamp = "2019/05/29 12:00:00";
    const std::map<std::string, std::string> expected{
        {"V", ",V1,V2\r\n" + stamp + ", 1 , 2 \r\n"},
        {"I1", ",1I1,1I2\r\n" + stamp + ", 3 , 0 \r\n"},
        {"I2", ",2I1,2I2\r\n" + stamp + ", 4 , 0 \r\n"},
        {"I3", ",3I1,3I2\r\n" + stamp + ", 1 , 0 \r\n"},
        {"R1", ",1R1,1R2\r\n" + stamp + ", 0 , 0 \r\n"},
        {"R2", ",2R1,2R2\r\n" + stamp + ", 180 , 0 \r\n"},
        {"R3", ",3R1,3R2\r\n" + stamp + ",-180 , 0 \r\n"},
        {"vR", ",vR1,vR2\r\n" + stamp + ", 0 , 7 \r\n"},
    };
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(report->files[i], stem + names[i] + ".csv");
        EXPECT_EQ(readAll(stem + names[i] + ".csv"), kDate + expected.at(names[i]));
    }
    EXPECT_FALSE(fs::exists(out));  // the split writer writes only the item files
}

TEST_F(CsvWriterTest, DispatchByKind) {
    CsvOptions split;
    split.split = true;
    for (const auto& [name, plain, withSplit] :
         {std::tuple{"a.hh2", CsvWriterForm::csvset2, CsvWriterForm::CsvOuthh},
          std::tuple{"x.Rhn2", CsvWriterForm::csvset2, CsvWriterForm::CsvOuthh},
          std::tuple{"a.hm3", CsvWriterForm::CsvOutOdd, CsvWriterForm::CsvOutOdd},
          std::tuple{"a.hv2", CsvWriterForm::CsvOutOdd, CsvWriterForm::CsvOutOdd},
          std::tuple{"a.ha6", CsvWriterForm::CsvOutOdd, CsvWriterForm::CsvOutOdd}}) {
        SCOPED_TRACE(name);
        const FileKind kind = *kindFromName(name, std::nullopt);
        EXPECT_EQ(chooseCsvWriter(kind, CsvOptions{}), plain);
        EXPECT_EQ(chooseCsvWriter(kind, split), withSplit);
    }
    // "One file per item" on a three-channel "hm" recording still writes one file.
    const std::string path = recording("a.hm3", {RecordBytes(layout("a.hm3"), 190529, 0)});
    CsvOptions o = odd({1});
    o.split = true;
    auto report = runConversion(prepared(path), o, dir + "/a.csv");
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->files, std::vector<std::string>{dir + "/a.csv"});
    EXPECT_FALSE(fs::exists(dir + "/aV.csv"));
}

TEST_F(CsvWriterTest, DialogDefaultsPerKind) {
    struct Case {
        const char* name;
        bool voltageAngle, perPhase, split, combined;
        std::size_t orders;
    };
    for (const Case& c :
         {Case{"a.hv2", true, true, false, true, 25}, Case{"a.hn1", true, false, true, false, 256},
          Case{"a.hh3", false, false, true, true, 256},
          Case{"a.ha4", false, false, false, false, 25},
          Case{"a.hm1", false, false, false, false, 25}}) {
        SCOPED_TRACE(c.name);
        const FileKind kind = *kindFromName(c.name, std::nullopt);
        const CsvOffer offer = csvOfferFor(kind);
        const CsvOptions o = defaultCsvOptions(kind);
        EXPECT_EQ(o.voltageAngle, c.voltageAngle);
        EXPECT_EQ(o.perPhase, c.perPhase);
        EXPECT_EQ(offer.splitOffered, c.split);
        EXPECT_EQ(offer.combinedOffered, c.combined);
        EXPECT_FALSE(o.split || o.combined);
        EXPECT_EQ(selectedOrders(o, kind).size(), c.orders);
        EXPECT_EQ(selectedOrders(o, kind).back(), c.orders == 25 ? 49 : 256);
    }
    const FileKind hm = *kindFromName("a.hm1", std::nullopt);
    CsvOptions o;
    EXPECT_TRUE(selectOrder(o, hm, 49));
    EXPECT_FALSE(selectOrder(o, hm, 4));
    EXPECT_FALSE(selectOrder(o, hm, 51));
    EXPECT_EQ(selectedOrders(o, hm), std::vector<int>{49});
}

TEST_F(CsvWriterTest, SplitStemIsCutInTheFileName) {
    for (const auto& [path, stem] :
         {std::pair{"/data/meas.csv", "/data/meas"}, std::pair{"./out.csv", "./out"},
          std::pair{"/d/site.v2/x.y.csv", "/d/site.v2/x"},
          std::pair{"/home/u/.cache/out.csv", "/home/u/.cache/out"},
          std::pair{"../a.b/noext", "../a.b/noext"}, std::pair{"plain", "plain"}}) {
        EXPECT_EQ(splitStem(path), stem) << path;
    }
}

TEST_F(CsvWriterTest, SplitFilesStayInADottedFolderAndTheWorkingFolder) {
    fs::create_directories(dir + "/site.v2");
    const std::string path = recording("a.hh1", {RecordBytes(layout("a.hh1"), 190529, 0)});
    CsvOptions o = all({1});
    o.split = true;
    auto report = runConversion(prepared(path), o, dir + "/site.v2/x.csv");
    ASSERT_TRUE(report.ok()) << report.error();
    for (const char* name : {"xV.csv", "xI1.csv", "xR1.csv"})
        EXPECT_TRUE(fs::exists(dir + "/site.v2/" + name)) << name;
    EXPECT_FALSE(fs::exists(dir + "/siteV.csv"));

    const fs::path before = fs::current_path();
    fs::current_path(dir + "/site.v2");
    report = runConversion(prepared(path), o, "./rel.csv");
    fs::current_path(before);
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_TRUE(fs::exists(dir + "/site.v2/relV.csv"));
    EXPECT_TRUE(fs::exists(dir + "/site.v2/relR1.csv"));
    for (const auto& e : fs::directory_iterator(dir + "/site.v2"))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

TEST_F(CsvWriterTest, EncodingOfTheHeader) {
    const std::string path = recording("a.ha3", {RecordBytes(layout("a.ha3"), 190529, 0)});
    CsvOptions o = odd({1});
    ASSERT_TRUE(runConversion(prepared(path), o, dir + "/sjis.csv").ok());
    o.encoding = TextEncoding::Utf8;
    ASSERT_TRUE(runConversion(prepared(path), o, dir + "/utf8.csv").ok());
    EXPECT_EQ(readAll(dir + "/sjis.csv").substr(0, 5), "\x93\xFA\x8E\x9E,");
    EXPECT_EQ(readAll(dir + "/utf8.csv").substr(0, 7), "\xE6\x97\xA5\xE6\x99\x82,");
}

TEST_F(CsvWriterTest, RecordWalkFromTheStartEstimate) {
    // Ten records every 10 minutes from 10:00.
    std::vector<RecordBytes> records;
    const RecordLayout l = layout("a.ha3");
    for (int i = 0; i < 10; ++i)
        records.push_back(RecordBytes(l, 190529, static_cast<int16_t>(1000 + i * 10)).V(0, i));
    const std::string path = recording("a.ha3", records);
    HARMDIM s = prepared(path);
    const double day = s.FileStartTime;
    const auto at = [&](int h, int m) { return day + (h * 60 + m) / 1440.0; };
    s.FileStartTime = at(10, 0);
    struct Case {
        double start;
        int32_t periodRecords;
        int64_t first, last;
    };
    for (const Case& c : {
             Case{at(10, 22), 3, 2, 5},    // 2.2 -> 2: the record at 10:20, not the next one
             Case{at(10, 25), 0, 2, 2},    // 2.5 -> 2 (half to even)
             Case{at(10, 35), 0, 4, 4},    // 3.5 -> 4
             Case{at(9, 40), 4, 0, 2},     // before the file: from record 0 to the period's end
             Case{at(10, 50), 100, 5, 9},  // past the end: cut to the last whole record
             Case{at(11, 50), 0, 11, 9},   // after the file: nothing
             Case{at(9, 0), 2, 0, -4},     // ends before the file: nothing
         }) {
        s.AnalysisStart = c.start;
        s.PeriodRecords = c.periodRecords;
        const RecordRange r = conversionRange(s, 10);
        EXPECT_EQ(r.first, c.first) << c.start;
        EXPECT_EQ(r.last, c.last) << c.start;
    }
    s.AnalysisStart = at(10, 22);
    s.PeriodRecords = 1;
    auto report = runConversion(s, odd({1}), dir + "/a.csv");
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(readAll(dir + "/a.csv"), kDate +
                                           ",V1,1I1,1R1\r\n"
                                           "2019/05/29 10:20:00, 2 , 0 , 0 \r\n"
                                           "2019/05/29 10:30:00, 3 , 0 , 0 \r\n");
    s.AnalysisStart = at(11, 50);
    report = runConversion(s, odd({1}), dir + "/none.csv");
    EXPECT_FALSE(report.ok());
    EXPECT_FALSE(fs::exists(dir + "/none.csv"));
}

TEST_F(CsvWriterTest, RecordsWithoutARealStampAreLeftOut) {
    const RecordLayout l = layout("a.ha3");
    const std::string path =
        recording("a.ha3", {RecordBytes(l, 190529, 1000), RecordBytes(l, 191329, 1010),
                            RecordBytes(l, 190529, 2460), RecordBytes(l, 190529, 1030).V(0, 5)});
    auto report = runConversion(prepared(path), odd({1}), dir + "/a.csv");
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->lines, 2);
    EXPECT_EQ(report->skippedRecords, 2);
    EXPECT_EQ(readAll(dir + "/a.csv"), kDate +
                                           ",V1,1I1,1R1\r\n"
                                           "2019/05/29 10:00:00, 0 , 0 , 0 \r\n"
                                           "2019/05/29 10:30:00, 5 , 0 , 0 \r\n");
}

// An output layer that fails one kind of operation after a number of successful ones, and can
// run an action just before (to change the world under the writer).
class FailingLayer : public OutputLayer {
  public:
    int writesBeforeFailure = -1;  // the writes that succeed before every further one fails
    int failRenameAt = -1;         // the rename call (0, 1, ...) that fails
    int writes = 0, renames = 0;
    Status write(TempFile& f, const char* data, std::size_t size) override {
        if (writesBeforeFailure >= 0 && writes++ >= writesBeforeFailure) {
            // half of the block reaches the disk, then the disk is full
            (void)OutputLayer::write(f, data, size / 2);
            return Error{"出力ファイルへの書き込みに失敗しました: " + f.target +
                         " (No space left)"};
        }
        return OutputLayer::write(f, data, size);
    }
    Status rename(const std::string& from, const std::string& to) override {
        if (renames++ == failRenameAt) return Error{"出力ファイルを置き換えられません: " + to};
        return OutputLayer::rename(from, to);
    }
};

// Only the recording and the files the test left are in the folder: no temporary file.
void expectNoTemporaryFiles(const std::string& dir) {
    for (const auto& e : fs::recursive_directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

TEST_F(CsvWriterTest, FailedRunsLeaveTheOldFilesByteIdentical) {
    // Enough records for several blocks of output.
    const RecordLayout l = layout("a.hh2");
    std::vector<RecordBytes> records;
    for (int i = 0; i < 400; ++i) {
        RecordBytes r(l, 190529, static_cast<int16_t>(i / 60 * 100 + i % 60));
        for (int k = 0; k < 256; ++k) r.V(k, 230.123f + k).I(0, k, 1.0f / (k + 1)).A(1, k, -170);
        records.push_back(r);
    }
    const std::string path = recording("a.hh2", records);
    const HARMDIM s = prepared(path);
    CsvOptions o = defaultCsvOptions(s.Kind);
    const std::string out = dir + "/a.csv";
    const std::string old = "an earlier conversion\r\n";
    writeAll(out, old);

    {
        FailingLayer failing;
        failing.writesBeforeFailure = 1;  // the second block fails half-way
        auto report = runConversion(s, o, out, {}, failing);
        EXPECT_FALSE(report.ok());
        EXPECT_NE(report.error().find("書き込み"), std::string::npos);
        EXPECT_EQ(failing.writes, 2);
        EXPECT_EQ(readAll(out), old);
        expectNoTemporaryFiles(dir);
    }
    {
        // split: a later block fails; none of the item files is replaced
        o.split = true;
        const std::vector<std::string> paths = csvOutputPaths(s.Kind, o, out);
        for (const std::string& p : paths) writeAll(p, old);
        FailingLayer failing;
        failing.writesBeforeFailure = 5;
        auto report = runConversion(s, o, out, {}, failing);
        EXPECT_FALSE(report.ok());
        for (const std::string& p : paths) EXPECT_EQ(readAll(p), old) << p;
        expectNoTemporaryFiles(dir);
        o.split = false;
    }
    {
        // the recording is cut short under the running conversion
        const std::string copy = dir + "/b.hh2";
        fs::copy_file(path, copy);
        HARMDIM t = prepared(copy);
        auto report = runConversion(t, o, out, [&](int64_t done, int64_t) {
            if (done == 256) fs::resize_file(copy, static_cast<uintmax_t>(l.recordLength) * 300);
        });
        EXPECT_FALSE(report.ok());
        EXPECT_NE(report.error().find("300"), std::string::npos) << report.error();
        EXPECT_EQ(readAll(out), old);
        expectNoTemporaryFiles(dir);
    }
    {
        // a folder that does not exist
        auto report = runConversion(s, o, dir + "/missing/a.csv");
        EXPECT_FALSE(report.ok());
        EXPECT_FALSE(fs::exists(dir + "/missing"));
    }
    // and the same run on a sound disk replaces the file
    auto report = runConversion(s, o, out);
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(report->lines, 400);
    EXPECT_NE(readAll(out), old);
}

TEST_F(CsvWriterTest, SplitFilesAreReplacedTogetherOrNotAtAll) {
    const std::string path = recording("a.hh1", {RecordBytes(layout("a.hh1"), 190529, 0)});
    CsvOptions o = all({1});
    o.split = true;
    const std::string out = dir + "/a.csv";
    const std::vector<std::string> paths = csvOutputPaths(*kindFromName("a.hh1", 0), o, out);
    ASSERT_EQ(paths.size(), 3u);  // aV, aI1, aR1
    for (int failing = 0; failing < 3; ++failing) {
        SCOPED_TRACE(failing);
        // aV and aR1 are there from before, aI1 is new
        writeAll(paths[0], "old V\r\n");
        fs::remove(paths[1]);
        writeAll(paths[2], "old R1\r\n");
        FailingLayer layer;
        layer.failRenameAt = failing;
        auto report = runConversion(prepared(path), o, out, {}, layer);
        EXPECT_FALSE(report.ok());
        EXPECT_EQ(readAll(paths[0]), "old V\r\n");
        EXPECT_FALSE(fs::exists(paths[1]));
        EXPECT_EQ(readAll(paths[2]), "old R1\r\n");
        expectNoTemporaryFiles(dir);
    }
    auto report = runConversion(prepared(path), o, out);
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(readAll(paths[1]), kDate + ",1I1\r\n2019/05/29, 0 \r\n");
    expectNoTemporaryFiles(dir);
}

TEST_F(CsvWriterTest, RefusedOutputTargets) {
    const std::string path = recording("a.hm1", {RecordBytes(layout("a.hm1"), 190529, 0)});
    const std::string before = readAll(path);
    fs::create_directories(dir + "/folder.csv");
    fs::create_symlink(path, dir + "/link.csv");
    const HARMDIM s = prepared(path);
    for (const std::string& target : {dir + "/folder.csv", dir + "/", std::string("/dev/null"),
                                      path, dir + "/link.csv", std::string()}) {
        SCOPED_TRACE(target);
        auto report = runConversion(s, odd({1}), target);
        EXPECT_FALSE(report.ok());
    }
    EXPECT_EQ(readAll(path), before);
    EXPECT_TRUE(fs::is_directory(dir + "/folder.csv"));
    // the split names are checked too: "a" + "V.csv" is a folder here
    fs::create_directories(dir + "/hV.csv");
    const std::string hh = recording("h.hh1", {RecordBytes(layout("h.hh1"), 190529, 0)});
    CsvOptions o = all({1});
    o.split = true;
    EXPECT_FALSE(runConversion(prepared(hh), o, dir + "/h.csv").ok());
    EXPECT_FALSE(fs::exists(dir + "/hI1.csv"));
    // no order selected
    EXPECT_FALSE(runConversion(s, CsvOptions{}, dir + "/x.csv").ok());
    EXPECT_FALSE(fs::exists(dir + "/x.csv"));
}

TEST_F(CsvWriterTest, ProgressIsReportedToTheEnd) {
    const RecordLayout l = layout("a.ha3");
    std::vector<RecordBytes> records(600, RecordBytes(l, 190529, 1000));
    const std::string path = recording("a.ha3", records);
    std::vector<int64_t> seen;
    int64_t totalSeen = 0;
    auto report =
        runConversion(prepared(path), odd({1}), dir + "/a.csv", [&](int64_t done, int64_t total) {
            seen.push_back(done);
            totalSeen = total;
        });
    ASSERT_TRUE(report.ok()) << report.error();
    EXPECT_EQ(seen, (std::vector<int64_t>{256, 512, 600}));
    EXPECT_EQ(totalSeen, 600);
}

}  // namespace
}  // namespace hg
