// harmograph print FILE --layout one|set|thirds --items CODES [--channel N] [--mono] [--landscape]
//   [--paper A4|A3|B4|B5|letter] [--message TEXT] [--start T] [--end T] [--predict C,X,U] -o
//   OUT.pdf
// The printed sheet as a one-page PDF on the paper given (A4 unless told), headless.
//  - one: the one item of CODES alone on the sheet.
//  - set: up to three items stacked in the set print's order (by item code); only the items the
//    print dialog offers for the file's kind.
//  - thirds: one to three items as successive third prints filling one sheet in the order given;
//    fewer than three are ejected (no file-name line with one third).
// Orders drawn: what the graph window selects for the item on its own (overload: its three
// series; per-phase: the five phase and sequence values; unbalance: the unbalance rate), and for
// every other item the first order group "１～９次" (orders 1, 3, 5, 7 and 9, the fundamental or
// total being the first). The prediction items use the transformer of --predict, or the graph
// window's initial 10 MVA, 8.0 %, 6.6 kV, for the channel of --channel.
#include <QGuiApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/execute.h"
#include "analysis/harmdim.h"
#include "analysis/items.h"
#include "analysis/upstream_prediction.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/graph_load.h"
#include "cli/help.h"
#include "cli/painting_app.h"
#include "datafile/scan.h"
#include "graph/graph_selection.h"
#include "platform/output.h"
#include "platform/paper.h"
#include "platform/qt/print_document.h"
#include "print/job_title.h"
#include "print/print_page.h"

namespace hg::cli {

namespace {

enum class Layout { One, Set, Thirds };

Result<std::vector<int16_t>> parseItems(const std::string& text) {
    auto codes = numberList("--items", text, 1, largestItemCode());
    if (!codes) return Error{codes.error()};
    std::vector<int16_t> items;
    for (const int code : *codes) {
        if (!itemInfo(code)) return Error{"--items: no item has the code " + std::to_string(code)};
        items.push_back(static_cast<int16_t>(code));
    }
    return items;
}

// The selection a graph window makes for an item by itself, or with the first order group.
void selectOrders(PrintSource& source, const HARMDIM& state, int16_t item) {
    GraphSelection selection(state);
    if (!selection.chooseItem(itemTextOf(item)))
        selection.chooseGroup(groupListOf(state.MaxOrderIndex).front());
    source.item = selection.item();
    source.orders = selection.orders();
}

// What the command line asks to print, before the recording is read.
struct PrintOptions {
    std::string input;
    std::string output;
    std::string layoutText;
    Layout layout = Layout::One;
    std::vector<int16_t> items;
    TransformerParameters transformer;
    PageSetup page;
};

// Reads the options; a refusal is returned as its exit code.
std::optional<int> readPrintOptions(const Args& args, PrintOptions& o) {
    if (args.positional.size() != 1 || !args.has("-o") || !args.has("--layout") ||
        !args.has("--items"))
        return usageOf("print");
    o.input = args.positional[0];
    o.output = *args.get("-o");
    o.layoutText = *args.get("--layout");
    if (o.layoutText == "one") {
        o.layout = Layout::One;
    } else if (o.layoutText == "set") {
        o.layout = Layout::Set;
    } else if (o.layoutText == "thirds") {
        o.layout = Layout::Thirds;
    } else {
        return usageError("--layout is one, set or thirds, not \"" + o.layoutText + "\"");
    }
    auto items = parseItems(*args.get("--items"));
    if (!items) return usageError(items.error());
    o.items = *items;
    if (o.layout == Layout::One && o.items.size() != 1)
        return usageError("the one-sheet layout prints exactly one item");
    if (o.items.empty() || o.items.size() > 3)
        return usageError("the " + o.layoutText + " layout prints one to three items");
    if (auto t = args.get("--predict")) {
        auto p = transformerOption("--predict", *t);
        if (!p) return usageError(p.error());
        o.transformer = *p;
    }
    if (auto ok = checkTransformerParameters(o.transformer); !ok) return usageError(ok.error());
    if (auto paper = args.get("--paper")) {
        const auto named = paperNamed(*paper);
        if (!named)
            return usageError("--paper is A4, A3, B4, B5 or letter, not \"" + *paper + "\"");
        o.page.paper = *named;
    }
    o.page.landscape = args.has("--landscape");
    return std::nullopt;
}

// Every item must be one the recording's kind offers (in a set: one the set print offers).
std::optional<int> checkItemsOffered(const PrintOptions& o, const ScanResult& scan) {
    for (const int16_t item : o.items) {
        const bool offered = o.layout == Layout::Set ? setPrintAvailable(item, scan.fullPath)
                                                     : itemOfferedFor(item, scan.kind.family);
        if (!offered)
            return usageError("item " + std::to_string(item) + " cannot be printed " +
                              (o.layout == Layout::Set ? "in a set " : "") + "for a file of kind " +
                              kindText(baseName(scan.fullPath)));
    }
    return std::nullopt;
}

// The sheet of the layout, each block with the selection a graph window makes for its item.
void drawSheet(Canvas& canvas, const HARMDIM& state, const PrintOptions& o, const PrintSource& base,
               bool mono) {
    switch (o.layout) {
        case Layout::One: {
            PrintSource source = base;
            selectOrders(source, state, o.items[0]);
            printOneSheet(canvas, state, source, mono);
            break;
        }
        case Layout::Set: {
            PrintSource source = base;
            // One selection for every block: the first order group (the overload block draws
            // its three series in a set whatever is selected).
            selectOrders(source, state, kVoltageDistortion);
            source.item = o.items[0];
            printSetSheet(canvas, state, source, o.items, mono);
            break;
        }
        case Layout::Thirds:
            for (std::size_t n = 0; n < o.items.size(); ++n) {
                PrintSource source = base;
                selectOrders(source, state, o.items[n]);
                printThird(canvas, state, source, static_cast<int>(n), mono);
            }
            break;
    }
}

}  // namespace

int print(int argc, char** argv) {
    auto args = parseArgs(argc, argv, 2,
                          {"--layout", "--items", "--channel", "--message", "--start", "--end",
                           "--predict", "--paper", "-o"},
                          {"--mono", "--landscape"});
    if (!args) return usageError(args.error());
    PrintOptions o;
    if (auto refused = readPrintOptions(*args, o)) return *refused;

    auto scan = scanForOutput("print", o.input, o.output);
    if (!scan) return fail(scan.error());
    if (auto refused = checkItemsOffered(o, *scan)) return *refused;
    int channel = 0;
    if (auto c = args->get("--channel")) {
        auto n = channelNumber("--channel", *c, scan->kind.channels);
        if (!n) return usageError(n.error());
        channel = *n;
    }
    auto texts = periodTextsOf(*args, *scan);
    if (!texts) return usageError(texts.error());
    auto loaded = executeFor(*scan, *texts, ExecuteMode::Graph);
    if (!loaded) return fail(loaded.error());
    const HARMDIM& state = **loaded;

    PrintSource base = printSourceOf(state);
    base.startDate = texts->startDate;
    base.channel = static_cast<int16_t>(channel);
    base.transformer = o.transformer;
    base.paper = o.page.paper;
    if (auto m = args->get("--message")) base.message = *m;
    if (auto ok = preparePrintPrediction(state, base, o.items); !ok) return fail(ok.error());
    for (const int16_t item : o.items)
        if (auto failed = tablesFailureFor(state, item); !failed.empty()) return fail(failed);

    const auto app = paintingApplication();
    const bool mono = args->has("--mono");
    const QString title = QString::fromStdString(printJobTitle(scan->fullPath, o.items));
    if (auto written =
            writeSheetPdf(o.output, o.page, title, 1,
                          [&](Canvas& canvas, int) { drawSheet(canvas, state, o, base, mono); });
        !written)
        return fail(written.error());
    return kExitSuccess;
}

}  // namespace hg::cli
