// harmograph convert FILE [--start T] [--end T] [--orders LIST]
// [--voltage-angle|--no-voltage-angle]
//   [--per-phase|--no-per-phase] [--split] [--combined] [--encoding cp932|utf-8] [-o OUT]
//
// The window's CSV conversion with the dialog set from the options: the scan, Execute's
// preparation in conversion mode and the writer the dispatch chooses. Prints the files written.
#include <iostream>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/graph_load.h"
#include "csv/csv_writer.h"
#include "datafile/scan.h"

namespace hg::cli {

namespace {

std::string trim(const std::string& s) {
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

Result<int> orderNumber(const std::string& text) {
    const std::string t = trim(text);
    if (t.empty() || t.size() > 4 || t.find_first_not_of("0123456789") != std::string::npos)
        return Error{"--orders: \"" + text + "\" is not an order number"};
    return std::stoi(t);
}

// "all", or a comma list of orders and ranges ("1,3,5-9"). A range takes the orders the kind
// records within it (for the 25-order kinds the odd ones); a single order the kind does not record
// is refused.
Status readOrders(const std::string& list, const FileKind& kind, CsvOptions& options) {
    if (trim(list) == "all") return success();
    const int highest = kind.allOrders() ? 256 : 49;
    const std::string offered = kind.allOrders() ? "orders 1..256" : "odd orders 1..49 only";
    options.firstPage.fill(0);
    options.orderFlags.fill(0);
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string item = list.substr(start, comma - start);
        start = comma + 1;
        const std::size_t dash = item.find('-');
        if (dash == std::string::npos) {
            auto o = orderNumber(item);
            if (!o) return Error{o.error()};
            if (!selectOrder(options, kind, *o))
                return Error{"--orders: a " + kind.text + " recording has no order " +
                             std::to_string(*o) + " (" + offered + ")"};
            continue;
        }
        auto from = orderNumber(item.substr(0, dash));
        auto to = orderNumber(item.substr(dash + 1));
        if (!from) return Error{from.error()};
        if (!to) return Error{to.error()};
        if (*from > *to || *from < 1 || *to > highest)
            return Error{"--orders: range \"" + trim(item) + "\" is not within " + offered};
        bool any = false;
        for (int o = *from; o <= *to; ++o) any = selectOrder(options, kind, o) || any;
        if (!any)
            return Error{"--orders: range \"" + trim(item) + "\" holds no order a " + kind.text +
                         " recording has (" + offered + ")"};
    }
    return success();
}

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

}  // namespace

int convert(int argc, char** argv) {
    auto args = parseArgs(argc, argv, 2, {"--start", "--end", "--orders", "--encoding", "-o"},
                          {"--voltage-angle", "--no-voltage-angle", "--per-phase", "--no-per-phase",
                           "--split", "--combined"});
    if (!args) return fail("convert: " + args.error());
    if (args->positional.size() != 1)
        return fail(
            "convert: usage: harmograph convert FILE [--start T] [--end T] [--orders LIST] "
            "[--voltage-angle|--no-voltage-angle] [--per-phase|--no-per-phase] [--split] "
            "[--combined] [--encoding cp932|utf-8] [-o OUT]");
    const std::string& path = args->positional.front();

    auto scan = scanFile(path);
    if (!scan) return fail("convert: " + scan.error());
    for (const std::string& w : scan->warnings) std::cerr << "harmograph: " << w << "\n";
    auto period = periodTextsOf(*args, *scan);
    if (!period) return fail("convert: " + period.error());
    HARMDIM state;
    if (auto prepared = prepareAndLoad(state, *scan, *period, ExecuteMode::Convert); !prepared)
        return fail("convert: " + prepared.error());

    const FileKind& kind = state.Kind;
    const CsvOffer offer = csvOfferFor(kind);
    CsvOptions options = defaultCsvOptions(kind);
    if (auto list = args->get("--orders")) {
        auto ok = readOrders(*list, kind, options);
        if (!ok) return fail("convert: " + ok.error());
    }
    for (auto ok : {readSwitch(*args, "voltage-angle", offer.voltageAngleShown, "hv and hn",
                               options.voltageAngle),
                    readSwitch(*args, "per-phase", offer.perPhaseShown, "hv", options.perPhase)})
        if (!ok) return fail("convert: " + ok.error());
    if (args->has("--split")) {
        if (!offer.splitOffered)
            return fail("convert: --split applies to hh and hn recordings only");
        options.split = true;
    }
    if (args->has("--combined")) {
        if (!offer.combinedOffered)
            return fail("convert: --combined needs two or more current channels");
        options.combined = true;
    }
    if (auto name = args->get("--encoding")) {
        auto encoding = parseEncodingName(*name);
        if (!encoding) return fail("convert: " + encoding.error());
        options.encoding = *encoding;
    }
    const std::string out = args->get("-o").value_or(scan->csvName);

    auto report = runConversion(state, options, out);
    if (!report) return fail("convert: " + report.error());
    for (const std::string& file : report->files) std::cout << file << "\n";
    if (report->skippedRecords > 0)
        std::cerr << "harmograph: convert: " << report->skippedRecords
                  << " records without a real date and time were left out\n";
    std::cout.flush();
    return std::cout ? 0 : 1;
}

}  // namespace hg::cli
