#include "print/print_page.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "analysis/items.h"
#include "analysis/series_value.h"
#include "datafile/record_format.h"
#include "graph/curve_rules.h"
#include "graph/date_labels.h"
#include "graph/footer_text.h"
#include "graph/graph_selection.h"
#include "graph/limit_overlay.h"
#include "graph/time_grid.h"
#include "graph/value_axis.h"
#include "graph/zoomed_graph.h"
#include "platform/classic.h"
#include "platform/dates.h"
#include "platform/numtext.h"

namespace hg {

namespace {

constexpr int kBlack = 0;
constexpr int kGrey = 8;
constexpr double kBlockFontSize = 12;
constexpr double kMarkFontSize = 10;
constexpr double kMinuteLabelFontSize = 9;
constexpr double kHeaderFontSize = 8;
constexpr double kSetDateFontSize = 10;

int16_t blockItem(int16_t item) {
    return seriesItem(item);
}

// The series of a block: the order indexes drawn, in drawing order. In a set print the overload
// block draws its three series whatever is selected.
std::vector<int> blockSeries(const HARMDIM& state, const PrintSource& source, int16_t item,
                             bool setMode) {
    std::vector<int> series;
    const int last = std::min<int>(lastSeriesOf(item, state.MaxOrderIndex), kJisuFlagCount - 1);
    for (int s = 0; s <= last; ++s)
        if ((item == kOverload && setMode) || source.orders[static_cast<std::size_t>(s)] == 1)
            series.push_back(s);
    return series;
}

double roundedHeight(double y) {
    return roundHalfEven(y);
}

void drawValueGrid(Canvas& canvas, const ValueAxis& axis, int16_t X, int16_t Y) {
    const double scale = axis.scale(kBlockHeight);
    const auto height = [&](double v) { return roundedHeight(Y + (v - axis.top) * scale); };
    canvas.setFont(kGothicFont, kBlockFontSize);
    canvas.setForeColor(Colour::palette(kBlack));
    canvas.setLineStyle(LineStyle::Solid);
    canvas.box(X, Y, X + kBlockWidth, Y + kBlockHeight, Colour::palette(kBlack));

    const double y0 = height(axis.base);
    canvas.line(X, y0, X + kBlockWidth, y0, Colour::palette(kBlack));
    PrinterText(canvas, 100, y0 - 10, labelNumber(axis.base), kBlack);

    const auto gridLine = [&](const GridLevel& level) {
        const double y = height(level.at);
        canvas.setLineStyle(LineStyle::Dotted);
        canvas.line(X, y, X + kBlockWidth, y, Colour::palette(kBlack));
        PrinterText(canvas, 100, y - 8, labelNumber(level.label), kBlack);
    };
    for (const GridLevel& level : gridLevelsUp(axis, AxisStyle::Paper)) gridLine(level);
    for (const GridLevel& level : gridLevelsDown(axis, AxisStyle::Paper)) gridLine(level);
    canvas.setLineStyle(LineStyle::Solid);
}

void drawMarks(Canvas& canvas, int16_t item, int16_t X, int16_t Y) {
    canvas.setFontSize(kMarkFontSize);
    PrinterText(canvas, X + kBlockWidth + 30, Y + kBlockHeight - 20, "時", kBlack);
    if (const auto marks = leadLagMarks(item)) {
        PrinterText(canvas, 100, Y + 530, marks->below, kBlack);
        PrinterText(canvas, 100, Y - 50, marks->above, kBlack);
    }
}

// The time grid with black midnight and labelled hour lines, in the block's font size.
void drawTimeAxis(Canvas& canvas, const HARMDIM& state, const SeriesScale& scale, int16_t X,
                  int16_t Y) {
    canvas.setFontSize(kBlockFontSize);
    TimeGridStyle style;
    style.left = X;
    style.top = Y;
    style.height = kBlockHeight;
    style.unitsPerMinute = scale.shown ? scale.unitsPerMinute : unitsPerMinute(state, kBlockWidth);
    style.shown = scale.shown;
    style.markedHourLine = Colour::palette(kBlack);
    style.hourLine = Colour::palette(kGrey);
    style.labelShiftPerDigit = 12;
    style.minuteLabelFontSize = kMinuteLabelFontSize;
    drawTimeGrid(canvas, state, style);
}

}  // namespace

PrintSource printSourceOf(const HARMDIM& state) {
    PrintSource source;
    source.filePath = state.FilePath;
    source.startDate = formatYyMmDdWeekday(state.AnalysisStart);
    return source;
}

PrintSource printSourceOf(const HARMDIM& state, const GraphView& view) {
    PrintSource source = printSourceOf(state);
    const GraphSelection& selection = view.selection();
    source.item = selection.item();
    source.channel = selection.channel();
    source.orders = selection.orders();
    source.message = view.message();
    source.transformer = view.transformer();
    source.prediction = view.prediction();
    source.range = view.range();
    if (const LimitSet* set = view.limitSet()) source.limits = *set;
    source.contractKw = view.contractKw();
    source.axisByHand = view.axisByHand();
    return source;
}

std::string_view setPrintCaption(int index) {
    const ItemInfo* info = itemInfo(index + 1);
    return info ? info->paperTitle : std::string_view{};
}

bool setPrintAvailable(int16_t item, std::string_view filePath) {
    const ItemInfo* info = itemInfo(item);
    if (!info || info->paperTitle.empty()) return false;
    if (info->offer == KindOffer::Every) return true;
    const auto kind = kindFromName(baseName(filePath), std::nullopt);
    return kind && itemOfferedFor(item, kind->family);
}

std::string printItemName(int16_t item, const std::array<int16_t, kJisuFlagCount>& orders) {
    const ItemInfo* info = itemInfo(item);
    if (info && info->series == SeriesSet::PerPhase) {
        // A per-phase item is named for what it draws: its values, or its unbalance view.
        const bool unbalance = orders[kUnbalanceSeries] == 1;
        return std::string(
            itemTextOf(unbalance ? unbalanceViewOf(info->seriesCode) : info->seriesCode));
    }
    return std::string(setPrintCaption(item - 1));
}

void PrinterText(Canvas& canvas, double x, double y, std::string_view text, int colour) {
    canvas.setForeColor(Colour::palette(colour));
    canvas.moveTo(static_cast<float>(x), static_cast<float>(y));
    canvas.textAtCurrent(text);
}

double PrintSeries(Canvas& canvas, const HARMDIM& state, int16_t item, int32_t rec, int series,
                   const SeriesScale& scale, double& previous, bool draw, int colour) {
    const auto position = [&](double v) {
        return scale.topEdge + (v - scale.topValue) * scale.verticalScale;
    };
    const SeriesValue sv =
        seriesValue(state, item, rec, series, scale.channel, scale.factor, scale.prediction);
    if (sv.atTopEdge) return scale.topEdge;
    const double v = sv.value;
    if (!isAngleItem(item)) return position(v);

    const double p = previous;
    previous = v;
    // The first record has no previous point to join, so it never wraps.
    if (rec <= 0 || !state.RecordX.contains(rec)) return position(v);
    const auto wrap =
        angleWrap(p, v, blockRecordX(state, scale, rec - 1), blockRecordX(state, scale, rec));
    if (wrap && draw) {
        const Colour c = Colour::palette(colour);
        canvas.lineTo(scale.leftEdge + wrap->x, position(wrap->leaveAt), c);
        canvas.point(scale.leftEdge + wrap->x, position(wrap->enterAt), c);
    }
    return position(v);
}

double blockRecordX(const HARMDIM& state, const SeriesScale& scale, int32_t rec) {
    if (!scale.shown) return state.RecordX(rec);
    return (recordMinute(state, rec) - scale.shown->first) * scale.unitsPerMinute;
}

namespace {

// The records a block prints: every loaded record with a position, or those of its range.
RecordSpan blockRecords(const HARMDIM& state, const PrintSource& source) {
    if (source.range) return recordsIn(state, *source.range);
    if (state.LoadedRecords <= 0 || !state.RecordX.contains(0)) return {};
    return {
        0,
        static_cast<int32_t>(std::min<long>(state.LoadedRecords, state.RecordX.upper(0) + 1)) - 1};
}

// The limit lines of a block as the window draws them: its set and contract power.
LimitOverlayRequest blockLimitOverlay(int16_t item, const PrintSource& source) {
    LimitOverlayRequest request =
        limitOverlayOf(item, source.channel, source.orders, *source.limits);
    request.options.contractKw = source.contractKw;
    return request;
}

// Whether a block is of the window's own item shown on an axis set by hand.
bool byHand(const PrintSource& source, int16_t item) {
    return source.axisByHand && blockItem(source.item) == item;
}

// The value axis of a block: over the period, or over the records of its range.
ValueAxis blockAxis(const HARMDIM& state, const PrintSource& source, int16_t item, bool setMode) {
    ValueAxisRequest request;
    request.item = item;
    request.channel = seriesChannel(item, source.channel);
    const std::size_t flagCount =
        static_cast<std::size_t>(std::clamp<int>(state.MaxOrderIndex + 1, 0, kJisuFlagCount));
    request.orderFlags = std::span<const int16_t>(source.orders.data(), flagCount);
    request.style = AxisStyle::Paper;
    request.fixedOverloadRange = setMode && item == kOverload;
    request.prediction = source.prediction.get();
    std::vector<double> limits;
    if (source.limits && !request.fixedOverloadRange)
        limits = limitValues(state.MaxOrderIndex, blockLimitOverlay(item, source));
    request.mustShow = limits;
    ItemExtremes shown;
    if (source.range) {
        GraphRequest graph;
        graph.item = item;
        graph.channel = source.channel;
        graph.prediction = source.prediction.get();
        shown = shownExtremes(state, graph, request.orderFlags, blockRecords(state, source));
        request.shown = &shown;
    }
    const ValueAxis axis = computeValueAxis(state, request);
    return byHand(source, item) ? withAxisByHand(axis, *source.axisByHand) : axis;
}

void drawBlockSeries(Canvas& canvas, const HARMDIM& state, int16_t item, int series,
                     const SeriesScale& scale, const RecordSpan& records, int colour) {
    if (records.empty()) return;
    const Colour c = Colour::palette(colour);
    double previous = 0;
    // The first record printed joins no point before it.
    const double y0 =
        PrintSeries(canvas, state, item, records.first, series, scale, previous, false, colour);
    canvas.point(scale.leftEdge + blockRecordX(state, scale, records.first), y0, c);
    for (int32_t i = records.first + 1; i <= records.last; ++i) {
        const double y = PrintSeries(canvas, state, item, i, series, scale, previous, true, colour);
        canvas.lineTo(scale.leftEdge + blockRecordX(state, scale, i), y, c);
    }
}

// The limit lines of the source's limit set across the block, in the colours of their curves.
void drawBlockLimits(Canvas& canvas, const HARMDIM& state, const PrintSource& source, int16_t item,
                     const ValueAxis& axis, int16_t X, int16_t Y, bool monochrome) {
    if (!source.limits) return;
    const PlotArea block{static_cast<double>(X), static_cast<double>(X + kBlockWidth),
                         static_cast<double>(Y), static_cast<double>(kBlockHeight)};
    const LimitOverlayRequest request = blockLimitOverlay(item, source);
    for (const OverlayCurve& curve : limitCurves(state.MaxOrderIndex, request))
        drawLimitLine(canvas, curve, axis, block,
                      Colour::palette(curveColour(curve.drawn, monochrome)));
}

}  // namespace

void PrintGraph(Canvas& canvas, const HARMDIM& state, const PrintSource& source, int16_t item,
                int16_t X, int16_t Y, int16_t legendStep, bool setMode, bool monochrome) {
    item = blockItem(item);
    const int orderStep = orderStepOf(state.MaxOrderIndex);
    const ValueAxis axis = blockAxis(state, source, item, setMode);
    SeriesScale scale;
    scale.verticalScale = axis.scale(kBlockHeight);
    scale.topEdge = Y;
    scale.topValue = axis.top;
    scale.leftEdge = X;
    scale.factor = axis.factor;
    scale.channel = source.channel;
    scale.prediction = source.prediction.get();
    if (source.range && source.range->minutes() > 0) {
        scale.shown = &*source.range;
        scale.unitsPerMinute = kBlockWidth / source.range->minutes();
    }

    canvas.setLineWidth(1);
    drawValueGrid(canvas, axis, X, Y);
    drawMarks(canvas, item, X, Y);
    drawTimeAxis(canvas, state, scale, X, Y);

    // Series.
    canvas.setFont(kGothicFont, kBlockFontSize);
    canvas.setLineWidth(2);
    canvas.setLineStyle(LineStyle::Solid);
    const RecordSpan records = blockRecords(state, source);
    const LegendPlacement legends{static_cast<double>(legendStep), 200, 0};
    int n = 0;
    int colour = kBlack;  // a series without a legend (the unbalance rate) keeps the last colour
    // On an axis set by hand values may lie beyond the block: its curves stay inside it.
    if (byHand(source, item)) canvas.clipTo(X, Y, X + kBlockWidth, Y + kBlockHeight);
    // Powers that could not be computed are told in the block instead of being drawn as zeros.
    const std::string failed = tablesFailureFor(state, item);
    if (!failed.empty()) PrinterText(canvas, X + 20, Y + 20, failed, kBlack);
    for (const int s :
         failed.empty() ? blockSeries(state, source, item, setMode) : std::vector<int>{}) {
        ++n;
        const std::string legend = legendText(item, s, orderStep);
        if (!legend.empty()) {
            colour = curveColour(n, monochrome);
            PrinterText(canvas, legendX(item, s, n, legends), Y - 45, legend, colour);
        }
        drawBlockSeries(canvas, state, item, s, scale, records, colour);
    }
    canvas.unclip();
    canvas.setLineWidth(1);
    drawBlockLimits(canvas, state, source, item, axis, X, Y, monochrome);

    // Title.
    std::string title = titleWithFactor(printItemName(item, source.orders), item, axis);
    if (const ItemInfo* info = itemInfo(item); info && info->phaseMarkOnPaper)
        title += phaseMarkText(source.filePath);
    title += channelMarkText(item, source.channel, state.ChannelCount);
    canvas.setFontSize(kBlockFontSize);
    PrinterText(canvas, titleX(item), Y - 45, title, kBlack);
    canvas.setFontName(kGothicFont);
}

void prepareSheet(Canvas& canvas, SheetKind kind, Paper paper) {
    canvas.setPaperScale(paperScale(paper));
    canvas.setFont(kGothicFont, kSheetFontSize);
    canvas.setScale(kPageWidth, kind == SheetKind::OneSheet ? kOneSheetHeight : kSetSheetHeight);
    canvas.setLineWidth(1);
    canvas.setLineStyle(LineStyle::Solid);
}

std::string dateLine(const HARMDIM& state, const PrintSource& source) {
    if (source.range) return shownDaysText(state, &*source.range) + "    " + source.message;
    const auto day = parseDateText(source.startDate);
    const std::string date = day ? formatYyMmDdWeekday(*day) : source.startDate;
    return date + "    " + source.message;
}

std::string fittedFileNameLine(const Canvas& canvas, const PrintSource& source, double x) {
    return fittedFileNameText(canvas, source.filePath, x, kPageWidth);
}

void printFileNameLine(Canvas& canvas, const PrintSource& source, double x, double y, double size) {
    canvas.setFontSize(size);
    PrinterText(canvas, x, y, fittedFileNameLine(canvas, source, x), kBlack);
}

double dateLineTop(Canvas& canvas, int16_t blockY) {
    const double top = blockY + 530;
    const double size = canvas.font().size;
    canvas.setFontSize(kBlockFontSize);
    const double hourLabelsBottom = blockY + kBlockHeight + 5 + canvas.textHeight();
    canvas.setFontSize(size);
    return std::max(top, hourLabelsBottom);
}

void printDateLine(Canvas& canvas, const HARMDIM& state, const PrintSource& source, double x,
                   double y, double size) {
    canvas.setFontSize(size);
    PrinterText(canvas, x, y, dateLine(state, source), kBlack);
}

void printOneSheet(Canvas& canvas, const HARMDIM& state, const PrintSource& source,
                   bool monochrome) {
    prepareSheet(canvas, SheetKind::OneSheet, source.paper);
    PrintGraph(canvas, state, source, source.item, kBlockLeft, kOneSheetBlockTop, kPrintLegendStep,
               false, monochrome);
    printFileNameLine(canvas, source, 1400, 600, kHeaderFontSize);
    printDateLine(canvas, state, source, 220, 580, kHeaderFontSize);
    canvas.setFontSize(kSheetFontSize);
}

std::vector<int16_t> setPrintOrder(const std::vector<int16_t>& items) {
    std::vector<int16_t> order;
    for (int16_t code = 1; code <= kItemSlots; ++code)
        if (std::find(items.begin(), items.end(), code) != items.end()) order.push_back(code);
    return order;
}

void printSetSheet(Canvas& canvas, const HARMDIM& state, const PrintSource& source,
                   const std::vector<int16_t>& items, bool monochrome) {
    prepareSheet(canvas, SheetKind::Set, source.paper);
    int k = 0;
    for (const int16_t item : setPrintOrder(items)) {
        if (k >= 3) break;  // a sheet holds three blocks
        canvas.setLineWidth(1);
        PrintGraph(canvas, state, source, item, kBlockLeft, blockTop(k), kPrintLegendStep, true,
                   monochrome);
        ++k;
        printDateLine(canvas, state, source, 220, dateLineTop(canvas, blockTop(k - 1)),
                      kSetDateFontSize);
    }
    printFileNameLine(canvas, source, 1400, 1930, kHeaderFontSize);
    canvas.setFontSize(kSheetFontSize);
}

void printThird(Canvas& canvas, const HARMDIM& state, const PrintSource& source, int n,
                bool monochrome) {
    n = std::clamp(n, 0, 2);
    prepareSheet(canvas, SheetKind::Thirds, source.paper);
    PrintGraph(canvas, state, source, source.item, kBlockLeft, blockTop(n), kPrintLegendStep, false,
               monochrome);
    double dateSize = kBlockFontSize;  // the size the block leaves
    if (n == 1) {
        printFileNameLine(canvas, source, 1400, 1930, kHeaderFontSize);
        dateSize = kSetDateFontSize;
    }
    printDateLine(canvas, state, source, 220, dateLineTop(canvas, blockTop(n)), dateSize);
    canvas.setFontSize(kSheetFontSize);
}

Status preparePrintPrediction(const HARMDIM& state, PrintSource& source,
                              const std::vector<int16_t>& items) {
    if (std::none_of(items.begin(), items.end(), isPredictionItem)) return success();
    if (predictionHeld(source.prediction.get(), source.channel, source.transformer))
        return success();
    auto run = UpstreamPrediction(state, source.channel, source.transformer);
    if (!run) return Error{run.error()};
    source.prediction = std::move(*run);
    return success();
}

}  // namespace hg
