// The catalogue of graph items: for every item code, its texts (the item list entry, which is also
// the screen title, and the paper title of the print dialog's boxes and printed blocks), the kinds
// of recording that offer it, its value-axis family, its series and whether it reads a channel.
// The graph window's item list, the print dialog, `plot`, `print`, the value axis and the series
// all read this one table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "analysis/item_codes.h"
#include "datafile/record_format.h"

namespace hg {

// How an item's value axis is scaled.
enum class AxisFamily {
    FromZero,  // 0 at the bottom, the base line at 0 (distortion, current, impedance)
    Signed,    // the bottom from the minimum, the base line at 0 (active and reactive power)
    Floating,  // the bottom from the minimum, the base line at the bottom (voltage, overload, ...)
    Angle,     // degrees on a fixed -180..180 axis
};

// Which kinds of recording offer an item.
enum class KindOffer {
    Every,
    SuperpositionKinds,  // ha4, hv, hn: the voltage superposition angle
    Ha4Only,             // the current superposition angle
    PerPhaseKinds,       // ha5, ha6, hv: the per-phase values
};

struct ItemInfo {
    int16_t code = 0;
    std::string_view listText;    // the item list entry and the screen title
    std::string_view paperTitle;  // the print dialog's box caption and the printed title
    int16_t seriesCode = 0;       // the code whose tables the series read (22 -> 12, 23 -> 13)
    KindOffer offer = KindOffer::Every;
    AxisFamily axis = AxisFamily::FromZero;
    bool channelDependent = false;   // reads the window's current channel
    bool fundamentalFactor = false;  // series 0 is drawn times the fundamental factor
    bool fixedSeries = false;        // the item chooses its own series (no order group)
    bool inSetPrint = false;         // a box of the print dialog's set print
    bool phaseMarkOnScreen = false;  // the screen title carries the phase mark ("R相")
    bool phaseMarkOnPaper = false;   // the printed title carries it
};

// Every item in the order of the graph window's item list.
std::span<const ItemInfo> itemCatalogue();
// The entry of an item code, or null for a code no item has.
const ItemInfo* itemInfo(int code);
// Whether a kind of recording offers an item.
bool itemOfferedFor(int code, KindFamily family);

struct ItemEntry {
    int16_t code;
    std::string_view text;
};
// The item list of a kind in list order: the eleven items of every file, then those of the kind.
std::vector<ItemEntry> itemListOf(KindFamily family);
// The code of an item list text (exact match), or nothing.
std::optional<int16_t> itemCodeOf(std::string_view text);
// The list text of an item code (1..16, 22, 23); empty for any other code.
std::string_view itemTextOf(int code);

}  // namespace hg
