#include "datafile/synth.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <unordered_set>

#include "platform/dates.h"
#include "platform/output.h"

namespace hg {

namespace {

constexpr double kPi = 3.14159265358979323846;

uint64_t mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// Deterministic noise in [-1, 1) for one value of one record: `base` is the record's key.
double noise(uint64_t base, uint64_t stream, uint64_t index) {
    const uint64_t h = mix(base ^ (stream << 40) ^ (index * 0xD6E8FEB86659FD93ULL));
    return static_cast<double>(h >> 11) * 0x1p-52 - 1.0;
}

// Streams of noise, one per kind of value.
enum Stream : uint64_t {
    kLoad = 1,
    kVoltage,
    kCurrent,
    kAngle,
    kSuper,
    kPhase,
    kOrderAngle,
    kOrderSuper,
    kDrop,
};

// Whole degrees wrapped into -180..179.
int16_t wholeDegrees(double degrees) {
    long a = std::lround(degrees);
    a = ((a + 180) % 360 + 360) % 360 - 180;
    return static_cast<int16_t>(a);
}

// Share of the fundamental of order n in the voltage: a few percent at the 5th and 7th, falling
// with the order; triplen and even orders small.
double voltageShare(int n) {
    if (n == 1) return 1.0;
    if (n % 2 == 0) return 0.001 * 2.0 / n;
    if (n % 3 == 0) return 0.006 * 3.0 / n;
    return 0.025 * std::pow(5.0 / n, 1.3);
}

// Share of the fundamental of order n in a six-pulse rectifier current: about 1/n at the orders
// 6m +/- 1, rolling off at high orders; the other orders small.
double currentShare(int n) {
    if (n == 1) return 1.0;
    if (n % 6 == 1 || n % 6 == 5) return 0.9 / n * std::exp(-n / 60.0);
    if (n % 2 == 0) return 0.004 / n;
    return 0.02 / n;
}

template <class T>
void encodeLittle(const T* source, uint8_t* destination, std::size_t count) {
    std::memcpy(destination, source, count * sizeof(T));
    if constexpr (std::endian::native == std::endian::big) {
        for (std::size_t i = 0; i < count; ++i)
            std::reverse(destination + i * sizeof(T), destination + (i + 1) * sizeof(T));
    }
}

// The kind a name gives the generator: kindFromName, plus the short form on request, which the
// reader only recognises for an "hn" name with a three-character extension.
Result<FileKind> synthKind(const std::string& path, bool shortHn) {
    auto kind = kindFromName(path, std::nullopt);
    if (!kind) return kind;
    if (shortHn) {
        const std::string_view name = baseName(path);
        const std::size_t dot = name.rfind('.');
        if (kind->family != KindFamily::hn || dot == std::string_view::npos ||
            name.size() - dot - 1 != 3)
            return Error{
                "the short form needs an \"hn\" name with a three-character extension "
                "(x.hn2): " +
                std::string(name)};
        kind->shortHn = true;
        kind->layout = layoutOf(kind->family, kind->channels, true);
    }
    return kind;
}

constexpr double kChannelAmperes[9] = {48, 85, 30, 120, 62, 25, 75, 100, 40};
constexpr double kChannelRectifier[9] = {1.0, 0.6, 0.85, 0.4, 0.75, 0.5, 0.9, 0.3, 0.65};

// Daily load at `hour` of the day: lowest before dawn, highest in the afternoon.
double dailyLoad(double hour, uint64_t key) {
    return (0.35 + 0.55 * (0.5 - 0.5 * std::cos(2 * kPi * (hour - 3.0) / 24.0))) *
           (1.0 + 0.03 * noise(key, kLoad, 0));
}

// The voltage of every order: the fundamental v1, the harmonics its shares grown with the load
// by `distortion`. Returns the sum of the squares of the stored values.
double fillVoltages(const std::vector<double>& shares, double v1, double distortion, uint64_t key,
                    SynthCase what, RecordValues& out) {
    double vSquares = 0;
    for (int k = 0; k < out.orders; ++k) {
        double v = k == 0 ? v1
                          : v1 * shares[static_cast<std::size_t>(k)] * distortion *
                                (1.0 + 0.1 * noise(key, kVoltage, static_cast<uint64_t>(k)));
        if (what == SynthCase::zeroHarmonics && k > 0) v = 0;
        if (what == SynthCase::zeroFundamental && k == 0) v = 0;
        out.V[static_cast<std::size_t>(k)] = static_cast<float>(v);
        vSquares += static_cast<double>(out.V[static_cast<std::size_t>(k)]) * out.V[k];
    }
    return vSquares;
}

// The three phase values of a quantity whose whole r.m.s. is `rms`: a slight unbalance, and
// noise of `spread` from noise index `index` on.
void fillPhases(float* phases, double rms, const double (&unbalance)[3], double spread,
                uint64_t key, uint64_t index) {
    for (int p = 0; p < 3; ++p)
        phases[p] =
            static_cast<float>(rms * unbalance[p] * (1.0 + spread * noise(key, kPhase, index + p)));
}

// The base values a channel's currents and angles are drawn around.
struct ChannelCircuit {
    double i1;         // fundamental current of the record
    double rectifier;  // share of the rectifier in the load
    const std::vector<double>& currentShare;
    const std::vector<double>& orderAngle;
};

// The currents and angles of channel c, every order, and its phase currents where the layout
// carries them.
void fillChannel(int c, const ChannelCircuit& circuit, const RecordLayout& l, uint64_t key,
                 SynthCase what, RecordValues& out) {
    const uint64_t base = static_cast<uint64_t>(c) * 4096;
    const double i1 = circuit.i1;
    double iSquares = 0;
    for (int k = 0; k < l.orders; ++k) {
        const uint64_t at = base + static_cast<uint64_t>(k);
        double i = k == 0 ? i1
                          : i1 * circuit.currentShare[static_cast<std::size_t>(k)] *
                                circuit.rectifier * (1.0 + 0.05 * noise(key, kCurrent, at));
        double angle = k == 0 ? circuit.orderAngle[0] - 4.0 * c + 3.0 * noise(key, kAngle, at)
                              : circuit.orderAngle[static_cast<std::size_t>(k)] + 6.0 * c +
                                    8.0 * noise(key, kAngle, at);
        if (what == SynthCase::zeroHarmonics && k > 0) i = 0;
        if (what == SynthCase::tinyCurrents) i = c == 0 ? 0.01 : 0.004;
        if (what == SynthCase::extremeAngles)
            angle = (k + c) % 3 == 0 ? -180 : (k + c) % 3 == 1 ? 180 : 179;
        out.current(c, k) = static_cast<float>(i);
        out.angle(c, k) =
            what == SynthCase::extremeAngles ? static_cast<int16_t>(angle) : wholeDegrees(angle);
        iSquares += static_cast<double>(out.current(c, k)) * out.current(c, k);
    }
    if (l.hasPhaseValues())
        fillPhases(out.Ip.data() + static_cast<std::size_t>(c) * 3, std::sqrt(iSquares),
                   {1.02, 0.985, 1.005}, 0.003, key, base + 8);
}

// The superposition angles of the voltage and of the current where the layout carries them.
void fillSuperposition(const std::vector<double>& superAngle, const RecordLayout& l, uint64_t key,
                       SynthCase what, RecordValues& out) {
    std::fill(out.VR.begin(), out.VR.end(), int16_t{0});
    std::fill(out.IR.begin(), out.IR.end(), int16_t{0});
    const auto superposition = [&](int k, uint64_t stream) -> int16_t {
        if (what == SynthCase::extremeAngles) return stream == 0 ? 180 : -180;
        return wholeDegrees(superAngle[static_cast<std::size_t>(k)] + (stream == 0 ? 0.0 : 35.0) +
                            (k == 0 ? 2.0 : 10.0) *
                                noise(key, kSuper, stream * 1024 + static_cast<uint64_t>(k)));
    };
    if (l.hasVoltageAngles()) {
        // The short form keeps the odd orders 1, 3, ... 49: value j is order index 2j.
        const int step = l.vrCount == l.orders ? 1 : 2;
        for (int j = 0; j < l.vrCount; ++j)
            out.VR[static_cast<std::size_t>(j * step)] = superposition(j * step, 0);
    }
    if (l.hasCurrentAngles())
        for (int k = 0; k < l.orders; ++k)
            out.IR[static_cast<std::size_t>(k)] = superposition(k, 1);
}

// The phase angles of the currents where the layout carries them: 120 degrees apart from the
// first channel's fundamental.
void fillPhaseAngles(const RecordLayout& l, uint64_t key, SynthCase what, RecordValues& out) {
    out.Ia[0] = out.Ia[1] = out.Ia[2] = 0;
    if (!l.hasPhaseAngles()) return;
    if (what == SynthCase::extremeAngles) {
        out.Ia[0] = -180;
        out.Ia[1] = 180;
        out.Ia[2] = 179;
        return;
    }
    const double iu = out.angle(0, 0);
    for (int p = 0; p < 3; ++p)
        out.Ia[p] = wholeDegrees(iu - 120.0 * p + 2.0 * noise(key, kPhase, 1 + p));
}

}  // namespace

Result<SynthRecording> SynthRecording::plan(const std::string& name, const SynthOptions& options) {
    auto kind = synthKind(name, options.shortHn);
    if (!kind) return Error{kind.error()};
    SynthRecording s;
    s.kind_ = *kind;
    s.options_ = options;
    const RecordLayout& layout = s.kind_.layout;
    if (options.records < 1) return Error{"the record count must be at least 1"};
    if (options.intervalMinutes < 1) return Error{"the interval must be at least 1 minute"};
    if (options.gaps < 0) return Error{"the gap count must not be negative"};
    if (options.gaps > 0 && options.records < 2)
        return Error{"gaps need at least two records (the first and the last are kept)"};
    int64_t bytes = 0, slots = 0, span = 0;
    if (__builtin_mul_overflow(options.records, layout.recordLength, &bytes) ||
        __builtin_add_overflow(options.records, options.gaps, &slots) ||
        __builtin_mul_overflow(slots - 1, int64_t{options.intervalMinutes}, &span))
        return Error{"the recording would be too large"};

    // Stamps hold two-digit years, which read back as 1930..2029.
    const double start =
        options.start.value_or(options.adversarial ? dateTime(*dayNumber(2005, 3, 11), 23 * 60)
                                                   : dateTime(*dayNumber(2019, 5, 29), 0));
    if (!std::isfinite(start) || std::fabs(start) > 1e7)
        return Error{"the start is not a date-time"};
    s.startMinute_ = wholeMinutes(0.0, start);
    const int64_t first = int64_t{*dayNumber(1930, 1, 1)} * 1440;
    const int64_t beyond = (int64_t{*dayNumber(2029, 12, 31)} + 1) * 1440;
    if (s.startMinute_ < first || span > beyond - 1 - s.startMinute_)
        return Error{"the stamps must lie within 1930..2029 (two-digit years)"};

    // Dropped slots: `gaps` distinct interior slots (Floyd's sampling), ascending.
    if (options.gaps > 0) {
        const int64_t interior = slots - 2;  // slots 1 .. slots-2
        std::unordered_set<int64_t> chosen;
        chosen.reserve(static_cast<std::size_t>(options.gaps));
        uint64_t state = mix(options.seed ^ (uint64_t{kDrop} << 40));
        for (int64_t j = interior - options.gaps; j < interior; ++j) {
            state = mix(state);
            const auto t = static_cast<int64_t>(state % static_cast<uint64_t>(j + 1));
            if (!chosen.insert(t).second) chosen.insert(j);
        }
        s.dropped_.assign(chosen.begin(), chosen.end());
        std::sort(s.dropped_.begin(), s.dropped_.end());
        for (int64_t& d : s.dropped_) d += 1;
    }

    // The circuit: voltage level, currents per channel, spectra and angles per order.
    const bool lowVoltage = phaseMarker(baseName(name)).has_value();
    s.lineVoltage_ = lowVoltage ? 200.0 : 6600.0;
    for (int c = 0; c < s.kind_.channels; ++c)
        s.channelBase_.push_back(kChannelAmperes[c] * (lowVoltage ? 5.0 : 1.0));
    const int orders = layout.orders;
    const uint64_t key = mix(options.seed);
    for (int k = 0; k < orders; ++k) {
        const int n = s.kind_.orderOf(k);
        s.voltageShare_.push_back(voltageShare(n));
        s.currentShare_.push_back(currentShare(n));
        s.orderAngle_.push_back(k == 0 ? -18.0 : 180.0 * noise(key, kOrderAngle, k));
        s.superAngle_.push_back(k == 0 ? 0.0 : 180.0 * noise(key, kOrderSuper, k));
    }
    return s;
}

double SynthRecording::start() const {
    return dateTime(static_cast<int32_t>(startMinute_ / 1440),
                    static_cast<int32_t>(startMinute_ % 1440));
}

int64_t SynthRecording::slotOf(int64_t r) const {
    // The i-th dropped slot d has d - i kept slots before it; record r lies after every dropped
    // slot with d - i <= r.
    int64_t lo = 0, hi = static_cast<int64_t>(dropped_.size());
    while (lo < hi) {
        const int64_t mid = (lo + hi) / 2;
        if (dropped_[static_cast<std::size_t>(mid)] - mid <= r)
            lo = mid + 1;
        else
            hi = mid;
    }
    return r + lo;
}

double SynthRecording::stampOf(int64_t r) const {
    const int64_t m = startMinute_ + minutesOf(r);
    return dateTime(static_cast<int32_t>(m / 1440), static_cast<int32_t>(m % 1440));
}

float SynthRecording::dateNumberOf(int64_t r) const {
    const CivilDate d = civilDate(stampOf(r));
    return static_cast<float>((d.year % 100) * 10000 + d.month * 100 + d.day);
}

int16_t SynthRecording::timeNumberOf(int64_t r) const {
    const int64_t m = (startMinute_ + minutesOf(r)) % 1440;
    return static_cast<int16_t>(m / 60 * 100 + m % 60);
}

SynthCase SynthRecording::caseOf(int64_t r) const {
    if (!options_.adversarial) return SynthCase::normal;
    switch (r % 97) {
        case 1:
            return SynthCase::zeroHarmonics;
        case 2:
            return SynthCase::zeroFundamental;
        case 3:
            return SynthCase::tinyCurrents;
        case 4:
            return SynthCase::extremeAngles;
        default:
            return SynthCase::normal;
    }
}

void SynthRecording::record(int64_t r, RecordValues& out) const {
    const RecordLayout& l = kind_.layout;
    if (out.orders != l.orders || out.channels != l.channels) out.size(l);
    const uint64_t key = mix(options_.seed ^ mix(static_cast<uint64_t>(r)));
    const SynthCase what = caseOf(r);

    out.date = dateNumberOf(r);
    out.time = timeNumberOf(r);
    const double hour = static_cast<double>((startMinute_ + minutesOf(r)) % 1440) / 60.0;
    const double load = dailyLoad(hour, key);

    // Voltage: sags a little under load; harmonics grow with it.
    const double v1 = lineVoltage_ * (1.0 + 0.02 * (0.5 - load) + 0.003 * noise(key, kVoltage, 0));
    const double vSquares = fillVoltages(voltageShare_, v1, 0.6 + 0.6 * load, key, what, out);

    std::fill(out.I.begin(), out.I.end(), 0.0f);
    std::fill(out.A.begin(), out.A.end(), int16_t{0});
    std::fill(out.Ip.begin(), out.Ip.end(), 0.0f);
    for (int c = 0; c < l.channels; ++c) {
        const double i1 = channelBase_[static_cast<std::size_t>(c)] * load *
                          (1.0 + 0.02 * noise(key, kCurrent, static_cast<uint64_t>(c) * 4096));
        fillChannel(c, {i1, kChannelRectifier[c], currentShare_, orderAngle_}, l, key, what, out);
    }

    fillSuperposition(superAngle_, l, key, what, out);
    out.Vp[0] = out.Vp[1] = out.Vp[2] = 0;
    if (l.hasPhaseValues())
        fillPhases(out.Vp, std::sqrt(vSquares), {1.004, 0.997, 1.001}, 0.001, key, 4);
    fillPhaseAngles(l, key, what, out);
}

void encodeRecord(const RecordValues& v, const RecordLayout& l, uint8_t* rec) {
    const auto n = static_cast<std::size_t>(l.orders);
    std::memset(rec, 0, static_cast<std::size_t>(l.recordLength));
    encodeLittle(&v.date, rec + RecordLayout::dateOffset, 1);
    encodeLittle(&v.time, rec + RecordLayout::timeOffset, 1);
    encodeLittle(v.V.data(), rec + RecordLayout::voltageOffset, n);
    for (int c = 0; c < l.channels; ++c) {
        encodeLittle(v.I.data() + static_cast<std::size_t>(c) * n, rec + l.currentOffset(c), n);
        encodeLittle(v.A.data() + static_cast<std::size_t>(c) * n, rec + l.angleOffset(c), n);
    }
    if (l.hasVoltageAngles()) {
        if (l.vrCount == l.orders) {
            encodeLittle(v.VR.data(), rec + l.voltageAngles, n);
        } else {
            for (int j = 0; j < l.vrCount; ++j)
                encodeLittle(&v.VR[static_cast<std::size_t>(2 * j)], rec + l.voltageAngles + 2 * j,
                             1);
        }
    }
    if (l.hasCurrentAngles()) encodeLittle(v.IR.data(), rec + l.currentAngles, n);
    if (l.hasPhaseValues()) {
        encodeLittle(v.Vp, rec + l.phaseVoltages, 3);
        for (int c = 0; c < l.channels; ++c)
            encodeLittle(v.Ip.data() + static_cast<std::size_t>(c) * 3,
                         rec + l.phaseCurrentOffset(c), 3);
    }
    if (l.hasPhaseAngles()) encodeLittle(v.Ia, rec + l.phaseAngles, 3);
}

Status writeSynth(const std::string& path, const SynthOptions& options) {
    auto plan = SynthRecording::plan(path, options);
    if (!plan) return Error{plan.error()};
    if (auto target = checkOutputTarget(path, ""); !target) return target;
    const RecordLayout& layout = plan->kind().layout;
    const auto recordBytes = static_cast<std::size_t>(layout.recordLength);

    // Into a temporary file beside `path`, renamed over it when every record is written.
    constexpr std::size_t kChunk = std::size_t{8} << 20;
    StagedOutputs out(diskOutput(), kChunk);
    auto file = out.add(path);
    if (!file) return Error{file.error()};

    // Whole records in chunks of about 8 MB, written in one call each.
    const std::size_t perChunk = std::max<std::size_t>(1, kChunk / recordBytes);
    RecordValues values;
    values.size(layout);
    for (int64_t r = 0; r < plan->records();) {
        auto* chunk = reinterpret_cast<uint8_t*>(out.room(*file, perChunk * recordBytes));
        std::size_t filled = 0;
        for (; filled < perChunk && r < plan->records(); ++filled, ++r) {
            plan->record(r, values);
            encodeRecord(values, layout, chunk + filled * recordBytes);
        }
        out.advance(*file, reinterpret_cast<char*>(chunk + filled * recordBytes));
        if (auto written = out.flush(*file); !written) return written;
    }
    if (auto committed = out.commit(); !committed) return committed;
    return success();
}

}  // namespace hg
