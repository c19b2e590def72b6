// The sample generator: plausible synthetic recordings of every kind, for samples, tests and
// benchmarks. The kind and the channel count come from the output name by the same rule the reader
// uses ("a.hm3", "a.Rhn2", "a.ha6"). Every value of record r is a pure function of the kind, the
// options and r, so a test can compare what a reader loaded with what was written.
//
// The systems are 6.6 kV feeders (line voltage about 6600 V, currents of tens of amperes), or
// 200 V low-voltage circuits for names with the R/S/T phase marker (currents of hundreds of
// amperes). Voltages carry a few percent distortion falling with the order; currents have the
// spectrum of six-pulse rectifier loads (5th, 7th, 11th, 13th ... about 1/n of the fundamental),
// follow a daily load profile and differ slightly per phase.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "datafile/record_file.h"
#include "datafile/record_format.h"
#include "platform/result.h"

namespace hg {

struct SynthOptions {
    int64_t records = 144;         // records in the file, >= 1
    int32_t intervalMinutes = 10;  // minutes between two time slots, >= 1
    // Date-time (day number) of the first record, truncated to its minute. Empty: 2019-05-29 00:00,
    // or in the adversarial mode 2005-03-11 23:00 (the recording then crosses midnight into
    // 05/03/12, giving five-digit date numbers, a midnight stamp and small time numbers).
    std::optional<double> start;
    uint64_t seed = 1;
    // Time slots dropped at random (never the first or the last): the file still holds `records`
    // records, and its stamps skip the dropped slots, spanning records + gaps - 1 intervals.
    int64_t gaps = 0;
    bool shortHn = false;      // "hn" only: the short form (25 voltage superposition angles)
    bool adversarial = false;  // mix in the hard records of SynthCase
};

// What a record of the adversarial mode holds. Record r gets case (r mod 97) when that is 1..4.
enum class SynthCase {
    normal,
    zeroHarmonics,    // every order above the fundamental is 0 (voltage and currents)
    zeroFundamental,  // voltage of the fundamental is 0 (harmonics kept)
    tinyCurrents,     // channel 0 at exactly 0.01 A in every order, other channels at 0.004 A
    extremeAngles,    // angles at -180, 180 and 179
};

class SynthRecording {
  public:
    // Reads the kind from the name (or path) and validates the options against it (record count,
    // interval, the years 1930..2029 the stamps can hold, the short form's conditions), then draws
    // the dropped slots. A name with the R/S/T phase marker gets the 200 V circuit.
    static Result<SynthRecording> plan(const std::string& name, const SynthOptions& options);

    const FileKind& kind() const { return kind_; }
    const SynthOptions& options() const { return options_; }
    int64_t records() const { return options_.records; }
    double start() const;  // date-time of record 0

    // Time slot of record r (r plus the dropped slots before it) and its whole minutes from the
    // first record.
    int64_t slotOf(int64_t r) const;
    int64_t minutesOf(int64_t r) const { return slotOf(r) * options_.intervalMinutes; }
    // Date-time of record r, and the date number (yymmdd) and time number (hhmm) it is stamped
    // with.
    double stampOf(int64_t r) const;
    float dateNumberOf(int64_t r) const;
    int16_t timeNumberOf(int64_t r) const;
    SynthCase caseOf(int64_t r) const;

    // The values of record r exactly as decodeRecord yields them from the written bytes (short
    // "hn": voltage angle j at index 2j, the other indexes 0; the combined channel row left 0).
    // `out` is sized for the layout on first use.
    void record(int64_t r, RecordValues& out) const;

    // The dropped time slots, ascending.
    const std::vector<int64_t>& droppedSlots() const { return dropped_; }

  private:
    SynthRecording() = default;
    FileKind kind_;
    SynthOptions options_;
    int64_t startMinute_ = 0;  // whole minutes of the first stamp from day 0
    double lineVoltage_ = 6600;
    std::vector<double> channelBase_;   // fundamental current of each channel at full load
    std::vector<double> voltageShare_;  // per order index: share of the fundamental
    std::vector<double> currentShare_;
    std::vector<double> orderAngle_;  // per order index: base phase difference, degrees
    std::vector<double> superAngle_;  // per order index: base superposition angle, degrees
    std::vector<int64_t> dropped_;
};

// Encodes a record's values into `record` (layout.recordLength bytes) at the layout's offsets,
// little-endian: the inverse of decodeRecord.
void encodeRecord(const RecordValues& values, const RecordLayout& layout, uint8_t* record);

// Writes a synthetic recording to `path`: into a temporary file in the same folder, renamed over
// `path` on success; on failure the temporary file is removed and `path` left as it was.
Status writeSynth(const std::string& path, const SynthOptions& options);

}  // namespace hg
