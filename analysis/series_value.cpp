#include "analysis/series_value.h"

#include <cmath>

#include "analysis/harmdim.h"
#include "analysis/items.h"
#include "analysis/percent_of_fundamental.h"
#include "analysis/upstream_prediction.h"

namespace hg {

namespace {
constexpr double kPi = 3.141592;

template <class T>
double at(const Table<T>& t, long i) {
    return t.contains(i) ? static_cast<double>(t(i)) : 0.0;
}
template <class T>
double at(const Table<T>& t, long i, long j) {
    return t.contains(i, j) ? static_cast<double>(t(i, j)) : 0.0;
}
template <class T>
double at(const Table<T>& t, long i, long j, long k) {
    return t.contains(i, j, k) ? static_cast<double>(t(i, j, k)) : 0.0;
}
}  // namespace

namespace {
// The catalogue entry whose tables an item's series read (any unknown code reads as item 1).
const ItemInfo& seriesInfo(int16_t item) {
    const ItemInfo* info = itemInfo(item);
    if (!info) info = itemInfo(kVoltageDistortion);
    return *itemInfo(info->seriesCode);
}
}  // namespace

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

double phaseDifferenceAngle(float activePower, float reactivePower) {
    const double p = activePower, q = reactivePower;
    const double r = -q / (p + 1e-20);
    double a = std::atan(r) / kPi * 180.0;
    if (!(p + 1e-20 > 0)) a += q >= 0 ? -180.0 : 180.0;
    return a;
}

SeriesValue seriesValue(const HARMDIM& s, int16_t item, int32_t rec, int series, int currentChannel,
                        double fundamentalFactor, const Prediction* prediction) {
    SeriesValue out;
    if (rec < 0 || rec >= s.LoadedRecords || series < 0) return out;
    const int16_t code = seriesItem(item);
    const long ch = seriesChannel(code, currentChannel);
    const long t = rec, k = series;
    double v = 0;
    switch (code) {
        case kVoltageDistortion:
            v = k == 0 ? at(s.VoltageThd, t)
                       : percentOfFundamental(at(s.VoltageTable, t, k), at(s.VoltageTable, t, 0));
            break;
        case kCurrentDistortion:
            v = k == 0 ? at(s.CurrentThd, ch, t)
                       : percentOfFundamental(at(s.CurrentTable, ch, t, k),
                                              at(s.CurrentTable, ch, t, 0));
            break;
        case kActivePower:
            v = at(s.ActivePower, ch, t, k);
            break;
        case kReactivePower:
            v = at(s.ReactivePower, ch, t, k);
            break;
        case kCurrent:
            v = at(s.CurrentTable, ch, t, k);
            break;
        case kPhaseDifference:
            if (s.ActivePower.contains(ch, t, k))
                v = phaseDifferenceAngle(s.ActivePower(ch, t, k), s.ReactivePower(ch, t, k));
            break;
        case kImpedance: {
            const double current = at(s.CurrentTable, ch, t, k);
            if (current == 0) {
                out.atTopEdge = true;
                return out;
            }
            v = at(s.VoltageTable, t, k) / current;
            if (!std::isfinite(v)) {
                out.atTopEdge = true;
                return out;
            }
            break;
        }
        case kOverload:
            v = at(s.OverloadTable, k, t);
            break;
        case kVoltageSuperposition:
            v = at(s.AngleTable, 0, t, k);
            break;
        case kCurrentSuperposition:
            v = at(s.AngleTable, 1, t, k);
            break;
        case kVoltage:
            v = at(s.VoltageTable, t, k);
            break;
        case kPhaseVoltage:
            v = at(s.PhaseVoltage, t, k);
            break;
        case kPhaseCurrent:
            v = at(s.PhaseCurrent, ch, t, k);
            break;
        case kPredictedDistortion:
            if (prediction)
                v = percentOfFundamental(
                    k == 0 ? at(prediction->PredictTotal, t) : at(prediction->PredictTable, t, k),
                    at(prediction->PredictTable, t, 0));
            break;
        case kPredictedPhaseDifference:
            if (prediction) v = at(prediction->PredictAngle, 0, t, k);
            break;
        case kPredictedSuperposition:
            if (prediction) v = at(prediction->PredictAngle, 1, t, k);
            break;
        default:
            break;
    }
    if (k == 0 && fundamentalFactorApplies(code)) v *= fundamentalFactor;
    out.value = v;
    return out;
}

}  // namespace hg
