// Zooming a graph window by keyboard, and the ranges it showed before: + and − zoom around the
// cursor (or the middle of what is shown), Shift+← / Shift+→ move the range by a quarter of its
// length, Backspace goes back through the earlier ranges, Esc shows the whole period.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "graph/shown_range.h"

namespace hg {

// What a key does to the range shown.
enum class ZoomKey { In, Out, PanEarlier, PanLater };

// Each + shows half the time, each − twice (never more than the whole period).
inline constexpr double kKeyZoomFactor = 0.5;
// Each Shift+arrow moves the range by this share of its length.
inline constexpr double kKeyPanShare = 0.25;

// The range after `key`, from the range shown; the zoom keeps `centre` (a minute from the
// analysis start: the cursor's, or none for the middle of the range) where it is on the picture.
ShownRange keyboardRange(const HARMDIM& state, const ShownRange& shown, ZoomKey key,
                         std::optional<double> centre);

// The ranges a window showed before its latest zooms and pans, the latest last. A range is none
// for the whole period. Kept to a bounded depth: the oldest are forgotten first.
class ZoomHistory {
  public:
    static constexpr std::size_t kDepth = 64;

    // Remembers `before`, the range shown before a change (not when the change shows it again).
    void remember(const std::optional<ShownRange>& before, const std::optional<ShownRange>& after);
    // The range to show again, taken off the history; none when there is nothing to go back to.
    std::optional<std::optional<ShownRange>> back();
    bool empty() const { return earlier_.empty(); }
    void clear() { earlier_.clear(); }

  private:
    std::vector<std::optional<ShownRange>> earlier_;
};

}  // namespace hg
