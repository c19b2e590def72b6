// The dates on the time axis of a long period: when the time shown spans more than two days,
// each midnight line carries its date ("5/29") under the hour labels. Where the dates would run
// into each other only every second, seventh, fourteenth ... midnight carries one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hg {

struct HARMDIM;
struct ShownRange;

// Spans longer than this (minutes) carry dates.
constexpr double kDatedSpanMinutes = 2 * 1440;

struct DateLabel {
    int64_t minute = 0;  // the midnight, in minutes from the start day's midnight
    std::string text;    // "5/29"
};

// The text of a day number: month and day without leading zeros.
std::string shortDateText(double dayNumber);

// The midnights after `first` up to `last` (minutes from the midnight of day `startDay`) that
// carry a date at `unitsPerMinute`, when every label is at most `labelWidth` units wide: none for a
// span of two days or less. Neighbouring labels stand at least a label width and a gap apart.
std::vector<DateLabel> dateLabels(double startDay, double first, double last, double unitsPerMinute,
                                  double labelWidth);

// The days a graph shows, as its date line names them: the analysis start day ("19/05/01(水)") for
// the whole period (or no range); for a part of it, the first day shown, and "～" and the last day
// shown when the range runs into another day ("19/05/07(火)～19/05/09(木)"). A range ending at a
// midnight shows nothing of the day that begins there.
std::string shownDaysText(const HARMDIM& state, const ShownRange* range);

// How many midnights apart two labelled ones are: 1, 2, 7, 14, 28, ... the fewest that keep
// `labelWidth` (and a gap) between labels `unitsPerDay` apart.
int dateLabelStep(double unitsPerDay, double labelWidth);

}  // namespace hg
