// How each graph item's value is read from the loaded tables: for a record slot, a series index
// (the order index for order items, the rate or the per-phase column for the others) and the
// channel the item reads. One function per item; the item catalogue names them. A slot or index
// outside a table reads 0.
#pragma once

namespace hg {

struct HARMDIM;
struct Prediction;

struct SeriesValue {
    double value = 0;        // the value, times the fundamental factor where it applies
    bool atTopEdge = false;  // impedance of a record whose current is exactly 0: the drawing
                             // places the point on the plot's top edge (value is then 0)
};

// What an item's value is read from: the loaded tables and, for the prediction items, the
// window's prediction (none: they read 0).
struct ItemSource {
    const HARMDIM& state;
    const Prediction* prediction = nullptr;
};

using ItemValue = SeriesValue (*)(const ItemSource& source, long rec, long series, long channel);

// The angle in degrees of the point (P, -Q): the arctangent of -Q / (P + 1E-20) (pi taken as
// 3.141592), moved by -180 when Q >= 0 and +180 when Q < 0 if P + 1E-20 is not above 0.
double phaseDifferenceAngle(float activePower, float reactivePower);

namespace item_values {
SeriesValue voltageDistortion(const ItemSource& source, long rec, long series, long channel);
SeriesValue currentDistortion(const ItemSource& source, long rec, long series, long channel);
SeriesValue activePower(const ItemSource& source, long rec, long series, long channel);
SeriesValue reactivePower(const ItemSource& source, long rec, long series, long channel);
SeriesValue current(const ItemSource& source, long rec, long series, long channel);
SeriesValue phaseDifference(const ItemSource& source, long rec, long series, long channel);
SeriesValue impedance(const ItemSource& source, long rec, long series, long channel);
SeriesValue overload(const ItemSource& source, long rec, long series, long channel);
SeriesValue voltageSuperposition(const ItemSource& source, long rec, long series, long channel);
SeriesValue currentSuperposition(const ItemSource& source, long rec, long series, long channel);
SeriesValue voltage(const ItemSource& source, long rec, long series, long channel);
SeriesValue phaseVoltage(const ItemSource& source, long rec, long series, long channel);
SeriesValue phaseCurrent(const ItemSource& source, long rec, long series, long channel);
SeriesValue predictedDistortion(const ItemSource& source, long rec, long series, long channel);
SeriesValue predictedPhaseDifference(const ItemSource& source, long rec, long series, long channel);
SeriesValue predictedSuperposition(const ItemSource& source, long rec, long series, long channel);
}  // namespace item_values

}  // namespace hg
