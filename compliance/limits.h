// Limit sets: published harmonic limits kept as JSON data files, one set a file. The program's
// own sets are installed with it; files in the user's folder (~/.config/harmograph/limits/) add
// sets or replace a set of the same name. A file that cannot be read gets a message naming the
// file and the field; the other files still load, but a set whose latest file is broken is
// refused by name rather than judged with an older file.
//
// A set file:
//   {"name": "en50160", "title": "...", "source": "...", "edition": "...", "check": "...",
//    "note": "...",                     (optional: printed with the method)
//    "quantity": "voltage_distortion" | "current_per_kw" | "current_of_demand",
//    "window": "week" | "period",       (the assessment window; the whole period when absent)
//    "statistic": "p95",                (one condition: the statistic ≤ the limit), or
//    "conditions": [{"statistic": "p99", "factor": 1.5, "seconds": 600, "per": "week"}],
//    "thd_orders": "2-40",              (the orders of the total distortion; 2-40 when absent)
//    "voltage_kv": {"above": 1, "up_to": 36},  (optional: the voltages the set is meant for)
//    "total": 8,                        (the total distortion limit, %)
//    "receiving_kv": 6.6,               (current per kW: the voltage the limits are stated at)
//    "even_factor": 0.25,               (optional: even orders get this share of their entry)
//    "orders": {"5": 6, "17-49": ..., "24-": 0.7},  (an order, a range, or an order and above;
//                                                    no order in two entries)
//    "ratio_bands": [{"isc_il_from": 20, "isc_il_below": 50, "total": 8, "orders": {...}}]}
//                                       (current of demand: the limits by I_SC / I_L)
// Any other field is refused, so that a misspelt field never passes silently.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace hg {

enum class LimitQuantity {
    VoltageDistortion,  // % of the fundamental voltage, per order and total
    CurrentPerKw,       // mA per kW of contract power at the receiving voltage, per order
    CurrentOfDemand,    // % of the maximum demand load current I_L, per order and the TDD
};

// The statistic of the values a condition is judged on.
enum class LimitStatistic { P95, P99, Max, Mean };

// The stretch of time a statistic is taken over.
enum class WindowSpan { Day, Week, Period };

// One condition of a set: the statistic of the values of `seconds` length over each `per`
// window is at most `factor` times the limit.
struct LimitCondition {
    LimitStatistic statistic = LimitStatistic::P95;
    double factor = 1;
    int seconds = 600;
    WindowSpan per = WindowSpan::Period;
};

struct OrderLimit {
    int from = 0;
    int to = 0;  // inclusive; 0 for "and above"
    double value = 0;
};

// The limits of a current-of-demand set for one range of I_SC / I_L: from ≤ ratio < below.
struct RatioBand {
    double from = 0;
    std::optional<double> below;
    std::optional<double> total;
    std::vector<OrderLimit> orders;
};

struct LimitSet {
    std::string name;
    std::string title;
    std::string source;
    std::string edition;
    std::string check;  // the reminder to check the values against the current edition
    std::string note;
    LimitQuantity quantity = LimitQuantity::VoltageDistortion;
    LimitStatistic statistic = LimitStatistic::P95;  // the first condition's
    WindowSpan window = WindowSpan::Period;
    std::vector<LimitCondition> conditions;  // at least one
    int thdFrom = 2;
    int thdTo = 40;
    std::optional<double> voltageAboveKv;
    std::optional<double> voltageUpToKv;
    std::optional<double> total;
    std::optional<double> evenFactor;
    std::vector<OrderLimit> orders;
    std::vector<RatioBand> bands;
    double receivingKv = 0;
    std::string file;    // where the set was read
    std::string sha256;  // of the file's bytes

    // The limit of an order (the entry that holds it; an even order's share of it where the set
    // gives one); none when the set has no value.
    std::optional<double> limitFor(int order) const;
    // The highest order the set limits; `recorded` for an entry open above.
    int highestLimitedOrder(int recorded) const;
};

std::string_view quantityName(LimitQuantity q);    // "voltage_distortion", ...
std::string_view statisticName(LimitStatistic s);  // "p95", "p99", "max", "mean"
std::string_view windowName(WindowSpan w);         // "day", "week", "period"

// A set from the text of a file; `file` names it in messages.
Result<LimitSet> parseLimitSet(std::string_view text, const std::string& file);
Result<LimitSet> readLimitSet(const std::string& path);

// The set with the limits of the band that holds `iscOverIl` (current-of-demand sets); other
// sets are returned as they are.
Result<LimitSet> limitsForRatio(const LimitSet& set, double iscOverIl);

// A set's name that cannot be used: its latest file could not be read.
struct RefusedSet {
    std::string name;
    std::string reason;
};

struct LimitCatalogue {
    std::vector<LimitSet> sets;         // by name
    std::vector<std::string> problems;  // one line per file that could not be read
    std::vector<RefusedSet> refused;
    const LimitSet* find(std::string_view name) const;
    // The set of that name, or why there is none.
    Result<const LimitSet*> choose(std::string_view name) const;
};

// Reads every "*.json" of the folders in order (a folder that does not exist is skipped); a set
// of a later folder replaces the set of the same name from an earlier one. A file that cannot
// be read claims the name in its "name" field (else its file name): that name is refused
// unless a later folder holds a good file for it.
LimitCatalogue loadLimitSets(const std::vector<std::string>& folders);

// The folders a program at `programPath` reads: the installed sets (share/harmograph/limits
// beside the program's bin folder), the sets of a build tree (limits/ beside the program), then
// the user's folder ($XDG_CONFIG_HOME or ~/.config, then harmograph/limits).
std::vector<std::string> limitFolders(const std::string& programPath);

}  // namespace hg
