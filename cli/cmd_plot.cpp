// harmograph plot FILE --item CODE (--group CODE | --orders LIST) [--channel N] [--start T]
//   [--end T] [--size WxH] [--message TEXT] [--transformer C,X,U] [--axis LOW,HIGH,STEP]
//   [--compare FILE2 [--compare-start T] [--compare-end T] [--align day|week]]
//   [--encoding cp932|utf-8] -o OUT.png|OUT.svg|OUT.pdf|OUT.csv
// The graph the graph window draws for that selection, at that picture size, as a PNG image, an
// SVG drawing or a one-page PDF, with the value axis set by hand and a second period drawn dashed
// over it; or its curves as the graph window's CSV保存 writes them (every record of the period, in
// code page 932 or UTF-8). Runs without a display (the offscreen platform unless one is set).
#include <QGuiApplication>
#include <charconv>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
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
#include "graph/axis_by_hand.h"
#include "graph/comparison.h"
#include "graph/curve_export.h"
#include "graph/graph_composition.h"
#include "graph/graph_selection.h"
#include "graph/graph_view.h"
#include "graph/shown_range.h"
#include "platform/csv_text.h"
#include "platform/file_identity.h"
#include "platform/output.h"
#include "platform/qt/picture_file.h"
#include "platform/qt/qpainter_canvas.h"
#include "print/job_title.h"

namespace hg::cli {

namespace {

constexpr int kMaxPictureSide = 10000;

// The group list text of a group code 1..8 (the ranges of 256-order files go by --orders).
std::optional<std::string> groupText(int code, int maxOrderIndex) {
    const std::vector<std::string> list = groupListOf(maxOrderIndex);
    if (code >= 1 && code <= 5) return list[static_cast<std::size_t>(code - 1)];
    if (code >= 6 && code <= 8) return list[list.size() - static_cast<std::size_t>(9 - code)];
    return std::nullopt;
}

// What the command line asks to plot, before the recording is read.
struct PlotOptions {
    std::string input;
    std::string output;
    std::optional<PictureForm> form;  // none: the curves as CSV
    TextEncoding encoding = TextEncoding::Cp932;
    int item = 0;
    int width = 1000;
    int height = 630;
    TransformerParameters transformer;
    std::optional<AxisByHand> axis;
    Alignment alignment = Alignment::Day;
};

// "LOW,HIGH,STEP" of --axis.
Result<AxisByHand> axisOption(const std::string& text) {
    const std::size_t a = text.find(','), b = text.find(',', a == std::string::npos ? a : a + 1);
    if (a == std::string::npos || b == std::string::npos)
        return Error{"--axis takes LOW,HIGH,STEP, not \"" + text + "\""};
    auto axis = axisByHand(text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(b + 1));
    if (!axis) return Error{"--axis: " + axis.error()};
    return axis;
}

// Reads the options; a refusal is returned as its exit code.
std::optional<int> readPlotOptions(const Args& args, PlotOptions& o) {
    if (args.positional.size() != 1 || !args.has("-o") || !args.has("--item"))
        return usageOf("plot");
    o.input = args.positional[0];
    o.output = *args.get("-o");
    o.form = pictureFormOf(o.output);
    if (!o.form && !isCsvName(o.output))
        return usageError("-o must name a .png, .svg, .pdf or .csv file");
    auto encoding = csvEncoding(args);
    if (!encoding) return usageError(encoding.error());
    o.encoding = *encoding;
    if (args.has("--group") && args.has("--orders"))
        return usageError("give --group or --orders, not both");
    auto item = wholeNumber<int>("--item", *args.get("--item"), 1, 23);
    if (!item) return usageError(item.error());
    o.item = *item;
    if (auto s = args.get("--size")) {
        auto size = pictureSize("--size", *s, kMinGraphPicture, kMaxPictureSide);
        if (!size) return usageError(size.error());
        std::tie(o.width, o.height) = *size;
    }
    if (auto t = args.get("--transformer")) {
        auto p = transformerOption("--transformer", *t);
        if (!p) return usageError(p.error());
        if (auto ok = checkTransformerParameters(*p); !ok) return usageError(ok.error());
        o.transformer = *p;
    }
    if (auto a = args.get("--axis")) {
        auto axis = axisOption(*a);
        if (!axis) return usageError(axis.error());
        o.axis = *axis;
    }
    if (auto align = args.get("--align")) {
        const auto alignment = alignmentNamed(*align);
        if (!alignment) return usageError("--align takes day or week");
        o.alignment = *alignment;
    }
    if (!args.has("--compare") &&
        (args.has("--compare-start") || args.has("--compare-end") || args.has("--align")))
        return usageError("--compare-start, --compare-end and --align go with --compare");
    return std::nullopt;
}

// The period compared, loaded: the whole of FILE2 unless --compare-start/--compare-end say
// otherwise; a recording of another kind is refused, and so is an output that is FILE2.
Result<std::shared_ptr<const HARMDIM>> loadComparison(const Args& args, const PlotOptions& o,
                                                      const HARMDIM& main) {
    const std::string other = *args.get("--compare");
    if (sameExistingFile(other, o.output))
        return Error{"plot: the output would overwrite the recording " + o.output};
    PeriodTexts period;
    for (const auto& [option, date, time] :
         {std::tuple{"--compare-start", &period.startDate, &period.startTime},
          std::tuple{"--compare-end", &period.endDate, &period.endTime}}) {
        if (auto t = args.get(option)) {
            auto parts = splitPeriodText(option, *t);
            if (!parts) return Error{parts.error()};
            *date = parts->first;
            *time = parts->second;
        }
    }
    auto loaded = loadComparedPeriod(other, period, main);
    if (!loaded) return Error{"--compare: " + loaded.error()};
    return loaded;
}

// The item must be one the file's kind offers, with the orders it needs.
std::optional<int> checkItemOffered(const Args& args, int item, const FileKind& kind) {
    if (itemTextOf(item).empty() || !itemOfferedFor(item, kind.family))
        return usageError("item " + std::to_string(item) + " is not offered for a \"" + kind.text +
                          "\" file");
    const ItemChoice choice = itemInfo(item)->choice;
    const bool chooses = choice == ItemChoice::OrderGroups || choice == ItemChoice::PerPhaseGroups;
    if (chooses && !args.has("--group") && !args.has("--orders"))
        return usageError("item " + std::to_string(item) + " needs --group or --orders");
    return std::nullopt;
}

// The selection, made as in the window: the channel, the group or the orders by hand, then the
// item.
std::optional<int> selectAsTheWindow(const Args& args, const HARMDIM& state, int item,
                                     GraphSelection& selection) {
    int channel = 0;
    if (auto c = args.get("--channel")) {
        auto n = channelNumber("--channel", *c, state.ChannelCount);
        if (!n) return usageError(n.error());
        channel = *n;
    }
    selection.chooseChannel(channel);
    if (auto g = args.get("--group")) {
        auto code = wholeNumber<int>("--group", *g, 1, 8);
        if (!code) return usageError(code.error());
        selection.chooseGroup(*groupText(*code, state.MaxOrderIndex));
    } else if (auto list = args.get("--orders")) {
        auto orders = orderList("--orders", *list, state.Kind);
        if (!orders) return usageError(orders.error());
        if (orders->size() > static_cast<std::size_t>(kMaxCheckedOrders))
            return usageError("at most five orders are drawn");
        selection.chooseGroup(*groupText(8, state.MaxOrderIndex));
        for (int order : *orders) selection.setOrder((order - 1) / state.Kind.orderStep(), true);
    }
    selection.chooseItem(itemTextOf(item));
    if (selection.checkedCount() == 0)
        return fail("no order of the selection can be drawn for this item");
    return std::nullopt;
}

int drawPicture(const PlotOptions& o, const HARMDIM& state, const GraphRequest& request) {
    GraphDrawing drawing;
    const PictureOutcome written = writePicture(
        QString::fromStdString(o.output), *o.form, o.width, o.height,
        QString::fromStdString(printJobTitle(state.FilePath, {static_cast<int16_t>(o.item)})),
        [&](Canvas& canvas, bool first) {  // painted in two halves at once
            const GraphDrawing drawn = composeGraph(canvas, state, request);
            if (first) drawing = drawn;
            return drawn.outcome == GraphOutcome::Drawn;
        });
    if (written.result != PictureResult::Written) {
        if (drawing.outcome == GraphOutcome::NoOrders)
            return fail("no order of the selection can be drawn for this item");
        return fail(written.result == PictureResult::NotDrawn
                        ? "cannot draw " + o.output
                        : "cannot write " + o.output + ": " + written.cause);
    }
    std::cout << shownText(o.output) << ": " << drawing.title << ", " << drawing.curves << " curve"
              << (drawing.curves == 1 ? "" : "s") << ", " << o.width << "x" << o.height << "\n";
    return kExitSuccess;
}

// The curves of the whole period as CSV.
int writeCurves(const PlotOptions& o, const HARMDIM& state, const GraphRequest& request) {
    if (auto ok = writeCsvFile(o.output, curvesCsv(state, request, wholePeriod(state)), o.encoding);
        !ok)
        return fail(ok.error());
    const std::size_t curves = drawnCurves(state, request).size();
    std::cout << shownText(o.output) << ": " << request.itemName << ", " << curves << " curve"
              << (curves == 1 ? "" : "s") << ", " << recordsIn(state, wholePeriod(state)).count()
              << " records\n";
    return kExitSuccess;
}

}  // namespace

int plot(int argc, char** argv) {
    auto args = parseArgs(argc, argv, 2,
                          {"--item", "--group", "--orders", "--channel", "--start", "--end",
                           "--size", "--message", "--transformer", "--axis", "--compare",
                           "--compare-start", "--compare-end", "--align", "--encoding", "-o"},
                          {});
    if (!args) return usageError(args.error());
    PlotOptions o;
    if (auto refused = readPlotOptions(*args, o)) return *refused;

    auto scan = scanForOutput("plot", o.input, o.output);
    if (!scan) return fail(scan.error());
    if (auto refused = checkItemOffered(*args, o.item, scan->kind)) return *refused;
    auto texts = periodTextsOf(*args, *scan);
    if (!texts) return usageError(texts.error());
    auto loaded = executeFor(*scan, *texts, ExecuteMode::Graph);
    if (!loaded) return fail(loaded.error());
    const HARMDIM& state = **loaded;

    GraphView view(state);
    view.setTransformer(o.transformer);
    if (auto refused = selectAsTheWindow(*args, state, o.item, view.selection())) return *refused;
    if (auto ok = view.preparePrediction(); !ok) return fail(ok.error());
    view.setAxisByHand(o.axis);
    if (args->has("--compare")) {
        auto compared = loadComparison(*args, o, state);
        if (!compared) return fail(compared.error());
        view.setComparison(*compared, o.alignment);
    }

    const GraphRequest request = view.request(args->get("--message").value_or(""));
    if (auto failed = tablesFailureFor(state, o.item); !failed.empty()) return fail(failed);
    if (!o.form) return writeCurves(o, state, request);
    const auto app = paintingApplication();
    return drawPicture(o, state, request);
}

}  // namespace hg::cli
