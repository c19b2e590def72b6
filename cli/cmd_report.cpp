// harmograph report FILE --limits NAME [--contract-kw P] [--measured-kv V] [--channel N]
//   [--isc-ka I --il-a A | --isc-il R --il-a A] [--meta FILE] [--site T ...] [--encoding E]
//   [--start T] [--end T] -o OUT.pdf|OUT.csv|OUT.json
// The assessment a limit set makes of the period: the period is loaded as for a graph, turned
// into the set's values and windows and judged on each of its conditions; the overall verdict
// and the judged rows are printed on stdout, the plausibility warnings on stderr, and the whole
// report is written as the output's extension says: the A4 report sheet (PDF, as many pages as
// it needs), a CSV file (code page 932 or UTF-8, CR LF) or JSON for machines.
// Current-per-kW sets need --contract-kw; --measured-kv is the nominal voltage at the measuring
// point (the metadata's nominal voltage, else the set's receiving voltage when absent);
// current-of-demand sets need --il-a and --isc-ka or --isc-il; --channel chooses the current
// (0-based, the last being the composite, which is the default). The particulars of the sheet
// come from --meta (a JSON file) and the options named like its fields, which take precedence.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
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
#include "cli/report_pdf.h"
#include "compliance/compliance_text.h"
#include "platform/csv_text.h"
#include "platform/dates.h"
#include "platform/output.h"
#include "print/compliance_report.h"

#ifndef HARMO_VERSION
#define HARMO_VERSION "unknown"
#endif

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

std::set<std::string> valuedOptions() {
    std::set<std::string> v = {
        "--limits", "--contract-kw", "--measured-kv", "--channel", "--start", "--end",
        "-o",       "--isc-ka",      "--il-a",        "--isc-il",  "--meta",  "--encoding"};
    for (const MetaField& f : kMetaFields) v.insert(std::string(f.option));
    return v;
}

Status readOptions(const Args& args, ComplianceOptions& options, std::optional<int>& channel) {
    for (const auto& [option, target, range, what] :
         {std::tuple{"--contract-kw", &options.contractKw, kContractKwRange,
                     "kW of contract power"},
          std::tuple{"--measured-kv", &options.measuredKv, kMeasuredKvRange,
                     "kV at the measuring point"},
          std::tuple{"--isc-ka", &options.iscKa, kShortCircuitKaRange,
                     "kA of short-circuit current"},
          std::tuple{"--il-a", &options.ilA, kCurrentARange, "A of maximum demand current"},
          std::tuple{"--isc-il", &options.iscOverIl, kRatioRange, "for I_SC/I_L"}}) {
        if (!args.has(option)) continue;
        auto v = positiveNumber(option, *args.get(option));
        if (!v) return Error{v.error()};
        if (!withinRange(*v, range))
            return Error{std::string(option) + " needs a physically possible value, " +
                         rangeText(range) + " " + what + ", not \"" + *args.get(option) + "\""};
        *target = *v;
    }
    if (options.iscKa && options.iscOverIl)
        return Error{"--isc-ka and --isc-il give the same ratio: give one of them"};
    if (auto c = args.get("--channel")) {
        auto n = wholeNumber<int>("--channel", *c, 0, 9);
        if (!n) return Error{n.error()};
        channel = *n;
    }
    return success();
}

// The particulars: the --meta file's, then the options'. The ratios are printed as given (the
// recording is taken to hold primary values); the nominal voltage is the measuring voltage when
// --measured-kv is not given.
Result<ReportMeta> readMeta(const Args& args, ComplianceOptions& options) {
    ReportMeta meta;
    if (auto path = args.get("--meta")) {
        auto read = readReportMeta(*path);
        if (!read) return Error{read.error()};
        meta = *read;
    }
    for (const MetaField& f : kMetaFields)
        if (auto v = args.get(std::string(f.option))) meta.*(f.member) = *v;
    for (const auto& [ratio, option] :
         {std::pair{&meta.ctRatio, "--ct-ratio"}, std::pair{&meta.vtRatio, "--vt-ratio"}})
        if (!ratio->empty() && !ratioOf(*ratio))
            return Error{std::string(option) + " needs a ratio such as 6600/110, not \"" + *ratio +
                         "\""};
    if (!options.measuredKv && !meta.nominalKv.empty()) {
        const auto kv = ratioOf(meta.nominalKv);
        if (!kv || !withinRange(*kv, kMeasuredKvRange))
            return Error{"the nominal voltage needs " + rangeText(kMeasuredKvRange) +
                         " kV, not \"" + meta.nominalKv + "\""};
        options.measuredKv = *kv;
    }
    return meta;
}

// Now, as a date-time of the local clock.
double issuedNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);  // one thread: the static result is safe
    const auto day = dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return dateTime(day.value_or(0), local.tm_hour * 60 + local.tm_min);
}

Status writeReport(const std::string& output, Form form, const ComplianceReport& report,
                   TextEncoding encoding) {
    switch (form) {
        case Form::Json:
            return writeWholeFile(output, complianceJson(report));
        case Form::Csv:
            return writeCsvFile(output, complianceCsv(report), encoding);
        case Form::Pdf:
            return writeReportPdf(output, report);
    }
    return success();
}

}  // namespace

int report(int argc, char** argv) {
    auto args = parseArgs(argc, argv, 2, valuedOptions(), {});
    if (!args) return usageError(args.error());
    if (args->positional.size() != 1 || !args->has("-o") || !args->has("--limits"))
        return usageOf("report");
    const std::string& input = args->positional[0];
    const std::string output = *args->get("-o");
    const auto form = formOf(output);
    if (!form) return usageError("the output is OUT.pdf, OUT.csv or OUT.json, not " + output);
    // A build that cannot draw says so before any work, and before any warning of the period.
    if (*form == Form::Pdf && !reportPdfAvailable()) return fail(reportPdfUnavailable());
    ComplianceOptions options;
    std::optional<int> channel;
    if (auto ok = readOptions(*args, options, channel); !ok) return usageError(ok.error());
    auto encoding = csvEncoding(*args);
    if (!encoding) return usageError(encoding.error());
    auto meta = readMeta(*args, options);
    if (!meta) return usageError(meta.error());

    const LimitCatalogue catalogue = loadCatalogue(argv[0]);
    auto chosen = catalogue.choose(*args->get("--limits"));
    if (!chosen) return fail("report: " + chosen.error());
    const LimitSet& set = **chosen;

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
    if (!state.powersFailure().empty()) return fail("report: " + state.powersFailure());

    auto assessment = assess(
        set, basisInputOf(state, 0, state.LoadedRecords, state.AnalysisStart, state.AnalysisEnd),
        options);
    if (!assessment) return fail("report: " + assessment.error());
    const ComplianceReport report{scan->fullPath,
                                  state.AnalysisStart,
                                  state.AnalysisEnd,
                                  state.LoadedRecords,
                                  state.ChannelCount,
                                  set,
                                  options,
                                  *meta,
                                  std::move(*assessment),
                                  HARMO_VERSION,
                                  issuedNow()};
    for (const std::string& w : report.assessment.warnings) warn("警告: " + w);
    if (auto written = writeReport(output, *form, report, *encoding); !written)
        return fail("report: " + written.error());
    std::cout << complianceTable(report);
    return 0;
}

}  // namespace hg::cli
