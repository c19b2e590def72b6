// harmograph report FILE --limits NAME [--contract-kw P] [--measured-kv V] [--channel N]
//   [--start T] [--end T] -o OUT.pdf|OUT.csv|OUT.json
// The compliance of the period with a limit set: the period is loaded as for a graph, each order
// (and the total) is judged on the set's statistic, the judged rows are printed on stdout as a
// table, and the whole report is written as the output's extension says: the A4 report sheet
// (PDF), a CSV file (code page 932, CR LF) or JSON for machines.
// Current-per-kW sets need --contract-kw; --measured-kv is the nominal voltage at the measuring
// point (the set's receiving voltage when absent); --channel chooses the current (0-based, the
// last being the composite, which is the default). Voltage sets have no channel: --channel,
// --contract-kw and --measured-kv are not used by them.
#include <QGuiApplication>
#include <QString>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <iostream>
#include <optional>
#include <string>
#include <tuple>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/graph_load.h"
#include "cli/help.h"
#include "cli/limit_sets.h"
#include "cli/painting_app.h"
#include "compliance/compliance_text.h"
#include "platform/output.h"
#include "platform/qt/pdf_sheet.h"
#include "platform/textcode.h"
#include "print/compliance_report.h"

namespace hg::cli {

namespace {

enum class Form { Pdf, Csv, Json };

std::optional<Form> formOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return std::nullopt;
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == "pdf") return Form::Pdf;
    if (ext == "csv") return Form::Csv;
    if (ext == "json") return Form::Json;
    return std::nullopt;
}

Status readOptions(const Args& args, ComplianceOptions& options, std::optional<int>& channel) {
    for (const auto& [option, target, range, what] :
         {std::tuple{"--contract-kw", &options.contractKw, kContractKwRange,
                     "kW of contract power"},
          std::tuple{"--measured-kv", &options.measuredKv, kMeasuredKvRange,
                     "kV at the measuring point"}}) {
        if (!args.has(option)) continue;
        auto v = positiveNumber(option, *args.get(option));
        if (!v) return Error{v.error()};
        if (!withinRange(*v, range))
            return Error{std::string(option) + " needs a physically possible value, " +
                         rangeText(range) + " " + what + ", not \"" + *args.get(option) + "\""};
        *target = *v;
    }
    if (auto c = args.get("--channel")) {
        auto n = wholeNumber<int>("--channel", *c, 0, 9);
        if (!n) return Error{n.error()};
        channel = *n;
    }
    return success();
}

// The sheet as a one-page A4 portrait PDF.
Status writePdf(const std::string& output, const ComplianceReport& report) {
    const auto app = paintingApplication();
    return writePdfSheet(output, false, QStringLiteral("harmograph – 適合判定"),
                         [&](Canvas& canvas) { drawComplianceReport(canvas, report); });
}

Status writeReport(const std::string& output, Form form, const ComplianceReport& report) {
    switch (form) {
        case Form::Json:
            return writeWholeFile(output, complianceJson(report));
        case Form::Csv: {
            auto bytes = encodeText(complianceCsv(report), TextEncoding::Cp932);
            if (!bytes) return Error{bytes.error()};
            return writeWholeFile(output, *bytes);
        }
        case Form::Pdf:
            return writePdf(output, report);
    }
    return success();
}

}  // namespace

int report(int argc, char** argv) {
    auto args = parseArgs(
        argc, argv, 2,
        {"--limits", "--contract-kw", "--measured-kv", "--channel", "--start", "--end", "-o"}, {});
    if (!args) return usageError(args.error());
    if (args->positional.size() != 1 || !args->has("-o") || !args->has("--limits"))
        return usageOf("report");
    const std::string& input = args->positional[0];
    const std::string output = *args->get("-o");
    const auto form = formOf(output);
    if (!form) return usageError("the output is OUT.pdf, OUT.csv or OUT.json, not " + output);
    ComplianceOptions options;
    std::optional<int> channel;
    if (auto ok = readOptions(*args, options, channel); !ok) return usageError(ok.error());

    const LimitCatalogue catalogue = loadCatalogue(argv[0]);
    auto chosen = catalogue.choose(*args->get("--limits"));
    if (!chosen) return fail("report: " + chosen.error());
    const LimitSet* set = *chosen;

    auto scan = scanForOutput("report", input, output);
    if (!scan) return fail(scan.error());
    const int channels = scan->kind.channels;
    if (channel && (*channel < 0 || *channel > channels))
        return usageError("--channel is 0.." + std::to_string(channels) + " for " +
                          scan->kind.text + " with " + std::to_string(channels) +
                          " channel(s) (the last is the composite)");
    options.channel = static_cast<int16_t>(channel.value_or(channels));

    auto texts = periodTextsOf(*args, *scan);
    if (!texts) return usageError(texts.error());
    auto loaded = executeFor(*scan, *texts, ExecuteMode::Graph);
    if (!loaded) return fail("report: " + loaded.error());
    const HARMDIM& state = **loaded;

    auto rows = complianceRows(*set, statisticsSourceOf(state), options);
    if (!rows) return fail("report: " + rows.error());
    ComplianceReport report{scan->fullPath,
                            state.AnalysisStart,
                            state.AnalysisEnd,
                            state.LoadedRecords,
                            state.ChannelCount,
                            *set,
                            options,
                            std::move(*rows),
                            {}};
    setMaxTimes(report, state.RecordX, state.AnalysisStart, state.PeriodMinutes);

    if (auto written = writeReport(output, *form, report); !written)
        return fail("report: " + written.error());
    std::cout << complianceTable(report);
    return 0;
}

}  // namespace hg::cli
