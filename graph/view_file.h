// A view saved and reopened (ファイル → ビュー保存... / ビューを開く..., `harmograph FILE.hgview`):
// a small JSON file naming the recording and its period, and every graph window's view (item,
// order group and the orders checked, channel, range, cursors, limit set, contract power,
// transformer values, the value axis set by hand, the comparison). Reading takes what it knows:
// a file from a newer program version is read as far as this version understands it, and says so.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/execute.h"
#include "analysis/upstream_prediction.h"
#include "graph/axis_by_hand.h"
#include "graph/comparison.h"
#include "graph/shown_range.h"
#include "platform/result.h"

namespace hg {

// The version this program writes; a file of a higher one is read as far as it goes.
inline constexpr int kViewFileVersion = 1;
// The file name extension of a view.
inline constexpr std::string_view kViewFileExtension = ".hgview";

struct SavedComparison {
    std::string recording;  // the other recording (the main one's path for another period of it)
    PeriodTexts period;     // empty texts: the whole recording
    Alignment alignment = Alignment::Day;
    friend bool operator==(const SavedComparison&, const SavedComparison&) = default;
};

struct SavedWindow {
    int16_t item = 0;
    std::string group;  // the order group as the window lists it ("１～９次", "任　意")
    int16_t channel = 0;
    std::vector<int> orders;  // the order indices checked
    std::optional<ShownRange> range;
    std::optional<int32_t> cursor;
    std::optional<int32_t> secondCursor;
    std::string limitSet;  // the set's name; empty: none
    std::optional<double> contractKw;
    TransformerParameters transformer;
    std::optional<AxisByHand> axis;
    std::optional<SavedComparison> comparison;
    friend bool operator==(const SavedWindow&, const SavedWindow&) = default;
};

struct SavedView {
    int version = kViewFileVersion;
    std::string recording;  // the recording's path as it was opened
    PeriodTexts period;
    std::vector<SavedWindow> windows;  // the main graph window first
};

// The view as the JSON text of a view file (UTF-8, LF).
std::string viewFileText(const SavedView& view);

struct ReadView {
    SavedView view;
    bool newerVersion = false;  // written by a newer program: read as far as this one knows
};

// The period texts of an analysis from its start and end date-times (day numbers).
PeriodTexts periodTextsOf(double start, double end);

// A view file's text read back; refuses, in Japanese, text that is not a view file.
Result<ReadView> parseViewFile(std::string_view text);

// Whether a path names a view file (its extension, in any case).
bool isViewFilePath(std::string_view path);

}  // namespace hg
