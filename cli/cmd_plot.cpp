// harmograph plot FILE --item CODE (--group CODE | --orders LIST) [--channel N] [--start T]
//   [--end T] [--size WxH] [--message TEXT] [--transformer C,X,U] -o OUT.png|OUT.svg|OUT.pdf
// The graph the graph window draws for that selection, at that picture size, as a PNG image, an
// SVG drawing or a one-page PDF. Runs without a display (the offscreen platform unless one is set).
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
#include "analysis/load.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/graph_load.h"
#include "datafile/record_file.h"
#include "datafile/scan.h"
#include "graph/graph_composition.h"
#include "graph/graph_selection.h"
#include "graph/graph_view.h"
#include "graph/items.h"
#include "graph/upstream_prediction.h"
#include "platform/output.h"
#include "platform/qt/picture_file.h"
#include "platform/qt/qpainter_canvas.h"
#include "print/job_title.h"

namespace hg::cli {

namespace {

constexpr const char* kUsage =
    "plot: usage: harmograph plot FILE --item CODE (--group CODE | --orders LIST) [--channel N] "
    "[--start \"yy/mm/dd hh:mm\"] [--end \"yy/mm/dd hh:mm\"] [--size WxH] [--message TEXT] "
    "[--transformer C,X,U] -o OUT.png|OUT.svg|OUT.pdf";

constexpr int kMaxPictureSide = 10000;

Result<int> wholeNumber(const std::string& option, std::string_view text, int min, int max) {
    int n = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), n);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || text.empty() || n < min ||
        n > max)
        return Error{option + " takes a whole number from " + std::to_string(min) + " to " +
                     std::to_string(max) + ", not \"" + std::string(text) + "\""};
    return n;
}

Result<std::pair<int, int>> parseSize(const std::string& text) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return Error{"--size takes WxH, e.g. 1920x1080"};
    auto w = wholeNumber("--size", std::string_view(text).substr(0, x), kMinGraphPicture,
                         kMaxPictureSide);
    if (!w) return Error{w.error()};
    auto h = wholeNumber("--size", std::string_view(text).substr(x + 1), kMinGraphPicture,
                         kMaxPictureSide);
    if (!h) return Error{h.error()};
    return std::make_pair(*w, *h);
}

// Order numbers "1,3,5-9" (or "all") as order indexes of the file; an order the file does not
// hold is refused.
Result<std::vector<int>> parseOrders(const std::string& text, const FileKind& kind) {
    std::vector<int> indexes;
    auto add = [&](int order) -> Status {
        const int step = kind.orderStep();
        if (order < 1 || order > kind.orderOf(kind.maxOrderIndex) || (order - 1) % step != 0)
            return Error{"order " + std::to_string(order) + " is not in this file (orders " +
                         (step == 2 ? std::string("1, 3 .. 49") : std::string("1 .. 256")) + ")"};
        indexes.push_back((order - 1) / step);
        return success();
    };
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view part = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        const std::size_t dash = part.find('-');
        auto first = wholeNumber("--orders", part.substr(0, dash), 1, 256);
        if (!first) return Error{first.error()};
        int last = *first;
        if (dash != std::string_view::npos) {
            auto l = wholeNumber("--orders", part.substr(dash + 1), 1, 256);
            if (!l) return Error{l.error()};
            last = *l;
        }
        for (int order = *first; order <= last; order += kind.orderStep())
            if (auto ok = add(order); !ok) return Error{ok.error()};
    }
    if (indexes.empty()) return Error{"--orders names no order"};
    return indexes;
}

// The group list text of a group code 1..8 (the ranges of 256-order files go by --orders).
std::optional<std::string> groupText(int code, int maxOrderIndex) {
    const std::vector<std::string> list = groupListOf(maxOrderIndex);
    if (code >= 1 && code <= 5) return list[static_cast<std::size_t>(code - 1)];
    if (code >= 6 && code <= 8) return list[list.size() - static_cast<std::size_t>(9 - code)];
    return std::nullopt;
}

}  // namespace

int plot(int argc, char** argv) {
    auto args = parseArgs(argc, argv, 2,
                          {"--item", "--group", "--orders", "--channel", "--start", "--end",
                           "--size", "--message", "--transformer", "-o"},
                          {});
    if (!args) return fail("plot: " + args.error());
    if (args->positional.size() != 1 || !args->has("-o") || !args->has("--item"))
        return fail(kUsage);
    const std::string& input = args->positional[0];
    const std::string output = *args->get("-o");
    const auto form = pictureFormOf(output);
    if (!form) return fail("plot: -o must name a .png, .svg or .pdf file");
    if (args->has("--group") && args->has("--orders"))
        return fail("plot: give --group or --orders, not both");

    auto item = wholeNumber("--item", *args->get("--item"), 1, 23);
    if (!item) return fail("plot: " + item.error());
    int width = 1000, height = 630;
    if (auto s = args->get("--size")) {
        auto size = parseSize(*s);
        if (!size) return fail("plot: " + size.error());
        std::tie(width, height) = *size;
    }
    TransformerParameters transformer;
    if (auto t = args->get("--transformer")) {
        auto p = transformerOption("--transformer", *t);
        if (!p) return fail("plot: " + p.error());
        if (auto ok = checkTransformerParameters(*p); !ok) return fail("plot: " + ok.error());
        transformer = *p;
    }

    auto scan = scanForOutput("plot", input, output);
    if (!scan) return fail(scan.error());

    // The item must be one the file's kind offers.
    const std::string_view itemText = itemTextOf(*item);
    if (itemText.empty() || !itemOfferedFor(*item, scan->kind.family))
        return fail("plot: item " + std::to_string(*item) + " is not offered for a \"" +
                    scan->kind.text + "\" file");
    if (!itemInfo(*item)->fixedSeries && !args->has("--group") && !args->has("--orders"))
        return fail("plot: item " + std::to_string(*item) + " needs --group or --orders");

    auto texts = periodTextsOf(*args, *scan);
    if (!texts) return fail("plot: " + texts.error());
    HARMDIM state;
    if (auto loaded = prepareAndLoad(state, *scan, *texts, ExecuteMode::Graph); !loaded)
        return fail("plot: " + loaded.error());

    int channel = 0;
    if (auto c = args->get("--channel")) {
        auto n = wholeNumber("--channel", *c, 0, state.ChannelCount);
        if (!n)
            return fail("plot: " + n.error() + " (0 = 1ch .. " +
                        std::to_string(state.ChannelCount) + " = composite)");
        channel = *n;
    }

    // The selection, made as in the window: the item, then the group or the orders by hand.
    GraphView view(state);
    view.setTransformer(transformer);
    GraphSelection& selection = view.selection();
    selection.chooseChannel(channel);
    if (auto g = args->get("--group")) {
        auto code = wholeNumber("--group", *g, 1, 8);
        if (!code) return fail("plot: " + code.error());
        selection.chooseGroup(*groupText(*code, state.MaxOrderIndex));
    } else if (auto list = args->get("--orders")) {
        auto orders = parseOrders(*list, state.Kind);
        if (!orders) return fail("plot: " + orders.error());
        if (orders->size() > static_cast<std::size_t>(kMaxCheckedOrders))
            return fail("plot: at most five orders are drawn");
        selection.chooseGroup(*groupText(8, state.MaxOrderIndex));
        for (int k : *orders) selection.setOrder(k, true);
    }
    selection.chooseItem(itemText);
    if (selection.checkedCount() == 0)
        return fail("plot: no order of the selection can be drawn for this item");

    if (auto ok = view.preparePrediction(); !ok) return fail("plot: " + ok.error());

    // Qt painting without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QGuiApplication> app;
    if (!QGuiApplication::instance()) {
        static int qtArgc = 1;
        static char name[] = "harmograph";
        static char* qtArgv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
    }
    installJapaneseFontSubstitutions();

    const GraphRequest request = view.request(args->get("--message").value_or(""));

    GraphDrawing drawing;
    const PictureResult written = writePicture(
        QString::fromStdString(output), *form, width, height,
        QString::fromStdString(printJobTitle(scan->fullPath, {static_cast<int16_t>(*item)})),
        [&](Canvas& canvas) {
            drawing = composeGraph(canvas, state, request);
            return drawing.outcome == GraphOutcome::Drawn;
        });
    if (written != PictureResult::Written) {
        if (drawing.outcome == GraphOutcome::NoOrders)
            return fail("plot: no order of the selection can be drawn for this item");
        return fail(written == PictureResult::NotDrawn ? "plot: cannot draw " + output
                                                       : "plot: cannot write " + output);
    }
    std::cout << output << ": " << drawing.title << ", " << drawing.curves << " curve"
              << (drawing.curves == 1 ? "" : "s") << ", " << width << "x" << height << "\n";
    return 0;
}

}  // namespace hg::cli
