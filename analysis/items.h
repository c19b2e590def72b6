// The catalogue of graph items: one entry per item code holds everything the program knows of an
// item — its texts (the item list entry, which is also the screen title, and the paper title of
// the set print), the kinds of recording that offer it, how its value is read from the loaded
// tables, its unit, its series and their legends, its value axis, whether it is ranked, predicted
// or read per channel, how the graph window selects its series, and its box on the set print.
// The graph window, the selection, the cursor readout, the value axis, the limit lines, the print
// dialog, `plot`, `print`, `tables` and the help all read this one table; a new item is a new row
// here, its code in item_codes.h and its value function in item_values.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/item_codes.h"
#include "analysis/item_values.h"
#include "datafile/record_format.h"

namespace hg {

// How an item's value axis is scaled.
enum class AxisFamily {
    FromZero,  // 0 at the bottom, the base line at 0 (distortion, current, impedance)
    Signed,    // the bottom from the minimum, the base line at 0 (active and reactive power)
    Floating,  // the bottom from the minimum, at most the fundamental's lowest; the base line at
               // the bottom (per-phase values, predicted distortion)
    Voltage,   // as Floating, but the bottom from 0 unless the fundamental is drawn alone
    Overload,  // as Floating, the bottom at most 130 %; the set print fixes 0..160 by 20
    Angle,     // degrees on a fixed -180..180 axis
};

// Which kinds of recording offer an item.
enum class KindOffer {
    Every,
    SuperpositionKinds,  // ha4, hv, hn: the voltage superposition angle
    Ha4Only,             // the current superposition angle
    PerPhaseKinds,       // ha5, ha6, hv: the per-phase values
};

// What the series index of an item means.
enum class SeriesSet {
    Orders,         // the order index: legends "基本" (or "総合") and " 3次" ...
    OverloadRates,  // the plain, 6 % capacitor and 6 % reactor overload rates
    PerPhase,       // three phase values, the positive and negative sequence, the unbalance rate
};

// The series of the unbalance rate among the per-phase series.
constexpr int kUnbalanceSeries = 5;

// How the graph window selects an item's series when the item is chosen.
enum class ItemChoice {
    OrderGroups,     // by the order groups and boxes
    FixedSeries,     // the first `fixedSeries` series at once, no groups (overload, phase voltage)
    PerPhaseGroups,  // by the groups, within the per-phase series 0..5
    UnbalanceView,   // the unbalance rate (series 5) of `seriesCode` alone, locked
};

// The marks under and over an angle or reactive power graph.
enum class LeadLag { None, LagBelow, LeadBelow };

// The harmonic limits a limit set may draw over an item.
enum class ItemLimit {
    None,
    Distortion,    // voltage distortion limits, in percent of the fundamental
    CurrentPerKw,  // outflow current limits per contract kW, drawn in amperes
};

struct ItemInfo {
    int16_t code = 0;
    std::string_view listText{};    // the item list entry and the screen title
    std::string_view paperTitle{};  // the set print's box caption and printed title; empty: none
    std::string_view unit{};        // the cursor readout's unit (the unbalance rate reads "%")
    ItemValue value = nullptr;      // the value of a series at a record
    int16_t seriesCode = 0;         // the code whose tables the series read (22 -> 12, 23 -> 13)
    KindOffer offer = KindOffer::Every;
    AxisFamily axis = AxisFamily::FromZero;
    SeriesSet series = SeriesSet::Orders;
    ItemChoice choice = ItemChoice::OrderGroups;
    int8_t fixedSeries = 0;                       // FixedSeries: how many
    std::string_view firstLegend = "基本";        // the legend of series 0 of an order item
    std::span<const std::string_view> legends{};  // the legends of fixed series, by index
    LeadLag marks = LeadLag::None;
    ItemLimit limits = ItemLimit::None;
    bool channelDependent = false;    // reads the window's current channel
    bool fundamentalFactor = false;   // series 0 is drawn times the fundamental factor
    bool ranked = false;              // its orders are ranked for the largest-first groups
    bool largestKeepsOrders = false;  // the largest-first groups keep the orders checked before
    bool prediction = false;          // drawn from the upstream prediction
    bool phaseMarkOnScreen = true;    // the screen title carries the phase mark ("R相")
    bool phaseMarkOnPaper = true;     // the printed title carries it
    int16_t printBoxTop = 0;          // top of its box on the print dialog, in twips; 0: none
};

namespace catalogue_rows {
using A = AxisFamily;
using O = KindOffer;
using S = SeriesSet;
using C = ItemChoice;
namespace v = item_values;

inline constexpr std::string_view kOverloadLegends[] = {"Ｌ無ｺﾝﾃﾞﾝｻ", "Ｌ6%ｺﾝﾃﾞﾝｻ", "Ｌ6%ﾘｱｸﾄﾙ"};
inline constexpr std::string_view kPhaseVoltageLegends[] = {"Vu-v", "Vv-w", "Vu-w", "正相", "逆相"};
inline constexpr std::string_view kPhaseCurrentLegends[] = {"Ｉu", "Ｉv", "Ｉw", "正相", "逆相"};

// Every item in the order of the graph window's item list.
inline constexpr ItemInfo kRows[] = {
    {.code = kVoltageDistortion,
     .listText = "電圧歪率(%)",
     .paperTitle = "電圧歪率(%)",
     .unit = "%",
     .value = v::voltageDistortion,
     .seriesCode = kVoltageDistortion,
     .firstLegend = "総合",
     .limits = ItemLimit::Distortion,
     .ranked = true,
     .printBoxTop = 480},
    {.code = kCurrent,
     .listText = "電    流(A)",
     .paperTitle = "電    流(A)",
     .unit = "A",
     .value = v::current,
     .seriesCode = kCurrent,
     .limits = ItemLimit::CurrentPerKw,
     .channelDependent = true,
     .fundamentalFactor = true,
     .ranked = true,
     .printBoxTop = 840},
    {.code = kPhaseDifference,
     .listText = "位 相 差(deg)",
     .paperTitle = "位 相 差(deg)",
     .unit = "°",
     .value = v::phaseDifference,
     .seriesCode = kPhaseDifference,
     .axis = A::Angle,
     .marks = LeadLag::LagBelow,
     .channelDependent = true,
     .printBoxTop = 1200},
    {.code = kCurrentDistortion,
     .listText = "電流歪率(%)",
     .paperTitle = "電流歪率(%)",
     .unit = "%",
     .value = v::currentDistortion,
     .seriesCode = kCurrentDistortion,
     .firstLegend = "総合",
     .channelDependent = true,
     .ranked = true,
     .printBoxTop = 1560},
    {.code = kActivePower,
     .listText = "有効電力(kW)",
     .paperTitle = "有効電力(kW)",
     .unit = "kW",
     .value = v::activePower,
     .seriesCode = kActivePower,
     .axis = A::Signed,
     .channelDependent = true,
     .fundamentalFactor = true,
     .ranked = true,
     .printBoxTop = 1920},
    {.code = kReactivePower,
     .listText = "無効電力(kVar)",
     .paperTitle = "無効電力(kVar)",
     .unit = "kvar",
     .value = v::reactivePower,
     .seriesCode = kReactivePower,
     .axis = A::Signed,
     .marks = LeadLag::LeadBelow,
     .channelDependent = true,
     .fundamentalFactor = true,
     .ranked = true,
     .printBoxTop = 2280},
    {.code = kVoltage,
     .listText = "電    圧(V)",
     .paperTitle = "電    圧(V)",
     .unit = "V",
     .value = v::voltage,
     .seriesCode = kVoltage,
     .axis = A::Voltage,
     .fundamentalFactor = true,
     .phaseMarkOnScreen = false,
     .printBoxTop = 3360},
    {.code = kImpedance,
     .listText = "ｲﾝﾋﾟｰﾀﾞﾝｽ(Ω)",
     .paperTitle = "ｲﾝﾋﾟｰﾀﾞﾝｽ(Ω)",
     .unit = "Ω",
     .value = v::impedance,
     .seriesCode = kImpedance,
     .channelDependent = true,
     .fundamentalFactor = true,
     .ranked = true,
     .printBoxTop = 2640},
    {.code = kOverload,
     .listText = "過負荷率(%)",
     .paperTitle = "過負荷率(%)",
     .unit = "%",
     .value = v::overload,
     .seriesCode = kOverload,
     .axis = A::Overload,
     .series = S::OverloadRates,
     .choice = C::FixedSeries,
     .fixedSeries = 3,
     .legends = kOverloadLegends,
     .printBoxTop = 3000},
    {.code = kPredictedDistortion,
     .listText = "上位電圧歪率予測(%)",
     .paperTitle = "上位電圧歪率予測(%)",
     .unit = "%",
     .value = v::predictedDistortion,
     .seriesCode = kPredictedDistortion,
     .axis = A::Floating,
     .firstLegend = "総合",
     .largestKeepsOrders = true,
     .prediction = true,
     .printBoxTop = 4380},
    {.code = kPredictedPhaseDifference,
     .listText = "上位位相差予測(deg)",
     .paperTitle = "上位位相差予測(deg)",
     .unit = "°",
     .value = v::predictedPhaseDifference,
     .seriesCode = kPredictedPhaseDifference,
     .axis = A::Angle,
     .prediction = true,
     .printBoxTop = 4680},
    {.code = kVoltageSuperposition,
     .listText = "電圧重畳角(deg)",
     .paperTitle = "電圧重畳角(deg)",
     .unit = "°",
     .value = v::voltageSuperposition,
     .seriesCode = kVoltageSuperposition,
     .offer = O::SuperpositionKinds,
     .axis = A::Angle,
     .marks = LeadLag::LagBelow,
     .printBoxTop = 3720},
    {.code = kPredictedSuperposition,
     .listText = "上位電圧重畳角予測(deg)",
     .paperTitle = "上位電圧重畳角予測(deg)",
     .unit = "°",
     .value = v::predictedSuperposition,
     .seriesCode = kPredictedSuperposition,
     .offer = O::SuperpositionKinds,
     .axis = A::Angle,
     .prediction = true,
     .printBoxTop = 4920},
    {.code = kCurrentSuperposition,
     .listText = "電流重畳角(deg)",
     .paperTitle = "電流重畳角(deg)",
     .unit = "°",
     .value = v::currentSuperposition,
     .seriesCode = kCurrentSuperposition,
     .offer = O::Ha4Only,
     .axis = A::Angle,
     .marks = LeadLag::LagBelow,
     .printBoxTop = 4080},
    {.code = kPhaseVoltage,
     .listText = "相別電圧(V)",
     .unit = "V",
     .value = v::phaseVoltage,
     .seriesCode = kPhaseVoltage,
     .offer = O::PerPhaseKinds,
     .axis = A::Floating,
     .series = S::PerPhase,
     .choice = C::FixedSeries,
     .fixedSeries = 5,
     .legends = kPhaseVoltageLegends,
     .phaseMarkOnScreen = false,
     .phaseMarkOnPaper = false},
    {.code = kPhaseCurrent,
     .listText = "相別電流(A)",
     .unit = "A",
     .value = v::phaseCurrent,
     .seriesCode = kPhaseCurrent,
     .offer = O::PerPhaseKinds,
     .axis = A::Floating,
     .series = S::PerPhase,
     .choice = C::PerPhaseGroups,
     .legends = kPhaseCurrentLegends,
     .channelDependent = true,
     .phaseMarkOnScreen = false,
     .phaseMarkOnPaper = false},
    {.code = kVoltageUnbalance,
     .listText = "電圧不平衡率(%)",
     .unit = "%",
     .value = v::phaseVoltage,
     .seriesCode = kPhaseVoltage,
     .offer = O::PerPhaseKinds,
     .axis = A::Floating,
     .series = S::PerPhase,
     .choice = C::UnbalanceView,
     .legends = kPhaseVoltageLegends,
     .phaseMarkOnScreen = false,
     .phaseMarkOnPaper = false},
    {.code = kCurrentUnbalance,
     .listText = "電流不平衡率(%)",
     .unit = "%",
     .value = v::phaseCurrent,
     .seriesCode = kPhaseCurrent,
     .offer = O::PerPhaseKinds,
     .axis = A::Floating,
     .series = S::PerPhase,
     .choice = C::UnbalanceView,
     .legends = kPhaseCurrentLegends,
     .channelDependent = true,
     .phaseMarkOnScreen = false,
     .phaseMarkOnPaper = false},
};

constexpr int largestTableCode() {
    int largest = 0;
    for (const ItemInfo& item : kRows)
        largest = item.seriesCode > largest ? item.seriesCode : largest;
    return largest;
}

constexpr int largestRankedCode() {
    int largest = 0;
    for (const ItemInfo& item : kRows)
        if (item.ranked) largest = item.code > largest ? item.code : largest;
    return largest;
}
}  // namespace catalogue_rows

// The item slots of the period extremes ItemMax / ItemMin (slot = code - 1): one per item whose
// own tables it reads.
constexpr int kItemSlots = catalogue_rows::largestTableCode();
// The rows of the ranking tables RankMagnitude / OrderRank: 0..the largest ranked code (slot =
// code - 1, as in the extremes).
constexpr int kRankedItemRows = catalogue_rows::largestRankedCode();

// Every item in the order of the graph window's item list.
std::span<const ItemInfo> itemCatalogue();
// The entry of an item code, or null for a code no item has.
const ItemInfo* itemInfo(int code);
// The entry whose tables an item's series read (any unknown code reads as voltage distortion).
const ItemInfo& seriesInfo(int code);
// Whether a kind of recording offers an item.
bool itemOfferedFor(int code, KindFamily family);
// The highest item code of the catalogue.
int largestItemCode();
// Whether an item is drawn from the upstream prediction.
bool isPredictionItem(int code);
// Whether an item's values are read from the power tables (the powers, their phase difference,
// the prediction), which are computed when first read.
bool readsPowerTables(int code);
// Whether an item's values are read from the current table (the currents, their distortion by
// order, impedance, and everything the power tables give), which is read back when first read.
bool readsCurrentTable(int code);
// Why an item's values cannot be had from a loaded analysis (its current or power tables could
// not be read back: the recording changed since the load), or empty. Reads back the tables an
// item reads.
std::string tablesFailureFor(const HARMDIM& state, int code);
// The unbalance view of a per-phase item (12 -> 22, 13 -> 23), or 0.
int16_t unbalanceViewOf(int code);

struct ItemEntry {
    int16_t code;
    std::string_view text;
};
// The item list of a kind in list order: the eleven items of every file, then those of the kind.
std::vector<ItemEntry> itemListOf(KindFamily family);
// The code of an item list text (exact match), or nothing.
std::optional<int16_t> itemCodeOf(std::string_view text);
// The list text of an item code; empty for a code no item has.
std::string_view itemTextOf(int code);

}  // namespace hg
