#include "analysis/series_value.h"

#include "analysis/harmdim.h"
#include "analysis/items.h"

namespace hg {

int16_t seriesItem(int16_t item) {
    return seriesInfo(item).code;
}

int seriesChannel(int16_t item, int currentChannel) {
    return seriesInfo(item).channelDependent ? currentChannel : 0;
}

bool isAngleItem(int16_t item) {
    return seriesInfo(item).axis == AxisFamily::Angle;
}

bool fundamentalFactorApplies(int16_t item) {
    return seriesInfo(item).fundamentalFactor;
}

SeriesValue seriesValue(const HARMDIM& s, int16_t item, int32_t rec, int series, int currentChannel,
                        double fundamentalFactor, const Prediction* prediction) {
    if (rec < 0 || rec >= s.LoadedRecords || series < 0) return {};
    const ItemInfo& info = seriesInfo(item);
    const long ch = info.channelDependent ? currentChannel : 0;
    SeriesValue out = info.value(ItemSource{s, prediction}, rec, series, ch);
    if (series == 0 && info.fundamentalFactor && !out.atTopEdge) out.value *= fundamentalFactor;
    return out;
}

}  // namespace hg
