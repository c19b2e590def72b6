#include "csv/csv_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "analysis/composite.h"
#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "analysis/period_records.h"
#include "datafile/record_file.h"
#include "platform/classic.h"
#include "platform/csv_text.h"
#include "platform/dates.h"
#include "platform/numtext.h"

namespace hg {

namespace {

constexpr int64_t kReadChunkBytes = 1 << 18;  // records read together, whole records per read
constexpr int64_t kProgressRecords = 256;     // records between progress reports

bool isAllOrders(const FileKind& kind) {
    return kind.family == KindFamily::hh || kind.family == KindFamily::hn;
}

// One number field of a line: a single-precision value or a whole-degree angle of the record's
// work arrays.
struct Field {
    const float* value = nullptr;
    const int16_t* angle = nullptr;
};

// One output file: its path, its header line and its fields in order.
struct Sheet {
    std::string path;
    CsvText header = CsvText().text("日時");
    std::vector<Field> fields;
};

class SheetBuilder {
  public:
    SheetBuilder(const FileKind& kind, const std::vector<int>& indexes)
        : kind_(kind), indexes_(indexes) {}

    // Per selected order index: label prefix + order number, and the field at base[index].
    void orders(Sheet& s, const std::string& prefix, const float* base) const {
        for (int k : indexes_) {
            label(s, prefix, k);
            s.fields.push_back({base + k, nullptr});
        }
    }
    void orders(Sheet& s, const std::string& prefix, const int16_t* base) const {
        for (int k : indexes_) {
            label(s, prefix, k);
            s.fields.push_back({nullptr, base + k});
        }
    }

  private:
    void label(Sheet& s, const std::string& prefix, int k) const {
        s.header.text(prefix + std::to_string(kind_.orderOf(k)));
    }
    const FileKind& kind_;
    const std::vector<int>& indexes_;
};

// The sheets of a writer form with their fields pointing into `v` (sized for the kind's layout;
// it must not be resized afterwards).
std::vector<Sheet> planSheets(CsvWriterForm form, const FileKind& kind, const CsvOptions& o,
                              RecordValues& v, const std::vector<int>& indexes,
                              const std::vector<std::string>& paths) {
    const SheetBuilder b(kind, indexes);
    const int C = kind.channels;
    const int rows = C + (o.combined ? 1 : 0);  // row C is the combined current
    const auto row = [&](int ch) {
        return static_cast<std::size_t>(ch) * static_cast<std::size_t>(v.orders);
    };
    const bool voltageAngles =
        form == CsvWriterForm::CsvOutOdd
            ? (o.voltageAngle && kind.family == KindFamily::hv) || kind.family == KindFamily::ha4
            : o.voltageAngle && kind.family == KindFamily::hn;

    std::vector<Sheet> sheets;
    if (form != CsvWriterForm::CsvOuthh) {
        Sheet s;
        s.path = paths.front();
        b.orders(s, "V", v.V.data());
        for (int ch = 0; ch < rows; ++ch) {
            const std::string n = std::to_string(ch + 1);
            b.orders(s, n + "I", v.I.data() + row(ch));
            b.orders(s, n + "R", v.A.data() + row(ch));
        }
        if (voltageAngles) b.orders(s, "vR", v.VR.data());
        if (form == CsvWriterForm::CsvOutOdd) {
            const bool ha4 = kind.family == KindFamily::ha4;
            const bool perPhase = (o.perPhase && kind.family == KindFamily::hv) ||
                                  kind.family == KindFamily::ha5 || kind.family == KindFamily::ha6;
            if (ha4) b.orders(s, "iR", v.IR.data());
            if (perPhase) {
                s.header.text("Vuv").text("Vvw").text("Vuw");
                for (int i = 0; i < 3; ++i) s.fields.push_back({&v.Vp[i], nullptr});
                for (int ch = 0; ch < C; ++ch) {
                    const std::string n = std::to_string(ch + 1);
                    s.header.text(n + "Iu(rms)").text("Iv(rms)").text("Iw(rms)");
                    for (int i = 0; i < 3; ++i)
                        s.fields.push_back(
                            {v.Ip.data() + static_cast<std::size_t>(ch) * 3 + i, nullptr});
                }
            }
            if (kind.family == KindFamily::ha6) {
                s.header.text("Iu(deg)").text("Iv(deg)").text("Iw(deg)");
                for (int i = 0; i < 3; ++i) s.fields.push_back({nullptr, &v.Ia[i]});
            }
        }
        sheets.push_back(std::move(s));
        return sheets;
    }

    // One file per item, in the order of csvOutputPaths.
    std::size_t p = 0;
    Sheet voltage;
    voltage.path = paths[p++];
    b.orders(voltage, "V", v.V.data());
    sheets.push_back(std::move(voltage));
    for (int ch = 0; ch < rows; ++ch) {
        Sheet s;
        s.path = paths[p++];
        b.orders(s, std::to_string(ch + 1) + "I", v.I.data() + row(ch));
        sheets.push_back(std::move(s));
    }
    for (int ch = 0; ch < rows; ++ch) {
        Sheet s;
        s.path = paths[p++];
        b.orders(s, std::to_string(ch + 1) + "R", v.A.data() + row(ch));
        sheets.push_back(std::move(s));
    }
    if (voltageAngles) {
        Sheet s;
        s.path = paths[p++];
        b.orders(s, "vR", v.VR.data());
        sheets.push_back(std::move(s));
    }
    return sheets;
}

// The order indexes the form reads: box i of the first page (order 2i+1), or JisuFlag entry k
// (order k+1), where the value is 1.
std::vector<int> selectedIndexes(const FileKind& kind, const CsvOptions& o) {
    std::vector<int> out;
    if (isAllOrders(kind)) {
        for (int k = 0; k < 256; ++k)
            if (o.orderFlags[static_cast<std::size_t>(k)] == 1) out.push_back(k);
    } else {
        for (int i = 0; i < 25; ++i)
            if (o.firstPage[static_cast<std::size_t>(i)] == 1) out.push_back(i);
    }
    return out;
}

// Writes one record's line at `out`, which has room for lineRoom(fields) characters: the time
// stamp field, then the number fields. Kept out of line: its loop over the fields, run for every
// number written, then keeps its own registers.
[[gnu::noinline]] char* writeLine(char* out, std::string_view stamp,
                                  const std::vector<Field>& fields) {
    std::memcpy(out, stamp.data(), stamp.size());
    out += stamp.size();
    for (const Field& f : fields)
        out = writeCsvNumberField(out, f.value ? *f.value : static_cast<float>(*f.angle));
    return writeCsvLineEnd(out);
}

std::size_t lineRoom(std::size_t stampSize, std::size_t fields) {
    return stampSize + fields * kCsvNumberFieldRoom + kCsvLineEndRoom;
}

// The period's records read whole, many at a time, up to the next progress report: a read never
// spans a progress report, after which the file is read as it is then.
class ChunkReader {
  public:
    ChunkReader(const RecordFile& file, const RecordRange& range, int64_t length)
        : file_(file),
          range_(range),
          length_(length),
          chunkRecords_(std::min(std::max<int64_t>(1, kReadChunkBytes / length),
                                 range.last - range.first + 1)),
          bytes_(static_cast<std::size_t>(chunkRecords_ * length)),
          chunkFirst_(range.first),
          chunkEnd_(range.first) {}

    // The bytes of record n, the records asked for in order from the range's first; null when
    // the file cannot be read, `bad` then naming the first record that cannot.
    const uint8_t* record(int64_t n, int64_t& bad) {
        if (n == chunkEnd_ && !readChunk(n, bad)) return nullptr;
        return bytes_.data() + (n - chunkFirst_) * length_;
    }

  private:
    bool readChunk(int64_t n, int64_t& bad) {
        chunkFirst_ = n;
        const int64_t nextReport = n + kProgressRecords - (n - range_.first) % kProgressRecords;
        chunkEnd_ = std::min({n + chunkRecords_, nextReport, range_.last + 1});
        if (readFrom(n, chunkEnd_ - n)) return true;
        bad = n;
        while (bad + 1 < chunkEnd_ && readFrom(bad, 1)) ++bad;
        return false;
    }
    bool readFrom(int64_t r, int64_t records) {
        return file_.read(static_cast<uint64_t>(r) * static_cast<uint64_t>(length_), bytes_.data(),
                          static_cast<std::size_t>(records * length_));
    }

    const RecordFile& file_;
    const RecordRange range_;
    const int64_t length_;
    const int64_t chunkRecords_;
    std::vector<uint8_t> bytes_;
    int64_t chunkFirst_, chunkEnd_;
};

// What the lines of a conversion are written from and into.
struct LineJob {
    const HARMDIM& s;
    const RecordFile& file;
    RecordRange range;
    bool combined;  // a sheet carries the combined current
    RecordValues& v;
    const std::vector<Sheet>& sheets;
    StagedOutputs& out;
    const ProgressFn& progress;
};

// One line per record of the period into every sheet, counting the lines and the records skipped.
Status writeRecordLines(const LineJob& job, ConversionReport& report) {
    const RecordLayout& layout = job.s.Kind.layout;
    const RecordRange range = job.range;
    const int64_t total = range.last - range.first + 1;
    ChunkReader reader(job.file, range, layout.recordLength);
    CurrentCombiner combiner(layout.orders);
    RecordValues& v = job.v;
    std::string stamp;
    for (int64_t n = range.first; n <= range.last; ++n) {
        int64_t bad = n;
        const uint8_t* record = reader.record(n, bad);
        if (!record)
            return Error{"測定ファイルを読めません（レコード " + std::to_string(bad) +
                         "）: " + job.s.FilePath};
        decodeRecord(record, layout, v);
        const auto when = stampDateTime(v.date, v.time);
        if (!when) {
            ++report.skippedRecords;
            continue;
        }
        if (!inPeriod(*when, job.s.AnalysisStart, job.s.AnalysisEnd)) continue;
        // The combined current only when a sheet carries it. The recorded values themselves are
        // written as they are, even when a damaged record carries no number.
        if (job.combined) combiner.combine(v);
        stamp.clear();
        appendCsvTimestamp(stamp, *when);
        for (std::size_t i = 0; i < job.sheets.size(); ++i) {
            const std::vector<Field>& fields = job.sheets[i].fields;
            job.out.advance(i, writeLine(job.out.room(i, lineRoom(stamp.size(), fields.size())),
                                         stamp, fields));
            auto ok = job.out.flushIfFull(i);
            if (!ok) return Error{ok.error()};
        }
        ++report.lines;
        const int64_t done = n - range.first + 1;
        if (job.progress && (done % kProgressRecords == 0 || done == total))
            job.progress(done, total);
    }
    return success();
}

// Adds every sheet to `out` with its header line, the file's start bytes before it.
Status startSheets(StagedOutputs& out, const std::vector<Sheet>& sheets, const CsvOptions& o) {
    for (const Sheet& sheet : sheets) {
        auto header = CsvText(sheet.header).endLine().fileBytes(o.encoding);
        if (!header) return Error{header.error()};
        auto added = out.add(sheet.path);
        if (!added) return Error{added.error()};
        out.append(*added, *header);
    }
    return success();
}

// The state a conversion needs, and a form that fits the kind.
Status checkConvertible(CsvWriterForm form, const HARMDIM& s) {
    const FileKind& kind = s.Kind;
    if (s.RecordLength <= 0 || s.FilePath.empty() || kind.layout.recordLength != s.RecordLength)
        return Error{"変換の準備ができていません（ファイルを選択して実行してください）"};
    if ((form == CsvWriterForm::CsvOutOdd) == isAllOrders(kind))
        return Error{"この種類の測定データには使えない出力形式です: " + kind.text};
    return success();
}

Result<ConversionReport> convert(CsvWriterForm form, const HARMDIM& s, const CsvOptions& o,
                                 const std::string& outPath, const ProgressFn& progress,
                                 OutputLayer& layer) {
    if (auto convertible = checkConvertible(form, s); !convertible)
        return Error{convertible.error()};
    const FileKind& kind = s.Kind;
    const std::vector<int> indexes = selectedIndexes(kind, o);
    if (indexes.empty()) return Error{"出力する次数が選択されていません"};

    auto file = RecordFile::open(s.FilePath);
    if (!file) return Error{file.error()};
    const auto found = conversionRange(s, *file);
    if (!found) return Error{found.error()};
    const RecordRange range = *found;
    if (range.empty()) return Error{kNoRecordsInPeriod};

    CsvOptions options = o;
    options.split = form == CsvWriterForm::CsvOuthh;
    const std::vector<std::string> paths = csvOutputPaths(kind, options, outPath);
    for (const std::string& p : paths) {
        auto ok = checkOutputTarget(p, s.FilePath);
        if (!ok) return Error{ok.error()};
    }

    RecordValues v;
    v.size(kind.layout);
    const std::vector<Sheet> sheets = planSheets(form, kind, options, v, indexes, paths);
    StagedOutputs out(layer);
    if (auto started = startSheets(out, sheets, o); !started) return Error{started.error()};

    ConversionReport report;
    report.form = form;
    report.firstRecord = range.first;
    report.lastRecord = range.last;
    const LineJob job{s, *file, range, options.combined, v, sheets, out, progress};
    if (auto written = writeRecordLines(job, report); !written) return Error{written.error()};

    std::size_t fieldsPerLine = 0;
    for (const Sheet& sheet : sheets) fieldsPerLine += sheet.fields.size();
    report.bytes = out.bytes();
    auto committed = out.commit();
    if (!committed) return Error{committed.error()};
    report.files = paths;
    report.numbers = static_cast<uint64_t>(report.lines) * fieldsPerLine;
    return report;
}

}  // namespace

CsvOffer csvOfferFor(const FileKind& kind) {
    CsvOffer offer;
    offer.allOrders = isAllOrders(kind);
    offer.voltageAngleShown = kind.family == KindFamily::hv || kind.family == KindFamily::hn;
    offer.perPhaseShown = kind.family == KindFamily::hv;
    offer.splitOffered = offer.allOrders;
    offer.combinedOffered = kind.channels >= 2;
    return offer;
}

CsvOptions defaultCsvOptions(const FileKind& kind) {
    const CsvOffer offer = csvOfferFor(kind);
    CsvOptions o;
    o.firstPage.fill(1);
    o.orderFlags.fill(1);
    o.voltageAngle = offer.voltageAngleShown;
    o.perPhase = offer.perPhaseShown;
    return o;
}

bool selectOrder(CsvOptions& o, const FileKind& kind, int order) {
    if (isAllOrders(kind)) {
        if (order < 1 || order > 256) return false;
        o.orderFlags[static_cast<std::size_t>(order - 1)] = 1;
        return true;
    }
    if (order < 1 || order > 49 || order % 2 == 0) return false;
    o.firstPage[static_cast<std::size_t>((order - 1) / 2)] = 1;
    return true;
}

std::vector<int> selectedOrders(const CsvOptions& o, const FileKind& kind) {
    std::vector<int> orders;
    for (int k : selectedIndexes(kind, o)) orders.push_back(kind.orderOf(k));
    return orders;
}

CsvWriterForm chooseCsvWriter(const FileKind& kind, const CsvOptions& o) {
    if (!isAllOrders(kind)) return CsvWriterForm::CsvOutOdd;
    return o.split ? CsvWriterForm::CsvOuthh : CsvWriterForm::csvset2;
}

std::string splitStem(const std::string& outPath) {
    const std::size_t slash = outPath.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = outPath.find_last_of('.');
    return dot == std::string::npos || dot < nameStart ? outPath : outPath.substr(0, dot);
}

std::vector<std::string> csvOutputPaths(const FileKind& kind, const CsvOptions& o,
                                        const std::string& outPath) {
    if (chooseCsvWriter(kind, o) != CsvWriterForm::CsvOuthh) return {outPath};
    const std::string stem = splitStem(outPath);
    const int rows = kind.channels + (o.combined ? 1 : 0);
    std::vector<std::string> paths{stem + "V.csv"};
    for (int n = 1; n <= rows; ++n) paths.push_back(stem + "I" + std::to_string(n) + ".csv");
    for (int n = 1; n <= rows; ++n) paths.push_back(stem + "R" + std::to_string(n) + ".csv");
    if (o.voltageAngle && kind.family == KindFamily::hn) paths.push_back(stem + "vR.csv");
    return paths;
}

Result<RecordRange> conversionRange(const HARMDIM& s, const RecordFile& file) {
    auto span = periodRecordsOf(s, file);
    if (!span) return Error{span.error()};
    RecordRange r;
    if (span->empty()) return r;
    r.first = span->first;
    r.last = span->last;
    return r;
}

Result<ConversionReport> runConversion(const HARMDIM& s, const CsvOptions& o,
                                       const std::string& outPath, const ProgressFn& progress,
                                       OutputLayer& layer) {
    return convert(chooseCsvWriter(s.Kind, o), s, o, outPath, progress, layer);
}

Result<ConversionReport> CsvOutOdd(const HARMDIM& s, const CsvOptions& o,
                                   const std::string& outPath, const ProgressFn& progress,
                                   OutputLayer& layer) {
    return convert(CsvWriterForm::CsvOutOdd, s, o, outPath, progress, layer);
}

Result<ConversionReport> csvset2(const HARMDIM& s, const CsvOptions& o, const std::string& outPath,
                                 const ProgressFn& progress, OutputLayer& layer) {
    return convert(CsvWriterForm::csvset2, s, o, outPath, progress, layer);
}

Result<ConversionReport> CsvOuthh(const HARMDIM& s, const CsvOptions& o, const std::string& outPath,
                                  const ProgressFn& progress, OutputLayer& layer) {
    return convert(CsvWriterForm::CsvOuthh, s, o, outPath, progress, layer);
}

}  // namespace hg
