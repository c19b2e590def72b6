// The CSV text every CSV of the program is written with: quoting, the number and time forms, the
// line end, both code pages and a failed write; and the four CSVs of the program (the conversion,
// the graph's curves, the spectrum, the compliance report) on a recording of the sample
// generator: their code page 932 bytes as they have always been, and their UTF-8 form.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "compliance/compliance.h"
#include "compliance/compliance_text.h"
#include "compliance/sha256.h"
#include "csv/csv_writer.h"
#include "datafile/scan.h"
#include "datafile/synth.h"
#include "graph/curve_export.h"
#include "graph/spectrum.h"
#include "platform/csv_text.h"
#include "platform/dates.h"
#include "support_analysis.h"
#include "support_scratch.h"

namespace hg {
namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string kBom = "\xEF\xBB\xBF";

std::string bytesOf(const CsvText& csv, TextEncoding encoding) {
    auto bytes = csv.fileBytes(encoding);
    EXPECT_TRUE(bytes) << bytes.error();
    return bytes ? *bytes : std::string();
}

// Every write fails, as on a full disk.
class FullDisk : public OutputLayer {
  public:
    Status write(TempFile&, const char*, std::size_t) override { return Error{"disk full"}; }
};

TEST(CsvText, FieldsLinesCodePagesAndAFailedWrite) {
    CsvText csv;
    csv.text("日時").text("a,b").text("say \"hi\"").text("two\r\nlines").text("").endLine();
    csv.endLine();
    csv.dateTime(dateTime(*dayNumber(2019, 5, 29), 9 * 60 + 5))
        .number(0.5f)
        .number(-170.0f)
        .integer(-3)
        .endLine();
    const std::string rest =
        ",\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\r\n\r\n2019/05/29 9:05:00, 0.5 ,-170 "
        ",-3\r\n";
    EXPECT_EQ(csv.utf8(), "日時" + rest);
    EXPECT_EQ(bytesOf(csv, TextEncoding::Cp932), "\x93\xFA\x8E\x9E" + rest);
    EXPECT_EQ(bytesOf(csv, TextEncoding::Utf8), kBom + "日時" + rest);
    EXPECT_FALSE(CsvText().text("😀").fileBytes(TextEncoding::Cp932));

    // A failed write leaves the file as it was.
    const std::string path = test::scratchPath("kept.csv");
    std::ofstream(path, std::ios::binary) << "old";
    FullDisk full;
    EXPECT_FALSE(writeCsvFile(path, csv, TextEncoding::Utf8, full));
    EXPECT_EQ(readAll(path), "old");
    ASSERT_TRUE(writeCsvFile(path, csv, TextEncoding::Utf8));
    EXPECT_EQ(readAll(path), kBom + csv.utf8());
}

// A voltage set (its text is part of the report: the hash of the set's file).
const char* const kVoltageSet =
    R"({"name": "v", "title": "電圧の限度", "source": "出典の名", "edition": "第2版", "check": "c",
        "quantity": "voltage_distortion", "total": 9, "orders": {"2": 1, "5": 6, "7": 5}})";

// The lines after the first.
std::string body(const std::string& text) {
    return text.substr(text.find("\r\n") + 2);
}

std::size_t lineCount(const std::string& text) {
    std::size_t n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        ++n;
    return n;
}

// The report of the whole period by kVoltageSet, its site quoted (its quotes doubled).
ComplianceReport reportOn(const HARMDIM& s) {
    auto set = parseLimitSet(kVoltageSet, "t.json");
    EXPECT_TRUE(set) << set.error();
    ComplianceReport report;
    report.file = "/data/site.hv2";
    report.start = s.AnalysisStart;
    report.end = s.AnalysisEnd;
    report.records = s.LoadedRecords;
    report.channels = s.ChannelCount;
    report.set = *set;
    report.meta.site = "第一工場, \"東\"棟";
    report.version = "9.9";
    report.issued = s.AnalysisEnd;
    auto assessment =
        assess(*set, basisInputOf(s, 0, s.LoadedRecords, s.AnalysisStart, s.AnalysisEnd), {});
    EXPECT_TRUE(assessment) << assessment.error();
    report.assessment = *assessment;
    return report;
}

// The file the conversion of the whole recording writes (every order, the combined current).
std::string converted(const std::string& path, TextEncoding encoding) {
    HARMDIM c;
    auto scan = scanFile(path);
    EXPECT_TRUE(scan);
    applyScan(c, *scan);
    EXPECT_TRUE(prepareExecute(c, path,
                               {scan->startDate, scan->startTime, scan->endDate, scan->endTime},
                               ExecuteMode::Convert));
    CsvOptions options = defaultCsvOptions(c.Kind);
    options.combined = true;
    options.encoding = encoding;
    const std::string out = path + ".csv";
    EXPECT_TRUE(runConversion(c, options, out));
    return readAll(out);
}

// 40 records of a two-channel "hv" recording of the sample generator.
TEST(CsvText, EveryCsvOfTheProgramInBothCodePages) {
    const std::string dir = test::scratchPath("every_csv");
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = dir + "/site.hv2";
    SynthOptions synth;
    synth.records = 40;
    ASSERT_TRUE(writeSynth(path, synth));
    HARMDIM s;
    ASSERT_TRUE(test::loadRecording(s, path));

    struct Case {
        const char* name;
        std::string heading;  // the first field
        bool asciiBody;       // every line after the heading is ASCII
        std::string sha256;   // of the code page 932 bytes
        std::string cp932, utf8;
    };
    std::vector<Case> cases;
    const auto add = [&](const char* name, const std::string& heading, bool asciiBody,
                         const std::string& sha256, const CsvText& csv) {
        cases.push_back(Case{name, heading, asciiBody, sha256, bytesOf(csv, TextEncoding::Cp932),
                             bytesOf(csv, TextEncoding::Utf8)});
    };

    std::vector<int16_t> orders(kJisuFlagCount, 2);
    std::fill(orders.begin(), orders.begin() + 256, int16_t{0});
    orders[0] = orders[2] = 1;
    GraphRequest request;
    request.item = 2;
    request.group = 8;
    request.channel = 1;
    request.orders = orders;
    add("curves", "日時", true, "67e49c92a62069021674aeec9fd53f1d1aeb8419fe8daafa502089bfe9097089",
        curvesCsv(s, request, wholePeriod(s)));
    add("spectrum", "次数", true,
        "847e5f3a5f4b9469311d0377d932fadeda80d872e0ae0f230b4d40ee15567b6c",
        spectrumCsv(spectrumAt(s, 5, 1)));

    add("report", "項目", false, "72d2c7db25fbb1c1b1173dc601ef9013c823bf7f37ccff815f0f1b0793299a75",
        complianceCsv(reportOn(s)));

    // The conversion's own files.
    cases.push_back(Case{"conversion", "日時", true,
                         "17912b3bb8c7093ce8a9d316ff594c1ed50860fa8c3a6071d0e2b95b31779be2",
                         converted(path, TextEncoding::Cp932),
                         converted(path, TextEncoding::Utf8)});

    for (const Case& k : cases) {
        EXPECT_EQ(sha256Hex(k.cp932), k.sha256) << k.name;
        EXPECT_EQ(k.utf8.substr(0, kBom.size() + k.heading.size() + 1), kBom + k.heading + ",")
            << k.name;
        EXPECT_EQ(lineCount(k.utf8), lineCount(k.cp932)) << k.name;
        if (k.asciiBody) {
            EXPECT_EQ(body(k.utf8), body(k.cp932)) << k.name;
        }
    }
}

}  // namespace
}  // namespace hg
