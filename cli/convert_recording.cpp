#include "cli/convert_recording.h"

#include <exception>

#include "analysis/harmdim.h"
#include "cli/graph_load.h"
#include "csv/csv_writer.h"

namespace hg::cli {

const std::set<std::string> kConvertValued = {"--start",    "--end",  "--orders",
                                              "--encoding", "--jobs", "-o"};
const std::set<std::string> kConvertFlags = {"--voltage-angle", "--no-voltage-angle",
                                             "--per-phase",     "--no-per-phase",
                                             "--split",         "--combined"};

namespace {

// A --name / --no-name pair over a dialog box the kind may not offer.
Status readSwitch(const Args& a, const std::string& name, bool offered, const std::string& kinds,
                  bool& value) {
    const bool on = a.has("--" + name), off = a.has("--no-" + name);
    if (on && off) return Error{"--" + name + " and --no-" + name + " contradict each other"};
    if ((on || off) && !offered)
        return Error{"--" + name + " applies to " + kinds + " recordings only"};
    if (on) value = true;
    if (off) value = false;
    return success();
}

// The dialog set from the options, for a recording of `kind`.
Result<CsvOptions> optionsFor(const Args& args, const FileKind& kind) {
    const CsvOffer offer = csvOfferFor(kind);
    CsvOptions options = defaultCsvOptions(kind);
    if (auto list = args.get("--orders")) {
        auto orders = orderList("--orders", *list, kind);
        if (!orders) return Error{orders.error()};
        if (trimmed(*list) != "all") {  // "all" keeps the defaults: every order
            options.firstPage.fill(0);
            options.orderFlags.fill(0);
            for (int order : *orders) selectOrder(options, kind, order);
        }
    }
    for (auto ok : {readSwitch(args, "voltage-angle", offer.voltageAngleShown, "hv and hn",
                               options.voltageAngle),
                    readSwitch(args, "per-phase", offer.perPhaseShown, "hv", options.perPhase)})
        if (!ok) return Error{ok.error()};
    if (args.has("--split") && !offer.splitOffered)
        return Error{"--split applies to hh and hn recordings only"};
    if (args.has("--combined") && !offer.combinedOffered)
        return Error{"--combined needs two or more current channels"};
    options.split = args.has("--split");
    options.combined = args.has("--combined");
    auto encoding = csvEncoding(args);
    if (!encoding) return Error{encoding.error()};
    options.encoding = *encoding;
    return options;
}

Conversion convert(const Args& args, const ScanResult& scan, const std::string& out,
                   const ProgressFn& progress) {
    Conversion c;
    auto period = periodTextsOf(args, scan);
    if (!period) {
        c.usage = true;
        c.error = period.error();
        return c;
    }
    auto prepared = executeFor(scan, *period, ExecuteMode::Convert);
    if (!prepared) {
        c.error = prepared.error();
        return c;
    }
    const HARMDIM& state = **prepared;
    auto options = optionsFor(args, state.Kind);
    if (!options) {
        c.usage = true;
        c.error = options.error();
        return c;
    }
    auto report = runConversion(state, *options, out, progress);
    if (!report) {
        c.error = report.error();
        return c;
    }
    c.files = report->files;
    c.lines = report->lines;
    c.skippedRecords = report->skippedRecords;
    return c;
}

}  // namespace

std::vector<std::string> conversionOutputs(const Args& args, const ScanResult& scan,
                                           const std::string& out) {
    auto options = optionsFor(args, scan.kind);
    if (!options) return {out};
    return csvOutputPaths(scan.kind, *options, out);
}

Conversion convertRecording(const Args& args, const ScanResult& scan, const std::string& out,
                            const ProgressFn& progress) {
    try {
        return convert(args, scan, out, progress);
    } catch (const std::exception& e) {
        Conversion c;
        c.error = std::string("the conversion stopped: ") + e.what();
        return c;
    }
}

}  // namespace hg::cli
