// CSV conversion of the analysis period of a recording: the options the CSV output dialog sets,
// the three writers and the dispatch between them.
//
// The three writers are one routine in three forms. CsvOutOdd (kinds with the 25 odd orders) and
// csvset2 (kinds "hh"/"hn" with all 256 orders) write one file; CsvOuthh ("hh"/"hn" with "one file
// per item") spreads the same fields over one file per item. They share the record walk, the
// combined current, the time stamp and the number form and differ only in which fields go to which
// file.
//
// Text: a header line beginning "日時" with a comma before each label, then one line per record:
// the time stamp "yyyy/mm/dd H:mm:ss" and for every field a comma and the number in the file form
// (" 0.5 ", "-170 "); CR LF line ends; code page 932 unless UTF-8 is asked for (then every
// file starts with the byte-order mark).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/execute.h"
#include "datafile/record_format.h"
#include "platform/output.h"
#include "platform/result.h"
#include "platform/textcode.h"

namespace hg {

struct HARMDIM;
class RecordFile;

// The dialog's choices.
struct CsvOptions {
    // Check1(0..24), the order boxes of the dialog's first page: box i is order 2i+1, 1 = checked.
    // The kinds with 25 odd orders read these.
    std::array<int16_t, 25> firstPage{};
    // JisuFlag(0..255): entry k is order k+1; 1 = selected, 0 = not, 2 = not available. The
    // kinds "hh" and "hn" read these (every entry, also of pages not shown in this run).
    std::array<int16_t, 256> orderFlags{};
    bool voltageAngle = false;  // Check2(0) "電圧重畳角"
    bool perPhase = false;      // Check2(1) "相別実効値"
    bool split = false;         // Check4 "項目別にファイルを分ける"
    bool combined = false;      // Check5 "電流の合成値を出力する"
    TextEncoding encoding = TextEncoding::Cp932;
};

// What the dialog offers for a kind, and how it checks the boxes when it is shown.
struct CsvOffer {
    bool allOrders = false;          // the order grid pages through orders 1..256
    bool voltageAngleShown = false;  // and checked when shown: "hv", "hn"
    bool perPhaseShown = false;      // and checked when shown: "hv"
    bool splitOffered = false;       // "hh", "hn"
    bool combinedOffered = false;    // two or more current channels
};
CsvOffer csvOfferFor(const FileKind& kind);

// The options with every order the kind offers selected and the optional items as the dialog
// checks them for the kind; split and combined off, code page 932.
CsvOptions defaultCsvOptions(const FileKind& kind);

// Selects order `order` (1..49 odd for the 25-order kinds, 1..256 for "hh"/"hn"); false when the
// kind does not record that order.
bool selectOrder(CsvOptions& options, const FileKind& kind, int order);
// The selected orders, ascending.
std::vector<int> selectedOrders(const CsvOptions& options, const FileKind& kind);

enum class CsvWriterForm { CsvOutOdd, csvset2, CsvOuthh };

// The dispatch: "hh"/"hn" -> csvset2, or CsvOuthh with `split`; every other kind -> CsvOutOdd
// (one file, whatever `split` says).
CsvWriterForm chooseCsvWriter(const FileKind& kind, const CsvOptions& options);

// The stem of the split files: the output path without its file name's extension (the last "."
// on), so "site.1.csv" and "site.2.csv" split into different files; a file name without a "."
// gives the whole path. Dots in folder names are kept ("./a.csv" -> "./a",
// "/d/site.v2/x.csv" -> "/d/site.v2/x", "site.1.csv" -> "site.1").
std::string splitStem(const std::string& outPath);

// The files a conversion writes, in order: the output path itself, or for CsvOuthh stem + "V.csv",
// "I1.csv".., "R1.csv".., "vR.csv".
std::vector<std::string> csvOutputPaths(const FileKind& kind, const CsvOptions& options,
                                        const std::string& outPath);

struct ConversionReport {
    CsvWriterForm form = CsvWriterForm::CsvOutOdd;
    std::vector<std::string> files;  // written and committed, in order
    int64_t firstRecord = 0;         // file record numbers converted, inclusive
    int64_t lastRecord = -1;
    int64_t lines = 0;           // data lines per file
    int64_t skippedRecords = 0;  // records whose stamp is not a real date and time
    uint64_t numbers = 0;        // number fields written, all files
    uint64_t bytes = 0;          // bytes written, all files
};

// The records a conversion covers: from the period's first record to its last (those stamped from
// AnalysisStart to AnalysisEnd; records between them stamped outside the period, or not stamped,
// are left out). Empty (last < first) when the period holds none.
struct RecordRange {
    int64_t first = 0;
    int64_t last = -1;
    bool empty() const { return last < first; }
};
Result<RecordRange> conversionRange(const HARMDIM& state, const RecordFile& file);

// Converts the period Execute prepared (prepareExecute in Convert mode) with the writer the
// dispatch chooses, through `layer` (the disk unless a test says otherwise). Nothing is replaced
// unless every file was written whole.
Result<ConversionReport> runConversion(const HARMDIM& state, const CsvOptions& options,
                                       const std::string& outPath, const ProgressFn& progress = {},
                                       OutputLayer& layer = diskOutput());

// The writers by their own names, for callers that choose the form themselves; each refuses a
// kind it does not serve.
Result<ConversionReport> CsvOutOdd(const HARMDIM& state, const CsvOptions& options,
                                   const std::string& outPath, const ProgressFn& progress = {},
                                   OutputLayer& layer = diskOutput());
Result<ConversionReport> csvset2(const HARMDIM& state, const CsvOptions& options,
                                 const std::string& outPath, const ProgressFn& progress = {},
                                 OutputLayer& layer = diskOutput());
Result<ConversionReport> CsvOuthh(const HARMDIM& state, const CsvOptions& options,
                                  const std::string& outPath, const ProgressFn& progress = {},
                                  OutputLayer& layer = diskOutput());

}  // namespace hg
