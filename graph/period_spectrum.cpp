#include "graph/period_spectrum.h"

#include <algorithm>
#include <thread>

#include "analysis/harmdim.h"
#include "analysis/item_codes.h"
#include "analysis/percent_of_fundamental.h"
#include "analysis/series_value.h"
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

constexpr int kOrdersPerPass = 16;

// Orders first..last-1 of `out`: the statistic of their distortion and current over the records.
void orderBlock(const HARMDIM& state, const RecordSpan& records, Spectrum& out, int first, int last,
                SpectrumStatistic statistic) {
    const std::size_t width = static_cast<std::size_t>(last - first);
    std::vector<std::vector<float>> distortion(width), current(width);
    for (std::size_t i = 0; i < width; ++i) {
        distortion[i].reserve(static_cast<std::size_t>(records.count()));
        current[i].reserve(static_cast<std::size_t>(records.count()));
    }
    for (int32_t rec = records.first; rec <= records.last; ++rec)
        for (int k = first; k < last; ++k) {
            const auto i = static_cast<std::size_t>(k - first);
            distortion[i].push_back(
                static_cast<float>(seriesValue(state, kVoltageDistortion, rec, k, 0, 1.0).value));
            current[i].push_back(
                static_cast<float>(seriesValue(state, kCurrent, rec, k, out.channel, 1.0).value));
        }
    for (int k = first; k < last; ++k) {
        const auto i = static_cast<std::size_t>(k - first);
        out.orders[static_cast<std::size_t>(k)].distortion = statisticOf(distortion[i], statistic);
        out.orders[static_cast<std::size_t>(k)].current = statisticOf(current[i], statistic);
    }
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
    // Each column's statistic over the records, of the values the record spectrum shows, so
    // the 最大値 of one record is that record's spectrum. Orders are shared by the threads.
    const auto column = [&](int16_t item, int series, int ch, auto shown) {
        std::vector<float> values;
        values.reserve(static_cast<std::size_t>(records.count()));
        for (int32_t rec = records.first; rec <= records.last; ++rec)
            values.push_back(
                static_cast<float>(shown(seriesValue(state, item, rec, series, ch, 1.0).value)));
        return statisticOf(values, statistic);
    };
    const auto same = [](double v) { return v; };
    // The fundamental's bar: 100 % of itself where it is large enough to hold a ratio.
    out.orders[0].distortion =
        column(kVoltage, 0, 0, [](double v) { return percentOfFundamental(v, v); });
    out.totalDistortion = column(kVoltageDistortion, 0, 0, same);
    out.fundamentalCurrent = column(kCurrent, 0, out.channel, same);
    // The harmonics a block of neighbouring orders at a time, record by record (each record's
    // row is read once per block), the blocks shared by the threads.
    const int n = static_cast<int>(out.orders.size());
    const int blocks = (n - 1 + kOrdersPerPass - 1) / kOrdersPerPass;
    const int threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
    std::vector<std::thread> workers;
    for (int w = 0; w < threads; ++w)
        workers.emplace_back([&, w] {
            for (int b = w; b < blocks; b += threads)
                orderBlock(state, records, out, 1 + b * kOrdersPerPass,
                           std::min(n, 1 + (b + 1) * kOrdersPerPass), statistic);
        });
    for (std::thread& t : workers) t.join();
    out.orders[0].current = out.fundamentalCurrent;
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
