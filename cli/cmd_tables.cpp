// harmograph tables FILE [--start T] [--end T] [--predict C,X,U [--channel N]] -o OUT.json
// The analysis state after a graph-mode load, as JSON: the scalar fields by their state names and
// every table by its name as nested arrays in index order. Single-precision values are written
// with 9 significant digits (enough to give the stored value back), date-times as day numbers in
// the shortest text that gives the double back.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "analysis/upstream_prediction.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/graph_load.h"
#include "cli/help.h"
#include "cli/progress.h"
#include "datafile/scan.h"
#include "platform/output.h"

namespace hg::cli {

namespace {

// Writing into one staged output, which goes to its temporary file in large blocks; the first
// failure is kept and stops further writing.
class JsonOut {
  public:
    JsonOut(StagedOutputs& out, std::size_t file) : out_(out), file_(file) {}
    const Status& status() const { return status_; }
    void text(std::string_view s) {
        if (!status_) return;
        out_.append(file_, s);
        status_ = out_.flushIfFull(file_);
    }
    void number(float v) {
        if (!std::isfinite(v)) return text("null");
        char b[32];
        const auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::general, 9);
        text(std::string_view(b, static_cast<std::size_t>(r.ptr - b)));
    }
    void number(double v) {
        if (!std::isfinite(v)) return text("null");
        char b[40];
        const auto r = std::to_chars(b, b + sizeof b, v);
        text(std::string_view(b, static_cast<std::size_t>(r.ptr - b)));
    }
    void number(long long v) {
        char b[24];
        const auto r = std::to_chars(b, b + sizeof b, v);
        text(std::string_view(b, static_cast<std::size_t>(r.ptr - b)));
    }
    void number(int16_t v) { number(static_cast<long long>(v)); }

  private:
    StagedOutputs& out_;
    std::size_t file_;
    Status status_ = success();
};

template <class T>
void writeTable(JsonOut& out, const Table<T>& t) {
    if (t.empty()) return out.text("[]");
    const long n0 = t.upper(0) + 1, n1 = t.rank() >= 2 ? t.upper(1) + 1 : 1,
               n2 = t.rank() >= 3 ? t.upper(2) + 1 : 1;
    const T* p = t.data();
    const auto row = [&](long count) {
        out.text("[");
        for (long i = 0; i < count; ++i) {
            if (i) out.text(",");
            out.number(*p++);
        }
        out.text("]");
    };
    if (t.rank() == 1) return row(n0);
    out.text("[");
    for (long i = 0; i < n0; ++i) {
        if (i) out.text(",");
        if (t.rank() == 2) {
            row(n1);
            continue;
        }
        out.text("[");
        for (long j = 0; j < n1; ++j) {
            if (j) out.text(",");
            row(n2);
        }
        out.text("]");
    }
    out.text("]");
}

// The period extremes as the JSON has always given them with a prediction: the predicted
// distortion's maxima in item slot 13 of channel 0.
Table<float> extremesWithPrediction(Table<float> out, const Prediction& prediction) {
    const Table<float>& itemMax = out;
    constexpr long kSlot = slotOf(kPredictedDistortion);
    for (long k = 0; k <= itemMax.upper(2); ++k)
        if (out.contains(0, kSlot, k) && prediction.PredictMax.contains(k))
            out(0, kSlot, k) = prediction.PredictMax(k);
    return out;
}

void writeState(JsonOut& out, const HARMDIM& s, const Prediction* prediction) {
    bool firstField = true;
    const auto name = [&](const char* field) {
        out.text(firstField ? "{\n\"" : ",\n\"");
        firstField = false;
        out.text(field);
        out.text("\": ");
    };
    const auto integer = [&](const char* field, long long v) {
        name(field);
        out.number(v);
    };
    const auto single = [&](const char* field, float v) {
        name(field);
        out.number(v);
    };
    const auto dateTime = [&](const char* field, double v) {
        name(field);
        out.number(v);
    };
    integer("RecordLength", s.RecordLength);
    integer("ShortHnRecord", s.ShortHnRecord);
    integer("ChannelCount", s.ChannelCount);
    integer("MaxOrderIndex", s.MaxOrderIndex);
    single("RecordInterval", s.RecordInterval);
    integer("PeriodMinutes", s.PeriodMinutes);
    integer("PeriodRecords", s.PeriodRecords);
    integer("LoadedRecords", s.LoadedRecords);
    integer("FirstRecord", s.FirstRecord);
    single("StartDay", s.StartDay);
    single("StartMinute", s.StartMinute);
    single("EndDay", s.EndDay);
    single("EndMinute", s.EndMinute);
    dateTime("AnalysisStart", s.AnalysisStart);
    dateTime("AnalysisEnd", s.AnalysisEnd);
    dateTime("FileStartTime", s.FileStartTime);
    dateTime("FileEndTime", s.FileEndTime);
    const auto table = [&](const char* field, const auto& t) {
        name(field);
        writeTable(out, t);
    };
    table("RecordX", s.RecordX);
    table("VoltageTable", s.VoltageTable);
    table("CurrentTable", s.currentTable());
    table("ActivePower", s.activePower());
    table("ReactivePower", s.reactivePower());
    table("AngleTable", s.AngleTable);
    table("VoltageThd", s.VoltageThd);
    table("CurrentThd", s.CurrentThd);
    table("PhaseVoltage", s.PhaseVoltage);
    table("PhaseCurrent", s.PhaseCurrent);
    table("OverloadTable", s.OverloadTable);
    if (prediction) {
        table("ItemMax", extremesWithPrediction(s.itemMaxTable(), *prediction));
    } else {
        table("ItemMax", s.itemMaxTable());
    }
    table("ItemMin", s.itemMinTable());
    if (prediction) {
        integer("PredictionChannel", prediction->channel);
        table("PredictTable", prediction->PredictTable);
        table("PredictAngle", prediction->PredictAngle);
        table("PredictTotal", prediction->PredictTotal);
    }
    out.text("\n}\n");
}

// Writes the JSON next to `path` under a temporary name and renames it over `path` once every
// byte is written; on any failure the temporary file goes and an existing `path` stays as it was.
Status writeJsonFile(const std::string& path, const HARMDIM& s, const Prediction* prediction) {
    StagedOutputs staged(diskOutput());
    auto file = staged.add(path);
    if (!file) return Error{file.error()};
    JsonOut out(staged, *file);
    writeState(out, s, prediction);
    if (!out.status()) return out.status();
    return staged.commit();
}

}  // namespace

int tables(int argc, char** argv) {
    auto args = parseArgs(argc, argv, 2, {"--start", "--end", "--predict", "--channel", "-o"}, {});
    if (!args) return usageError(args.error());
    if (args->positional.size() != 1 || !args->has("-o")) return usageOf("tables");
    const std::string& input = args->positional[0];
    const std::string output = *args->get("-o");
    if (args->has("--channel") && !args->has("--predict"))
        return usageError("--channel goes with --predict");

    std::optional<TransformerParameters> predict;
    if (auto text = args->get("--predict")) {
        auto p = transformerOption("--predict", *text);
        if (!p) return usageError(p.error());
        if (auto ok = checkTransformerParameters(*p); !ok) return usageError(ok.error());
        predict = *p;
    }

    auto scan = scanForOutput("tables", input, output);
    if (!scan) return fail(scan.error());
    int channel = 0;
    if (auto c = args->get("--channel")) {
        auto n = channelNumber("--channel", *c, scan->kind.channels);
        if (!n) return usageError(n.error());
        channel = *n;
    }

    auto texts = periodTextsOf(*args, *scan);
    if (!texts) return usageError(texts.error());
    TerminalProgress bar("tables");
    auto loaded = executeFor(*scan, *texts, ExecuteMode::Graph, bar.report());
    bar.finish();
    if (!loaded) return fail("tables: " + loaded.error());
    const HARMDIM& state = **loaded;
    if (!state.powersFailure().empty()) return fail("tables: " + state.powersFailure());

    std::shared_ptr<const Prediction> prediction;
    if (predict) {
        auto run = UpstreamPrediction(state, channel, *predict);
        if (!run) return fail("tables: " + run.error());
        prediction = *run;
    }
    if (auto written = writeJsonFile(output, state, prediction.get()); !written)
        return fail("tables: " + written.error());
    return 0;
}

}  // namespace hg::cli
