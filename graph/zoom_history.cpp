#include "graph/zoom_history.h"

namespace hg {

ShownRange keyboardRange(const HARMDIM& state, const ShownRange& shown, ZoomKey key,
                         std::optional<double> centre) {
    const double middle = centre.value_or((shown.first + shown.last) / 2);
    switch (key) {
        case ZoomKey::In:
            return zoomAround(state, shown, middle, kKeyZoomFactor);
        case ZoomKey::Out:
            return zoomAround(state, shown, middle, 1 / kKeyZoomFactor);
        case ZoomKey::PanEarlier:
            return panBy(state, shown, -kKeyPanShare * shown.minutes());
        case ZoomKey::PanLater:
            return panBy(state, shown, kKeyPanShare * shown.minutes());
    }
    return shown;
}

void ZoomHistory::remember(const std::optional<ShownRange>& before,
                           const std::optional<ShownRange>& after) {
    if (before == after) return;
    if (earlier_.size() == kDepth) earlier_.erase(earlier_.begin());
    earlier_.push_back(before);
}

std::optional<std::optional<ShownRange>> ZoomHistory::back() {
    if (earlier_.empty()) return std::nullopt;
    std::optional<ShownRange> range = earlier_.back();
    earlier_.pop_back();
    return range;
}

}  // namespace hg
