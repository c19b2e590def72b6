#include "graph/period_spectrum.h"

#include <algorithm>

#include "analysis/harmdim.h"
#include "analysis/item_codes.h"
#include "compliance/statistics.h"
#include "datafile/record_format.h"
#include "graph/cursor_readout.h"
#include "graph/limit_overlay.h"

namespace hg {

namespace {

float statisticOf(std::vector<float>& values, SpectrumStatistic statistic) {
    if (values.empty()) return 0;
    if (statistic == SpectrumStatistic::Max) return *std::max_element(values.begin(), values.end());
    return nearestRank(values, 95);
}

}  // namespace

const char* spectrumStatisticText(SpectrumStatistic statistic) {
    switch (statistic) {
        case SpectrumStatistic::Instant:
            return "瞬時";
        case SpectrumStatistic::P95:
            return "95%値";
        case SpectrumStatistic::Max:
            return "最大値";
    }
    return "";
}

Spectrum spectrumOver(const HARMDIM& state, const RecordSpan& records, int channel,
                      SpectrumStatistic statistic) {
    Spectrum out = spectrumAt(state, records.empty() ? 0 : records.first, channel);
    if (statistic == SpectrumStatistic::Instant || records.empty()) return out;
    out.when = recordTimeText(state, records.first) + "～" + recordTimeText(state, records.last) +
               "  " + spectrumStatisticText(statistic);
    // One spectrum per record, then each column's statistic: the same values the record
    // spectrum shows, so the 最大値 of one record is that record's spectrum.
    const std::size_t n = out.orders.size();
    std::vector<std::vector<float>> distortion(n), current(n);
    std::vector<float> total, fundamental;
    for (int32_t rec = records.first; rec <= records.last; ++rec) {
        const Spectrum s = spectrumAt(state, rec, channel);
        total.push_back(static_cast<float>(s.totalDistortion));
        fundamental.push_back(static_cast<float>(s.fundamentalCurrent));
        for (std::size_t i = 0; i < n; ++i) {
            distortion[i].push_back(static_cast<float>(s.orders[i].distortion));
            current[i].push_back(static_cast<float>(s.orders[i].current));
        }
    }
    out.totalDistortion = statisticOf(total, statistic);
    out.fundamentalCurrent = statisticOf(fundamental, statistic);
    for (std::size_t i = 0; i < n; ++i) {
        out.orders[i].distortion = statisticOf(distortion[i], statistic);
        out.orders[i].current = statisticOf(current[i], statistic);
    }
    return out;
}

void applySpectrumLimits(Spectrum& spectrum, const HARMDIM& state, const LimitSet& set,
                         std::optional<double> contractKw) {
    const int step = orderStepOf(state.MaxOrderIndex);
    LimitOverlayRequest voltage = limitOverlayOf(kVoltageDistortion, 0, {}, set);
    LimitOverlayRequest current =
        limitOverlayOf(kCurrent, static_cast<int16_t>(spectrum.channel), {}, set);
    current.options.contractKw = contractKw;
    for (std::size_t k = 1; k < spectrum.orders.size(); ++k) {
        spectrum.orders[k].distortionLimit = orderLimit(voltage, static_cast<int>(k), step);
        spectrum.orders[k].currentLimit = orderLimit(current, static_cast<int>(k), step);
    }
}

}  // namespace hg
