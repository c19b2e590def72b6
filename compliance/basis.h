// The data basis of an assessment: the records of a period turned into the values a standard
// judges. A record is taken to be the value of the interval that begins at its stamp and lasts
// the record interval (the instrument's mean over that interval). Records shorter than 10
// minutes whose interval divides 10 are aggregated to 10-minute values on clock boundaries by the
// square root of the mean of their squares; records of 10 minutes or more, or of an interval that
// does not divide 10, are used as they are. A record whose fundamental voltage is below 10 % of
// the period's median is flagged (an interruption or a dip): a value holding one is flagged and
// not used. Value slots no record falls in are missing.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "compliance/statistics.h"
#include "platform/result.h"

namespace hg {

struct HARMDIM;

// How the records become values.
enum class BasisKind {
    Aggregated,  // shorter than 10 minutes, dividing 10: aggregated to 10-minute values
    TenMinute,   // 10-minute records, used as they are
    Longer,      // longer than 10 minutes, used as they are
    Uneven,      // shorter than 10 minutes but not dividing it, used as they are
};

enum class ValueState : uint8_t { Missing, Flagged, Used };

// What the basis reads: the tables (the records counted from tables.firstSlot), each record's
// stamp in whole minutes from day 0, the period's first and last minute, and the recording's
// average interval for a period of one record.
struct BasisInput {
    StatisticsSource tables;
    std::vector<int64_t> stamps;  // per counted record
    int64_t startMinute = 0;
    int64_t endMinute = 0;
    double averageInterval = 10;
    std::optional<int16_t>
        currentChannel;  // the magnitudes of this channel's current, else voltage
};

struct DataBasis {
    BasisKind kind = BasisKind::TenMinute;
    int recordMinutes = 10;  // the interval between records
    int valueMinutes = 10;   // the length of one value
    int64_t base = 0;        // the minute value slot 0 begins
    int64_t startMinute = 0;
    int64_t endMinute = 0;        // the period's last minute
    float medianFundamental = 0;  // of the voltage
    int32_t records = 0;
    int32_t flaggedRecords = 0;
    int columns = 0;                 // order indexes 0..N
    std::vector<ValueState> states;  // per value slot
    std::vector<int32_t> used;       // the slots whose value is used, ascending
    std::vector<float> values;       // per used slot, `columns` magnitudes

    int32_t valueCount() const { return static_cast<int32_t>(states.size()); }
    int64_t slotMinute(int32_t v) const { return base + int64_t{v} * valueMinutes; }
    // The magnitudes of the i-th used slot.
    const float* usedRow(std::size_t i) const {
        return values.data() + i * static_cast<std::size_t>(columns);
    }
    // The magnitudes of slot v; none when its value is not used.
    const float* row(int32_t v) const;
};

// The most value slots a period may have: far beyond any recording's 32 767 records, short of
// what a period of years between two stamps would ask of memory.
inline constexpr int64_t kMaxValueSlots = 2'000'000;

// The minutes from day 0 of every counted record's stamp, from the records' positions.
BasisInput basisInputOf(const HARMDIM& state, int32_t firstSlot, int32_t records, double start,
                        double end);

// The interval between records: the most common step between consecutive stamps, else the
// average interval rounded to a whole minute (at least 1).
int recordIntervalOf(const std::vector<int64_t>& stamps, double averageInterval);

// Refuses a period of more than kMaxValueSlots values.
Result<DataBasis> dataBasis(const BasisInput& input);

}  // namespace hg
