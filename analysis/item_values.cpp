#include "analysis/item_values.h"

#include <cmath>

#include "analysis/harmdim.h"
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

SeriesValue plain(double v) {
    return SeriesValue{v, false};
}
}  // namespace

double phaseDifferenceAngle(float activePower, float reactivePower) {
    const double p = activePower, q = reactivePower;
    const double r = -q / (p + 1e-20);
    double a = std::atan(r) / kPi * 180.0;
    if (!(p + 1e-20 > 0)) a += q >= 0 ? -180.0 : 180.0;
    return a;
}

namespace item_values {

SeriesValue voltageDistortion(const ItemSource& src, long t, long k, long) {
    const HARMDIM& s = src.state;
    return plain(k == 0 ? at(s.VoltageThd, t)
                        : percentOfFundamental(at(s.VoltageTable, t, k), at(s.VoltageTable, t, 0)));
}

SeriesValue currentDistortion(const ItemSource& src, long t, long k, long ch) {
    const HARMDIM& s = src.state;
    return plain(k == 0 ? at(s.CurrentThd, ch, t)
                        : percentOfFundamental(at(s.currentTable(), ch, t, k),
                                               at(s.currentTable(), ch, t, 0)));
}

SeriesValue activePower(const ItemSource& src, long t, long k, long ch) {
    return plain(at(src.state.activePower(), ch, t, k));
}

SeriesValue reactivePower(const ItemSource& src, long t, long k, long ch) {
    return plain(at(src.state.reactivePower(), ch, t, k));
}

SeriesValue current(const ItemSource& src, long t, long k, long ch) {
    return plain(at(src.state.currentTable(), ch, t, k));
}

SeriesValue phaseDifference(const ItemSource& src, long t, long k, long ch) {
    const HARMDIM& s = src.state;
    const Table<float>& P = s.activePower();
    if (!P.contains(ch, t, k)) return {};
    return plain(phaseDifferenceAngle(P(ch, t, k), s.reactivePower()(ch, t, k)));
}

SeriesValue impedance(const ItemSource& src, long t, long k, long ch) {
    const double current = at(src.state.currentTable(), ch, t, k);
    if (current == 0) return SeriesValue{0, true};
    const double v = at(src.state.VoltageTable, t, k) / current;
    return std::isfinite(v) ? plain(v) : SeriesValue{0, true};
}

SeriesValue overload(const ItemSource& src, long t, long k, long) {
    return plain(at(src.state.OverloadTable, k, t));
}

SeriesValue voltageSuperposition(const ItemSource& src, long t, long k, long) {
    return plain(at(src.state.AngleTable, 0, t, k));
}

SeriesValue currentSuperposition(const ItemSource& src, long t, long k, long) {
    return plain(at(src.state.AngleTable, 1, t, k));
}

SeriesValue voltage(const ItemSource& src, long t, long k, long) {
    return plain(at(src.state.VoltageTable, t, k));
}

SeriesValue phaseVoltage(const ItemSource& src, long t, long k, long) {
    return plain(at(src.state.PhaseVoltage, t, k));
}

SeriesValue phaseCurrent(const ItemSource& src, long t, long k, long ch) {
    return plain(at(src.state.PhaseCurrent, ch, t, k));
}

SeriesValue predictedDistortion(const ItemSource& src, long t, long k, long) {
    const Prediction* p = src.prediction;
    if (!p) return {};
    return plain(percentOfFundamental(k == 0 ? at(p->PredictTotal, t) : at(p->PredictTable, t, k),
                                      at(p->PredictTable, t, 0)));
}

SeriesValue predictedPhaseDifference(const ItemSource& src, long t, long k, long) {
    return src.prediction ? plain(at(src.prediction->PredictAngle, 0, t, k)) : SeriesValue{};
}

SeriesValue predictedSuperposition(const ItemSource& src, long t, long k, long) {
    return src.prediction ? plain(at(src.prediction->PredictAngle, 1, t, k)) : SeriesValue{};
}

}  // namespace item_values

}  // namespace hg
