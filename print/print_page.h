// The printed graph page: the page coordinates of the three sheet kinds, the header and footer
// lines, one graph block (PrintGraph) with its series (PrintSeries), and the text primitive
// (PrinterText) every printed text goes through. Everything is drawn on a Canvas whose user window
// is the page: 2350 units across, 640 (one-sheet) or 1970 (set and thirds) down, stretched to the
// paper of either orientation.
//
// The block reads the analysis tables of the shared state and the selection it is given: the
// item, channel and order flags of the graph window whose print command opened the dialog (not of
// whichever window drew last). The value axis follows the screen's rules except where paper
// differs (no snapping of the tick unit to 5 or 10, the fixed overload range of the set print).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/harmdim.h"
#include "analysis/upstream_prediction.h"
#include "compliance/limits.h"
#include "graph/axis_by_hand.h"
#include "graph/graph_view.h"
#include "platform/canvas.h"
#include "platform/paper.h"
#include "platform/result.h"

namespace hg {

// Page and block geometry, in page units.
constexpr double kPageWidth = 2350;
constexpr double kOneSheetHeight = 640;
constexpr double kSetSheetHeight = 1970;
constexpr int16_t kBlockWidth = 2000;
constexpr int16_t kBlockHeight = 500;
constexpr int16_t kPrintLegendStep = 120;
constexpr int16_t kBlockLeft = 260;
constexpr int16_t kOneSheetBlockTop = 50;
// Block k of a set sheet, or third k of a thirds sheet, has its top at 100 + 640·k.
constexpr int16_t blockTop(int k) {
    return static_cast<int16_t>(100 + 640 * k);
}
constexpr double kSheetFontSize = 13.5;

enum class SheetKind { OneSheet, Set, Thirds };

// What a sheet prints besides the analysis tables.
struct PrintSource {
    int16_t item = 0;                              // the item the graph window shows (CurrentItem)
    int16_t channel = 0;                           // its current channel (CurrentChannel)
    std::array<int16_t, kJisuFlagCount> orders{};  // its order flags (JisuFlag): 1 = drawn
    std::string filePath;   // the selected file as the file-selection window shows it
    std::string startDate;  // the analysis start-date box ("yy/mm/dd" or "yy/mm/dd(aaa)")
    std::string message;    // the graph window's print message
    // The transformer of the upstream prediction (the graph window's three boxes), and the
    // window's prediction (of its channel with that transformer) that the prediction items print;
    // a set print computes it when the window holds none.
    TransformerParameters transformer;
    std::shared_ptr<const Prediction> prediction;
    // The stretch of the period the blocks print (a zoomed window's range; the print dialog keeps
    // it only while "表示範囲" is chosen); none: the whole period.
    std::optional<ShownRange> range;
    // The limit set the window draws over its graph: the blocks draw its limit lines as the
    // screen does; none: no lines.
    std::optional<LimitSet> limits;
    // The contract power the window's current-per-kW limits are drawn for; none: no such lines.
    std::optional<double> contractKw;
    // The value axis the window's own item is shown on when set by hand; none: its own rules.
    std::optional<AxisByHand> axisByHand;
    // The paper the sheet is printed on: the layout stays, letters and lines grow or shrink
    // with the paper (on A4 as they always were).
    Paper paper = Paper::A4;
};

// A source with the loaded analysis's file and start date and no selection yet.
PrintSource printSourceOf(const HARMDIM& state);
// What a graph window prints: its view's item, channel, orders, transformer and prediction, the
// range it shows, its limit set and print message, and the analysis's file and start date.
PrintSource printSourceOf(const HARMDIM& state, const GraphView& view);

// Captions of the print dialog's sixteen item boxes by box index (item code − 1); the boxes of
// items 12 and 13 have none. These are also the item names of the printed titles.
std::string_view setPrintCaption(int index);
// Item codes a set print can hold for the selected file: 1..11 and 14, 15; 9 and 16 for the
// kinds ha4, hv and hn; 10 for ha4 only. Never 12 or 13.
bool setPrintAvailable(int16_t item, std::string_view filePath);

// The name in the title of a printed block: the box caption, and for items 12 and 13 the
// per-phase name or, when order index 5 (the unbalance view) is selected, the unbalance name.
std::string printItemName(int16_t item, const std::array<int16_t, kJisuFlagCount>& orders);

// Prints a text with its top-left corner at (x, y) in the given palette colour and the current
// font.
void PrinterText(Canvas& canvas, double x, double y, std::string_view text, int colour);

// The value of series `series` of `item` at record slot `rec` as a page height, with the angle
// items' wrap strokes drawn on the page: a curve leaving through the top (bottom) edge goes to
// the edge at the interpolated crossing and continues from the other edge. `previous` is the
// angle of the previous record of the series (0 before the first); x positions are RecordX.
struct SeriesScale {
    double verticalScale = 0;  // block height / (bottom value − top value), negative
    double topEdge = 0;        // Y of the block
    double topValue = 0;       // value at the top edge
    double leftEdge = 0;       // X of the block
    double factor = 1;         // fundamental factor of series 0
    int channel = 0;           // the graph window's channel
    const Prediction* prediction = nullptr;  // what the prediction items plot
    // A block printing part of the period: the range and its units per minute (none: records
    // stand at RecordX).
    const ShownRange* shown = nullptr;
    double unitsPerMinute = 0;
};
// The x offset of a record from the block's left edge.
double blockRecordX(const HARMDIM& state, const SeriesScale& scale, int32_t rec);
double PrintSeries(Canvas& canvas, const HARMDIM& state, int16_t item, int32_t rec, int series,
                   const SeriesScale& scale, double& previous, bool draw, int colour);

// Draws the block of `item` at origin (X, Y): frame, base line, grid and labels, time axis,
// series with legends, the limit lines of the source's limit set, title. `setMode` is the set
// print's fixed overload range and all three overload series. Monochrome prints the series in the
// dark colours.
void PrintGraph(Canvas& canvas, const HARMDIM& state, const PrintSource& source, int16_t item,
                int16_t X, int16_t Y, int16_t legendStep, bool setMode, bool monochrome);

// Sheet preparation: font "ＭＳ ゴシック" 13.5 pt, page 2350 by 640 (one-sheet) or 1970 units,
// letters and lines sized for the paper.
void prepareSheet(Canvas& canvas, SheetKind kind, Paper paper);

// The start date as "yy/mm/dd(aaa)" (the days shown when the source prints a range), four blanks
// and the print message.
std::string dateLine(const HARMDIM& state, const PrintSource& source);
// The file-name line as it fits between x and the page's right edge in the canvas's current font:
// whole when it fits, else with the leading folders left out ("ﾌｧｲﾙ名:…/feeder_n/x.hv3"); the
// file name itself always whole.
std::string fittedFileNameLine(const Canvas& canvas, const PrintSource& source, double x);
// Where the date line of the block at height blockY stands: 530 below the block's top, and no
// higher than just below the hour labels under the block (which reach a little further in
// portrait, and more on a landscape sheet).
double dateLineTop(Canvas& canvas, int16_t blockY);
void printFileNameLine(Canvas& canvas, const PrintSource& source, double x, double y, double size);
void printDateLine(Canvas& canvas, const HARMDIM& state, const PrintSource& source, double x,
                   double y, double size);

// The three sheets. Each prepares the page itself; the caller ends the document.
//  - One sheet: the source's item at (260, 50), the file-name line at (1400, 600) and the date
//    line at (220, 580), both 8 pt.
//  - Set: the items of `items` (codes; printed in box-index order, i.e. by code) at heights 100,
//    740, 1380, each with its date line 530 below its top (10 pt); the file-name line at
//    (1400, 1930) (8 pt). The prediction items need the prediction computed: see
//    preparePrintPrediction.
//  - Third n (0..2): the source's item at height 100 + 640·n; on the second third the file-name
//    line at (1400, 1930); the date line 530 below the block's top, 10 pt after a file-name line
//    and 12 pt otherwise.
void printOneSheet(Canvas& canvas, const HARMDIM& state, const PrintSource& source,
                   bool monochrome);
void printSetSheet(Canvas& canvas, const HARMDIM& state, const PrintSource& source,
                   const std::vector<int16_t>& items, bool monochrome);
void printThird(Canvas& canvas, const HARMDIM& state, const PrintSource& source, int n,
                bool monochrome);

// The set items in the order the set print draws them: by code, duplicates removed.
std::vector<int16_t> setPrintOrder(const std::vector<int16_t>& items);

// Gives the source the upstream prediction of its channel and transformer when `items` holds a
// prediction item (14, 15, 16) and the source does not hold it already.
Status preparePrintPrediction(const HARMDIM& state, PrintSource& source,
                              const std::vector<int16_t>& items);

}  // namespace hg
